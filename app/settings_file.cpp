// The settings file beside the executable, two lines:
//   1          the join order: 0 left to right, anything else top to bottom
//   ・         the delimiter, Shift-JIS bytes as typed (may be empty)
// Lines end as in the interchange file: LF or CR LF.
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "app/form1.h"
#include "interchange/line_source.h"
#include "interchange/number_text.h"
#include "machine/file_io.h"
#include "util/number_parse.h"
#include "util/sjis.h"

namespace {

// The whole file, or nothing when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& bytes) {
  InputFile file(path);
  if (!file.IsOpen()) return false;
  char buffer[4096];
  std::ptrdiff_t got = 0;
  while ((got = file.Read(buffer, sizeof buffer)) > 0)
    bytes.append(buffer, static_cast<std::size_t>(got));
  return got == 0;
}

// The next line, or an empty one once the lines are used up.
std::string_view NextLine(LineSource& lines) {
  std::span<char> line;
  if (lines.Next(line) != LineSource::Status::Line) return {};
  return std::string_view(line.data(), line.size());
}

}  // namespace

JoinSettings ParseJoinSettings(std::string bytes) {
  MemoryLineSource lines(bytes);
  JoinSettings settings;
  settings.Order = StrToIntOrZero(NextLine(lines));
  settings.Delimiter = StripControlChars(NextLine(lines));
  return settings;
}

std::string JoinSettingsText(std::int32_t order, std::string_view delimiter) {
  std::string text = IntegerToText(order);
  text += "\r\n";
  text += delimiter;
  text += "\r\n";
  return text;
}

void TForm1::LoadSettings() { TryLoadSettings(); }

bool TForm1::TryLoadSettings() {
  JoinOrder = 0;
  JoinDelimiter.clear();
  try {
    const std::string path = SettingsPath();
    if (!FileExists(path)) return true;
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) return true;
    JoinSettings settings = ParseJoinSettings(std::move(bytes));
    JoinOrder = settings.Order;
    JoinDelimiter = std::move(settings.Delimiter);
    return true;
  } catch (...) {
    // Only memory can run out here; both keep their defaults.
    return false;
  }
}

void TForm1::SaveSettings() {
  try {
    // Replaced in one step: on failure the previous file stays as it was.
    ReplaceFileAtomically(SettingsPath(), JoinSettingsText(JoinOrder, JoinDelimiter));
  } catch (...) {
    // Nothing is reported; the dialog closes as after a save.
  }
}

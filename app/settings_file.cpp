// The settings file beside the executable, two lines:
//   1          the join order: 0 left to right, anything else top to bottom
//   ・         the delimiter, Shift-JIS bytes as typed (may be empty)
// Lines end as in the interchange file: LF or CR LF.
#include <span>
#include <string>
#include <string_view>

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

void TForm1::LoadSettings() { TryLoadSettings(); }

bool TForm1::TryLoadSettings() {
  JoinOrder = 0;
  JoinDelimiter.clear();
  try {
    const std::string path = SettingsPath();
    if (!FileExists(path)) return true;
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) return true;
    MemoryLineSource lines(bytes);
    JoinOrder = StrToIntOrZero(NextLine(lines));
    JoinDelimiter = StripControlChars(NextLine(lines));
    return true;
  } catch (...) {
    // Only memory can run out here. What was read so far stays; the rest
    // keeps its default.
    return false;
  }
}

void TForm1::SaveSettings() {
  try {
    std::string content = IntegerToText(JoinOrder);
    content += "\r\n";
    content += JoinDelimiter;
    content += "\r\n";
    // Replaced in one step: on failure the previous file stays as it was.
    ReplaceFileAtomically(SettingsPath(), content);
  } catch (...) {
    // Nothing is reported; the dialog closes as after a save.
  }
}

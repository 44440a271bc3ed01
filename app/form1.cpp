#include "app/form1.h"

#include "interchange/state.h"
#include "interchange/system_strings.h"

namespace {

#ifdef _WIN32
constexpr const char* kPathSeparators = "\\/:";
#else
constexpr const char* kPathSeparators = "/";
#endif

}  // namespace

void TForm1::FormShow(TObject*) {
  const std::vector<std::string> arguments = platform_.Arguments();
  if (!arguments.empty() && arguments[0] != "3") window_.Minimise();
  ResetInterchangeState();

  const std::string exePath = platform_.ExecutablePath();
  const std::size_t separator = exePath.find_last_of(kPathSeparators);
  ExeFolder = separator == std::string::npos ? std::string() : exePath.substr(0, separator + 1);

  LoadSettings();
  if (arguments.empty()) return;

  // Byte-exact: " 1", "1 " and "01" select nothing.
  const std::string& mode = arguments[0];
  if (mode == "1") {
    JoinRange();
  } else if (mode == "2") {
    JoinPair();
  } else if (mode == "3") {
    const ScreenPoint cursor = platform_.CursorPosition();
    window_.MoveTo(cursor.X - window_.OuterWidth() / 2, cursor.Y - 4);
    window_.SetRadioIndex(JoinOrder);
    window_.SetEditText(JoinDelimiter);
  }
}

void TForm1::FormClick(TObject*) { FreeInterchangeTables(); }

void TForm1::Button1Click(TObject*) {
  JoinOrder = window_.RadioIndex();
  JoinDelimiter = window_.EditText();
  SaveSettings();
  window_.Close();
}

void TForm1::Button2Click(TObject*) { window_.Close(); }

std::string TForm1::InterchangePath() const {
  return ExeFolder + std::string(kInterchangeFileName);
}

std::string TForm1::SettingsPath() const {
  std::string path = platform_.ExecutablePath();
  const std::size_t name = path.find_last_of(kPathSeparators);
  const std::size_t dot = path.find_last_of('.');
  if (dot != std::string::npos && (name == std::string::npos || dot > name)) path.erase(dot);
  return path + ".dat";
}

#include "app/form1.h"

#include "interchange/file_writer.h"
#include "interchange/output_lines.h"
#include "interchange/state.h"
#include "interchange/system_strings.h"
#include "machine/file_io.h"

void TForm1::FormShow(TObject*) {
  const std::vector<std::string> arguments = platform_.Arguments();
  if (!arguments.empty() && arguments[0] != "3") window_.Minimise();
  ResetInterchangeState();

  // The platform's own path rule: a CP932 trail byte 0x5C never reaches it,
  // since the Windows build hands paths over as UTF-8.
  const std::string exePath = platform_.ExecutablePath();
  ExeFolder = exePath.substr(0, FileNameStart(exePath));

  // Byte-exact: " 1", "1 " and "01" select nothing.
  const std::string mode = arguments.empty() ? std::string() : arguments[0];
  if (mode == "1" || mode == "2") {
    RunJoin(mode == "1");
    return;
  }
  LoadSettings();
  if (mode == "3") {
    const ScreenPoint cursor = platform_.CursorPosition();
    window_.MoveTo(cursor.X - window_.OuterWidth() / 2, cursor.Y - 4);
    window_.SetRadioIndex(JoinOrder);
    window_.SetEditText(JoinDelimiter);
  }
}

void TForm1::RunJoin(bool range) {
  // Named before anything is read, so that "hq" can still be written when
  // memory runs out later: that path allocates nothing more.
  const std::string path = InterchangePath();
  try {
    // Settings that could not be read for want of memory are unknown, and a
    // join with the defaults would not be the user's.
    if (TryLoadSettings()) {
      Join(path, range);
      return;
    }
  } catch (...) {
    // Memory ran out while reading, joining or emitting.
  }
  ClearOutputLines();  // it may hold part of a result
  WriteInterchangeQuit(path);
  window_.Close();
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
  const std::size_t name = FileNameStart(path);
  const std::size_t dot = path.find_last_of('.');
  if (dot != std::string::npos && dot >= name) path.erase(dot);
  return path + ".dat";
}

// TForm1: the program's only form. FormShow dispatches on the first argument:
// "1" joins the selected texts in positional order, "2" joins two texts, "3"
// shows the settings dialog at the cursor; anything else waits for the user.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "machine/form_window.h"
#include "machine/platform.h"

// The object that raised an event; the handlers take it and do not use it.
struct TObject;

// What the settings file holds, and the file's text, without the file: the
// order from the first line (StrToIntOrZero), the delimiter from the second
// with its control characters removed; lines end in LF or CR LF, missing
// ones count as empty. Both throw std::bad_alloc only.
struct JoinSettings {
  std::int32_t Order = 0;
  std::string Delimiter;
};
JoinSettings ParseJoinSettings(std::string bytes);
// Two lines, each ended by CR LF.
std::string JoinSettingsText(std::int32_t order, std::string_view delimiter);

class TForm1 {
 public:
  TForm1(Platform& platform, FormWindow& window) : platform_(platform), window_(window) {}

  // Folder of the executable, ending with its path separator.
  std::string ExeFolder;
  // 0 joins left to right; any other value top to bottom.
  std::int32_t JoinOrder = 0;
  // Inserted between two joined texts; Shift-JIS, may be empty.
  std::string JoinDelimiter;

  void FormShow(TObject* sender);
  void FormClick(TObject* sender);
  void Button1Click(TObject* sender);
  void Button2Click(TObject* sender);

  void JoinRange();
  void JoinPair();
  void LoadSettings();
  // LoadSettings that tells when memory ran out (the settings are then unknown).
  bool TryLoadSettings();
  void SaveSettings();

  // ExeFolder followed by the interchange file's name.
  std::string InterchangePath() const;
  // The executable's path with its extension replaced by ".dat".
  std::string SettingsPath() const;

 private:
  // Modes "1" and "2": whatever fails once the file is named, it ends as the
  // complete result or "hq".
  void RunJoin(bool range);
  // JoinRange (range) or JoinPair on the interchange file at path.
  void Join(const std::string& path, bool range);

  Platform& platform_;
  FormWindow& window_;
};

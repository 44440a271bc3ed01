// Program entry: initialise, put up the application window with the
// application's title, create Form1, run the message loop. FormShow runs when
// the form is first shown; in modes "1" and "2" the whole join runs inside
// it, and its close ends the loop. The exit code is always 0: the host looks
// at the interchange file, not at us.
//
// A join needs no window, only the dialog does: where no window can be
// created (Wine without a display, a session without a desktop) FormShow runs
// over a window of plain values, so modes "1" and "2" still rewrite the file,
// and the modes that wait for a user end at once.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include "app/Unit1.h"
#include "app/value_window.h"
#include "interchange/number_text.h"
#include "platform/win32/form_window_win32.h"
#include "platform/win32/message_loop.h"
#include "platform/win32/win32_platform.h"

namespace {

// False when the windows could not be created; then nothing has run yet.
bool RunWithWindows(HINSTANCE instance, Win32Platform& platform) {
  Win32FormWindow window(instance, platform);
  if (!window.CreateApplicationWindow() || !window.CreateForm()) return false;
  TForm1 form(platform, window);
  window.Attach(&form);
  window.ShowFirstTime();
  RunMessageLoop(window);
  window.Attach(nullptr);
  return true;
}

void RunWithoutWindow(Win32Platform& platform) {
  ValueWindow window;
  TForm1 form(platform, window);
  form.FormShow(nullptr);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  try {
    INITCOMMONCONTROLSEX commonControls{sizeof commonControls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&commonControls);
    Win32Platform platform;
    SetDecimalSeparator(platform.DecimalSymbol());
    if (!RunWithWindows(instance, platform)) RunWithoutWindow(platform);
  } catch (...) {
    // Nothing reaches the host but the rewritten file and the exit code.
  }
  return 0;
}

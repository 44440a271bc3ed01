// Program entry of the headless build: modes "1" and "2" run to their end;
// the modes that wait for a user have no screen here and end at once, as if
// the window's close box had been pressed.
#include <clocale>
#include <csignal>
#include <cstdio>

#include "app/Unit1.h"
#include "app/value_window.h"
#include "interchange/number_text.h"
#include "platform/headless/headless_platform.h"

int main(int argc, char** argv) {
  // A file size limit then fails the write, which ends in "hq", instead of
  // killing the run with the host's selection still in the file.
  std::signal(SIGXFSZ, SIG_IGN);
  try {
    // Only the decimal symbol is taken from the locale; every number path
    // works on bytes and never consults it.
    std::setlocale(LC_NUMERIC, "");
    HeadlessPlatform platform(argc, argv);
    SetDecimalSeparator(platform.DecimalSymbol());

    ValueWindow window;
    TForm1 form(platform, window);
    form.FormShow(nullptr);
    if (!window.IsClosed()) {
      std::fputs("k726: the settings dialog belongs to the Windows build; nothing was changed.\n",
                 stderr);
    }
  } catch (...) {
    // Nothing reaches the host but the exit code.
  }
  return 0;
}

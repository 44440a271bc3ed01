#include "platform/win32/win32_platform.h"

#include <windows.h>

#include <string>
#include <string_view>

#include "app/command_line.h"
#include "app/decimal_symbol.h"
#include "platform/win32/code_pages.h"

// As UTF-8, whatever the system's code page: only "1", "2" and "3" select
// anything, and UTF-8 has no trail byte that the splitting could take for a
// backslash or a quote.
std::vector<std::string> Win32Platform::Arguments() {
  const wchar_t* line = GetCommandLineW();
  return CommandLineArguments(Narrow(CP_UTF8, line != nullptr ? line : L"", nullptr));
}

std::string Win32Platform::ExecutablePath() {
  // As UTF-8, which the file layer turns back into UTF-16: the ANSI call
  // would put "?" for every character outside code page 932. Paths may
  // exceed MAX_PATH, and the call truncates silently, so the buffer grows
  // until the answer is shorter than it.
  std::wstring wide(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, wide.data(), static_cast<DWORD>(wide.size()));
    if (length == 0) return {};
    if (length < wide.size()) {
      wide.resize(length);
      break;
    }
    if (wide.size() > 65536) return {};
    wide.resize(wide.size() * 2);
  }
  return Narrow(CP_UTF8, wide, nullptr);
}

// In Shift-JIS, the code page of the numbers we write; a symbol that code page
// has no form for counts as none.
char Win32Platform::DecimalSymbol() {
  wchar_t symbol[16] = {};
  const int length = GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, symbol, 16);
  BOOL usedDefault = FALSE;
  const std::string bytes =
      length > 1
          ? Narrow(kShiftJis, std::wstring_view(symbol, static_cast<std::size_t>(length - 1)),
                   &usedDefault)
          : std::string();
  return DecimalSymbolFromLocale(usedDefault ? std::string_view() : std::string_view(bytes));
}

ScreenPoint Win32Platform::CursorPosition() {
  POINT point{};
  if (!GetCursorPos(&point)) return {0, 0};
  return {point.x, point.y};
}

bool Win32Platform::IsEscapeDown() { return GetAsyncKeyState(VK_ESCAPE) < 0; }

#include "platform/win32/win32_platform.h"

#include <windows.h>

#include "app/command_line.h"
#include "app/decimal_symbol.h"

std::vector<std::string> Win32Platform::Arguments() {
  const char* line = GetCommandLineA();
  return CommandLineArguments(line != nullptr ? line : "");
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
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                        nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return {};
  std::string path(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), path.data(), bytes,
                      nullptr, nullptr);
  return path;
}

char Win32Platform::DecimalSymbol() {
  char symbol[16] = {};
  const int length = GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, symbol, sizeof symbol);
  return DecimalSymbolFromLocale(length > 0 ? std::string_view(symbol, length - 1)
                                            : std::string_view());
}

ScreenPoint Win32Platform::CursorPosition() {
  POINT point{};
  if (!GetCursorPos(&point)) return {0, 0};
  return {point.x, point.y};
}

bool Win32Platform::IsEscapeDown() { return GetAsyncKeyState(VK_ESCAPE) < 0; }

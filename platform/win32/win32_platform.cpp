#include "platform/win32/win32_platform.h"

#include <windows.h>

#include "platform/command_line.h"
#include "platform/decimal_symbol.h"

std::vector<std::string> Win32Platform::Arguments() {
  const char* line = GetCommandLineA();
  return CommandLineArguments(line != nullptr ? line : "");
}

std::string Win32Platform::ExecutablePath() {
  // Paths may exceed MAX_PATH; the call truncates silently, so grow until
  // the answer is shorter than the buffer.
  std::string path(MAX_PATH, '\0');
  while (path.size() <= 65536) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
  return {};
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

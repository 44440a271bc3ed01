// Text between UTF-16 and the code pages the program meets: Shift-JIS for
// captions, the font's name, the delimiter and the decimal symbol, whatever
// the system's code page.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <string_view>

inline constexpr UINT kShiftJis = 932;

// usedDefault, when given, tells whether a character had no exact form
// (UTF-8 has one for every character and takes none); WC_NO_BEST_FIT_CHARS,
// as without it é comes back as e and ¥ as 5C, and no default is reported.
inline std::string Narrow(UINT codePage, std::wstring_view wide, BOOL* usedDefault) {
  if (wide.empty()) return {};
  const DWORD flags = usedDefault != nullptr ? WC_NO_BEST_FIT_CHARS : 0;
  const int size = static_cast<int>(wide.size());
  const int bytes =
      WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, nullptr, usedDefault);
  if (bytes <= 0) return {};
  std::string text(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(codePage, flags, wide.data(), size, text.data(), bytes, nullptr, usedDefault);
  return text;
}

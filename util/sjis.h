// Shift-JIS (code page 932) byte helpers. Text is never decoded: every scan
// that may meet a double-byte character steps over it as one unit, because
// trail bytes take values such as '"', '=', '\\' and 0x20..0x40.
#pragma once

#include <string>
#include <string_view>

// A lead byte opens a double-byte character: 0x80..0x9F or 0xE0..0xFD. The
// byte after it belongs to the character whatever its value.
constexpr bool IsLeadByte(unsigned char b) noexcept {
  return (b >= 0x80 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFD);
}
constexpr bool IsLeadByte(char c) noexcept { return IsLeadByte(static_cast<unsigned char>(c)); }

// Drops half-width blanks, full-width blanks (0x81 0x40) and bytes below 0x20
// outside double-byte characters. A lone lead byte at the end stays.
std::string StripBlanks(std::string_view text);

// Whether StripBlanks would leave nothing of text, without building the
// result: the emitters ask this once per text and must not allocate for it.
bool IsBlankText(std::string_view text) noexcept;

// Drops bytes below 0x20 outside double-byte characters. A lone lead byte at
// the end stays.
std::string StripControlChars(std::string_view text);

// Byte offset of the first occurrence of needle in text that starts on a
// character boundary, or npos. Used for the reader's prefix/contains rules.
std::size_t FindOnCharBoundary(std::string_view text, std::string_view needle) noexcept;

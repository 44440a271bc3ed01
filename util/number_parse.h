// Text to number conversions that never fail: whatever cannot be read gives 0.
// The whole string must match the grammar; no locale is consulted.
#pragma once

#include <cstdint>
#include <string_view>

// Decimal (-2147483648..2147483647) or hexadecimal ("$", "x", "X", "0x", "0X"
// prefix, at most FFFFFFFF, two's complement) after optional 0x20 blanks and
// one sign. A minus sign negates a hexadecimal value too ("-$10" is -16).
std::int32_t StrToIntOrZero(std::string_view text) noexcept;

// Outcome of reading a real: Overflow is set when the text is a well-formed
// real whose magnitude is too large for a double; Value is then 0.
struct RealParse {
  double Value;
  bool Overflow;
};

// Blanks, sign, digits with an optional "." (".5", "5." and "." read), an
// optional exponent. Correctly rounded; a value below the smallest double
// becomes the nearest double (0 or subnormal) and is not an overflow.
RealParse ParseReal(std::string_view text) noexcept;

// ParseReal's value and outcome, for text that lies in a buffer whose bytes
// up to readableEnd (at or after the text's end, in the same buffer) may be
// read past the text (their values do not matter). A number of at most eight
// bytes besides its sign is then read in one word, with no branch on its
// digits.
RealParse ParseRealWithin(std::string_view text, const char* readableEnd) noexcept;

// ParseReal's value: 0 for anything unreadable and for an overflow.
double StrToFloatOrZero(std::string_view text) noexcept;

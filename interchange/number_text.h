// Numbers as the interchange file writes them. The only number-to-text
// conversions of the program; no printf, streams or locale are involved.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// 15 significant digits in general form: fixed for 1e-4 <= |x| < 1e15,
// otherwise scientific («1.5E-7», «1E15»); "0" for both zeros; "INF", "-INF",
// "NAN". The rounding first takes the correctly rounded 18 significant digits,
// then rounds those half-up to 15.
std::string RealToText(double value);

// True when RealToText would write a finite value with digits that round
// above the largest double («1.79769313486232E308»): no reader takes that text
// back, so the reader refuses such a value as too large.
bool RealTextOverflows(double value);

// Decimal, minus sign for negatives, no plus, no padding.
std::string IntegerToText(std::int32_t value);

// The 32-bit two's-complement pattern in upper-case hexadecimal, zero-padded
// to minDigits.
std::string IntegerToHexText(std::int32_t value, int minDigits);

// Appending forms for the writers' hot paths (no temporary string).
void AppendRealText(std::string& out, double value);

void AppendIntegerText(std::string& out, std::int32_t value);

// RealToText into a caller's buffer of at least kMaxRealTextLength bytes;
// returns the end of the text. For lines composed on the stack.
inline constexpr int kMaxRealTextLength = 24;  // «-1.23456789012345E-308» is 22
char* WriteRealText(char* out, double value);
// " v" for each of the count values, into a buffer of count times
// (kMaxRealTextLength + 1) bytes: a command's number list in one call.
char* WriteBlankSeparatedReals(char* out, const double* values, std::size_t count);

// The decimal separator RealToText writes: the user's locale's decimal symbol,
// set at start and again when the regional settings change; '.' by default.
// The one piece of process-wide state kept outside state.h: it belongs to
// the machine, not to the drawing, so ResetInterchangeState leaves it, and
// these two functions are its only door.
void SetDecimalSeparator(char separator);
char DecimalSeparator();

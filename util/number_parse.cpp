#include "util/number_parse.h"

#include <cfloat>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <optional>
#include <system_error>

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string_view SkipBlanks(std::string_view s) {
  std::size_t first = 0;
  while (first < s.size() && s[first] == ' ') ++first;
  return s.substr(first);
}

// Hexadecimal digits after the prefix: at most 32 bits of value, leading zeros free.
bool ReadHex(std::string_view digits, std::uint32_t& value) {
  if (digits.empty()) return false;
  std::uint64_t v = 0;
  for (const char c : digits) {
    const int h = HexValue(c);
    if (h < 0) return false;
    v = v * 16 + static_cast<unsigned>(h);
    if (v > 0xFFFFFFFFu) return false;
  }
  value = static_cast<std::uint32_t>(v);
  return true;
}

}  // namespace

std::int32_t StrToIntOrZero(std::string_view text) noexcept {
  std::string_view s = SkipBlanks(text);
  bool negative = false;
  if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
    negative = s[0] == '-';
    s.remove_prefix(1);
  }
  if (s.empty()) return 0;

  std::size_t prefix = 0;
  if (s[0] == '$' || s[0] == 'x' || s[0] == 'X') {
    prefix = 1;
  } else if (s.size() >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    prefix = 2;
  }
  if (prefix != 0) {
    std::uint32_t bits = 0;
    if (!ReadHex(s.substr(prefix), bits)) return 0;
    // Two's complement, wrapping: "-$FFFFFFFF" is 1.
    if (negative) bits = 0u - bits;
    return static_cast<std::int32_t>(bits);
  }

  std::uint64_t magnitude = 0;
  for (const char c : s) {
    if (!IsDigit(c)) return 0;
    magnitude = magnitude * 10 + static_cast<unsigned>(c - '0');
    if (magnitude > 2147483648u) return 0;
  }
  if (negative) return static_cast<std::int32_t>(-static_cast<std::int64_t>(magnitude));
  return magnitude > 2147483647u ? 0 : static_cast<std::int32_t>(magnitude);
}

namespace {

// Exact powers of ten: 10^22 is the last one a double holds exactly.
constexpr double kPowersOf10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                  1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                  1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
// The same with a sign: dividing by -10^k gives the negated quotient, -0
// for 0, with no step after the division.
constexpr double kSignedPowersOf10[2][23] = {
    {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
     1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22},
    {-1e0,  -1e1,  -1e2,  -1e3,  -1e4,  -1e5,  -1e6,  -1e7,  -1e8,  -1e9,  -1e10, -1e11,
     -1e12, -1e13, -1e14, -1e15, -1e16, -1e17, -1e18, -1e19, -1e20, -1e21, -1e22}};
constexpr std::uint64_t kExactIntegers = std::uint64_t{1} << 53;

#if FLT_EVAL_METHOD == 0
// The numbers of nearly every line: digits with an optional "." and at most
// 19 digits in all, no exponent. Then w below 2^53 and 10^fraction are exact
// doubles, so one quotient is the correctly rounded value (Clinger's quick
// case, as below), found in one tight pass; negative gives its negation.
// Anything else: nothing.
std::optional<double> ParseShortDecimal(const char* p, const char* end, bool negative) {
  const char* const start = p;
  std::uint64_t w = 0;
  while (p != end && static_cast<unsigned char>(*p - '0') <= 9) {
    w = w * 10 + static_cast<unsigned char>(*p - '0');
    ++p;
  }
  const char* const point = p;
  if (p != end && *p == '.') {
    ++p;
    while (p != end && static_cast<unsigned char>(*p - '0') <= 9) {
      w = w * 10 + static_cast<unsigned char>(*p - '0');
      ++p;
    }
  }
  const std::ptrdiff_t fraction = p == point ? 0 : p - point - 1;
  const std::ptrdiff_t digits = (point - start) + fraction;
  if (p != end || digits == 0 || digits > 19 || w > kExactIntegers || fraction > 22) {
    return std::nullopt;
  }
  return static_cast<double>(w) / kSignedPowersOf10[negative][fraction];
}

constexpr std::uint64_t kOnes = 0x0101010101010101u;
constexpr std::uint64_t kHighBits = 0x8080808080808080u;
constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Fu;

// ParseShortDecimal for the commonest numbers, "12345.67" and shorter: the
// first size bytes of x (size 1..8, the first byte lowest; the rest of x is
// anything) read as digits with an optional point. No branch on where the
// point stands or how many digits there are, which in a drawing's numbers
// vary at random and cost a loop a misprediction or two each. value is the
// same quotient, negated when negative; false when the bytes are no such
// number.
bool ParseEightBytes(std::uint64_t x, std::size_t size, bool negative, double& value) {
  // The text to the top of the word, the first byte at 8 - size; those in
  // front read "0".
  const unsigned frontBits = 8 * (8 - static_cast<unsigned>(size));
  const std::uint64_t front = (std::uint64_t{1} << frontBits) - 1;
  x = x << frontBits | (kOnes * '0' & front);
  const std::uint64_t p = x ^ (kOnes * '.');
  const std::uint64_t points = ~(((p & kLow7) + kLow7) | p) & kHighBits;
  // The point reads "0" for the digit test; digits are 0x30..0x39: a high
  // nibble of 3, and still 3 after adding 6.
  const std::uint64_t y = x ^ ((points >> 7) * ('.' ^ '0'));
  const std::uint64_t highNibbles = kOnes * 0xF0;
  const bool digitsOnly =
      (y & highNibbles) == kOnes * 0x30 && ((y + kOnes * 6) & highNibbles) == kOnes * 0x30;
  // At most one point, and a digit besides it. No popcount: without the
  // instruction it is a call.
  const bool onePoint = (points & (points - 1)) == 0;
  if (!digitsOnly || !onePoint || (size == 1 && points != 0)) return false;
  // The digits in front of the point move up a byte into its place, leaving
  // a leading 0; without a point nothing moves. The top bit makes the count
  // branch-free: with no point, or a point last, there is no fraction.
  const unsigned fraction =
      7 - static_cast<unsigned>(std::countr_zero(points | std::uint64_t{1} << 63)) / 8;
  const std::uint64_t lowest = points & (0 - points);
  const std::uint64_t before = ((lowest >> 7) - 1) & (0 - static_cast<std::uint64_t>(points != 0));
  std::uint64_t d = y - kOnes * '0';
  d = (d & before) << 8 | (d & ~before);
  // Eight digits, the first in the low byte, to their value in three steps.
  d = (d * 10 + (d >> 8)) & 0x00FF00FF00FF00FFu;
  d = (d * 100 + (d >> 16)) & 0x0000FFFF0000FFFFu;
  d = (d * 10000 + (d >> 32)) & 0xFFFFFFFFu;
  value = static_cast<double>(d) / kSignedPowersOf10[negative][fraction];
  return true;
}
#endif

// The whole grammar, for what the quick path leaves: blanks, exponents, long
// digit strings, and texts that are no number. Kept out of line, so that
// the quick path saves no registers.
[[gnu::noinline]] RealParse ParseRealInFull(std::string_view text) {
  constexpr RealParse kZero{0.0, false};
  std::string_view s = SkipBlanks(text);
  if (s.empty()) return kZero;

  const char* const begin = s.data();
  const char* const end = begin + s.size();
  const char* p = begin;
  bool negative = false;
  if (*p == '+' || *p == '-') {
    negative = *p == '-';
    ++p;
    if (p == end) return kZero;
  }
  const char* const mantissa = p;

  // Integer digits, then an optional "." and fraction digits. The first 19
  // significant digits gather in w for the quick conversion below; where the
  // first significant digit stands tells an overflow from an underflow later.
  std::uint64_t w = 0;
  std::int64_t significantDigits = 0;
  std::int64_t fractionDigits = 0;
  std::int64_t integerDigits = 0;  // after leading zeros
  std::int64_t fractionZeros = 0;  // zeros before the first significant fraction digit
  bool anyDigit = false;
  while (p != end && IsDigit(*p)) {
    anyDigit = true;
    if (*p != '0' || significantDigits > 0) {
      ++significantDigits;
      ++integerDigits;
      if (significantDigits <= 19) w = w * 10 + static_cast<unsigned>(*p - '0');
    }
    ++p;
  }
  if (p != end && *p == '.') {
    ++p;
    while (p != end && IsDigit(*p)) {
      anyDigit = true;
      ++fractionDigits;
      if (*p != '0' || significantDigits > 0) {
        ++significantDigits;
        if (significantDigits <= 19) w = w * 10 + static_cast<unsigned>(*p - '0');
      } else {
        ++fractionZeros;
      }
      ++p;
    }
  }

  std::int64_t exponent = 0;
  if (p != end && (*p == 'E' || *p == 'e')) {
    ++p;
    bool negativeExponent = false;
    if (p != end && (*p == '+' || *p == '-')) {
      negativeExponent = *p == '-';
      ++p;
    }
    if (p == end || !IsDigit(*p)) return kZero;
    while (p != end && IsDigit(*p)) {
      if (exponent < 1000000000) exponent = exponent * 10 + (*p - '0');
      ++p;
    }
    if (negativeExponent) exponent = -exponent;
  }
  if (p != end) return kZero;

  const double signedZero = negative ? -0.0 : 0.0;
  if (!anyDigit || significantDigits == 0) return {signedZero, false};

    // Clinger's quick case: w and 10^|e| are exact doubles, so one product or
    // quotient is the correctly rounded value, as from_chars would give it.
    // Not where the compiler keeps doubles in wider registers (x87): rounding
    // twice could then miss by a bit.
#if FLT_EVAL_METHOD == 0
  const std::int64_t scale = exponent - fractionDigits;
  if (significantDigits <= 19 && w <= kExactIntegers && scale >= -22 && scale <= 22) {
    const double m = static_cast<double>(w);
    const double value = scale >= 0 ? m * kPowersOf10[scale] : m / kPowersOf10[-scale];
    return {negative ? -value : value, false};
  }
#endif

  double value = 0.0;
  const auto [ptr, error] = std::from_chars(mantissa, end, value, std::chars_format::general);
  if (error == std::errc() && ptr == end) return {negative ? -value : value, false};
  if (error != std::errc::result_out_of_range) return kZero;

  // Out of range: the decimal exponent of the leading digit says which way.
  const std::int64_t leading =
      integerDigits > 0 ? integerDigits - 1 + exponent : exponent - fractionZeros - 1;
  if (leading > 0) return {0.0, true};
  return {signedZero, false};
}

}  // namespace

RealParse ParseReal(std::string_view text) noexcept {
#if FLT_EVAL_METHOD == 0
  const char* p = text.data();
  const char* const end = p + text.size();
  const bool negative = p != end && *p == '-';
  if (p != end && (*p == '-' || *p == '+')) ++p;
  if (const std::optional<double> value = ParseShortDecimal(p, end, negative)) {
    return {*value, false};
  }
#endif
  return ParseRealInFull(text);
}

RealParse ParseRealWithin(std::string_view text, const char* readableEnd) noexcept {
#if FLT_EVAL_METHOD == 0
  if constexpr (std::endian::native == std::endian::little) {
    const char* const p = text.data();
    // A readable byte at p, so the sign test reads nothing outside.
    if (!text.empty() && readableEnd - p >= 9) {
      const char first = *p;
      const bool negative = first == '-';
      const std::size_t signed_ = static_cast<std::size_t>(negative || first == '+');
      const std::size_t size = text.size() - signed_;
      if (size - 1 < 8) {
        // Both words are loaded at once and one chosen, rather than a load
        // that waits for the sign test.
        std::uint64_t unsignedWord = 0;
        std::uint64_t signedWord = 0;
        std::memcpy(&unsignedWord, p, 8);
        std::memcpy(&signedWord, p + 1, 8);
        const std::uint64_t x = signed_ != 0 ? signedWord : unsignedWord;
        if (double value = 0; ParseEightBytes(x, size, negative, value)) return {value, false};
      }
    }
  }
#endif
  return ParseReal(text);
}

double StrToFloatOrZero(std::string_view text) noexcept { return ParseReal(text).Value; }

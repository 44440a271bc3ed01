#include "interchange/number_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <system_error>

#include "interchange/state.h"

namespace {

// Kept with the rest of the library's state.
char& decimalSeparator = Locale.DecimalSeparator;

// The rounded magnitude as 0.d1..dk x 10^exponent, 1 <= k <= 15.
struct Digits15 {
  char digits[15];
  int count;
  int exponent;
};

// Exact powers of ten: 10^22 is the last one a double holds exactly.
constexpr double kPowersOf10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                  1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                  1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr auto kPowersOf10Integer = [] {
  std::array<std::uint64_t, 16> powers{};
  powers[0] = 1;
  for (std::size_t i = 1; i < powers.size(); ++i) powers[i] = powers[i - 1] * 10;
  return powers;
}();
constexpr double kFifteenDigits = 1e15;
constexpr double kScaledSlack = 1e-15;  // over four double epsilons

// A decimal m / 10^k of at most 15 significant digits; k is the fewest
// decimals that express it, so m has no trailing zero when k > 0.
struct ShortDecimal {
  std::uint64_t m;
  int k;
};

// Fast path for the values drawings are made of, a handful of decimals: finds
// a decimal m / 10^k of at most 15 significant digits that reads back as this
// very double. m and 10^k are exact doubles, so their quotient is rounded
// correctly and the comparison is an exact test. Such a decimal is the answer
// of the 18-then-15 rounding below as well: the double lies within half an
// ulp of it, far inside half a unit of its 15th digit, and no other decimal of
// 15 digits lies that close. Other values take the long road.
bool FindShortDecimal(double magnitude, ShortDecimal& out) {
  for (int k = 0; k <= 22; ++k) {
    const double scaled = magnitude * kPowersOf10[k];
    if (scaled >= kFifteenDigits) return false;
    const double m = static_cast<double>(static_cast<std::int64_t>(scaled + 0.5));
    // At the right k, scaled is m within two roundings; the cheap test spares
    // the division for the k that cannot be it.
    if (m == 0.0 || std::fabs(scaled - m) > scaled * kScaledSlack) continue;
    // Held in a double first: an x87 build then compares the rounded quotient.
    const double quotient = m / kPowersOf10[k];
    if (quotient != magnitude) continue;
    if (m >= kFifteenDigits) return false;  // keeps to 15 digits
    out = {static_cast<std::uint64_t>(m), k};
    return true;
  }
  return false;
}

int DigitCount(std::uint64_t m) {
  int n = 1;
  while (n < 15 && m >= kPowersOf10Integer[static_cast<std::size_t>(n)]) ++n;
  return n;
}

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Writes the lowest n digits of m backwards from end, two at a time.
void WriteDigitsBackwards(char* end, std::uint64_t m, int n) {
  for (; n >= 2; n -= 2) {
    const std::size_t pair = static_cast<std::size_t>(m % 100) * 2;
    m /= 100;
    *--end = kDigitPairs[pair + 1];
    *--end = kDigitPairs[pair];
  }
  if (n == 1) *--end = static_cast<char>('0' + m % 10);
}

void RoundTo15(double magnitude, Digits15& out) {
  // The correctly rounded 18 significant digits: d.ddddddddddddddddde±x.
  char buffer[40];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific, 17);
  char digits18[18];
  digits18[0] = buffer[0];
  std::memcpy(digits18 + 1, buffer + 2, 17);
  int exponent10 = 0;
  std::from_chars(buffer + 20 + (buffer[20] == '+' ? 1 : 0), result.ptr, exponent10);

  std::memcpy(out.digits, digits18, 15);
  out.exponent = exponent10 + 1;
  // From 18 to 15: the 16th digit decides, half up.
  if (digits18[15] >= '5') {
    int i = 14;
    while (i >= 0 && out.digits[i] == '9') out.digits[i--] = '0';
    if (i >= 0) {
      ++out.digits[i];
    } else {
      out.digits[0] = '1';  // 9.99..9 became 10.0..0
      ++out.exponent;
    }
  }
  out.count = 15;
  while (out.count > 1 && out.digits[out.count - 1] == '0') --out.count;
}

}  // namespace

bool RealTextOverflows(double value) {
  // Below 1e308 the 15 digits cannot pass the largest double; the test keeps
  // the common case to one comparison.
  const double magnitude = std::fabs(value);
  if (!(magnitude >= 1e308) || std::isinf(magnitude)) return false;
  Digits15 d{};
  RoundTo15(magnitude, d);
  // The digits as a plain decimal «0.d1..dkEe», read back exactly.
  char text[32] = {'0', '.'};
  char* p = std::copy(d.digits, d.digits + d.count, text + 2);
  *p++ = 'E';
  p = std::to_chars(p, text + sizeof text, d.exponent).ptr;
  double back = 0.0;
  return std::from_chars(text, p, back).ec == std::errc::result_out_of_range;
}

void SetDecimalSeparator(char separator) { decimalSeparator = separator; }

char DecimalSeparator() { return decimalSeparator; }

char* WriteRealText(char* p, double value) {
  if (value == 0.0) {
    *p++ = '0';
    return p;
  }
  if (std::isnan(value)) return std::copy_n("NAN", 3, p);
  if (value < 0) *p++ = '-';
  if (std::isinf(value)) return std::copy_n("INF", 3, p);

  ShortDecimal decimal{};
  if (FindShortDecimal(std::fabs(value), decimal)) {
    const int n = DigitCount(decimal.m);
    const int e = n - decimal.k;  // the value is 0.d1..dn x 10^e
    if (e >= -3) {
      // Fixed form, digits written straight into place: «123», «12.34»,
      // «0.0012». e <= 15 holds since n <= 15.
      if (decimal.k == 0) {
        WriteDigitsBackwards(p + n, decimal.m, n);
        return p + n;
      }
      if (e > 0) {
        char* end = p + n + 1;
        WriteDigitsBackwards(end, decimal.m, decimal.k);
        end[-decimal.k - 1] = decimalSeparator;
        WriteDigitsBackwards(end - decimal.k - 1,
                             decimal.m / kPowersOf10Integer[static_cast<std::size_t>(decimal.k)],
                             e);
        return end;
      }
      *p++ = '0';
      *p++ = decimalSeparator;
      p = std::fill_n(p, -e, '0');
      WriteDigitsBackwards(p + n, decimal.m, n);
      return p + n;
    }
  }

  Digits15 d{};
  RoundTo15(std::fabs(value), d);
  const int k = d.count;
  const int e = d.exponent;
  if (e > 15 || e < -3) {
    *p++ = d.digits[0];
    if (k > 1) {
      *p++ = decimalSeparator;
      p = std::copy(d.digits + 1, d.digits + k, p);
    }
    *p++ = 'E';
    p = std::to_chars(p, p + 8, e - 1).ptr;
  } else if (e <= 0) {
    *p++ = '0';
    *p++ = decimalSeparator;
    p = std::fill_n(p, -e, '0');
    p = std::copy(d.digits, d.digits + k, p);
  } else {
    p = std::copy(d.digits, d.digits + (k < e ? k : e), p);
    if (k < e) p = std::fill_n(p, e - k, '0');
    if (k > e) {
      *p++ = decimalSeparator;
      p = std::copy(d.digits + e, d.digits + k, p);
    }
  }
  return p;
}

void AppendRealText(std::string& out, double value) {
  char text[kMaxRealTextLength];
  out.append(text, WriteRealText(text, value));
}

void AppendIntegerText(std::string& out, std::int32_t value) {
  char buffer[16];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, result.ptr);
}

std::string RealToText(double value) {
  std::string text;
  AppendRealText(text, value);
  return text;
}

std::string IntegerToText(std::int32_t value) {
  std::string text;
  AppendIntegerText(text, value);
  return text;
}

std::string IntegerToHexText(std::int32_t value, int minDigits) {
  char buffer[16];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, static_cast<std::uint32_t>(value), 16);
  std::string text;
  const auto length = static_cast<int>(result.ptr - buffer);
  if (minDigits > length) text.append(static_cast<std::size_t>(minDigits - length), '0');
  for (const char* p = buffer; p != result.ptr; ++p) {
    text.push_back(*p >= 'a' && *p <= 'f' ? static_cast<char>(*p - 'a' + 'A') : *p);
  }
  return text;
}

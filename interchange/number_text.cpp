#include "interchange/number_text.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <system_error>

namespace {

// See SetDecimalSeparator.
char decimalSeparator = '.';

// The rounded magnitude as the digits of Digits (Count of them, no trailing
// zero) read as 0.d1..dk x 10^Exponent.
struct Digits15 {
  std::uint64_t Digits;
  int Count;
  int Exponent;
};

template <std::size_t N>
constexpr std::array<std::uint64_t, N> PowersOf(std::uint64_t base) {
  std::array<std::uint64_t, N> powers{};
  powers[0] = 1;
  for (std::size_t i = 1; i < N; ++i) powers[i] = powers[i - 1] * base;
  return powers;
}

constexpr auto kPow10 = PowersOf<16>(10);
constexpr std::uint64_t kFifteenDigits = kPow10[15];
// 5^27 is the largest power of five below 2^63.
constexpr auto kPow5 = PowersOf<28>(5);
constexpr int kMaxPow5 = static_cast<int>(kPow5.size()) - 1;

// An unsigned 128-bit product. Written with 32-bit halves so that the 32-bit
// Windows build, which has no 128-bit integer, runs the very same code.
struct U128 {
  std::uint64_t Hi;
  std::uint64_t Lo;
};

U128 Multiply(std::uint64_t a, std::uint64_t b) {
  const std::uint64_t a0 = a & 0xFFFFFFFFu, a1 = a >> 32;
  const std::uint64_t b0 = b & 0xFFFFFFFFu, b1 = b >> 32;
  const std::uint64_t p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
  const std::uint64_t mid = (p00 >> 32) + (p01 & 0xFFFFFFFFu) + (p10 & 0xFFFFFFFFu);
  return {p11 + (p01 >> 32) + (p10 >> 32) + (mid >> 32), (mid << 32) | (p00 & 0xFFFFFFFFu)};
}

// p >> shift and p mod 2^shift, 0 < shift < 128; the quotient must fit 64 bits.
std::uint64_t ShiftRight(U128 p, int shift) {
  if (shift >= 64) return p.Hi >> (shift - 64);
  return (p.Hi << (64 - shift)) | (p.Lo >> shift);
}
U128 LowBits(U128 p, int shift) {
  if (shift >= 64) return {shift == 64 ? 0 : p.Hi & ((std::uint64_t{1} << (shift - 64)) - 1), p.Lo};
  return {0, p.Lo & ((std::uint64_t{1} << shift) - 1)};
}
bool Less(U128 a, U128 b) { return a.Hi < b.Hi || (a.Hi == b.Hi && a.Lo < b.Lo); }
// a * m for a < 2^116 and a small m, as long as the product fits.
U128 MultiplySmall(U128 a, std::uint64_t m) {
  const U128 lo = Multiply(a.Lo, m);
  return {lo.Hi + a.Hi * m, lo.Lo};
}
U128 ShiftLeftSmall(std::uint64_t v, int shift) {
  if (shift >= 64) return {v << (shift - 64), 0};
  return {shift == 0 ? 0 : v >> (64 - shift), v << shift};
}

// Drops the trailing zeros of the 15 digits of n.
Digits15 Trimmed(std::uint64_t n, int exponent) {
  int count = 15;
  if (n % 100000000 == 0) n /= 100000000, count -= 8;
  if (n % 10000 == 0) n /= 10000, count -= 4;
  if (n % 100 == 0) n /= 100, count -= 2;
  if (n % 10 == 0) n /= 10, count -= 1;
  return {n, count, exponent};
}

// The values drawings are mostly made of, integers and a few decimals, take
// a road of their own: is the double x the one that the decimal m / 10^4 reads
// as, for m = round(x * 10^4)? Such a decimal is the answer of the general
// rounding as well: x lies within half an ulp of it, far inside half a unit of
// its 15th digit, and no other decimal of 15 digits lies that close. With 4
// places and m < 10^15 the form is always fixed, as the smallest such value
// is 1e-4. Fewer places are the same m with zeros at the end, so one test
// covers them all.
//
// The test is exact, in integers. x = f * 2^e with f < 2^53, so
// x * 10^4 = f * 625 * 2^(e+4) = P / 2^k with P = f * 625 < 2^63 and
// k = -(e+4). m = P / 2^k rounded, and r = P - m * 2^k, |r| <= 2^(k-1).
// m / 10^4 reads as x exactly when it lies within half an ulp (2^e / 2) of x,
// that is |r| / 2^k < 10^4 * 2^e / 2, which is |r| < 312.5; below a power of
// two the next double down is half as far, so there r > 0 (m below x) needs
// r < 156.25. No tie can occur, r being an integer. Returns m, or 0 when x is
// no such decimal.
constexpr std::uint64_t kShortScale = 10000;

std::uint64_t ShortDecimalOf(double magnitude) {
  if (!(magnitude < 1e11)) return 0;  // m below 10^15
  const auto bits = std::bit_cast<std::uint64_t>(magnitude);
  const int biased = static_cast<int>(bits >> 52);
  const std::uint64_t hidden = std::uint64_t{1} << 52;
  const std::uint64_t f = (bits & (hidden - 1)) | hidden;
  // Below 2^-14 (about 6e-5, k >= 64) no m >= 1 is near.
  const int k = 1075 - biased - 4;
  if (k >= 64 || biased == 0) return 0;
  const std::uint64_t product = f * 625;
  const std::uint64_t m = (product + (std::uint64_t{1} << (k - 1))) >> k;
  const auto r = static_cast<std::int64_t>(product - (m << k));
  const std::int64_t below = f == hidden ? 156 : 312;
  return r <= below && r >= -312 ? m : 0;
}

// The general rounding, exactly, for magnitudes from about 1e-12 to below
// 1e15, which is where drawings live; false elsewhere.
//
// A double is f x 2^q with an integer f < 2^53. For the s that gives its
// integer part 15 digits, x * 10^s = f * 5^s * 2^(s+q), and s+q < 0 here, so
// P = f * 5^s, computed exactly in 128 bits, holds x * 10^s as the integer
// n = P >> -(s+q) and the tail t = (P mod 2^-(s+q)) / 2^-(s+q) in [0, 1): the
// exact 15 leading digits and what follows them. The general rounding takes
// 18 digits to nearest, ties to even, then rounds half up at the 16th; in
// units of the 15th digit, the 18 digits end in .500 or more exactly when
// t >= 0.4995 (.4995 itself is a tie onto the even .500). So n + 1 when
// 2000 t >= 999, else n: the very digits of the long road, without it.
bool RoundTo15Exactly(double magnitude, Digits15& out) {
  const auto bits = std::bit_cast<std::uint64_t>(magnitude);
  const int biased = static_cast<int>(bits >> 52);
  if (biased == 0) return false;  // subnormal: far below the range
  const std::uint64_t f = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
  const int e2 = biased - 1023;
  // floor(e2 log10 2) + 1: the digits of the integer part, or one too few.
  int exponent = ((e2 * 78913) >> 18) + 1;
  for (int attempt = 0; attempt < 2; ++attempt, ++exponent) {
    const int s = 15 - exponent;
    if (s < 0 || s > kMaxPow5) return false;
    const int shift = 52 - e2 - s;  // -(s + q) with q = e2 - 52
    if (shift <= 0 || shift >= 128) return false;
    const U128 p = Multiply(f, kPow5[static_cast<std::size_t>(s)]);
    std::uint64_t n = ShiftRight(p, shift);
    if (n >= kFifteenDigits) continue;  // sixteen digits: one more to the left
    const U128 tail = LowBits(p, shift);
    if (!Less(MultiplySmall(tail, 2000), ShiftLeftSmall(999, shift))) ++n;
    if (n == kFifteenDigits) {  // 9.99..9 became 10.0..0
      n = kPow10[14];
      ++exponent;
    }
    out = Trimmed(n, exponent);
    return true;
  }
  return false;
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

// The long road for the rest: the correctly rounded 18 significant digits
// from to_chars, then half up from 18 to 15.
Digits15 RoundTo15(double magnitude) {
  char buffer[40];  // d.ddddddddddddddddde±x
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific, 17);
  std::uint64_t n = static_cast<std::uint64_t>(buffer[0] - '0');
  for (int i = 2; i < 16; ++i) n = n * 10 + static_cast<std::uint64_t>(buffer[i] - '0');
  int exponent10 = 0;
  std::from_chars(buffer + 20 + (buffer[20] == '+' ? 1 : 0), result.ptr, exponent10);
  int exponent = exponent10 + 1;
  // From 18 to 15: the 16th digit decides, half up.
  if (buffer[16] >= '5' && ++n == kFifteenDigits) {
    n = kPow10[14];
    ++exponent;
  }
  return Trimmed(n, exponent);
}

// v in decimal. Below 2^32, which covers every coordinate of a drawing, in
// 32-bit steps: cheaper than the 64-bit division by 100 of to_chars.
char* WriteWhole(char* p, std::uint64_t v) {
  if (v > 0xFFFFFFFFu) return std::to_chars(p, p + 20, v).ptr;
  auto x = static_cast<std::uint32_t>(v);
  int length = 1;
  for (std::uint32_t bound = 10; length < 10 && x >= bound; bound *= 10) ++length;
  char* end = p + length;
  for (; x >= 100; x /= 100) {
    end -= 2;
    std::memcpy(end, kDigitPairs + x % 100 * 2, 2);
  }
  if (x >= 10) {
    std::memcpy(end - 2, kDigitPairs + x * 2, 2);
  } else {
    end[-1] = static_cast<char>('0' + x);
  }
  return p + length;
}

// m / 10^4 in fixed form: the whole part, then the places up to the last one
// that is not zero.
char* WriteShortDecimal(char* p, std::uint64_t m) {
  p = WriteWhole(p, m / kShortScale);
  auto places = static_cast<std::size_t>(m % kShortScale);
  if (places == 0) return p;
  *p++ = decimalSeparator;
  std::memcpy(p, kDigitPairs + places / 100 * 2, 2);
  std::memcpy(p + 2, kDigitPairs + places % 100 * 2, 2);
  // Without branches: how many places there are is hard to foresee.
  const auto zeros = static_cast<int>(places % 10 == 0) + static_cast<int>(places % 100 == 0) +
                     static_cast<int>(places % 1000 == 0);
  return p + 4 - zeros;
}

}  // namespace

bool RealTextOverflows(double value) {
  // Below 1e308 the 15 digits cannot pass the largest double; the test keeps
  // the common case to one comparison.
  const double magnitude = std::fabs(value);
  if (!(magnitude >= 1e308) || std::isinf(magnitude)) return false;
  const Digits15 d = RoundTo15(magnitude);
  // The digits as a plain decimal «0.d1..dkEe», read back exactly.
  char text[48] = {'0', '.'};
  char* p = std::to_chars(text + 2, text + 24, d.Digits).ptr;  // 15 digits at most
  *p++ = 'E';
  p = std::to_chars(p, text + sizeof text, d.Exponent).ptr;
  double back = 0.0;
  return std::from_chars(text, p, back).ec == std::errc::result_out_of_range;
}

void SetDecimalSeparator(char separator) { decimalSeparator = separator; }

char DecimalSeparator() { return decimalSeparator; }

namespace {

// Everything but the short decimals, after the sign: kept out of line, so
// that their road saves no registers.
[[gnu::noinline]] char* WriteGeneralRealText(char* p, double value) {
  if (value == 0.0) {
    *p++ = '0';
    return p;
  }
  if (std::isnan(value)) return std::copy_n("NAN", 3, p);
  if (std::isinf(value)) return std::copy_n("INF", 3, p);

  const double magnitude = std::fabs(value);
  Digits15 d{};
  if (!RoundTo15Exactly(magnitude, d)) d = RoundTo15(magnitude);
  const int k = d.Count;
  const int e = d.Exponent;
  if (e > 15 || e < -3) {
    // d1, then the separator and d2..dk in the places the digits were
    // written to.
    WriteDigitsBackwards(p + 1 + k, d.Digits, k);
    p[0] = p[1];
    if (k > 1) {
      p[1] = decimalSeparator;
      p += k + 1;
    } else {
      p += 1;
    }
    *p++ = 'E';
    return std::to_chars(p, p + 8, e - 1).ptr;
  }
  if (e <= 0) {
    *p++ = '0';
    *p++ = decimalSeparator;
    p = std::fill_n(p, -e, '0');
    WriteDigitsBackwards(p + k, d.Digits, k);
    return p + k;
  }
  if (k <= e) {
    WriteDigitsBackwards(p + k, d.Digits, k);
    return std::fill_n(p + k, e - k, '0');
  }
  char* end = p + k + 1;
  const int fraction = k - e;
  WriteDigitsBackwards(end, d.Digits, fraction);
  end[-fraction - 1] = decimalSeparator;
  WriteDigitsBackwards(end - fraction - 1, d.Digits / kPow10[static_cast<std::size_t>(fraction)],
                       e);
  return end;
}

}  // namespace

char* WriteRealText(char* p, double value) {
  // -0 is "0", and NAN has no sign.
  if (value < 0) *p++ = '-';
  const double magnitude = std::fabs(value);
  if (const std::uint64_t m = ShortDecimalOf(magnitude); m != 0) return WriteShortDecimal(p, m);
  return WriteGeneralRealText(p, magnitude);
}

char* WriteBlankSeparatedReals(char* p, const double* values, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    *p++ = ' ';
    p = WriteRealText(p, values[i]);
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

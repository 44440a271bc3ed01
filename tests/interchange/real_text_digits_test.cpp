// RealToText computes the digits of most values exactly in integers. It must
// give the very digits of the general rounding (the correctly rounded 18
// significant digits, then half up at the 15th), which the reference below
// computes the long way for every value.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>

#include "interchange/number_text.h"

namespace {

// The long way, into a buffer (this runs tens of millions of times).
struct Text {
  char Bytes[40];
  int Size = 0;
  void Add(char c) { Bytes[Size++] = c; }
  void Add(const char* p, int n) {
    std::copy_n(p, n, Bytes + Size);
    Size += n;
  }
  std::string_view View() const { return {Bytes, static_cast<std::size_t>(Size)}; }
};

Text ReferenceRealText(double value) {
  Text out;
  if (value == 0.0) return out.Add('0'), out;
  if (std::isnan(value)) return out.Add("NAN", 3), out;
  if (value < 0) out.Add('-');
  if (std::isinf(value)) return out.Add("INF", 3), out;
  char buffer[40];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                    std::chars_format::scientific, 17);
  char digits[16];
  digits[0] = buffer[0];
  std::copy_n(buffer + 2, 15, digits + 1);  // digits 2 to 16
  const char* exponentText = buffer + 20 + (buffer[20] == '+' ? 1 : 0);
  int exponent = 0;
  std::from_chars(exponentText, result.ptr, exponent);
  ++exponent;
  int k = 15;
  if (digits[15] >= '5') {
    int i = 14;
    while (i >= 0 && digits[i] == '9') digits[i--] = '0';
    if (i >= 0) {
      ++digits[i];
    } else {
      digits[0] = '1';
      ++exponent;
    }
  }
  while (k > 1 && digits[k - 1] == '0') --k;
  if (exponent > 15 || exponent < -3) {
    out.Add(digits[0]);
    if (k > 1) out.Add('.'), out.Add(digits + 1, k - 1);
    out.Add('E');
    out.Size = static_cast<int>(
        std::to_chars(out.Bytes + out.Size, out.Bytes + 40, exponent - 1).ptr - out.Bytes);
  } else if (exponent <= 0) {
    out.Add("0.", 2);
    for (int i = 0; i < -exponent; ++i) out.Add('0');
    out.Add(digits, k);
  } else if (k <= exponent) {
    out.Add(digits, k);
    for (int i = k; i < exponent; ++i) out.Add('0');
  } else {
    out.Add(digits, exponent);
    out.Add('.');
    out.Add(digits + exponent, k - exponent);
  }
  return out;
}

void ExpectSameAsReference(double value) {
  char text[kMaxRealTextLength];
  const char* end = WriteRealText(text, value);
  const std::string_view written(text, static_cast<std::size_t>(end - text));
  const Text expected = ReferenceRealText(value);
  if (written != expected.View())
    FAIL() << std::hexfloat << value << ": " << written << " is not " << expected.View();
}

TEST(RealTextDigits, EdgeValues) {
  const double values[] = {0.5,
                           0.1 + 0.2,
                           1.0 / 3.0,
                           123456789012345.0,
                           999999999999999.0,
                           999999999999999.6,
                           999999999999999.4,
                           1e15,
                           1e15 - 0.125,
                           0.0001,
                           0.00009999999999999999,
                           1e-22,
                           1.5e-22,
                           5e-23,
                           1e22,
                           100.123456789,
                           100.12345679,
                           1.41421356,
                           2e-8,
                           4.9,
                           -12345.67,
                           9.9999999999999995,
                           0.30000000000000004,
                           5e-324,
                           1.7976931348623157e308};
  for (const double v : values) ExpectSameAsReference(v);
}

// Decimals of 1 to 17 significant digits with 0 to 24 decimals: the shortcut's
// territory and its borders.
TEST(RealTextDigits, ShortDecimalsMatchTheGeneralRounding) {
  std::mt19937_64 rng(726);
  for (int i = 0; i < 300000; ++i) {
    const int digits = static_cast<int>(rng() % 17) + 1;
    const int decimals = static_cast<int>(rng() % 25);
    const std::uint64_t m = rng() % static_cast<std::uint64_t>(std::pow(10.0, digits));
    const std::string text = std::to_string(m) + "e-" + std::to_string(decimals);
    double v = 0;
    std::from_chars(text.data(), text.data() + text.size(), v);
    ExpectSameAsReference(rng() % 2 ? v : -v);
    // The doubles beside one are the nearest that are no short decimal.
    ExpectSameAsReference(std::nextafter(v, 0.0));
    ExpectSameAsReference(std::nextafter(v, 1e300));
  }
}

// Optimised builds check every case; the Debug and sanitizer builds every
// stride-th, to stay quick.
#ifdef NDEBUG
constexpr std::uint64_t kStride = 1;
#else
constexpr std::uint64_t kStride = 97;
#endif

// The exact path's borders in practice: every decimal m * 10^p of up to 7
// significant digits, so every decimal of j <= 7 digits at the decimal
// exponent p + j, with p + 7 at 1e-11 (where the exact path begins), 1e-3
// (the fixed form's lower end) and 1e15 (its upper end and the exact path's).
// m * 10^p of two exact doubles is the double nearest to the decimal.
TEST(RealTextDigits, EveryShortDecimalMatchesTheGeneralRounding) {
  for (const int p : {-18, -10, 8}) {
    double scale = 1;  // exact up to 1e22
    for (int i = 0; i < std::abs(p); ++i) scale *= 10;
    for (std::uint64_t m = 1; m < 10000000; m += kStride) {
      const double x = static_cast<double>(m);
      ExpectSameAsReference(p < 0 ? x / scale : x * scale);
    }
  }
}

// Random bit patterns, half of them with their exponent drawn from around the
// fast path's range (1e-14 to 1e17), where the bits alone rarely fall.
TEST(RealTextDigits, RandomBitPatternsMatchTheGeneralRounding) {
  std::mt19937_64 rng(1);
  for (std::uint64_t i = 0; i < 10000000; i += kStride) {
    std::uint64_t bits = rng();
    if (i % 2 == 1) {
      const std::uint64_t biased = 1023 - 47 + bits % 105;
      bits = (bits & 0x800FFFFFFFFFFFFFu) | (biased << 52);
    }
    const double v = std::bit_cast<double>(bits);
    if (std::isnan(v)) continue;
    ExpectSameAsReference(v);
  }
}

// The shortcut writes the separator itself, in each of its three layouts.
TEST(RealTextDigits, LocaleSeparatorOnEveryPath) {
  SetDecimalSeparator(',');
  const std::string texts[] = {RealToText(12.5), RealToText(-0.0012), RealToText(1.0 / 3.0),
                               RealToText(1.5e-7), RealToText(120)};
  SetDecimalSeparator('.');
  EXPECT_EQ(texts[0], "12,5");
  EXPECT_EQ(texts[1], "-0,0012");
  EXPECT_EQ(texts[2], "0,333333333333333");
  EXPECT_EQ(texts[3], "1,5E-7");
  EXPECT_EQ(texts[4], "120");
}

}  // namespace

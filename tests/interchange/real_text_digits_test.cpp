// RealToText takes a shortcut for values with a short decimal form. It must
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

#include "interchange/number_text.h"

namespace {

std::string ReferenceRealText(double value) {
  if (value == 0.0) return "0";
  if (std::isnan(value)) return "NAN";
  std::string out = value < 0 ? "-" : "";
  if (std::isinf(value)) return out.append("INF");
  char buffer[40];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                    std::chars_format::scientific, 17);
  std::string digits(1, buffer[0]);
  digits.append(buffer + 2, 17);
  const char* exponentText = buffer + 20 + (buffer[20] == '+' ? 1 : 0);
  int exponent = 0;
  std::from_chars(exponentText, result.ptr, exponent);
  ++exponent;
  const bool up = digits[15] >= '5';
  digits.resize(15);
  if (up) {
    int i = 14;
    while (i >= 0 && digits[static_cast<std::size_t>(i)] == '9')
      digits[static_cast<std::size_t>(i--)] = '0';
    if (i >= 0) {
      ++digits[static_cast<std::size_t>(i)];
    } else {
      digits.pop_back();
      digits.insert(digits.begin(), '1');
      ++exponent;
    }
  }
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  const int k = static_cast<int>(digits.size());
  if (exponent > 15 || exponent < -3) {
    out.push_back(digits[0]);
    if (k > 1) out.append(".").append(digits, 1);
    out.append("E").append(std::to_string(exponent - 1));
  } else if (exponent <= 0) {
    out.append("0.").append(static_cast<std::size_t>(-exponent), '0').append(digits);
  } else if (k <= exponent) {
    out.append(digits).append(static_cast<std::size_t>(exponent - k), '0');
  } else {
    out.append(digits, 0, static_cast<std::size_t>(exponent))
        .append(".")
        .append(digits, static_cast<std::size_t>(exponent));
  }
  return out;
}

void ExpectSameAsReference(double value) {
  ASSERT_EQ(RealToText(value), ReferenceRealText(value)) << std::hexfloat << value;
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
  }
}

TEST(RealTextDigits, RandomBitPatternsMatchTheGeneralRounding) {
  std::mt19937_64 rng(1);
  for (int i = 0; i < 300000; ++i) {
    const double v = std::bit_cast<double>(rng());
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

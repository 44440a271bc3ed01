#include "util/number_parse.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <string>

namespace {

struct IntCase {
  std::string text;
  std::int32_t expected;
};

TEST(MyFuncNumberParse, StrToIntOrZeroReadsWholeDecimalOrHexTextElseZero) {
  const IntCase cases[] = {
      {"", 0},
      {"42", 42},
      {"  -7", -7},
      {"+5", 5},
      {"0", 0},
      {"-0", 0},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"2147483648", 0},
      {"-2147483649", 0},
      {"99999999999999999999", 0},
      {"000000000000000000000042", 42},
      {"12 ", 0},
      {"+", 0},
      {"-", 0},
      {"   ", 0},
      {"1.0", 0},
      {"1e3", 0},
      {"- 5", 0},
      {"+-5", 0},
      {"\t5", 0},  // only 0x20 counts as a blank
      {" \t5", 0},
      {"x1A", 26},
      {"X1a", 26},
      {"0x10", 16},
      {"0X10", 16},
      {"$ff", 255},
      {"$FF", 255},
      {"$7FFFFFFF", INT32_MAX},
      {"$80000000", INT32_MIN},
      {"$FFFFFFFF", -1},
      {"$00000000FF", 255},
      {"$100000000", 0},
      {"-$10", -16},
      {"+$10", 16},
      {"-$FFFFFFFF", 1},
      {"-0x80000000", INT32_MIN},
      {"  $1f", 31},
      {"$", 0},
      {"0x", 0},
      {"$G", 0},
      {"0x1G", 0},
      {"$-10", 0},
      {"0xx1", 0},
      {"$10 ", 0},
      {"1x", 0},
      {"10$", 0},
      {std::string("1\0", 2), 0},
  };
  for (const IntCase& c : cases) {
    EXPECT_EQ(StrToIntOrZero(c.text), c.expected) << '"' << c.text << '"';
  }
}

struct RealCase {
  std::string text;
  double expected;
  bool overflow;
};

TEST(MyFuncNumberParse, ParseRealReadsWholeDecimalTextElseZero) {
  const std::string zeros400(400, '0');
  const RealCase cases[] = {
      {"1.5", 1.5, false},
      {" -2.5E3", -2500.0, false},
      {"+2.5e-1", 0.25, false},
      {"1E-2", 0.01, false},
      {"007.25", 7.25, false},
      {"5.", 5.0, false},
      {".5", 0.5, false},
      {"+.5e+1", 5.0, false},
      {".", 0.0, false},
      {"E5", 0.0, false},
      {"e5", 0.0, false},
      {"-.e5", 0.0, false},
      {"", 0.0, false},
      {"   ", 0.0, false},
      {"-", 0.0, false},
      {"+", 0.0, false},
      {" +", 0.0, false},
      {"1,5", 0.0, false},
      {"1e", 0.0, false},
      {"1e+", 0.0, false},
      {"1e-", 0.0, false},
      {"1e5 ", 0.0, false},
      {"1 ", 0.0, false},
      {"\t1", 0.0, false},
      {"1.5.2", 0.0, false},
      {"--1", 0.0, false},
      {"0x10", 0.0, false},
      {"inf", 0.0, false},
      {"nan", 0.0, false},
      {"1e400", 0.0, true},
      {"-1e400", 0.0, true},
      {"1e999999999999", 0.0, true},
      {"1.7976931348623159e308", 0.0, true},
      {"1" + zeros400, 0.0, true},
      {"0.000001e309", 1e303, false},
      {"1.7976931348623157e308", DBL_MAX, false},
      {"1e-400", 0.0, false},
      {"-1e-400", 0.0, false},
      {"1e-999999999999", 0.0, false},
      {"0e999999999999", 0.0, false},
      {"0." + zeros400 + "1", 0.0, false},
      {"0." + zeros400 + "1e400", 0.1, false},
      {"1" + zeros400 + "e-400", 1.0, false},
      {zeros400 + "12.5", 12.5, false},
      {"2.2250738585072014e-308", DBL_MIN, false},
      {"4.9406564584124654e-324", 0x0.0000000000001p-1022, false},
      // Just above half the smallest subnormal rounds up to it; just below, to 0.
      {"2.4703282292062328e-324", 0x0.0000000000001p-1022, false},
      {"2.4703282292062327e-324", 0.0, false},
      {"2.2250738585072009e-308", 0x0.fffffffffffffp-1022, false},
  };
  for (const RealCase& c : cases) {
    const RealParse r = ParseReal(c.text);
    const std::string shown = c.text.substr(0, 40);
    if (c.expected == 0.0) {
      EXPECT_EQ(r.Value, 0.0) << '"' << shown << '"';
    } else {
      EXPECT_EQ(std::bit_cast<std::uint64_t>(r.Value), std::bit_cast<std::uint64_t>(c.expected))
          << '"' << shown << "\" gave " << r.Value;
    }
    EXPECT_EQ(r.Overflow, c.overflow) << shown;
    EXPECT_EQ(StrToFloatOrZero(c.text), c.expected) << shown;
  }
}

// The texts of nearly every line: every length and every place of the point
// that the quick path takes, against the correctly rounded from_chars.
TEST(MyFuncNumberParse, ParseRealReadsShortDecimalsAsFromChars) {
  std::mt19937_64 rng(5);
  for (int i = 0; i < 200000; ++i) {
    const std::size_t length = 1 + rng() % 12;
    const std::size_t point = rng() % (length + 2);  // past the digits: none
    std::string text = rng() % 2 != 0 ? "-" : "";
    for (std::size_t k = 0; k <= length; ++k) {
      if (k == point) text += '.';
      if (k < length) text += static_cast<char>('0' + rng() % 10);
    }
    // More zeros keep from_chars on its integer road (see below).
    const std::string padded = text + (point <= length ? "" : ".") + std::string(22, '0');
    double expected = 0.0;
    std::from_chars(padded.data(), padded.data() + padded.size(), expected);
    ASSERT_EQ(std::bit_cast<std::uint64_t>(ParseReal(text).Value),
              std::bit_cast<std::uint64_t>(expected))
        << text;
  }
}

TEST(MyFuncNumberParse, ParseRealKeepsTheSignOfNegativeValues) {
  EXPECT_EQ(ParseReal("-1.5").Value, -1.5);
  EXPECT_EQ(ParseReal("  -4.9406564584124654e-324").Value, -0x0.0000000000001p-1022);
  EXPECT_EQ(ParseReal("-1.7976931348623157e308").Value, -DBL_MAX);
}

// Shortest round-trip text of random doubles must come back bit for bit.
TEST(MyFuncNumberParse, ParseRealIsCorrectlyRoundedOnShortestTexts) {
  std::mt19937_64 random(20240611);
  for (int i = 0; i < 20000; ++i) {
    const double x = std::bit_cast<double>(random());
    if (!std::isfinite(x)) continue;
    char buffer[64];
    const auto shortest = std::to_chars(buffer, buffer + sizeof buffer, x);
    const std::string text(buffer, shortest.ptr);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(ParseReal(text).Value), std::bit_cast<std::uint64_t>(x))
        << text;
    const auto digits17 =
        std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::scientific, 16);
    const std::string text17(buffer, digits17.ptr);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(ParseReal(text17).Value),
              std::bit_cast<std::uint64_t>(x))
        << text17;
  }
}

TEST(MyFuncNumberParse, ParseRealBreaksTiesToEven) {
  const RealCase cases[] = {
      {"9007199254740993", 9007199254740992.0, false},
      {"9007199254740995", 9007199254740996.0, false},
      {"9007199254740993.0000000000000000000000001", 9007199254740994.0, false},
      {"9007199254740992.9999999999999999999999999", 9007199254740992.0, false},
      {"1.00000000000000011102230246251565404236316680908203125", 1.0, false},
      {"1.00000000000000011102230246251565404236316680908203125001", 0x1.0000000000001p0, false},
      {"1.00000000000000033306690738754696212708950042724609375", 0x1.0000000000002p0, false},
  };
  for (const RealCase& c : cases) {
    EXPECT_EQ(ParseReal(c.text).Value, c.expected) << c.text;
  }
}

// The exact decimal of the midpoint of two neighbouring doubles goes to the
// even one; a hair above goes up, a hair below goes down. Below 2^53 the
// midpoint has a fraction, so its exact decimal ends in 5.
TEST(MyFuncNumberParse, ParseRealRoundsRandomMidpointsCorrectly) {
  if constexpr (std::numeric_limits<long double>::digits < 64) {
    GTEST_SKIP() << "needs a long double that holds a midpoint exactly";
  }
  std::mt19937_64 random(7);
  std::uniform_int_distribution<int> exponents(-200, 50);
  for (int i = 0; i < 2000; ++i) {
    const double low =
        std::ldexp(1.0 + static_cast<double>(random() >> 12) * 0x1p-52, exponents(random));
    const double high = std::nextafter(low, INFINITY);
    const long double middle = (static_cast<long double>(low) + high) / 2;
    char buffer[1200];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, middle, std::chars_format::scientific, 1000);
    ASSERT_EQ(written.ec, std::errc());
    const std::string text(buffer, written.ptr);
    const std::size_t e = text.find('e');
    const std::size_t last = text.find_last_not_of('0', e - 1);
    const std::string digits = text.substr(0, last + 1);
    const std::string exponent = text.substr(e);
    ASSERT_EQ(digits.back(), '5') << text;

    const bool lowIsEven = (std::bit_cast<std::uint64_t>(low) & 1) == 0;
    EXPECT_EQ(ParseReal(digits + exponent).Value, lowIsEven ? low : high) << digits << exponent;
    EXPECT_EQ(ParseReal(digits + "1" + exponent).Value, high) << digits << exponent;
    EXPECT_EQ(ParseReal(digits.substr(0, digits.size() - 1) + exponent).Value, low)
        << digits << exponent;
  }
}

// The quick conversion of short decimals against from_chars, over its
// borders: 1 to 20 digits (2^53 and 19 digits), the point anywhere, exponents
// that put the scale around +-22.
TEST(MyFuncNumberParse, ParseRealMatchesFromCharsOnPlainDecimals) {
  std::mt19937_64 random(53);
  for (int i = 0; i < 1000000; ++i) {
    char buffer[40];
    char* p = buffer;
    if (random() % 2) *p++ = '-';
    const int digits = static_cast<int>(random() % 20) + 1;
    const int point = static_cast<int>(random() % static_cast<unsigned>(digits + 2)) - 1;
    for (int d = 0; d < digits; ++d) {
      if (d == point) *p++ = '.';
      *p++ = static_cast<char>('0' + (d == 0 ? 1 + random() % 9 : random() % 10));
    }
    if (random() % 3 == 0) {
      *p++ = 'e';
      p = std::to_chars(p, buffer + sizeof buffer, static_cast<int>(random() % 61) - 30).ptr;
    }
    const std::string text(buffer, p);
    // The reference reads the same value with 22 more zeros in its digits:
    // from_chars then takes its integer road. Its one-product road runs on
    // x87 in the 32-bit runtime library and can round twice (2075.0e23).
    std::string padded = text;
    const std::size_t mantissaEnd = std::min(padded.find('e'), padded.size());
    padded.insert(mantissaEnd,
                  std::string(point >= 0 && point < digits ? "" : ".") + std::string(22, '0'));
    double expected = 0;
    ASSERT_EQ(std::from_chars(padded.data(), padded.data() + padded.size(), expected).ec,
              std::errc());
    ASSERT_EQ(std::bit_cast<std::uint64_t>(ParseReal(text).Value),
              std::bit_cast<std::uint64_t>(expected))
        << text;
  }
}

// The word read may take bytes past the text: they must not count, whatever
// they are, and none is read past readableEnd (ASan catches it: the buffer
// ends there). Random texts of the word's alphabet and its edges ('/' and ':'
// beside the digits, 0x1A..0x1F below them), followed by digits.
TEST(MyFuncNumberParse, ParseRealWithinAgreesWithParseReal) {
  const std::string fixed[] = {"",
                               "-",
                               "+",
                               ".",
                               "-.",
                               "5.",
                               ".5",
                               "-0",
                               "+.5",
                               "--1",
                               "12345678",
                               "-12345678",
                               "1234567.8",
                               "123456789",
                               "1.2.3",
                               "1e5",
                               " 1",
                               "1 ",
                               "0x10",
                               "9\x1F",
                               "\x1A"
                               "5",
                               "12:4",
                               "1/2"};
  const char alphabet[] = "0123456789.-+e /:\x1A\x1F";
  std::mt19937 random(61);
  for (int i = 0; i < 200000; ++i) {
    std::string text;
    if (i < static_cast<int>(std::size(fixed))) {
      text = fixed[i];
    } else {
      text.resize(random() % 11);
      for (char& c : text) c = alphabet[random() % (sizeof alphabet - 1)];
    }
    const std::size_t after = random() % 12;
    const std::size_t size = text.size() + after;
    auto buffer = std::make_unique<char[]>(size);
    std::memcpy(buffer.get(), text.data(), text.size());
    for (std::size_t k = text.size(); k < size; ++k) buffer[k] = static_cast<char>('0' + k % 10);
    const RealParse expected = ParseReal(text);
    const RealParse got =
        ParseRealWithin(std::string_view(buffer.get(), text.size()), buffer.get() + size);
    ASSERT_EQ(std::bit_cast<std::uint64_t>(got.Value), std::bit_cast<std::uint64_t>(expected.Value))
        << "text: " << text << ", readable after it: " << after;
    ASSERT_EQ(got.Overflow, expected.Overflow) << text;
  }
}

}  // namespace

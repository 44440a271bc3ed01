#include "interchange/number_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>

#include "util/number_parse.h"

namespace {

class KzmGaibuNumberText : public ::testing::Test {
 protected:
  void TearDown() override { SetDecimalSeparator('.'); }
};

struct RealTextCase {
  double value;
  const char* text;
};

TEST_F(KzmGaibuNumberText, RealToTextWritesFifteenSignificantDigits) {
  const RealTextCase cases[] = {
      {0.0, "0"},
      {-0.0, "0"},
      {1.0, "1"},
      {-1.5, "-1.5"},
      {0.1, "0.1"},
      {std::bit_cast<double>(0x3FD3333333333334u), "0.3"},  // 0.1 + 0.2
      {100.0, "100"},
      {123456.789, "123456.789"},
      {1.0 / 3.0, "0.333333333333333"},
      {2.0 / 3.0, "0.666666666666667"},
      {0.0001, "0.0001"},
      {0.00009999, "9.999E-5"},
      {0.00001, "1E-5"},
      {0.000123456789012345678, "0.000123456789012346"},
      {9.999999999999999e-5, "0.0001"},
      {999999999999999.0, "999999999999999"},
      {999999999999999.4, "999999999999999"},
      {999999999999999.5, "1E15"},
      {1e15, "1E15"},
      {123456789012345.6, "123456789012346"},
      {123456789.123456789, "123456789.123457"},
      {1.2345678901234568e17, "1.23456789012346E17"},
      {1e100, "1E100"},
      {-2.5e-7, "-2.5E-7"},
      {std::ldexp(1.0, -30), "9.31322574615479E-10"},
      {-1e-300, "-1E-300"},
  };
  for (const RealTextCase& c : cases) {
    EXPECT_EQ(RealToText(c.value), c.text) << std::hexfloat << c.value;
  }
}

TEST_F(KzmGaibuNumberText, RealToTextAtTheEdgesOfTheForms) {
  const RealTextCase cases[] = {
      {-0.1, "-0.1"},
      {0.5, "0.5"},
      {10.0, "10"},
      {-1e15, "-1E15"},
      {1e14, "100000000000000"},
      {-123.456, "-123.456"},
      {0.001, "0.001"},
      {0.00012, "0.00012"},
      {0.000099999999999999, "9.9999999999999E-5"},
      {1.5e16, "1.5E16"},
      {1e-100, "1E-100"},
      {1e300, "1E300"},
      // The 16th digit is 5: fifteen digits round half up, not to even.
      {100000000000000.5, "100000000000001"},
      {0.5000000000000005, "0.500000000000001"},
      // Exactly 1.932875281181344995…: eighteen digits give …134500, which
      // then rounds up to …135.
      {0x1.eed0ea17ebb1cp+0, "1.93287528118135"},
      {DBL_MAX, "1.79769313486232E308"},
      {-DBL_MAX, "-1.79769313486232E308"},
      {DBL_MIN, "2.2250738585072E-308"},
      {0x0.fffffffffffffp-1022, "2.2250738585072E-308"},
      {0x0.0000000000001p-1022, "4.94065645841247E-324"},
      {-0x0.0000000000001p-1022, "-4.94065645841247E-324"},
      {INFINITY, "INF"},
      {-INFINITY, "-INF"},
      {NAN, "NAN"},
      {-NAN, "NAN"},
  };
  for (const RealTextCase& c : cases) {
    EXPECT_EQ(RealToText(c.value), c.text) << std::hexfloat << c.value;
  }
}

TEST_F(KzmGaibuNumberText, RealToTextWritesTheDecimalSeparatorOfTheLocale) {
  SetDecimalSeparator(',');
  const RealTextCase cases[] = {
      {-1.5, "-1,5"},       {0.001, "0,001"}, {100.0, "100"},
      {-2.5e-7, "-2,5E-7"}, {1e20, "1E20"},   {DBL_MAX, "1,79769313486232E308"},
  };
  for (const RealTextCase& c : cases) {
    EXPECT_EQ(RealToText(c.value), c.text);
  }
  EXPECT_EQ(DecimalSeparator(), ',');
}

TEST_F(KzmGaibuNumberText, AppendFormsAddToTheEnd) {
  std::string line = "ci ";
  AppendRealText(line, 2.5);
  line += ' ';
  AppendIntegerText(line, -12);
  EXPECT_EQ(line, "ci 2.5 -12");
}

// The text keeps 15 significant digits, so reading it back is off by at most
// half a unit in the 15th digit (plus the last bit of the reading).
TEST_F(KzmGaibuNumberText, RealToTextReadsBackWithinFifteenDigits) {
  std::mt19937_64 random(15);
  int checked = 0;
  while (checked < 20000) {
    const double x = std::bit_cast<double>(random());
    if (!std::isnormal(x)) continue;
    ++checked;
    const std::string text = RealToText(x);
    const RealParse back = ParseReal(text);
    ASSERT_FALSE(back.Overflow) << text;
    EXPECT_LE(std::fabs(back.Value - x), std::fabs(x) * 5.2e-15) << text;
  }
}

// A double that is the nearest to a 15-digit decimal comes back bit for bit.
TEST_F(KzmGaibuNumberText, FifteenDigitDecimalsRoundTripExactly) {
  std::mt19937_64 random(1515);
  std::uniform_int_distribution<std::int64_t> mantissas(100000000000000, 999999999999999);
  std::uniform_int_distribution<int> exponents(-300, 290);
  for (int i = 0; i < 20000; ++i) {
    const std::string decimal =
        std::to_string(mantissas(random)) + "e" + std::to_string(exponents(random));
    double x = 0;
    ASSERT_EQ(std::from_chars(decimal.data(), decimal.data() + decimal.size(), x).ec, std::errc());
    const std::string text = RealToText(x);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(ParseReal(text).Value), std::bit_cast<std::uint64_t>(x))
        << decimal << " written as " << text;
    EXPECT_EQ(RealToText(-x), "-" + text);
  }
}

struct IntegerTextCase {
  std::int32_t value;
  const char* text;
};

TEST_F(KzmGaibuNumberText, IntegerToTextWritesPlainDecimal) {
  const IntegerTextCase cases[] = {
      {0, "0"},
      {7, "7"},
      {-3, "-3"},
      {10, "10"},
      {-1, "-1"},
      {1000000, "1000000"},
      {INT32_MAX, "2147483647"},
      {INT32_MIN, "-2147483648"},
  };
  for (const IntegerTextCase& c : cases) {
    EXPECT_EQ(IntegerToText(c.value), c.text);
  }
}

struct HexTextCase {
  std::int32_t value;
  int minDigits;
  const char* text;
};

TEST_F(KzmGaibuNumberText, IntegerToHexTextWritesTheBitPatternInUpperCase) {
  const HexTextCase cases[] = {
      {0, 1, "0"},
      {9, 1, "9"},
      {10, 1, "A"},
      {15, 1, "F"},
      {16, 1, "10"},
      {255, 1, "FF"},
      {0xABCDEF, 1, "ABCDEF"},
      {-1, 1, "FFFFFFFF"},
      {INT32_MIN, 1, "80000000"},
      {INT32_MAX, 1, "7FFFFFFF"},
      {-16, 1, "FFFFFFF0"},
      {255, 4, "00FF"},
      {0, 4, "0000"},
      {5, 8, "00000005"},
      {-1, 10, "00FFFFFFFF"},
      {0x12345, 2, "12345"},
      {0, 0, "0"},
  };
  for (const HexTextCase& c : cases) {
    EXPECT_EQ(IntegerToHexText(c.value, c.minDigits), c.text)
        << c.value << " with " << c.minDigits << " digits";
  }
}

}  // namespace

#include "app/decimal_symbol.h"

#include <gtest/gtest.h>

#include <string_view>

namespace {

TEST(DecimalSymbolFromLocaleTest, TakesTheFirstSingleByteOrAFullStop) {
  const struct {
    std::string_view localeText;
    char symbol;
  } cases[] = {
      {".", '.'},
      {",", ','},
      {"", '.'},
      {std::string_view("\0", 1), '.'},
      {" ", ' '},
      {",.", ','},
      // A double-byte symbol (full-width full stop, 0x81 0x44) cannot be
      // written as one byte.
      {"\x81\x44", '.'},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DecimalSymbolFromLocale(c.localeText), c.symbol) << "locale text: " << c.localeText;
  }
}

}  // namespace

// IsBlankText answers what StripBlanks(text).empty() would, without building
// the stripped text; the emitters skip a blank text on its word.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "util/sjis.h"

namespace {

using namespace std::string_literals;

TEST(MyFuncBlankText, AgreesWithStripBlanks) {
  const std::string cases[] = {
      ""s,
      " "s,
      "\x81\x40"s,              // full-width blank
      " \t\r\n\x01\x1F\x00 "s,  // controls, NUL included
      "\x81\x40 \x81\x40\t"s,
      "A"s,
      "  A"s,
      "\x81"s,  // lone lead byte at the end: stays
      " \x81"s,
      "\x81\x20"s,  // one character whose trail byte is 0x20
      "\x82\x40"s,  // not the full-width blank
      "\x81\x41"s,
      "\x7F"s,
      "\xA0"s,  // half-width katakana range: a character
      "\xE0\x40"s,
  };
  for (const std::string& text : cases) {
    EXPECT_EQ(IsBlankText(text), StripBlanks(text).empty()) << testing::PrintToString(text);
  }
}

TEST(MyFuncBlankText, AgreesWithStripBlanksOnRandomBytes) {
  // Bytes drawn mostly from the blank-like ones, so that blank texts occur.
  const unsigned char pool[] = {0x20, 0x09, 0x00, 0x1F, 0x81, 0x40, 0x41, 0x82, 0xE0, 0xFD};
  std::mt19937 rng(726);
  for (int i = 0; i < 20000; ++i) {
    std::string text(rng() % 8, '\0');
    for (char& c : text) c = static_cast<char>(pool[rng() % sizeof pool]);
    ASSERT_EQ(IsBlankText(text), StripBlanks(text).empty()) << testing::PrintToString(text);
  }
}

}  // namespace

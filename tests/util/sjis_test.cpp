#include "util/sjis.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace {

using namespace std::string_literals;

// Bytes in hex for failure messages: the cases are mostly not printable.
std::string Hex(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    out += kDigits[b >> 4];
    out += kDigits[b & 15];
    out += ' ';
  }
  return out;
}

struct FilterCase {
  std::string text;
  std::string withoutBlanks;    // StripBlanks
  std::string withoutControls;  // StripControlChars
};

TEST(MyFuncSjis, FiltersStepOverDoubleByteCharactersAsUnits) {
  const FilterCase cases[] = {
      {"", "", ""},
      {"abc", "abc", "abc"},
      // «Ａ　Ｂ C»: full-width A, full-width blank, full-width B, blank, C.
      {"\x82\x60\x81\x40\x82\x61 C",
       "\x82\x60\x82\x61"
       "C",
       "\x82\x60\x81\x40\x82\x61 C"},
      {" \x81\x40  \x81\x40\x81\x40 ", "", " \x81\x40  \x81\x40\x81\x40 "},
      {"\x41\x09\x42", "AB", "AB"},
      {"\x00\x01\x1F A\x7F"s, "A\x7F", " A\x7F"},
      {"\r\nA\r\n", "A", "A"},
      // A byte after a lead byte is never looked at on its own.
      {"\x81\x1F", "\x81\x1F", "\x81\x1F"},
      {"\x81\x20", "\x81\x20", "\x81\x20"},
      {"\x81\x00"s, "\x81\x00"s, "\x81\x00"s},
      {"\x82\x81\x40", "\x82\x81\x40", "\x82\x81\x40"},
      {"\x82\x40", "\x82\x40", "\x82\x40"},
      // Lead-byte ranges 0x80..0x9F and 0xE0..0xFD, both ends included.
      {"\x80\x20", "\x80\x20", "\x80\x20"},
      {"\x9F\x09", "\x9F\x09", "\x9F\x09"},
      {"\xE0\x20", "\xE0\x20", "\xE0\x20"},
      {"\xFC\x1F", "\xFC\x1F", "\xFC\x1F"},
      {"\xFD\x20", "\xFD\x20", "\xFD\x20"},
      // Half-width katakana and 0xFE, 0xFF are single bytes.
      {"\xA0\x20", "\xA0", "\xA0\x20"},
      {"\xB1\x09\xDF", "\xB1\xDF", "\xB1\xDF"},
      {"\xDF\x20", "\xDF", "\xDF\x20"},
      {"\xFE\x1F", "\xFE", "\xFE"},
      {"\xFF\x20\x09", "\xFF", "\xFF\x20"},
      // A lead byte in the last position stays, with nothing after it.
      {"A\x81", "A\x81", "A\x81"},
      {"\x81\x40\x81", "\x81", "\x81\x40\x81"},
      {"\x81", "\x81", "\x81"},
      {"\x09\xFD", "\xFD", "\xFD"},
  };
  for (const FilterCase& c : cases) {
    EXPECT_EQ(Hex(StripBlanks(c.text)), Hex(c.withoutBlanks)) << "of " << Hex(c.text);
    EXPECT_EQ(Hex(StripControlChars(c.text)), Hex(c.withoutControls)) << "of " << Hex(c.text);
  }
}

TEST(MyFuncSjis, FiltersLeaveTheirArgumentAlone) {
  // A writable buffer: a filter that worked in place through the view would
  // change it.
  std::string text = " \x81\x40\x09x";
  EXPECT_EQ(StripBlanks(text), "x");
  EXPECT_EQ(StripControlChars(text), " \x81\x40x");
  EXPECT_EQ(text, " \x81\x40\x09x");
}

struct FindCase {
  std::string text;
  std::string needle;
  std::size_t expected;
};

TEST(MyFuncSjis, FindOnCharBoundaryNeverMatchesInsideACharacter) {
  constexpr std::size_t npos = std::string_view::npos;
  const FindCase cases[] = {
      {"A@", "@", 1},
      {"\x81\x40", "@", npos},
      {"\x81\x40@", "@", 2},
      // 0x95 0x5C is a kanji whose trail byte is a backslash.
      {"\x95\x5C", "\\", npos},
      {"\x95\x5C\\", "\\", 2},
      {"\x81\"=\"", "\"", 3},
      {"\x81==", "=", 2},
      {"\x82\x81\x40", "\x81\x40", npos},
      {"a\x81\x40", "\x81\x40", 1},
      {"\x80@@", "@", 2},
      {"\xFD@@", "@", 2},
      {"\xA0@", "@", 1},
      {"\xFE@", "@", 1},
      {"\xFF@", "@", 1},
      {"ab\x81", "\x81\x40", npos},
      {"ab\x81", "\x81", 2},
      {"lgn=abc", "lgn=", 0},
      {"x lgn=", "lgn=", 2},
      {"abc", "", 0},
      {"", "a", npos},
      {"ab", "abc", npos},
  };
  for (const FindCase& c : cases) {
    EXPECT_EQ(FindOnCharBoundary(c.text, c.needle), c.expected)
        << Hex(c.needle) << "in " << Hex(c.text);
  }
}

}  // namespace

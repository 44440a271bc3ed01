#include "app/edit_byte_limit.h"

#include <gtest/gtest.h>

#include <string_view>

namespace {

#define A_ "\x82\xA0"  // あ
#define I_ "\x82\xA2"  // い
#define U_ "\x82\xA4"  // う
#define SO "\x83\x5C"  // ソ

struct LimitCase {
  std::string_view previous;
  std::string_view current;
  std::string_view text;
  std::size_t caret;  // looked at only when cut
  bool cut;
};

const LimitCase kCases[] = {
    {"", "A", "A", 1, false},
    {"", "ABCD", "ABCD", 4, false},
    {"ABC", "ABCD", "ABCD", 4, false},
    {"", A_ I_, A_ I_, 4, false},
    {"ABCD", "ABCDE", "ABCD", 4, true},
    // A paste of three double-byte characters keeps two.
    {"", A_ I_ U_, A_ I_, 4, true},
    {"A", "A" A_ I_ U_, "A" A_, 3, true},
    // One byte left is no room for a double-byte character.
    {"ABC", "ABC" A_, "ABC", 3, true},
    {"AB", "ABC" A_, "ABC", 3, true},
    // Inserted in the middle: the text after the insertion stays.
    {"AD", "AxyzD", "AxyD", 3, true},
    {"A" SO, "A" A_ I_ SO, "A" SO, 1, true},
    {"xy\\", "xy" SO "\\", "xy\\", 2, true},
    // Repeated characters: the insertion is taken to be at the end.
    {"AA", "AAAAA", "AAAA", 4, true},
    // A longer text that the program set stays; edits may shorten it...
    {"ABCDEF", "ABCDE", "ABCDE", 0, false},
    {"ABCDEF", "", "", 0, false},
    // ...but nothing may be added to it, not even over a selection.
    {"ABCDEF", "ABCDEFx", "ABCDEF", 6, true},
    {"ABCDEF", A_ "CDEF", "CDEF", 0, true},
    {A_ I_ U_, A_ I_ U_ "x", A_ I_ U_, 6, true},
};

TEST(LimitInsertedBytesTest, CutsOnlyWhatTheChangeInserted) {
  for (const LimitCase& c : kCases) {
    SCOPED_TRACE(testing::Message()
                 << "previous \"" << c.previous << "\", current \"" << c.current << '"');
    const EditLimitResult result = LimitInsertedBytes(c.previous, c.current, 4);
    EXPECT_EQ(result.Text, c.text);
    EXPECT_EQ(result.Cut, c.cut);
    if (c.cut) {
      EXPECT_EQ(result.CaretBytes, c.caret);
    }
  }
}

TEST(CharacterCountTest, CountsDoubleByteCharactersOnce) {
  EXPECT_EQ(CharacterCount(""), 0u);
  EXPECT_EQ(CharacterCount("ABC"), 3u);
  EXPECT_EQ(CharacterCount(A_ I_), 2u);
  EXPECT_EQ(CharacterCount("A" SO "\\"), 3u);
  EXPECT_EQ(CharacterCount("\xB1"), 1u);  // half-width katakana is one byte
  EXPECT_EQ(CharacterCount("A\x83"), 2u);
}

}  // namespace

#include "app/edit_byte_limit.h"

#include <gtest/gtest.h>

#include <string_view>

namespace {

// Code page 932 in small: ASCII and half-width katakana one byte, a few
// double-byte characters, and nothing for é, ¥ or a character outside the
// Basic Multilingual Plane.
std::optional<std::string> Encode(std::u16string_view character) {
  if (character.size() != 1) return std::nullopt;
  const char16_t c = character[0];
  if (c < 0x80) return std::string(1, static_cast<char>(c));
  if (c >= 0xFF61 && c <= 0xFF9F) return std::string(1, static_cast<char>(c - 0xFF61 + 0xA1));
  switch (c) {
    case u'あ':
      return "\x82\xA0";
    case u'い':
      return "\x82\xA2";
    case u'う':
      return "\x82\xA4";
    case u'ソ':
      return "\x83\x5C";
    case u'≒':
      return "\x81\xE0";
    default:
      return std::nullopt;
  }
}

struct LimitCase {
  std::u16string_view previous;
  std::u16string_view current;
  std::u16string_view text;
  std::size_t caret;  // looked at only when cut
  bool cut;
};

const LimitCase kCases[] = {
    {u"", u"A", u"A", 1, false},
    {u"", u"ABCD", u"ABCD", 4, false},
    {u"ABC", u"ABCD", u"ABCD", 4, false},
    {u"", u"あい", u"あい", 2, false},
    {u"ABCD", u"ABCDE", u"ABCD", 4, true},
    // A paste of three double-byte characters keeps two.
    {u"", u"あいう", u"あい", 2, true},
    {u"A", u"Aあいう", u"Aあ", 2, true},
    // One byte left is no room for a double-byte character, but for a
    // half-width one.
    {u"ABC", u"ABCあ", u"ABC", 3, true},
    {u"AB", u"ABCあ", u"ABC", 3, true},
    {u"ABC", u"ABCｱ", u"ABCｱ", 4, false},
    // Inserted in the middle: the text after the insertion stays.
    {u"AD", u"AxyzD", u"AxyD", 3, true},
    {u"Aソ", u"Aあいソ", u"Aソ", 1, true},
    // Repeated characters: the insertion is taken to be at the end.
    {u"AA", u"AAAAA", u"AAAA", 4, true},
    // A longer text that the program set stays; edits may shorten it...
    {u"ABCDEF", u"ABCDE", u"ABCDE", 0, false},
    {u"ABCDEF", u"", u"", 0, false},
    // ...but nothing may be added to it, not even over a selection.
    {u"ABCDEF", u"ABCDEFx", u"ABCDEF", 6, true},
    {u"ABCDEF", u"あCDEF", u"CDEF", 0, true},
    {u"あいう", u"あいうx", u"あいう", 3, true},
    // Characters without an exact Shift-JIS form are refused wherever they
    // stand, however much room is left; the rest of the insertion stays.
    {u"", u"é", u"", 0, true},
    {u"A", u"A¥B", u"AB", 2, true},
    {u"", u"\U0001F600x", u"x", 1, true},
    {u"", u"éあい", u"あい", 2, true},
    // ≒ stands for two bytes, whichever of its codes it was loaded from.
    {u"≒", u"≒あ", u"≒あ", 2, false},
    {u"≒", u"≒Aあ", u"≒A", 2, true},
};

TEST(LimitInsertedBytesTest, CutsOnlyWhatTheChangeInserted) {
  for (const LimitCase& c : kCases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - kCases));
    const EditLimitResult result = LimitInsertedBytes(c.previous, c.current, 4, Encode);
    EXPECT_EQ(result.Text, c.text);
    EXPECT_EQ(result.Cut, c.cut);
    if (c.cut) {
      EXPECT_EQ(result.CaretUnits, c.caret);
    }
  }
}

TEST(DelimiterToStoreTest, KeepsTheProgramsBytesUntilTheUserChangesTheText) {
  // 87 90 and 81 E0 both show as ≒; ED 40 shows as 纊, which has no other
  // code here.
  const std::string_view loaded =
      "\x87\x90\xED\x40"
      "ABC";
  const struct {
    std::u16string_view shown;
    std::string_view stored;
  } cases[] = {
      {u"≒纊ABC", loaded}, {u"≒纊AB", "\x81\xE0?AB"},
      {u"≒", "\x81\xE0"},  {u"あ\U0001F600", "\x82\xA0?"},
      {u"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DelimiterToStore(c.shown, u"≒纊ABC", loaded, Encode), c.stored)
        << "case " << (&c - cases);
  }
}

}  // namespace

#include "interchange/short_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "interchange/state.h"

namespace {

class ShortTextStore : public ::testing::Test {
 protected:
  void SetUp() override { ResetInterchangeState(); }
  void TearDown() override { ResetInterchangeState(); }
};

// Lengths that fill a block to its last byte and then cross into the next, and
// lengths that leave a block short: every text must still read as stored once
// all of them are in, the early views unmoved by the growth.
TEST_F(ShortTextStore, TextsReadBackAcrossBlockEnds) {
  std::vector<std::size_t> lengths(TextArena::kBlockBytes / 255, 255);
  lengths.push_back(TextArena::kBlockBytes % 255);  // the first block exactly full
  for (std::size_t i = 0; i < 3000; ++i) lengths.push_back(i * 37 % 256);
  std::vector<ArenaText> texts(lengths.size());
  std::vector<std::string> expected;
  for (std::size_t i = 0; i < lengths.size(); ++i) {
    expected.emplace_back(lengths[i], static_cast<char>('!' + i % 90));
    texts[i] = expected[i];
  }
  for (std::size_t i = 0; i < texts.size(); ++i) ASSERT_EQ(texts[i], expected[i]) << "text " << i;
  EXPECT_GT(ShortStrings.Bytes.Size(), 2 * TextArena::kBlockBytes);
}

TEST_F(ShortTextStore, EqualFontNamesShareTheirBytes) {
  std::vector<PooledText> fonts(1000);
  for (PooledText& font : fonts) font = std::string("<MS Gothic>");
  const std::size_t afterOne = ShortStrings.Bytes.Size();
  fonts[1] = "Arial";
  fonts[2] = std::string("Arial");
  EXPECT_EQ(afterOne, 11u);
  EXPECT_EQ(ShortStrings.Bytes.Size(), 16u);
  EXPECT_EQ(ShortStrings.Fonts.Count(), 2u);
  EXPECT_EQ(fonts[999], "<MS Gothic>");
  EXPECT_EQ(fonts[1], "Arial");
  EXPECT_EQ(fonts[2], fonts[1]);
}

// A record kept past a reset must not read another read's bytes.
TEST_F(ShortTextStore, HandlesFromBeforeAResetReadAsEmpty) {
  ArenaText text;
  text = "before";
  ResetInterchangeState();
  EXPECT_EQ(text, "");
  ArenaText later;
  later = "x";
  text = "before";
  FreeInterchangeTables();
  EXPECT_EQ(text, "");
  EXPECT_EQ(later, "");
}

}  // namespace

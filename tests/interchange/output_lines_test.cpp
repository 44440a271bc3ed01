#include "interchange/output_lines.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "interchange/state.h"
#include "support/held_lines.h"

namespace {

class KzmGaibuOutputLines : public ::testing::Test {
 protected:
  void SetUp() override { ResetInterchangeState(); }
  void TearDown() override { ResetInterchangeState(); }

  HeldLines held_;
};

void Fill(const std::vector<std::string>& lines) {
  ClearOutputLines();
  for (const std::string& line : lines) AddOutputLine(line);
}

TEST_F(KzmGaibuOutputLines, AddOutputLineKeepsTheFirst255Bytes) {
  const std::string bytes300 = std::string(150, 'a') + std::string(150, 'b');
  // A cut may split a double-byte character; the lead byte stays.
  const std::string splitKanji = std::string(254, 'x') + "\x88\x9F" + "yz";
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},
      {"hd", "hd"},
      {" ch 1 2 \"  ", " ch 1 2 \"  "},
      {std::string(255, 'c'), std::string(255, 'c')},
      {std::string(256, 'c'), std::string(255, 'c')},
      {bytes300, bytes300.substr(0, 255)},
      {splitKanji, splitKanji.substr(0, 255)},
      {std::string("a\0b\r\n", 5), std::string("a\0b\r\n", 5)},
  };
  for (const auto& [line, stored] : cases) AddOutputLine(line);
  ASSERT_EQ(OutputLines.Count(), static_cast<std::int32_t>(std::size(cases)));
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(held_[static_cast<std::int32_t>(i)], cases[i].second) << "line " << i;
  }
}

struct RenderCase {
  std::vector<std::string> entries;
  std::string image;
};

TEST_F(KzmGaibuOutputLines, RenderJoinsAQuoteTerminatedEntryWithTheNext) {
  const std::string long300(300, 'k');
  const RenderCase cases[] = {
      {{}, "hq\r\n"},
      {{"hd", "bz"}, "hd\r\nbz\r\n"},
      {{"A \"", "abc"}, "A \"abc\r\n"},
      {{"hd", "A \""}, "hd\r\nA \""},
      // The entry taken onto a quote's line is not examined itself.
      {{"a\"", "b\"", "c"}, "a\"b\"\r\nc\r\n"},
      {{"\"", "x", "y"}, "\"x\r\ny\r\n"},
      {{"\"", "\"", "\""}, "\"\"\r\n\""},
      {{"a", "", "b"}, "a\r\n\r\nb\r\n"},
      {{""}, "\r\n"},
      {{"a\"", ""}, "a\"\r\n"},
      {{"\"a", "b"}, "\"a\r\nb\r\n"},
      {{"ch 0 0 1 0 \"", "\x95\x5C\x8E\xA6"}, "ch 0 0 1 0 \"\x95\x5C\x8E\xA6\r\n"},
      // Each entry keeps its own limit, so the joined line may exceed it.
      {{"ch \"", long300}, "ch \"" + long300.substr(0, 255) + "\r\n"},
  };
  for (const RenderCase& c : cases) {
    Fill(c.entries);
    EXPECT_EQ(held_.Image(), c.image);
    EXPECT_EQ(OutputLines.Count(), static_cast<std::int32_t>(c.entries.size()));
  }
}

// Several MB of entries of every length from 0 to 256, rendered in pieces
// of a few KiB: the image must equal one built entry by entry, whatever
// entry a piece ends on.
TEST_F(KzmGaibuOutputLines, ImageInPiecesIsTheImageEntryByEntry) {
  std::vector<std::string> entries;
  std::string image;
  for (int i = 0; i < 40000; ++i) {
    std::string entry(static_cast<std::size_t>(i * 7 % 257), static_cast<char>('a' + i % 26));
    if (i % 5 == 0 && !entry.empty()) entry.back() = '"';
    entries.push_back(entry.substr(0, OutputLineList::kMaxLineBytes));
    AddOutputLine(entry);
  }
  for (std::size_t i = 0; i < entries.size(); ++i) {
    image += entries[i];
    if (!entries[i].empty() && entries[i].back() == '"' && ++i < entries.size()) {
      image += entries[i];
    }
    if (i < entries.size()) image += "\r\n";
  }
  ASSERT_GT(image.size(), std::size_t{4} << 20);
  EXPECT_EQ(held_.Image(), image);
}

}  // namespace

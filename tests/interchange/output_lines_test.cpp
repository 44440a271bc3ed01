#include "interchange/output_lines.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "interchange/file_writer.h"
#include "interchange/state.h"

namespace {

class KzmGaibuOutputLines : public ::testing::Test {
 protected:
  void SetUp() override { ResetInterchangeState(); }
  void TearDown() override { ResetInterchangeState(); }
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
    EXPECT_EQ(OutputLines[static_cast<std::int32_t>(i)], cases[i].second) << "line " << i;
  }
}

std::string Numbered(int i) {
  std::string line(1, 'L');
  line += std::to_string(i);
  return line;
}

TEST_F(KzmGaibuOutputLines, CapacityGrowsInStepsOfAThousand) {
  const std::pair<int, std::size_t> steps[] = {
      {1, 1000}, {1000, 1000}, {1001, 2000}, {2000, 2000}, {2001, 3000}};
  int appended = 0;
  for (const auto& [count, capacity] : steps) {
    while (appended < count) AddOutputLine(Numbered(appended++));
    EXPECT_EQ(OutputLines.Capacity(), capacity) << "after " << count << " lines";
  }
  for (int i = 0; i < appended; ++i) ASSERT_EQ(OutputLines[i], Numbered(i));

  ClearOutputLines();
  EXPECT_EQ(OutputLines.Count(), 0);
  EXPECT_EQ(OutputLines.Capacity(), 0u);
  AddOutputLine("again");
  EXPECT_EQ(OutputLines[0], "again");
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
    EXPECT_EQ(RenderInterchangeFile(), c.image);
    EXPECT_EQ(OutputLines.Count(), static_cast<std::int32_t>(c.entries.size()));
  }
}

// Several MB of entries of every length from 0 to 256 cross the 64 KiB first
// chunk and the 1 MiB ones; each must come back whole, and the image (built
// in small pieces) must equal one built entry by entry.
TEST_F(KzmGaibuOutputLines, EntriesOfEveryLengthCrossChunks) {
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
  ASSERT_GT(OutputLines.ByteSize(), std::size_t{4} << 20);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    ASSERT_EQ(OutputLines[static_cast<std::int32_t>(i)], entries[i]) << "entry " << i;
  }
  EXPECT_EQ(RenderInterchangeFile(), image);
}

// Taking entries back (z lines of an entity that writes nothing) must leave
// the list as if they had never been added, also where they opened a new
// chunk or a new block of end offsets.
TEST_F(KzmGaibuOutputLines, TruncateForgetsEntriesAcrossChunksAndBlocks) {
  const std::string entry(250, 'z');
  std::vector<std::string> kept;
  for (const std::int32_t cut : {0, 1, 999, 1000, 1001, 262, 4500}) {
    while (OutputLines.Count() < cut + 300) {
      kept.push_back(entry.substr(0, static_cast<std::size_t>(OutputLines.Count() % 251)));
      AddOutputLine(kept.back());
    }
    OutputLines.Truncate(cut);
    kept.resize(static_cast<std::size_t>(cut));
    AddOutputLine("after");
    kept.push_back("after");
    ASSERT_EQ(OutputLines.Count(), static_cast<std::int32_t>(kept.size()));
    std::size_t bytes = 0;
    for (std::size_t i = 0; i < kept.size(); ++i) {
      ASSERT_EQ(OutputLines[static_cast<std::int32_t>(i)], kept[i])
          << "cut " << cut << ", entry " << i;
      bytes += kept[i].size();
    }
    EXPECT_EQ(OutputLines.ByteSize(), bytes);
  }
}

}  // namespace

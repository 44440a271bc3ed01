#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/form1.h"
#include "fakes.h"
#include "interchange/KzmGaibu.h"

namespace {

// Runs one join in a scratch folder and reads back what it wrote.
class Join : public ::testing::Test {
 protected:
  Join() : form(platform, window) {
    platform.executablePath = folder.File("k726");
    form.ExeFolder = folder.Folder();
  }

  std::string Run(const std::string& input, bool pair, std::int32_t order = 0,
                  const std::string& delimiter = "") {
    WriteBytes(form.InterchangePath(), input);
    ResetInterchangeState();
    // A window of its own, so that each join is seen to close the form.
    ValueWindow joiningWindow;
    TForm1 joining(platform, joiningWindow);
    joining.ExeFolder = form.ExeFolder;
    joining.JoinOrder = order;
    joining.JoinDelimiter = delimiter;
    if (pair) {
      joining.JoinPair();
    } else {
      joining.JoinRange();
    }
    EXPECT_TRUE(joiningWindow.IsClosed());
    return ReadBytes(form.InterchangePath());
  }

  // The texts of the written file, in file order, as the reader sees them.
  std::vector<std::string> TextsWritten() {
    ResetInterchangeState();
    EXPECT_TRUE(ReadInterchangeFile(form.InterchangePath()));
    std::vector<std::string> texts;
    for (std::int32_t i = 0; i < Entities.TextTable.Count(); ++i) {
      texts.emplace_back(Entities.TextTable[static_cast<std::size_t>(i)].Text);
    }
    return texts;
  }

  static std::string Text(double x, double y, const std::string& text) {
    return "ch " + RealToText(x) + " " + RealToText(y) + " 1 0 \"" + text + "\r\n";
  }

  ScratchFolder folder;
  FakePlatform platform;
  ValueWindow window;
  TForm1 form;
};

TEST_F(Join, WritesTheJoinedTextWithItsAttributesExactly) {
  const std::string out = Run(Text(0, 0, "A") + Text(5, 0, "B"), false);
  EXPECT_EQ(out,
            "hd\r\nbz\r\nlg0\r\nly0\r\ncn1\r\ncc0\r\n"
            "cn\"$<\x82\x6C\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4E>\r\n"
            "ch 0 0 1 0 \"AB\r\n");
}

// Nothing fits: "hd", "bz" and both texts unchanged.
TEST_F(Join, RangeWritesBackUnchangedWhenNothingFits) {
  const std::string b62(62, 'b'), c63(63, 'c');
  const std::string out = Run(Text(0, 0, c63) + Text(1, 0, b62), false, 0, "\x81\x7c\x81\x7c");
  EXPECT_EQ(out.substr(0, 8), "hd\r\nbz\r\n");
  EXPECT_EQ(TextsWritten(), (std::vector<std::string>{c63, b62}));
}

TEST_F(Join, FewerThanTwoTextsWriteQuit) {
  EXPECT_EQ(Run(Text(0, 0, "A") + "0 0 10 0\r\n", false), "hq\r\n");
  EXPECT_EQ(Run("0 0 10 0\r\n", false), "hq\r\n");
  EXPECT_EQ(Run("", false), "hq\r\n");
}

TEST_F(Join, OtherEntitiesAreWrittenBackAndOnlyAbsorbedTextsRemoved) {
  const std::string input =
      "lc3\r\n0 0 10 0\r\n" + Text(0, 0, "A") + "ci 5 5 2\r\n" + Text(4, 0, "B") + "pt 1 2\r\n";
  for (const bool pair : {false, true}) {
    Run(input, pair);
    EXPECT_EQ(TextsWritten(), std::vector<std::string>{"AB"});
    EXPECT_EQ(Entities.EntityOrder.Count(), 4);
    EXPECT_EQ(Entities.LineTable.Count(), 1);
    EXPECT_EQ(Entities.CircleTable.Count(), 1);
    EXPECT_EQ(Entities.PointTable.Count(), 1);
    EXPECT_EQ(Entities.LineTable[0].Header.Color, 3);
  }
}

TEST_F(Join, AFileWithBzGetsASecondBz) {
  const std::string out = Run("bz\r\n" + Text(0, 0, "A") + Text(1, 0, "B"), false);
  EXPECT_EQ(out.substr(0, 12), "hd\r\nbz\r\nbz\r\n");
}

TEST_F(Join, WritesQuitWhenWritingBackCouldLoseTheSelection) {
  const struct {
    const char* name;
    std::string input;
  } cases[] = {
      // The read stops part-way: only part of the selection would come back.
      {"unreadable number", Text(0, 0, "A") + Text(1, 0, "B") + "ci 0 0 1e400\r\n"},
      {"unreadable text position", Text(0, 0, "A") + "ch 1e999 0 1 0 \"B\r\n" + Text(1, 0, "C")},
      // The receiving text has no vector and would not be written back.
      {"receiving text without vector", "ch 0 0 0 0 \"A\r\n" + Text(1, 0, "B")},
  };
  for (const auto& c : cases) {
    for (const bool pair : {false, true}) {
      EXPECT_EQ(Run(c.input, pair), "hq\r\n") << c.name << (pair ? " (pair)" : "");
    }
  }
  // A text that stays after the limit, with content but no vector.
  EXPECT_EQ(Run(Text(0, 0, std::string(100, 'a')) + Text(1, 0, std::string(40, 'b')) +
                    "ch 2 0 0 0 \"C\r\n",
                false),
            "hq\r\n");
  // The same text absorbed: its content lives on in the joined text.
  Run(Text(0, 0, "A") + "ch 2 0 0 0 \"C\r\n", false);
  EXPECT_EQ(TextsWritten(), std::vector<std::string>{"AC"});
}

// Escape during the walk: "hq" alone, not the closing layer lines.
TEST_F(Join, EscapeWritesQuitAlone) {
  platform.escapeUpPolls = 0;
  for (const bool pair : {false, true}) {
    EXPECT_EQ(Run("lg3\r\nly2\r\n" + Text(0, 0, "A") + Text(1, 0, "B"), pair), "hq\r\n");
  }
}

}  // namespace

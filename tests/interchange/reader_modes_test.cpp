// What carries from line to line: z flags, polyline and message modes, and
// the plain line a message waits for.
#include <vector>

#include "reader_test_util.h"

namespace {

class KzmGaibuReaderModes : public ReaderTest {};

TEST_F(KzmGaibuReaderModes, ZFlagsAreSpentByTheNextEntityOrPlainLine) {
  ASSERT_TRUE(ParseLines({"z1", "z1", "z4", "pt 1 2", "pt 3 4", "z2", "0 0 1 1", "pt 5 6", "z3",
                          "msg", "0 0 1 1", "cs 1 2 3 4 \"m"}));
  EXPECT_EQ(Entities.PointTable[0].Header.ZFlags, 9);
  EXPECT_EQ(Entities.PointTable[1].Header.ZFlags, 0);
  EXPECT_EQ(Entities.LineTable[0].Header.ZFlags, 2);
  EXPECT_EQ(Entities.PointTable[2].Header.ZFlags, 0);
  // The line a message waits for spends the flags as well.
  EXPECT_EQ(Entities.MessageTable[0].Line.Header.ZFlags, 4);
  EXPECT_EQ(Entities.MessageTable[0].Header.ZFlags, 0);
  EXPECT_EQ(Attributes.CurrentZFlags, 0);
}

TEST_F(KzmGaibuReaderModes, PolylineNumbersLastUntilSomethingEndsThem) {
  struct Case {
    std::vector<std::string_view> lines;
    std::vector<int> numbers;  // PolylineNumber of each stored line
  };
  const Case cases[] = {
      {{"pl", "0 0 1 0", "1 0 1 1", "#", "2 2 3 3"}, {1, 1, 0}},
      {{"pl", "0 0 1 0", "pl", "1 0 1 1"}, {1, 2}},
      {{"pl", "0 0 1 0", "pt 5 5", "1 0 1 1"}, {1, 0}},
      {{"pl", "0 0 1 0", "msg", "1 0 1 1", "#", "2 2 3 3"}, {1, 0}},
      // Attribute lines and z flags do not end a polyline.
      {{"pl", "lc3", "z1", "0 0 1 0", "lg2", "1 0 1 1"}, {1, 1}},
  };
  for (const Case& c : cases) {
    ResetInterchangeState();
    ASSERT_TRUE(ParseLines(c.lines));
    std::vector<int> numbers;
    for (std::int32_t i = 0; i < Entities.LineTable.Count(); ++i) {
      numbers.push_back(Entities.LineTable[static_cast<std::size_t>(i)].PolylineNumber);
    }
    EXPECT_EQ(numbers, c.numbers) << c.lines[1];
  }
}

TEST_F(KzmGaibuReaderModes, MessageTakesTheLastPlainLineReadInMessageMode) {
  ASSERT_TRUE(ParseLines({"lc10 55", "msg", "0 0 10 10", "lc3", "cs 1 2 3 4 5 \"x"}));
  EXPECT_EQ(OrderKinds(), std::vector<int>{KindMessage});
  const MessageRecord& m = Entities.MessageTable[0];
  EXPECT_EQ(m.Line.X2, 10);
  EXPECT_EQ(m.Line.Y2, 10);
  EXPECT_EQ(m.Line.Header.Color, 10);  // attributes as the line was read
  EXPECT_EQ(m.Line.Color10Value, 55);
  EXPECT_EQ(m.Header.Color, 3);
  EXPECT_EQ(m.TextPart.Command, 2);
  EXPECT_EQ(m.TextPart.Header.Color, 2);  // the colour of text type 1
  EXPECT_EQ(m.TextPart.Text, "5");
  EXPECT_FALSE(Modes.MessageMode);
}

TEST_F(KzmGaibuReaderModes, MessageWithoutANewLineReusesThePendingOne) {
  ASSERT_TRUE(ParseLines({"msg", "cs 1 2 3 4 \"a", "msg", "0 0 7 0", "msg", "cs 1 2 3 4 \"b", "msg",
                          "cs 1 2 3 4 \"c", "cs 1 2 3 4 \"d"}));
  EXPECT_EQ(OrderKinds(), (std::vector<int>{KindMessage, KindMessage, KindMessage, KindText}));
  EXPECT_EQ(Entities.MessageTable[0].Line.X2, 1);  // the default line
  EXPECT_EQ(Entities.MessageTable[0].Line.Header.LineType, 1);
  EXPECT_EQ(Entities.MessageTable[1].Line.X2, 7);
  EXPECT_EQ(Entities.MessageTable[2].Line.X2, 7);
}

TEST_F(KzmGaibuReaderModes, PlainLinesInMessageModeStoreNothing) {
  ASSERT_TRUE(ParseLines({"pl", "msg", "0 0 1 1", "2 2 3 3", "pl", "4 4 5 5"}));
  EXPECT_EQ(OrderKinds(), std::vector<int>{KindLine});
  EXPECT_EQ(Entities.LineTable[0].PolylineNumber, 2);
  EXPECT_EQ(Modes.PendingMessageLine.X1, 2);
  EXPECT_EQ(Modes.PendingMessageLine.PolylineNumber, 0);
}

}  // namespace

// Entity lines: which kind a line stores, with the token counts each word
// needs, and the fields it fills.
#include <string>
#include <vector>

#include "reader_test_util.h"

namespace {

class KzmGaibuReaderEntities : public ReaderTest {};

TEST_F(KzmGaibuReaderEntities, TokenCountsPickTheKind) {
  struct KindCase {
    std::string_view line;
    std::vector<int> kinds;
  };
  const KindCase cases[] = {
      {"pt 1 2", {KindPoint}},
      {"pt 1 2 ", {KindLine}},  // four tokens: a plain line from (0, 1) to (2, 0)
      {"pt 1 2 3 4", {}},
      {"pt 1 2 3 4 5", {KindTypedPoint}},
      {"ci 0 0 5", {KindCircle}},
      {"ci 0 0 5 1", {}},
      {"ci 0 0 5 1 2 3", {}},
      {"ci 0 0 5 1 2 3 4", {KindArc}},
      {"ch 1 2 3 4 \"", {KindText}},
      {"ch 1 2 3 4", {}},
      {"ch 1 2 3", {KindLine}},
      {"cs 1 2 3 4 \"x", {KindText}},
      {"cx 1 2 3 4 \"x", {}},
      {"BL 1 2 name", {KindBlock}},
      {"BL 1 2", {}},
      {"sc 1 2 3 4 5 6 7 8", {KindSc}},
      {"sg 1 2 3 4 5 6 7 8", {KindSg}},
      {"sg 1 2 3 4 5 6 7", {}},
      {"sl 1 2 3 4", {KindSl2}},
      {"sl 1 2 3", {KindLine}},
      {"sl 1 2 3 4 5", {}},
      {"hn 1 2 3", {KindLine}},
      {"x y z w", {KindLine}},
      // Words that take any count never become plain lines.
      {"z1 1 2 3", {}},
      {"lg 1 2 3", {}},
      {"hp 1 2 3", {}},
      {"1 2 3 4 5", {}},
  };
  for (const KindCase& c : cases) {
    ResetInterchangeState();
    EXPECT_TRUE(ParseInterchangeLine(c.line));
    EXPECT_EQ(OrderKinds(), c.kinds) << "line: " << c.line;
  }
}

TEST_F(KzmGaibuReaderEntities, PlainLineReadsItsCommandWordAsZero) {
  ASSERT_TRUE(ParseInterchangeLine("pt 1 2 "));
  const LineRecord& line = Entities.LineTable[0];
  EXPECT_EQ(line.X1, 0);
  EXPECT_EQ(line.Y1, 1);
  EXPECT_EQ(line.X2, 2);
  EXPECT_EQ(line.Y2, 0);
}

TEST_F(KzmGaibuReaderEntities, IndexCountsWithinEachKind) {
  ASSERT_TRUE(ParseLines({"pt 1 2", "ci 0 0 5", "pt 3 4", "ci 1 1 2"}));
  const std::vector<std::pair<int, int>> expected = {
      {KindPoint, 0}, {KindCircle, 0}, {KindPoint, 1}, {KindCircle, 1}};
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(Entities.EntityOrder[i].Kind, expected[i].first);
    EXPECT_EQ(Entities.EntityOrder[i].Index, expected[i].second);
  }
}

TEST_F(KzmGaibuReaderEntities, TextTakesTypeSizeAndColour) {
  ASSERT_TRUE(ParseLines({"hcw 1 2 3 4 5 6 7 8 9 10", "hcc 11 12 13 14 15 16 17 18 19 20", "cn4",
                          "cc3", "lc6", "hhp9", "cn\"$<F>", "cv 10 20 5 -1 \"A \"B"}));
  const TextRecord& t = Entities.TextTable[0];
  EXPECT_EQ(t.Command, 1);
  EXPECT_EQ(t.CcValue, 3);
  EXPECT_EQ(t.TextType, 4);
  EXPECT_EQ(t.Width, 4);
  EXPECT_EQ(t.Height, 3);
  EXPECT_EQ(t.Header.Color, 14);  // the type's colour, not the line colour
  EXPECT_EQ(t.Header.HhpNumber, 9);
  EXPECT_EQ(t.X, 10);
  EXPECT_EQ(t.VectorY, -1);
  EXPECT_EQ(t.FontName, "<F>");
  EXPECT_EQ(t.Text, "A \"B");
}

TEST_F(KzmGaibuReaderEntities, TextOfNoTypeTakesTheFreeSize) {
  for (const std::string_view type : {"cn0 4 5 6 7", "cn11", "cn-1"}) {
    ResetInterchangeState();
    ASSERT_TRUE(ParseLines({"cn0 4 5 6 7", type, "ch 1 2 3 4 \"x"}));
    const TextRecord& t = Entities.TextTable[0];
    EXPECT_EQ(t.Width, 4) << type;
    EXPECT_EQ(t.Spacing, 6) << type;
    EXPECT_EQ(t.Header.Color, 7) << type;
  }
}

TEST_F(KzmGaibuReaderEntities, TextAndFontAreCutTo255Bytes) {
  const std::string font = "cn$" + std::string(300, 'F');
  const std::string text = "ch 1 2 3 4 \"" + std::string(300, 'T');
  ASSERT_TRUE(ParseLines({font, text}));
  EXPECT_EQ(Entities.TextTable[0].FontName, std::string(255, 'F'));
  EXPECT_EQ(Entities.TextTable[0].Text, std::string(255, 'T'));
  EXPECT_EQ(Attributes.CurrentFontName.size(), 300u);
}

TEST_F(KzmGaibuReaderEntities, OtherKindsFillTheirFields) {
  ASSERT_TRUE(ParseLines({"pn4", "lc10 77", "pt 1 2 3 4 -5", "ci 1 2 3 4 5 6 7", "BL 8 9 \"blk 1",
                          "sc 1 2 3 4 5 6 7 $10", "so 1 2 3 4 5 6 7 8"}));
  const TypedPointRecord& p = Entities.TypedPointTable[0];
  EXPECT_EQ(p.Header.Color, 4);
  EXPECT_EQ(p.ParamB, 4);
  EXPECT_EQ(p.Code, -5);
  const ArcRecord& arc = Entities.ArcTable[0];
  EXPECT_EQ(arc.Radius, 3);
  EXPECT_EQ(arc.ArcValues[3], 7);
  EXPECT_EQ(arc.Color10Value, 77);
  EXPECT_EQ(Entities.BlockTable[0].Name, "blk 1");
  EXPECT_EQ(Entities.BlockTable[0].Y, 9);
  EXPECT_EQ(Entities.ScTable[0].Values[6], 7);
  EXPECT_EQ(Entities.ScTable[0].IntValue, 16);
  EXPECT_EQ(Entities.SoTable[0].Values[7], 8);
  EXPECT_EQ(Entities.SoTable[0].Color10Value, 77);
}

}  // namespace

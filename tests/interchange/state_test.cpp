#include "interchange/state.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <new>
#include <string>
#include <tuple>
#include <utility>

#include "interchange/number_text.h"
#include "interchange/output_lines.h"

namespace {

// "<ＭＳ ゴシック>" in code page 932.
const std::string kMsGothic = "<\x82\x6C\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4E>";

class KzmGaibuState : public ::testing::Test {
 protected:
  void SetUp() override { ResetInterchangeState(); }
  void TearDown() override { ResetInterchangeState(); }
};

// Every value away from its default, as a finished read leaves the state.
void Scribble() {
  Drawing.DrawingAngle = 30;
  Drawing.DrawingFileName = "a.zmn";
  for (double& scale : Drawing.LayerGroupScales) scale = 0.5;
  Drawing.PaperWidth = Drawing.PaperHeight = 1;
  for (TextTypeRecord& type : Drawing.TextTypes) type = {9, 9, 9, 9};
  Drawing.BzSeen = true;
  for (double& v : Drawing.HnValues) v = 4;
  for (auto& v : Layers.LayerGroupValues) v = 7;
  for (auto& v : Layers.LayerNames) v = "name";
  Layers.LayerGroupNames.assign(3, "x");
  Layers.LayerValues.clear();
  for (HpPointRecord& p : Layers.HpPoints) p = {true, 1, 2, 3};
  Layers.HpPointCount = 5;
  for (bool& flag : Attributes.AttributeUnset) flag = false;
  AttributeState& a = Attributes;
  a.CurrentHhpNumber = a.CurrentLayerGroup = a.CurrentLayer = a.CurrentColor = 9;
  a.CurrentLineType = a.CurrentLineWidth = a.CurrentTextType = a.CurrentFreeTextColor = 9;
  a.CurrentCcValue = a.CurrentZFlags = a.CurrentPointColor = a.CurrentColor10Value = 9;
  a.CurrentFreeTextWidth = a.CurrentFreeTextHeight = a.CurrentFreeTextSpacing = 9;
  a.CurrentFontName = "font";
  a.InitialLayerGroup = a.InitialLayer = a.InitialColor = a.InitialLineType = 9;
  a.InitialLineWidth = a.InitialTextType = a.InitialFreeTextColor = 9;
  a.InitialFreeTextWidth = a.InitialFreeTextHeight = a.InitialFreeTextSpacing = 9;
  a.InitialFontName = "font";
  Modes.PolylineCounter = 3;
  Modes.PolylineMode = Modes.MessageMode = true;
  Modes.PendingMessageLine = LineRecord{{1, 2, 3, 4, 5, 6, 7}, 8, 9, 1, 2, 3, 4};
  for (int i = 0; i < 1500; ++i) AppendEntityOrder(KindText, i);
  Entities.TextTable.Append().Text = "t";
  Entities.SgTable.Append();
  AddOutputLine("hd");
}

void ExpectDefaults() {
  EXPECT_EQ(Drawing.DrawingAngle, 0.0);
  EXPECT_EQ(Drawing.DrawingFileName, "");
  for (const double scale : Drawing.LayerGroupScales) EXPECT_EQ(scale, 1.0);
  EXPECT_EQ(Drawing.PaperWidth, 1189.0);
  EXPECT_EQ(Drawing.PaperHeight, 841.0);
  for (int n = 1; n <= 10; ++n) {
    const TextTypeRecord& t = Drawing.TextTypes[n];
    EXPECT_EQ(std::make_tuple(t.Width, t.Height, t.Spacing, t.Color),
              std::make_tuple(3.0, 3.0, 0.0, 2))
        << "text type " << n;
  }
  EXPECT_FALSE(Drawing.BzSeen);
  for (const double v : Drawing.HnValues) EXPECT_EQ(v, 0.0);

  ASSERT_EQ(Layers.LayerGroupValues.size(), 16u);
  ASSERT_EQ(Layers.LayerGroupNames.size(), 16u);
  ASSERT_EQ(Layers.LayerValues.size(), 256u);
  ASSERT_EQ(Layers.LayerNames.size(), 256u);
  ASSERT_EQ(Layers.HpPoints.size(), 100u);
  for (const auto v : Layers.LayerGroupValues) EXPECT_EQ(v, 0);
  for (const auto& s : Layers.LayerGroupNames) EXPECT_EQ(s, "");
  for (const auto v : Layers.LayerValues) EXPECT_EQ(v, 0);
  for (const auto& s : Layers.LayerNames) EXPECT_EQ(s, "");
  for (const HpPointRecord& p : Layers.HpPoints) {
    EXPECT_FALSE(p.IsSet);
    EXPECT_EQ(std::make_tuple(p.X, p.Y, p.Mark), std::make_tuple(0.0, 0.0, 0));
  }
  EXPECT_EQ(Layers.HpPointCount, 0);

  const AttributeState& a = Attributes;
  for (int flag = UnsetLg; flag <= UnsetCn; ++flag) EXPECT_TRUE(a.AttributeUnset[flag]) << flag;
  EXPECT_EQ(std::make_tuple(a.CurrentHhpNumber, a.CurrentLayerGroup, a.CurrentLayer, a.CurrentColor,
                            a.CurrentLineType, a.CurrentLineWidth),
            std::make_tuple(0, 0, 0, 1, 1, 0));
  EXPECT_EQ(std::make_tuple(a.CurrentTextType, a.CurrentFreeTextWidth, a.CurrentFreeTextHeight,
                            a.CurrentFreeTextSpacing, a.CurrentFreeTextColor),
            std::make_tuple(1, 2.0, 2.0, 0.0, 1));
  EXPECT_EQ(std::make_tuple(a.CurrentCcValue, a.CurrentZFlags, a.CurrentPointColor,
                            a.CurrentColor10Value),
            std::make_tuple(0, 0, 1, 0));
  EXPECT_EQ(a.CurrentFontName, kMsGothic);
  EXPECT_EQ(a.CurrentFontName.size(), 15u);
  EXPECT_EQ(std::make_tuple(a.InitialLayerGroup, a.InitialLayer, a.InitialColor, a.InitialLineType,
                            a.InitialLineWidth, a.InitialTextType),
            std::make_tuple(0, 0, 1, 1, 0, 1));
  EXPECT_EQ(std::make_tuple(a.InitialFreeTextWidth, a.InitialFreeTextHeight,
                            a.InitialFreeTextSpacing, a.InitialFreeTextColor),
            std::make_tuple(2.0, 2.0, 0.0, 1));
  EXPECT_EQ(a.InitialFontName, "");

  EXPECT_EQ(Modes.PolylineCounter, 0);
  EXPECT_FALSE(Modes.PolylineMode);
  EXPECT_FALSE(Modes.MessageMode);
  const LineRecord& m = Modes.PendingMessageLine;
  EXPECT_EQ(std::make_tuple(m.Header.HhpNumber, m.Header.LayerGroup, m.Header.Layer, m.Header.Color,
                            m.Header.LineType, m.Header.LineWidth, m.Header.ZFlags),
            std::make_tuple(0, 0, 0, 1, 1, 0, 0));
  EXPECT_EQ(std::make_tuple(m.PolylineNumber, m.Color10Value, m.X1, m.Y1, m.X2, m.Y2),
            std::make_tuple(0, 0, 0.0, 0.0, 1.0, 0.0));

  const EntityTables& t = Entities;
  const std::pair<std::int32_t, std::size_t> empty{0, 0};
  auto sizes = [](const auto& table) { return std::make_pair(table.Count(), table.Capacity()); };
  EXPECT_EQ(sizes(t.EntityOrder), empty);
  EXPECT_EQ(sizes(t.LineTable), empty);
  EXPECT_EQ(sizes(t.CircleTable), empty);
  EXPECT_EQ(sizes(t.ArcTable), empty);
  EXPECT_EQ(sizes(t.TextTable), empty);
  EXPECT_EQ(sizes(t.PointTable), empty);
  EXPECT_EQ(sizes(t.TypedPointTable), empty);
  EXPECT_EQ(sizes(t.MessageTable), empty);
  EXPECT_EQ(sizes(t.BlockTable), empty);
  EXPECT_EQ(sizes(t.Sl2Table), empty);
  EXPECT_EQ(sizes(t.Sl3Table), empty);
  EXPECT_EQ(sizes(t.Sl4Table), empty);
  EXPECT_EQ(sizes(t.ScTable), empty);
  EXPECT_EQ(sizes(t.SeTable), empty);
  EXPECT_EQ(sizes(t.SoTable), empty);
  EXPECT_EQ(sizes(t.SgTable), empty);
  EXPECT_EQ(OutputLines.Count(), 0);
}

TEST_F(KzmGaibuState, ResetInterchangeStateRestoresEveryDefault) {
  Scribble();
  ResetInterchangeState();
  ExpectDefaults();
}

TEST_F(KzmGaibuState, ResetInterchangeStateTwiceEqualsOnce) {
  Scribble();
  ResetInterchangeState();
  ResetInterchangeState();
  ExpectDefaults();
}

// cc, font, pn and lc10 belong to ResetEmitState; a reset keeps them as they are.
TEST_F(KzmGaibuState, ResetInterchangeStateLeavesTheEmittersFlags) {
  for (const bool value : {false, true}) {
    for (bool& flag : Attributes.AttributeUnset) flag = value;
    ResetInterchangeState();
    for (int flag = UnsetCc; flag <= UnsetLc10; ++flag) {
      EXPECT_EQ(Attributes.AttributeUnset[flag], value) << flag;
    }
  }
}

// The entry sets the separator before FormShow resets the state.
TEST_F(KzmGaibuState, ResetInterchangeStateKeepsTheDecimalSeparator) {
  SetDecimalSeparator(',');
  ResetInterchangeState();
  EXPECT_EQ(RealToText(1.5), "1,5");
  SetDecimalSeparator('.');
}

TEST_F(KzmGaibuState, TablesGrowInStepsOfAThousandZeroFilled) {
  GrowableTable<TextRecord> table;
  EXPECT_EQ(table.Capacity(), 0u);
  const std::pair<int, std::size_t> steps[] = {{1, 1000},    {999, 1000},  {1000, 1000},
                                               {1001, 2000}, {2000, 2000}, {2001, 3000}};
  int appended = 0;
  for (const auto& [count, capacity] : steps) {
    while (appended < count) {
      TextRecord& record = table.Append();
      EXPECT_EQ(record.Header.Color, 0);
      EXPECT_EQ(record.Text, "");
      record.Header.HhpNumber = appended++;
      record.Text = "ttt";
    }
    EXPECT_EQ(table.Count(), count);
    EXPECT_EQ(table.Capacity(), capacity) << "after " << count << " appends";
  }
  for (int i = 0; i < appended; ++i) ASSERT_EQ(table[i].Header.HhpNumber, i);

  table.Release();
  EXPECT_EQ(table.Count(), 2001);
  EXPECT_EQ(table.Capacity(), 0u);
  table.Clear();
  EXPECT_EQ(table.Count(), 0);
  table.Append();
  EXPECT_EQ(table.Capacity(), 1000u);
}

// Clear keeps the first block for the next read; what the last read stored
// in it must not show through.
TEST_F(KzmGaibuState, ClearedTableAppendsZeroFilledElementsAgain) {
  GrowableTable<TextRecord> table;
  for (int i = 0; i < 1500; ++i) {
    TextRecord& record = table.Append();
    record.Header.Color = 7;
    record.X = 1.5;
    record.Text = "stale";
  }
  table.Clear();
  EXPECT_EQ(table.Capacity(), 0u);
  for (int i = 0; i < 1500; ++i) {
    const TextRecord& record = table.Append();
    ASSERT_EQ(std::make_tuple(record.Header.Color, record.X, record.Text),
              std::make_tuple(0, 0.0, std::string()))
        << "element " << i;
  }
  EXPECT_EQ(table.Capacity(), 2000u);
}

TEST_F(KzmGaibuState, AppendEntityOrderKeepsReadingOrderUnchecked) {
  const EntityOrderEntry entries[] = {{KindText, 0}, {KindLine, 0}, {KindText, 1},
                                      {-5, 99999},   {KindSg, -1},  {KindRemoved, 3}};
  for (const EntityOrderEntry& e : entries) AppendEntityOrder(e.Kind, e.Index);
  ASSERT_EQ(Entities.EntityOrder.Count(), 6);
  EXPECT_EQ(Entities.EntityOrder.Capacity(), 1000u);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(Entities.EntityOrder[i].Kind, entries[i].Kind) << i;
    EXPECT_EQ(Entities.EntityOrder[i].Index, entries[i].Index) << i;
  }
  for (int i = 6; i < 1001; ++i) AppendEntityOrder(KindPoint, i);
  EXPECT_EQ(Entities.EntityOrder.Capacity(), 2000u);
  EXPECT_EQ(Entities.EntityOrder[3].Index, 99999);
  EXPECT_EQ(Entities.EntityOrder[1000].Index, 1000);
}

TEST_F(KzmGaibuState, FillEntityHeaderCopiesTheCurrentAttributesInOrder) {
  AttributeState& a = Attributes;
  a.CurrentHhpNumber = 11;
  a.CurrentLayerGroup = 12;
  a.CurrentLayer = 13;
  a.CurrentColor = 14;
  a.CurrentLineType = 15;
  a.CurrentLineWidth = 16;
  a.CurrentZFlags = 17;
  a.CurrentPointColor = 99;
  EntityHeader header{-1, -1, -1, -1, -1, -1, -1};
  FillEntityHeader(header);
  EXPECT_EQ(std::make_tuple(header.HhpNumber, header.LayerGroup, header.Layer, header.Color,
                            header.LineType, header.LineWidth, header.ZFlags),
            std::make_tuple(11, 12, 13, 14, 15, 16, 17));
}

TEST_F(KzmGaibuState, FreeInterchangeTablesReleasesStorageAndKeepsCounts) {
  for (int i = 0; i < 3; ++i) AppendEntityOrder(KindCircle, i);
  for (int i = 0; i < 1001; ++i) Entities.CircleTable.Append();
  Entities.BlockTable.Append().Name = "B";
  AddOutputLine("hd");
  AddOutputLine("bz");
  Layers.HpPointCount = 4;

  FreeInterchangeTables();
  EXPECT_EQ(Entities.EntityOrder.Count(), 3);
  EXPECT_EQ(Entities.CircleTable.Count(), 1001);
  EXPECT_EQ(Entities.BlockTable.Count(), 1);
  EXPECT_EQ(OutputLines.Count(), 2);
  EXPECT_EQ(Layers.HpPointCount, 4);
  EXPECT_EQ(Entities.CircleTable.Capacity(), 0u);
  EXPECT_EQ(Entities.EntityOrder.Capacity(), 0u);
  EXPECT_TRUE(Layers.LayerNames.empty());
  EXPECT_TRUE(Layers.HpPoints.empty());
  EXPECT_EQ(Attributes.CurrentFontName, kMsGothic);

  ResetInterchangeState();
  ExpectDefaults();
}

// The order packs kind and index into one word: a kind it cannot hold must
// not wrap onto a real one, and an index it cannot hold must not be stored.
TEST_F(KzmGaibuState, EntityOrderKeepsOutOfRangeKindsUnknownAndRefusesHugeIndices) {
  EXPECT_TRUE(AppendEntityOrder(KindSg + 32, 0));
  EXPECT_TRUE(AppendEntityOrder(-17, 1));
  EXPECT_TRUE(AppendEntityOrder(KindLine, kMaxEntityOrderIndex));
  EXPECT_FALSE(AppendEntityOrder(KindLine, kMaxEntityOrderIndex + 1));
  ASSERT_EQ(Entities.EntityOrder.Count(), 3);
  EXPECT_LT(Entities.EntityOrder[0].Kind, 0);
  EXPECT_LT(Entities.EntityOrder[1].Kind, 0);
  EXPECT_EQ(Entities.EntityOrder[2].Index, kMaxEntityOrderIndex);
}

}  // namespace

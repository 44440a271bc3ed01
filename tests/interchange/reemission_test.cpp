#include "interchange/reemission.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "interchange/emit_test_support.h"
#include "interchange/output_lines.h"
#include "interchange/state.h"
#include "interchange/system_strings.h"
#include "support/fake_platform.h"

namespace {

const std::string kDefaultFontLine = "cn\"$" + std::string(kDefaultFontName);

EntityHeader Header(std::int32_t group, std::int32_t layer, std::int32_t color,
                    std::int32_t lineType = 1, std::int32_t lineWidth = 0,
                    std::int32_t zFlags = 0) {
  return EntityHeader{0, group, layer, color, lineType, lineWidth, zFlags};
}

// Each Add appends the record to its table and its entry to EntityOrder, as
// the reader stores an entity.
template <class Record>
Record& Store(GrowableTable<Record>& table, EntityKind kind) {
  AppendEntityOrder(kind, table.Count());
  return table.Append();
}

LineRecord& AddLine(const EntityHeader& header, std::int32_t polyline, double x1, double y1,
                    double x2, double y2) {
  LineRecord& r = Store(Entities.LineTable, KindLine);
  r.Header = header;
  r.PolylineNumber = polyline;
  r.X1 = x1;
  r.Y1 = y1;
  r.X2 = x2;
  r.Y2 = y2;
  return r;
}

TextRecord MakeText(const EntityHeader& header, std::string_view text) {
  TextRecord r{};
  r.Header = header;
  r.TextType = 1;
  r.Width = 3;
  r.Height = 3;
  r.FontName = kDefaultFontName;
  r.X = 10;
  r.Y = 20;
  r.VectorX = 1;
  r.Text = text;
  return r;
}

TextRecord& AddText(const EntityHeader& header, std::string_view text) {
  return Store(Entities.TextTable, KindText) = MakeText(header, text);
}

CircleRecord& AddCircle(const EntityHeader& header) {
  CircleRecord& r = Store(Entities.CircleTable, KindCircle);
  r.Header = header;
  r.Radius = 5;
  return r;
}

void RemoveEntry(std::int32_t position) {
  Entities.EntityOrder[static_cast<std::size_t>(position)].Kind = KindRemoved;
}

// Escape stays up: these walks are not about it.
void Emit(const StoredEntityOverrides& overrides) {
  EscapeNeverDown up;
  EmitStoredEntities(overrides, up);
}

void EmitAllOwn() { Emit(kOwnAttributes); }

class Reemission : public EmitTest {};

TEST_F(Reemission, WorkedExampleTextThenLine) {
  Attributes.InitialLayerGroup = 0;
  Attributes.InitialLayer = 1;
  AddText(Header(0, 1, 2), "ABC");
  AddLine(Header(0, 1, 3), 0, 0, 0, 5, 0);
  EmitAllOwn();
  EXPECT_EQ(Take(), (Lines{"lg0", "ly1", "cn1", "cc0", kDefaultFontLine, "ch 10 20 1 0 \"", "ABC",
                           "lc3", "lt1", "lw0", "0 0 5 0"}));
}

TEST_F(Reemission, EmptyOrderWritesBzAndTheInitialLayer) {
  Drawing.BzSeen = true;
  Attributes.InitialLayerGroup = 2;
  Attributes.InitialLayer = 0;
  AddOutputLine("bz");
  EmitAllOwn();
  EXPECT_EQ(Take(), (Lines{"bz", "bz", "lg2", "ly0"}));
}

TEST_F(Reemission, RemovedBlocksAndUnknownKindsWriteNothing) {
  AddLine(Header(5, 5, 3), 0, 0, 0, 1, 0);
  RemoveEntry(0);
  TKzmEntBlk& block = Store(Entities.BlockTable, KindBlock);
  block.Header = Header(6, 6, 4);
  AppendEntityOrder(16, 0);
  AppendEntityOrder(-1, 0);
  EmitAllOwn();
  EXPECT_EQ(Take(), (Lines{"lg0", "ly0"}));
}

// Polyline blocks: the look-ahead sees only the next entry.
struct PolylineCase {
  const char* name;
  std::vector<std::int32_t> polylines;  // one line each; -1 stands for a removed entry
  Lines expected;                       // after the opening lg0 ly0 lc1 lt1 lw0
};
void PrintTo(const PolylineCase& c, std::ostream* os) { *os << c.name; }

class PolylineBlocks : public EmitTest, public ::testing::WithParamInterface<PolylineCase> {};

TEST_P(PolylineBlocks, BracketRunsOfOnePolyline) {
  double y = 0;
  for (std::int32_t polyline : GetParam().polylines) {
    AddLine(Header(0, 0, 1), polyline < 0 ? 9 : polyline, 0, y, 1, y);
    if (polyline < 0) RemoveEntry(Entities.EntityOrder.Count() - 1);
    ++y;
  }
  EmitAllOwn();
  Lines expected = {"lg0", "ly0", "lc1", "lt1", "lw0"};
  expected.insert(expected.end(), GetParam().expected.begin(), GetParam().expected.end());
  EXPECT_EQ(Take(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Reemission, PolylineBlocks,
    ::testing::Values(
        PolylineCase{"ThreeLinesOneBlock", {4, 4, 4}, {"pl", "0 0 1 0", "0 1 1 1", "0 2 1 2", "#"}},
        PolylineCase{
            "RemovedEntryBreaksTheBlock", {4, -1, 4}, {"pl", "0 0 1 0", "#", "pl", "0 2 1 2", "#"}},
        PolylineCase{
            "NextPolylineOpensItsOwn", {4, 5}, {"pl", "0 0 1 0", "#", "pl", "0 1 1 1", "#"}},
        PolylineCase{"PlainLinesUnbracketed", {0, 0}, {"0 0 1 0", "0 1 1 1"}},
        PolylineCase{"LastEntryClosesTheBlock", {0, 7}, {"0 0 1 0", "pl", "0 1 1 1", "#"}},
        PolylineCase{"SameNumberAfterPlainLine",
                     {3, 0, 3},
                     {"pl", "0 0 1 0", "#", "0 1 1 1", "pl", "0 2 1 2", "#"}}),
    CaseName());

TEST_F(Reemission, AttributesOfLaterLinesStandInsideTheBlock) {
  AddLine(Header(0, 0, 1), 4, 0, 0, 1, 0);
  AddLine(Header(0, 0, 2, 1, 0, 1), 4, 1, 0, 2, 0);
  AddCircle(Header(0, 0, 2));  // another kind between two blocks of one polyline
  AddLine(Header(0, 0, 2), 4, 2, 0, 3, 0);
  EmitAllOwn();
  EXPECT_EQ(Take(), (Lines{"lg0", "ly0", "lc1", "lt1", "lw0", "pl", "0 0 1 0", "lc2", "z1",
                           "1 0 2 0", "#", "ci 0 0 5", "pl", "2 0 3 0", "#"}));
}

// The host spends z lines on the next entity line it reads: those of an
// entity the emitter skips must not reach the file.
TEST_F(Reemission, ZFlagsOfASkippedEntityAreTakenBack) {
  AddCircle(Header(0, 0, 2, 1, 0, 5)).Radius = 0;
  AddLine(Header(0, 0, 2, 1, 0, 2), 0, 1, 1, 1, 1);
  AddCircle(Header(0, 0, 2));
  EmitAllOwn();
  EXPECT_EQ(Take(), (Lines{"lg0", "ly0", "lc2", "lt1", "lw0", "ci 0 0 5"}));
}

// Escape and progress through doubles of the platform and the display.
class RecordingDisplay final : public ProgressDisplay {
 public:
  void SetText(std::string_view text) override { texts.emplace_back(text); }
  void RepaintNow() override { ++repaints; }
  std::vector<std::string> texts;
  int repaints = 0;
};

class ReemissionWithPlatform : public Reemission {
 protected:
  void AddPoints(int count) {
    for (int i = 0; i < count; ++i) {
      PointRecord& r = Store(Entities.PointTable, KindPoint);
      r.Header = Header(0, 0, 1);
      r.X = i;
    }
  }
};

// Not even the closing layer lines: the host must get "hq" alone.
TEST_F(ReemissionWithPlatform, EscapeHeldFromTheStartLeavesNothing) {
  FakePlatform escape;
  escape.escapeUpPolls = 0;
  Attributes.InitialLayerGroup = 3;
  Attributes.InitialLayer = 2;
  AddOutputLine("hd");
  AddPoints(250);
  EmitStoredEntities(kOwnAttributes, escape);
  EXPECT_EQ(Take(), Lines{});
  EXPECT_EQ(escape.polls, 1);
}

TEST_F(ReemissionWithPlatform, EscapeIsPolledEveryHundredEntries) {
  FakePlatform escape;
  escape.escapeUpPolls = 2;  // down at the third poll, position 200
  AddPoints(250);
  EmitStoredEntities(kOwnAttributes, escape);
  EXPECT_EQ(escape.polls, 3);
  // Emptied, and the final layer group and layer equal what was written.
  EXPECT_EQ(OutputLines.Count(), 0);
  EXPECT_EQ(output_.Image(), "hq\r\n");
}

TEST_F(ReemissionWithPlatform, ProgressShownAtEveryHundredth) {
  FakePlatform never;
  RecordingDisplay display;
  AddPoints(250);
  EmitStoredEntities({.Progress = &display}, never);
  const std::string prefix =
      "\x8F\x88\x97\x9D\x92\x86(ESC:\x92\x86\x92\x66)\x81\x46";  // 処理中(ESC:中断)：
  const std::string slash = "\x81\x5E";                          // ／
  EXPECT_EQ(display.texts,
            (std::vector<std::string>{prefix + "1" + slash + "250", prefix + "101" + slash + "250",
                                      prefix + "201" + slash + "250"}));
  EXPECT_EQ(display.repaints, 3);
  EXPECT_EQ(never.polls, 3);
}

TEST_F(Reemission, LayerOverridesOnlyWithinRange) {
  Attributes.InitialLayerGroup = 1;
  Attributes.InitialLayer = 1;
  AddCircle(Header(1, 1, 1));
  AddCircle(Header(2, 1, 1));
  Emit({.LayerGroup = 15, .Layer = 16});
  EXPECT_EQ(Take(),
            (Lines{"lgF", "ly1", "lc1", "lt1", "lw0", "ci 0 0 5", "ci 0 0 5", "lg1", "ly1"}));

  ResetEmitState();
  Emit({.LayerGroup = 16});
  EXPECT_EQ(Take(), (Lines{"lg1", "ly1", "lc1", "lt1", "lw0", "ci 0 0 5", "lg2", "ly1", "ci 0 0 5",
                           "lg1", "ly1"}));
}

TEST_F(Reemission, TextColourOverridePutsTextsUnderFreeSize) {
  AddText(Header(0, 0, 2), "A");
  TextRecord& second = AddText(Header(0, 0, 4), "B");
  second.TextType = 3;
  AddText(Header(0, 0, 2), "C").Height = 4;
  Emit({.TextColor = 5, .Cc = 2});
  // B has its own type 3 and colour 4, yet the same free size as A: no line.
  EXPECT_EQ(Take(), (Lines{"lg0", "ly0", "cn0 3 3 0 5", "cc2", kDefaultFontLine, "ch 10 20 1 0 \"",
                           "A", "ch 10 20 1 0 \"", "B", "cn0 3 4 0 5", "ch 10 20 1 0 \"", "C"}));
}

// One entity of each kind with distinct attributes: layer group 1, layer 2,
// colour 3, line type 4, width 5, z1, and the colour-10 value given.
void StoreOfKind(EntityKind kind, std::int32_t color, std::int32_t color10) {
  const EntityHeader h = Header(1, 2, color, 4, 5, 1);
  auto text = [](const EntityHeader& header) {
    TextRecord r = MakeText(header, "T");
    r.TextType = 0;
    r.Width = 2;
    r.Height = 2.5;
    r.Spacing = 0;
    r.CcValue = 4;
    r.FontName = "Arial";
    return r;
  };
  switch (kind) {
    case KindLine:
      AddLine(h, 0, 0, 0, 1, 0).Color10Value = color10;
      break;
    case KindCircle:
      AddCircle(h).Color10Value = color10;
      break;
    case KindArc: {
      ArcRecord& r = Store(Entities.ArcTable, KindArc);
      r = ArcRecord{h, color10, 0, 0, 5, {0, 90, 1, 0}};
      break;
    }
    case KindText:
      Store(Entities.TextTable, KindText) = text(h);
      break;
    case KindPoint:
      Store(Entities.PointTable, KindPoint) = PointRecord{h, 0, 0};
      break;
    case KindTypedPoint:
      Store(Entities.TypedPointTable, KindTypedPoint) = TypedPointRecord{h, 0, 0, 1, 0, 2};
      break;
    case KindMessage: {
      // The opening comes from the message's own header, line attributes from
      // its Line, text attributes from its TextPart; z flags from both headers.
      MessageRecord& r = Store(Entities.MessageTable, KindMessage);
      r.Header = Header(1, 2, 6, 6, 6, 1);
      r.Line = LineRecord{Header(8, 8, color, 4, 5, 2), 0, color10, 0, 0, 1, 0};
      r.TextPart = text(Header(9, 9, 7, 6, 6, 0));
      break;
    }
    case KindSl2:
      Store(Entities.Sl2Table, KindSl2) = Sl2Record{h, color10, 0, 0, 1, 0};
      break;
    case KindSl3:
      Store(Entities.Sl3Table, KindSl3) = Sl3Record{h, color10, 0, 0, 1, 0, 0, 1};
      break;
    case KindSl4:
      Store(Entities.Sl4Table, KindSl4) = Sl4Record{h, color10, 0, 0, 1, 0, 1, 1, 0, 1};
      break;
    case KindSc:
      Store(Entities.ScTable, KindSc) = ScRecord{h, color10, {0, 0, 5, 1, 0, 360, 0}, 100};
      break;
    case KindSe:
      Store(Entities.SeTable, KindSe) = SeRecord{h, color10, {0, 0, 5, 1, 0, 360, 0}, 0};
      break;
    case KindSo:
      Store(Entities.SoTable, KindSo) = SoRecord{h, color10, {0, 0, 5, 1, 0, 360, 0, 2}};
      break;
    case KindSg:
      Store(Entities.SgTable, KindSg) = SgRecord{h, color10, {0, 0, 5, 1, 0, 360, 0, 2}};
      break;
    default:
      break;
  }
}

struct KindCase {
  const char* name;
  EntityKind kind;
  Lines own;       // all overrides -1
  Lines override;  // layer group 6, layer 7, colour 8, line type 9, width 11, text colour 5, cc 3
};
void PrintTo(const KindCase& c, std::ostream* os) { *os << c.name; }

class EachKind : public EmitTest, public ::testing::WithParamInterface<KindCase> {};

TEST_P(EachKind, WritesItsOwnAttributes) {
  StoreOfKind(GetParam().kind, 3, 0);
  EmitAllOwn();
  Lines expected = GetParam().own;
  expected.insert(expected.end(), {"lg0", "ly0"});
  EXPECT_EQ(Take(), expected);
}

TEST_P(EachKind, WritesTheOverridesItUses) {
  StoreOfKind(GetParam().kind, 3, 0);
  Emit({.LayerGroup = 6,
        .Layer = 7,
        .Color = 8,
        .LineType = 9,
        .LineWidth = 11,
        .TextColor = 5,
        .Cc = 3,
        .Color10 = 255});
  Lines expected = GetParam().override;
  expected.insert(expected.end(), {"lg0", "ly0"});
  EXPECT_EQ(Take(), expected);
}

const std::string kTextLine = "ch 10 20 1 0 \"";

INSTANTIATE_TEST_SUITE_P(
    Reemission, EachKind,
    ::testing::Values(
        KindCase{"Line",
                 KindLine,
                 {"lg1", "ly2", "lc3", "lt4", "lw5", "z1", "0 0 1 0"},
                 {"lg6", "ly7", "lc8", "lt9", "lw11", "z1", "0 0 1 0"}},
        KindCase{"Circle",
                 KindCircle,
                 {"lg1", "ly2", "lc3", "lt4", "lw5", "z1", "ci 0 0 5"},
                 {"lg6", "ly7", "lc8", "lt9", "lw11", "z1", "ci 0 0 5"}},
        KindCase{"Arc",
                 KindArc,
                 {"lg1", "ly2", "lc3", "lt4", "lw5", "z1", "ci 0 0 5 0 90 1 0"},
                 {"lg6", "ly7", "lc8", "lt9", "lw11", "z1", "ci 0 0 5 0 90 1 0"}},
        KindCase{"Text",
                 KindText,
                 {"lg1", "ly2", "cn0 2 2.5 0 3", "cc4", "cn\"$Arial", "z1", kTextLine, "T"},
                 {"lg6", "ly7", "cn0 2 2.5 0 5", "cc3", "cn\"$Arial", "z1", kTextLine, "T"}},
        KindCase{"Point",
                 KindPoint,
                 {"lg1", "ly2", "pn3", "lw5", "z1", "pt 0 0"},
                 {"lg6", "ly7", "pn8", "lw11", "z1", "pt 0 0"}},
        KindCase{"TypedPoint",
                 KindTypedPoint,
                 {"lg1", "ly2", "pn3", "lw5", "z1", "pt 0 0 1 0 2"},
                 {"lg6", "ly7", "pn8", "lw11", "z1", "pt 0 0 1 0 2"}},
        KindCase{"Message",
                 KindMessage,
                 {"lg1", "ly2", "lc3", "lt4", "lw5", "cn0 2 2.5 0 7", "cc4", "cn\"$Arial", "z1",
                  "z2", "msg", "0 0 1 0", "cs 10 20 1 0 \"", "T"},
                 {"lg6", "ly7", "lc8", "lt9", "lw11", "cn0 2 2.5 0 5", "cc3", "cn\"$Arial", "z1",
                  "z2", "msg", "0 0 1 0", "cs 10 20 1 0 \"", "T"}},
        KindCase{"Sl2",
                 KindSl2,
                 {"lg1", "ly2", "lc3", "lw5", "z1", "sl 0 0 1 0"},
                 {"lg6", "ly7", "lc8", "lw11", "z1", "sl 0 0 1 0"}},
        KindCase{"Sl3",
                 KindSl3,
                 {"lg1", "ly2", "lc3", "z1", "sl 0 0 1 0 0 1"},
                 {"lg6", "ly7", "lc8", "z1", "sl 0 0 1 0 0 1"}},
        KindCase{"Sl4",
                 KindSl4,
                 {"lg1", "ly2", "lc3", "z1", "sl 0 0 1 0 1 1 0 1"},
                 {"lg6", "ly7", "lc8", "z1", "sl 0 0 1 0 1 1 0 1"}},
        KindCase{"Sc",
                 KindSc,
                 {"lg1", "ly2", "lc3", "z1", "sc 0 0 5 1 0 360 0 100"},
                 {"lg6", "ly7", "lc8", "z1", "sc 0 0 5 1 0 360 0 100"}},
        KindCase{"Se",
                 KindSe,
                 {"lg1", "ly2", "lc3", "lw5", "z1", "se 0 0 5 1 0 360 0 0"},
                 {"lg6", "ly7", "lc8", "lw11", "z1", "se 0 0 5 1 0 360 0 0"}},
        KindCase{"So",
                 KindSo,
                 {"lg1", "ly2", "lc3", "z1", "so 0 0 5 1 0 360 0 2"},
                 {"lg6", "ly7", "lc8", "z1", "so 0 0 5 1 0 360 0 2"}},
        KindCase{"Sg",
                 KindSg,
                 {"lg1", "ly2", "lc3", "z1", "sg 0 0 5 1 0 360 0 2"},
                 {"lg6", "ly7", "lc8", "z1", "sg 0 0 5 1 0 360 0 2"}}),
    CaseName());

// The colour lines alone ("lc..." and "pn...").
Lines ColorLines(const Lines& lines) {
  Lines colors;
  for (const std::string& line : lines) {
    if (line.rfind("lc", 0) == 0 || line.rfind("pn", 0) == 0) colors.push_back(line);
  }
  return colors;
}

struct ColorCase {
  const char* name;
  EntityKind kind;
  Lines overrideTen;  // ColorOverride 10 with Color10Override 255
  Lines ownTen;       // own colour 10 with its colour-10 value 4660
};
void PrintTo(const ColorCase& c, std::ostream* os) { *os << c.name; }

class ColorTen : public EmitTest, public ::testing::WithParamInterface<ColorCase> {};

TEST_P(ColorTen, OverrideTenWithValue255) {
  StoreOfKind(GetParam().kind, 3, 4660);
  Emit({.Color = 10, .Color10 = 255});
  EXPECT_EQ(ColorLines(Take()), GetParam().overrideTen);
}

// Lines, circles, arcs and messages write their own colour-10 value, as the
// solids do, rather than a bare «lc10» that leaves the value to the host.
TEST_P(ColorTen, OwnColourTenKeepsItsValue) {
  StoreOfKind(GetParam().kind, 10, 4660);
  EmitAllOwn();
  EXPECT_EQ(ColorLines(Take()), GetParam().ownTen);
}

INSTANTIATE_TEST_SUITE_P(
    Reemission, ColorTen,
    ::testing::Values(ColorCase{"Line", KindLine, {"lc10"}, {"lc10 4660"}},
                      ColorCase{"Circle", KindCircle, {"lc10"}, {"lc10 4660"}},
                      ColorCase{"Arc", KindArc, {"lc10"}, {"lc10 4660"}},
                      ColorCase{"Message", KindMessage, {"lc10"}, {"lc10 4660"}},
                      ColorCase{"Text", KindText, {}, {}},
                      ColorCase{"Point", KindPoint, {"pn10"}, {"pn10"}},
                      ColorCase{"TypedPoint", KindTypedPoint, {"pn10"}, {"pn10"}},
                      ColorCase{"Sl2", KindSl2, {"lc10 255"}, {"lc10 4660"}},
                      ColorCase{"Sl3", KindSl3, {"lc10 255"}, {"lc10 4660"}},
                      ColorCase{"Sl4", KindSl4, {"lc10 255"}, {"lc10 4660"}},
                      ColorCase{"Sc", KindSc, {"lc10 255"}, {"lc10 4660"}},
                      ColorCase{"Se", KindSe, {"lc10 255"}, {"lc10 4660"}},
                      ColorCase{"So", KindSo, {"lc10 255"}, {"lc10 4660"}},
                      ColorCase{"Sg", KindSg, {"lc10 255"}, {"lc10 4660"}}),
    CaseName());

TEST_F(Reemission, OverridesPassThroughTheEmittersRangeRules) {
  AddLine(Header(0, 0, 1), 0, 0, 0, 1, 0);
  AddText(Header(0, 0, 2), "A");
  Emit({.LineWidth = 40000, .Cc = 9});
  EXPECT_EQ(Take(), (Lines{"lg0", "ly0", "lc1", "lt1", "lw0", "0 0 1 0", "cn1", "cc0",
                           kDefaultFontLine, "ch 10 20 1 0 \"", "A"}));
}

// A stored font name ending in a quote must not swallow the text after it.
TEST_F(Reemission, FontNameEndingInQuoteKeepsTheTextIntact) {
  AddText(Header(0, 0, 2), "ABC").FontName = "Ab\"";
  EmitAllOwn();
  EXPECT_EQ(output_.Image(), "lg0\r\nly0\r\ncn1\r\ncc0\r\ncn\"$Ab\"\r\nch 10 20 1 0 \"ABC\r\n");
}

}  // namespace

namespace {

// z lines before "msg" belong to the message's line when read; they must be
// written before "msg" again rather than dropped.
TEST_F(Reemission, MessageKeepsTheZFlagsOfItsLine) {
  MessageRecord& m = Store(Entities.MessageTable, KindMessage);
  m.Header = Header(0, 0, 1, 1, 0, 2);
  m.Line.Header = Header(0, 0, 1, 1, 0, 8);
  m.Line.X2 = 10;
  m.TextPart = MakeText(Header(0, 0, 2), "5");
  EmitAllOwn();
  const Lines lines = Take();
  const auto msg = std::find(lines.begin(), lines.end(), "msg");
  ASSERT_NE(msg, lines.end());
  EXPECT_EQ(std::vector<std::string>(msg - 2, msg), (Lines{"z2", "z4"}));
}

}  // namespace

// Joins as the host sees them: a drawing goes out as KZC_TEMP.TXT, the real
// program runs, and the drawing that comes back is compared entity by entity.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/scenario_support.h"

namespace e2e {
namespace {

using namespace sjis;

// Drawing indexes of the title block's texts.
constexpr std::size_t kCompany = 5;  // 株式会社ソフト at (100, 32)
constexpr std::size_t kPlan = 7;     // 平面図 at (40, 12)
constexpr std::size_t kDesign = 9;   // 設計 at (5, 30)
constexpr std::size_t kScale = 10;   // 1:100 at (150, 10)

// A title block as a user selects it: the frame as one polyline, rulings, a
// stamp circle, four texts of different types, fonts and layers, a dimension,
// a point and a coloured solid, plus one entity outside the selection.
HostDrawing TitleBlock(double angle = 0.0) {
  HostDrawing d;
  d.FileName = "C:\\CAD\\" + kZuMen + "\\title 01.zmn";
  d.DrawingAngle = angle;
  d.WorkLayerGroup = 2;
  d.WorkLayer = 1;
  Attributes frame;
  frame.LayerGroup = 2;
  frame.Layer = 1;
  d.Entities.push_back(MakeLine(0, 0, 180, 0, frame, 1));
  d.Entities.push_back(MakeLine(180, 0, 180, 40, frame, 1));
  d.Entities.push_back(MakeLine(180, 40, 0, 40, frame, 1));
  d.Entities.push_back(MakeLine(0, 40, 0, 0, frame, 1));
  Attributes ruling = frame;
  ruling.Color = 2;
  ruling.LineType = 2;
  ruling.LineWidth = 25;
  d.Entities.push_back(MakeLine(0, 20, 180, 20, ruling));

  Attributes company = frame;
  company.TextType = 3;
  company.Font = kMinchoFont;
  d.Entities.push_back(MakeText(100, 32, kKabushikiSoft, company));  // 5
  d.Entities.push_back(MakeLine(90, 0, 90, 40, ruling));
  Attributes plan = frame;
  plan.Layer = 2;
  plan.TextType = 0;
  plan.FreeWidth = 2.5;
  plan.FreeHeight = 3.5;
  plan.FreeSpacing = 0.25;
  plan.FreeColor = 4;
  plan.Cc = 1;
  Entity planText = MakeText(40, 12, kHeimenZu, plan, 1, 0, "cs");
  planText.ZFlags = 1;
  d.Entities.push_back(planText);  // 7
  d.Entities.push_back(MakeShape(EntityKind::Circle, "ci", {170, 30, 4}, ruling));
  Attributes design = frame;
  design.TextType = 5;
  design.Cc = 2;
  d.Entities.push_back(MakeText(5, 30, kSekkei, design));     // 9
  d.Entities.push_back(MakeText(150, 10, "1:100", company));  // 10

  Attributes dimension = ruling;
  dimension.Color = 6;
  dimension.TextType = 2;
  d.Entities.push_back(MakeMessage({0, -5, 180, -5}, {90, -4, 1, 0}, "180", dimension));
  Attributes point = frame;
  point.PointColor = 3;
  d.Entities.push_back(MakeShape(EntityKind::Point, "pt", {175, 5}, point));
  Attributes solid = frame;
  solid.Color = 10;
  solid.Color10Value = 0x123456;
  Entity filled = MakeShape(EntityKind::Solid, "sl", {160, 2, 178, 2, 178, 8}, solid);
  filled.ZFlags = 2 | 16;
  d.Entities.push_back(filled);
  Entity outside = MakeText(300, 300, kZuMen);
  outside.Selected = false;
  d.Entities.push_back(outside);
  return d;
}

std::string Joined(const std::vector<std::string>& parts, const std::string& delimiter) {
  std::string out;
  for (std::size_t i = 0; i < parts.size(); ++i) out += (i > 0 ? delimiter : "") + parts[i];
  return out;
}

TEST(EndToEndJoin, ModeOneJoinsTheTitleBlockInPositionalOrder) {
  const std::string m = kFullWidthMinus;
  const struct {
    const char* name;
    double angle;
    std::optional<std::string> settings;
    JoinOutcome expected;
  } cases[] = {
      {"left to right",
       0,
       SettingsFile("0", m),
       {kDesign,
        {kPlan, kCompany, kScale},
        Joined({kSekkei, kHeimenZu, kKabushikiSoft, "1:100"}, m)}},
      {"top to bottom",
       0,
       SettingsFile("1", m),
       {kCompany,
        {kDesign, kPlan, kScale},
        Joined({kKabushikiSoft, kSekkei, kHeimenZu, "1:100"}, m)}},
      {"no settings file: left to right, no delimiter",
       0,
       std::nullopt,
       {kDesign, {kPlan, kCompany, kScale}, kSekkei + kHeimenZu + kKabushikiSoft + "1:100"}},
      // Turned by 90 degrees, left to right follows the host's y upwards...
      {"hk 90, left to right",
       90,
       SettingsFile("0", m),
       {kScale,
        {kPlan, kDesign, kCompany},
        Joined({"1:100", kHeimenZu, kSekkei, kKabushikiSoft}, m)}},
      // ...and top to bottom the host's x to the right.
      {"hk 90, top to bottom",
       90,
       SettingsFile("1", m),
       {kDesign,
        {kPlan, kCompany, kScale},
        Joined({kSekkei, kHeimenZu, kKabushikiSoft, "1:100"}, m)}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    HostSimulator host;
    const HostDrawing before = TitleBlock(c.angle);
    const std::optional<HostDrawing> after = RunAndApply(host, before, Mode("1", c.settings));
    if (after) ExpectJoined(before, *after, c.expected);
  }
}

TEST(EndToEndJoin, TheReturnedFileOpensWithDeleteAndBz) {
  for (const bool bz : {false, true}) {
    SCOPED_TRACE(bz ? "the host wrote bz" : "no bz");
    HostSimulator host;
    HostDrawing before = TitleBlock();
    before.Bz = bz;
    RunResult run;
    const std::optional<HostDrawing> after =
        RunAndApply(host, before, Mode("1", SettingsFile("0", "")), &run);
    ASSERT_GE(run.Returned.Lines.size(), 3u);
    EXPECT_EQ(run.Returned.Lines[0], "hd");
    EXPECT_EQ(run.Returned.LeadingBz, bz ? 2 : 1);
    EXPECT_EQ(run.Returned.BzLines, bz ? 2 : 1);
    if (after) {
      ExpectJoined(
          before, *after,
          {kDesign, {kPlan, kCompany, kScale}, kSekkei + kHeimenZu + kKabushikiSoft + "1:100"});
    }
  }
}

// Line ends other hosts and older tools leave: LF alone, none after the last
// line, and an end-of-file byte (0x1A) with blank leftovers after it. Reading
// stops at that byte, so anything else after it would be lost: "hq".
TEST(EndToEndJoin, LineEndsTheHostMayWrite) {
  const auto lfOnly = [](std::string bytes) {
    std::string out;
    for (const char c : bytes) {
      if (c != '\r') out.push_back(c);
    }
    return out;
  };
  const HostDrawing before = TitleBlock();
  const std::string file = WriteSelection(before);
  const struct {
    const char* name;
    std::string bytes;
    bool quit = false;
  } cases[] = {
      {"LF alone", lfOnly(file)},
      {"no line end after the last line", file.substr(0, file.size() - 2)},
      {"end-of-file byte", file + "\x1a\r\n"},
      {"end-of-file bytes and blank leftovers", file + "\x1a\r\n \t\r\n\x1a\x1a"},
      {"end-of-file byte and an entity after it", file + "\x1a\r\nch 0 0 1 0 \"junk\r\n", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    HostSimulator host;
    RunResult run;
    const std::optional<HostDrawing> after =
        RunAndApply(host, before, Mode("1", SettingsFile("0", ""), c.bytes), &run);
    if (after && c.quit) {
      EXPECT_EQ(run.FileBytes, "hq\r\n");
    } else if (after) {
      ExpectJoined(
          before, *after,
          {kDesign, {kPlan, kCompany, kScale}, kSekkei + kHeimenZu + kKabushikiSoft + "1:100"});
    }
  }
}

// One entity of every kind the host selects, each with attributes of its
// own, between the two texts that join.
TEST(EndToEndJoin, EveryKindOfEntityComesBackAsItWas) {
  HostDrawing d;
  Attributes receiving;
  receiving.TextType = 10;
  receiving.Cc = 8;
  receiving.Font = "Arial";
  d.Entities.push_back(MakeText(0, 0, kZuMen, receiving, 0.5, -0.5, "ct"));

  Attributes a;
  a.Color = 10;
  a.Color10Value = 0xABCDEF;
  d.Entities.push_back(MakeLine(0, 0, 10, 10, a));
  a.Color = 4;
  d.Entities.push_back(MakeLine(0, 0, 5, 0, a, 7));
  d.Entities.push_back(MakeLine(5, 0, 5, 5, a, 7));
  d.Entities.push_back(MakeLine(5, 5, 9, 5, a, 8));  // a second block right after
  d.Entities.push_back(MakeLine(9, 5, 9, 9, a, 8));
  a.Color = 9;
  a.LineType = 5;
  a.LineWidth = 30;
  Entity circle = MakeShape(EntityKind::Circle, "ci", {1.5, -2.25, 0.125}, a);
  circle.ZFlags = 1 | 2;
  d.Entities.push_back(circle);
  Entity arc = MakeShape(EntityKind::Arc, "ci", {0, 0, 5, 10, 20, -0.5, 30}, a);
  arc.ZFlags = 8;
  d.Entities.push_back(arc);
  Attributes point;
  point.LayerGroup = 15;
  point.Layer = 14;
  point.PointColor = 7;
  point.LineWidth = 13;
  d.Entities.push_back(MakeShape(EntityKind::Point, "pt", {-1e-3, 123456.75}, point));
  d.Entities.push_back(MakeShape(EntityKind::TypedPoint, "pt", {3, 4, 2.5, 90, 11}, point));
  Attributes dimension;
  dimension.Color = 3;
  dimension.TextType = 0;
  dimension.FreeWidth = 1.75;
  dimension.FreeHeight = 2;
  dimension.FreeSpacing = 0;
  dimension.FreeColor = 6;
  Entity message = MakeMessage({0, 0, 12.5, 0}, {6, 1, 1, 0}, "12.5", dimension);
  message.ZFlags = 4;
  d.Entities.push_back(message);
  Attributes solid;
  solid.Color = 5;
  solid.LineWidth = 40;
  d.Entities.push_back(MakeShape(EntityKind::Solid, "sl", {0, 0, 3, 4}, solid));
  solid.Color = 10;
  solid.Color10Value = 255;
  d.Entities.push_back(MakeShape(EntityKind::Solid, "sl", {0, 0, 4, 0, 4, 4, 0, 4}, solid));
  d.Entities.push_back(MakeShape(EntityKind::Solid, "sc", {0, 0, 5, 1, 0, 360, 0, 100}, solid));
  solid.Color10Value = 0;
  d.Entities.push_back(MakeShape(EntityKind::Solid, "se", {1, 1, 3, 2, 0, 180, 0, 0}, solid));
  solid.Color = 1;
  Entity so = MakeShape(EntityKind::Solid, "so", {0, 0, 5, 1, 0, 90, 0, 2}, solid);
  so.ZFlags = 16;
  d.Entities.push_back(so);
  d.Entities.push_back(MakeShape(EntityKind::Solid, "sg", {0, 0, 5, -1, 0, 90, 0, 4.5}, solid));
  d.Entities.push_back(MakeText(1, 0, kSekkei, {}, 1, 0, "cz"));

  HostSimulator host;
  const std::optional<HostDrawing> after = RunAndApply(host, d, Mode("1"));
  if (after) ExpectJoined(d, *after, {0, {d.Entities.size() - 1}, kZuMen + kSekkei});
}

// Texts along x in file order, with a line and a circle between them.
HostDrawing TextsInARow(const std::vector<std::string>& texts) {
  HostDrawing d;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    d.Entities.push_back(MakeText(10.0 * static_cast<double>(i), 0, texts[i]));
    if (i == 0) d.Entities.push_back(MakeLine(0, -1, 50, -1));
  }
  d.Entities.push_back(MakeShape(EntityKind::Circle, "ci", {5, 5, 2}));
  return d;
}

std::string Repeat(const std::string& unit, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += unit;
  return out;
}

TEST(EndToEndJoin, JoinedTextsStopAt128Bytes) {
  const std::string m = kFullWidthMinus;
  const std::string t60 = Repeat(kHyou, 30);
  const std::string u60 = Repeat(kSo, 30);
  const std::string t62 = Repeat(kSo, 31);
  const std::string t63 = Repeat(kHyou, 31) + "A";
  // Drawing indexes of TextsInARow: text 0 at 0, the line at 1, text k at k + 1.
  const struct {
    const char* name;
    const char* mode;
    std::vector<std::string> texts;
    std::string delimiter;
    std::optional<JoinOutcome> expected;  // none: "hq", the drawing as it was
  } cases[] = {
      // 60 + 2 + 60 = 122 bytes; the third would make 134, so it and the
      // fourth stay, although the fourth alone would still fit.
      {"third passes the limit",
       "1",
       {t60, u60, "0123456789", kMaru},
       m,
       JoinOutcome{0, {2}, t60 + m + u60}},
      {"exactly 128 bytes, mode 1", "1", {t62, t62}, m + m, JoinOutcome{0, {2}, t62 + m + m + t62}},
      {"exactly 128 bytes, mode 2", "2", {t62, t62}, m + m, JoinOutcome{0, {2}, t62 + m + m + t62}},
      // Mode 1 writes everything back unchanged; mode 2 gives up.
      {"129 bytes, mode 1", "1", {t63, t62}, m + m, JoinOutcome{0, {}, t63}},
      {"129 bytes, mode 2", "2", {t63, t62}, m + m, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    HostSimulator host;
    const HostDrawing before = TextsInARow(c.texts);
    RunResult run;
    const std::optional<HostDrawing> after =
        RunAndApply(host, before, Mode(c.mode, SettingsFile("0", c.delimiter)), &run);
    if (!after) continue;
    if (c.expected) {
      EXPECT_TRUE(run.Returned.Delete);
      ExpectJoined(before, *after, *c.expected);
    } else {
      EXPECT_EQ(run.FileBytes, "hq\r\n");
      ExpectUnchanged(before, *after);
    }
  }
}

TEST(EndToEndJoin, ModeTwoJoinsTwoTextsInFileOrderOrNothing) {
  const std::string m = kFullWidthMinus;
  // The first text stands right of the second: mode 2 keeps the file order.
  HostDrawing two;
  Attributes first;
  first.LayerGroup = 3;
  first.Layer = 0xC;
  first.TextType = 7;
  first.Cc = 4;
  first.Font = kMinchoFont;
  two.Entities.push_back(MakeLine(0, 0, 100, 0));
  two.Entities.push_back(MakeText(80, 5, kHeimenZu, first, 0, 1, "cv"));
  two.Entities.push_back(MakeShape(EntityKind::Arc, "ci", {50, 50, 10, 0, 90, 1, 0}));
  two.Entities.push_back(MakeText(10, 5, kSunpou));
  two.Entities.push_back(MakeShape(EntityKind::TypedPoint, "pt", {1, 2, 0.5, 45, -3}));

  HostDrawing three = two;
  three.Entities.push_back(MakeText(20, 5, kSekkei));
  HostDrawing one = two;
  one.Entities.erase(one.Entities.begin() + 3);

  const struct {
    const char* name;
    HostDrawing before;
    std::optional<JoinOutcome> expected;
  } cases[] = {
      {"two texts", two, JoinOutcome{1, {3}, kHeimenZu + m + kSunpou}},
      {"three texts", three, std::nullopt},
      {"one text", one, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    HostSimulator host;
    RunResult run;
    const std::optional<HostDrawing> after =
        RunAndApply(host, c.before, Mode("2", SettingsFile("1", m)), &run);
    if (!after) continue;
    if (c.expected) {
      ExpectJoined(c.before, *after, *c.expected);
    } else {
      EXPECT_EQ(run.FileBytes, "hq\r\n");
      ExpectUnchanged(c.before, *after);
    }
  }
}

// Trail bytes that look like '\\', '|', '@', and single-byte katakana that
// look like lead bytes to a careless scanner, in texts, delimiters and fonts.
TEST(EndToEndJoin, ShiftJisBytesPassThroughUnchanged) {
  const struct {
    const char* name;
    std::string first, second, delimiter;
  } cases[] = {
      {"0x5C trail bytes", kSo, kHyou, kFullWidthMinus},
      {"0x5C at the end of both and in the delimiter", kNou + kSo, kHyou, kHyou},
      {"0x40 trail byte", kSunpou, kSunpou, kFullWidthEquals},
      // The joined text ends with a quote, as the command line before it does.
      {"quotes and equals signs inside a text", "x=\"1\"", "a=\"b\"", "\""},
      {"blanks kept inside and around", " A" + kFullWidthBlank + "B", kFullWidthBlank + "C ", " "},
      {"half-width katakana", kHalfWidthAiu, kHalfWidthAiu, kFullWidthBlank},
      {"a backslash delimiter", "C:", "temp", "\\"},
      {"a text that holds a path", "file=C:\\a b", "lgA", "/"},
  };
  for (const auto& c : cases) {
    for (const char* mode : {"1", "2"}) {
      SCOPED_TRACE(std::string(c.name) + ", mode " + mode);
      HostSimulator host;
      HostDrawing before;
      Attributes font;
      font.Font = kHyoujiSoftFont;
      before.Entities.push_back(MakeText(0, 0, c.first, font));
      before.Entities.push_back(MakeText(10, 0, c.second));
      const std::optional<HostDrawing> after =
          RunAndApply(host, before, Mode(mode, SettingsFile("0", c.delimiter)));
      if (after) ExpectJoined(before, *after, {0, {1}, c.first + c.delimiter + c.second});
    }
  }
}

}  // namespace
}  // namespace e2e

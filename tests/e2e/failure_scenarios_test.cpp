// What the host gets when something is wrong: a missing or broken file, a
// text that cannot carry the joined string, entities the program would not
// write back. Whatever happens, the drawing must not lose what was selected.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/scenario_support.h"

namespace e2e {
namespace {

using namespace sjis;

TEST(EndToEndInput, AMissingFileIsAnsweredWithQuit) {
  for (const char* mode : {"1", "2"}) {
    SCOPED_TRACE(mode);
    HostSimulator host;
    const RunResult run = host.Run(Mode(mode, SettingsFile("0", kFullWidthMinus)));
    EXPECT_EQ(run.ExitCode, 0) << run.Output;
    EXPECT_EQ(run.FileBytes, "hq\r\n");
    ExpectOnlyTheInterchangeFileChanged(run);
  }
}

// Two texts that would join, other entities, and a broken line after them.
HostDrawing WithBrokenLine(const std::string& raw) {
  HostDrawing d;
  d.Entities.push_back(MakeText(0, 0, kSekkei));
  d.Entities.push_back(MakeLine(0, -1, 50, -1));
  d.Entities.push_back(MakeText(10, 0, kZuMen));
  d.Entities.push_back(MakeRaw(raw));
  d.Entities.push_back(MakeShape(EntityKind::Circle, "ci", {5, 5, 2}));
  return d;
}

// A number too large for a double ends the reading part-way. Writing back
// what was read would delete the rest of the selection, so only "hq" is safe.
TEST(EndToEndInput, ANumberTooLargeLeavesTheDrawingAsItWas) {
  const char* lines[] = {
      "ch 1e400 0 1 0 \"x", "ch 0 -1e400 1 0 \"x", "ci 0 0 1e400", "0 0 1E400 5", "hk 1e400",
  };
  for (const char* line : lines) {
    for (const char* mode : {"1", "2"}) {
      SCOPED_TRACE(std::string(line) + ", mode " + mode);
      HostSimulator host;
      const HostDrawing before = WithBrokenLine(line);
      RunResult run;
      const std::optional<HostDrawing> after = RunAndApply(host, before, Mode(mode), &run);
      EXPECT_EQ(run.FileBytes, "hq\r\n");
      if (after) ExpectUnchanged(before, *after);
    }
  }
}

// Too small for a double is not too large: it reads as 0 and the join goes on.
TEST(EndToEndInput, ANumberTooSmallReadsAsZero) {
  HostSimulator host;
  const HostDrawing before = WithBrokenLine("pt 1e-400 5");
  const std::optional<HostDrawing> after = RunAndApply(host, before, Mode("1"));
  if (!after) return;
  HostDrawing expected = before;
  expected.Entities[3] = MakeShape(EntityKind::Point, "pt", {0, 5});
  ExpectJoined(expected, *after, {0, {2}, kSekkei + kZuMen});
}

TEST(EndToEndInput, AReceivingTextWithoutVectorLeavesTheDrawingAsItWas) {
  const struct {
    const char* name;
    const char* mode;
    std::vector<Entity> texts;
    std::optional<JoinOutcome> expected;  // none: "hq"
  } cases[] = {
      {"mode 1, leftmost text",
       "1",
       {MakeText(10, 0, kZuMen), MakeText(0, 0, kSekkei, {}, 0, 0)},
       std::nullopt},
      {"mode 2, first text",
       "2",
       {MakeText(10, 0, kZuMen, {}, 0, 0), MakeText(0, 0, kSekkei)},
       std::nullopt},
      // An absorbed text needs no vector of its own.
      {"mode 1, absorbed text",
       "1",
       {MakeText(0, 0, kSekkei), MakeText(10, 0, kZuMen, {}, 0, 0)},
       JoinOutcome{0, {1}, kSekkei + kZuMen}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    HostSimulator host;
    HostDrawing before;
    before.Entities = c.texts;
    before.Entities.push_back(MakeLine(0, -1, 50, -1));
    RunResult run;
    const std::optional<HostDrawing> after = RunAndApply(host, before, Mode(c.mode), &run);
    if (!after) continue;
    if (c.expected) {
      ExpectJoined(before, *after, *c.expected);
    } else {
      EXPECT_EQ(run.FileBytes, "hq\r\n");
      ExpectUnchanged(before, *after);
    }
  }
}

// What stays in the selection comes back, except what shows nothing; a text
// with content that could not be written back makes the join give up.
TEST(EndToEndInput, OnlyEntitiesThatShowNothingAreDropped) {
  const std::string m = kFullWidthMinus;
  const std::string t60 = std::string(60, 'a');
  const std::string u60 = std::string(60, 'b');
  const struct {
    const char* name;
    std::vector<Entity> entities;
    std::string delimiter;
    bool quit;
    JoinOutcome expected;  // drawing indexes
  } cases[] = {
      // The third text passes 128 bytes; the empty fourth shows nothing.
      {"an empty text after the stop",
       {MakeText(0, 0, t60), MakeText(1, 0, u60), MakeText(2, 0, "0123456789"), MakeText(3, 0, "")},
       m,
       false,
       {0, {1}, t60 + m + u60, {3}}},
      {"a text with content but no vector after the stop",
       {MakeText(0, 0, t60), MakeText(1, 0, u60), MakeText(2, 0, "0123456789"),
        MakeText(3, 0, kMaru, {}, 0, 0)},
       m,
       true,
       {}},
      {"a joined text of blanks",
       {MakeText(0, 0, ""), MakeText(1, 0, "")},
       " ",
       false,
       {0, {1}, " ", {0}}},
      {"a zero-length line",
       {MakeText(0, 0, "A"), MakeLine(5, 5, 5, 5), MakeText(1, 0, "B")},
       "",
       false,
       {0, {2}, "AB", {1}}},
      {"a circle of radius 0",
       {MakeText(0, 0, "A"), MakeShape(EntityKind::Circle, "ci", {5, 5, 0}), MakeText(1, 0, "B")},
       "",
       false,
       {0, {2}, "AB", {1}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    HostSimulator host;
    HostDrawing before;
    before.Entities = c.entities;
    RunResult run;
    const std::optional<HostDrawing> after =
        RunAndApply(host, before, Mode("1", SettingsFile("0", c.delimiter)), &run);
    ASSERT_TRUE(after.has_value());
    EXPECT_EQ(run.Returned.Quit, c.quit);
    if (run.Returned.Quit) {
      ExpectUnchanged(before, *after);
    } else {
      ExpectJoined(before, *after, c.expected);
    }
  }
}

// Selected entities that the program cannot write back whole, between two
// texts that would join: "hd" would delete them, so the answer is "hq".
TEST(EndToEndInput, WhatWouldNotComeBackLeavesTheDrawingAsItWas) {
  Attributes longFont;
  longFont.Font = std::string(252, 'F');
  const struct {
    const char* name;
    std::vector<Entity> entities;
  } cases[] = {
      {"a block", {MakeRaw("BL 10 20 NAME")}},
      {"a dimension text without vector", {MakeMessage({0, 0, 10, 0}, {5, 1, 0, 0}, "10")}},
      {"a dimension line of coinciding ends", {MakeMessage({3, 3, 3, 3}, {5, 1, 1, 0}, "10")}},
      {"a dimension line and no cs, then #", {MakeRaw("msg"), MakeRaw("0 0 1 0"), MakeRaw("#")}},
      {"a dimension line and no cs, then an entity",
       {MakeRaw("msg"), MakeRaw("0 0 1 0"), MakeShape(EntityKind::Point, "pt", {1, 1})}},
      {"a dimension line and no cs, then the end", {MakeRaw("msg"), MakeRaw("0 0 1 0")}},
      {"two dimension lines before one cs",
       {MakeRaw("msg"), MakeRaw("0 0 1 0"), MakeRaw("2 2 3 3"), MakeRaw("cs 1 1 1 0 \"5")}},
      {"a circle of negative radius", {MakeShape(EntityKind::Circle, "ci", {1, 2, -5})}},
      {"an arc whose third value is 0", {MakeShape(EntityKind::Arc, "ci", {0, 0, 5, 0, 90, 0, 0})}},
      {"sc with an n it does not write",
       {MakeShape(EntityKind::Solid, "sc", {0, 0, 5, 1, 0, 360, 0, 7})}},
      {"se with an n it does not write",
       {MakeShape(EntityKind::Solid, "se", {0, 0, 5, 1, 0, 360, 0, 5})}},
      {"so with u8 not below u3", {MakeShape(EntityKind::Solid, "so", {0, 0, 5, 1, 0, 90, 0, 5})}},
      {"sg with u8 not below u3", {MakeShape(EntityKind::Solid, "sg", {0, 0, 5, 1, 0, 90, 0, 6})}},
      {"a text over 255 bytes", {MakeText(50, 0, std::string(200, 'x') + std::string(56, 'y'))}},
      // Too long to be absorbed, so it stays.
      {"a font name over 251 bytes", {MakeText(50, 0, std::string(126, 'G'), longFont)}},
      {"an end-of-file byte, then more entities",
       {MakeRaw("\x1A"), MakeShape(EntityKind::Circle, "ci", {5, 5, 2})}},
  };
  for (const auto& c : cases) {
    for (const char* mode : {"1", "2"}) {
      SCOPED_TRACE(std::string(c.name) + ", mode " + mode);
      HostSimulator host;
      HostDrawing before;
      before.Entities = {MakeText(10, 20, "ABC"), MakeText(30, 20, "DEF")};
      before.Entities.insert(before.Entities.end(), c.entities.begin(), c.entities.end());
      RunResult run;
      const std::optional<HostDrawing> after = RunAndApply(host, before, Mode(mode), &run);
      EXPECT_EQ(run.FileBytes, "hq\r\n");
      if (after) ExpectUnchanged(before, *after);
    }
  }
}

}  // namespace
}  // namespace e2e

// Whole sheets: a generated selection of every kind of entity, and a sheet of
// empty texts that all join.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "e2e/scenario_support.h"
#include "support/interchange_generator.h"

namespace e2e {
namespace {

TEST(EndToEndLarge, NothingIsLostInTwentyThousandEntities) {
  GeneratorOptions options;
  options.Entities = 20000;
  options.Seed = 726;
  const GeneratedFile generated = GenerateInterchangeFile(options);
  const HostFile input = ReadHostFile(generated.Bytes);
  ASSERT_TRUE(input.Ok()) << input.ErrorText();
  ASSERT_EQ(static_cast<std::int64_t>(input.Entities.size()), generated.Entities);
  const HostDrawing before = DrawingFromFile(input);

  for (const int order : {0, 1}) {
    SCOPED_TRACE(order == 0 ? "left to right" : "top to bottom");
    const std::string delimiter = sjis::kFullWidthMinus;
    HostSimulator host;
    const std::optional<HostDrawing> after = RunAndApply(
        host, before, Mode("1", SettingsFile(std::to_string(order), delimiter), generated.Bytes));
    if (!after) continue;
    const JoinOutcome expected = ExpectedRangeJoin(before, order, delimiter);
    EXPECT_GE(expected.Absorbed.size(), 2u);
    ExpectJoined(before, *after, expected);
  }
}

// The bound is generous: the join itself must not be quadratic in the texts.
TEST(EndToEndSlow, HundredThousandEmptyTextsJoinWithinTenSeconds) {
  const GeneratedFile generated = GenerateEmptyTexts(100000, 11);
  const HostFile input = ReadHostFile(generated.Bytes);
  ASSERT_TRUE(input.Ok()) << input.ErrorText();
  const HostDrawing before = DrawingFromFile(input);

  HostSimulator host;
  RunResult run;
  const std::optional<HostDrawing> after =
      RunAndApply(host, before, Mode("1", std::nullopt, generated.Bytes), &run);
  EXPECT_LT(run.Seconds, 10.0);
  if (!after) return;
  ASSERT_TRUE(run.Returned.Delete);
  // Every text joins into the leftmost one (the first of equals in file
  // order); an empty text is not written back, so at most that one returns.
  std::size_t leftmost = 0;
  for (std::size_t i = 1; i < before.Entities.size(); ++i) {
    if (before.Entities[i].Values[0] < before.Entities[leftmost].Values[0]) leftmost = i;
  }
  const std::vector<Entity> selection = after->Selection();
  ASSERT_LE(selection.size(), 1u);
  if (!selection.empty()) {
    EXPECT_EQ(CompareEntities({before.Entities[leftmost]}, selection), "");
  }
}

}  // namespace
}  // namespace e2e

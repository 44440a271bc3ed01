#include "app/join_plan.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace {

struct PlacedText {
  double x;
  double y;
  std::string text;
};

// Texts as the reader stores them, each with the vector (1, 0).
GrowableTable<TextRecord> Texts(std::initializer_list<PlacedText> placed) {
  GrowableTable<TextRecord> texts;
  for (const PlacedText& p : placed) {
    TextRecord& r = texts.Append();
    r.X = p.x;
    r.Y = p.y;
    r.VectorX = 1.0;
    r.Text = p.text;
  }
  return texts;
}

TEST(JoinPlan, RangeJoinsInTheSelectionSortsOrder) {
  const struct {
    const char* name;
    GrowableTable<TextRecord> texts;
    double angle;
    std::int32_t order;
    std::string joined;
  } cases[] = {
      {"tie settled by the exchange", Texts({{5, 0, "A"}, {5, 0, "B"}, {1, 0, "C"}}), 0, 0,
       "C-B-A"},
      {"already in order", Texts({{1, 0, "A"}, {5, 0, "B"}, {5, 0, "C"}}), 0, 0, "A-B-C"},
      {"top to bottom", Texts({{0, 0, "low"}, {0, 10, "top"}, {0, 5, "mid"}}), 0, 1, "top-mid-low"},
      {"any order other than 0 is vertical", Texts({{0, 0, "low"}, {0, 10, "top"}}), 0, -3,
       "top-low"},
      // Turned by 90 degrees, left to right in the drawing's frame is bottom to top.
      {"rotated drawing", Texts({{0, 10, "b"}, {0, -10, "a"}, {9, 0, "m"}}), 90, 0, "a-m-b"},
  };
  for (const auto& c : cases) {
    const std::optional<JoinPlan> plan = PlanRangeJoin(c.texts, c.angle, c.order, "-");
    ASSERT_TRUE(plan.has_value()) << c.name;
    EXPECT_EQ(plan->Joined, c.joined) << c.name;
  }
}

TEST(JoinPlan, RangeStopsAtTheFirstTextThatWouldPassTheLimit) {
  const std::string a62(62, 'a'), b62(62, 'b');
  std::optional<JoinPlan> plan =
      PlanRangeJoin(Texts({{0, 0, a62}, {1, 0, b62}}), 0, 0, "\x81\x7c\x81\x7c");
  ASSERT_TRUE(plan.has_value());
  EXPECT_EQ(plan->Joined, a62 + "\x81\x7c\x81\x7c" + b62);

  // The third would pass 128 bytes: it and the empty fourth stay as they are.
  plan = PlanRangeJoin(
      Texts({{0, 0, "12"}, {1, 0, "34"}, {2, 0, std::string(125, 'x')}, {3, 0, "."}}), 0, 0, "");
  ASSERT_TRUE(plan.has_value());
  EXPECT_EQ(plan->Receiver, 0);
  EXPECT_EQ(plan->Joined, "1234");
  EXPECT_EQ(plan->Absorbed, (std::vector<bool>{false, true, false, false}));
}

TEST(JoinPlan, PairJoinsTwoTextsInFileOrderOrNothing) {
  const std::string b62(62, 'b'), c63(63, 'c');
  const std::optional<JoinPlan> plan = PlanPairJoin(Texts({{9, 0, "A"}, {0, 0, "B"}}), "\x81\x7c");
  ASSERT_TRUE(plan.has_value());
  EXPECT_EQ(plan->Receiver, 0);
  EXPECT_EQ(plan->Joined,
            "A\x81\x7c"
            "B");
  EXPECT_EQ(plan->Absorbed, (std::vector<bool>{false, true}));
  EXPECT_FALSE(PlanPairJoin(Texts({{0, 0, c63}, {1, 0, b62}}), "\x81\x7c\x81\x7c"));
  EXPECT_FALSE(PlanPairJoin(Texts({{0, 0, "A"}, {1, 0, "B"}, {2, 0, "C"}}), ""));
  EXPECT_FALSE(PlanPairJoin(Texts({{0, 0, "A"}}), ""));
}

TEST(JoinPlan, EmptyStringsAndDelimitersJoinLikeAnyOther) {
  std::optional<JoinPlan> plan = PlanRangeJoin(Texts({{0, 0, ""}, {1, 0, ""}}), 0, 0, "/");
  ASSERT_TRUE(plan.has_value());
  EXPECT_EQ(plan->Joined, "/");
  plan = PlanRangeJoin(Texts({{0, 0, "\x83\x5c"}, {1, 0, "\x95\x5c"}}), 0, 0, "");
  ASSERT_TRUE(plan.has_value());
  EXPECT_EQ(plan->Joined, "\x83\x5c\x95\x5c");
}

}  // namespace

#include "app/join_sort.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "util/exchange.h"

namespace {

// The join's selection sort written out directly, as the reference.
std::vector<std::int32_t> SelectionSortOrder(std::vector<double> keys) {
  const auto n = static_cast<std::int32_t>(keys.size());
  std::vector<std::int32_t> indexes(keys.size());
  for (std::int32_t i = 0; i < n; ++i) indexes[static_cast<std::size_t>(i)] = i;
  for (std::int32_t i = 0; i + 1 < n; ++i) {
    double best = keys[static_cast<std::size_t>(i)];
    std::int32_t found = -1;
    for (std::int32_t j = i + 1; j < n; ++j) {
      if (keys[static_cast<std::size_t>(j)] > best) {
        best = keys[static_cast<std::size_t>(j)];
        found = j;
      }
    }
    if (found >= 0) {
      ExchangeReals(keys[static_cast<std::size_t>(i)], keys[static_cast<std::size_t>(found)]);
      ExchangeIntegers(indexes[static_cast<std::size_t>(i)],
                       indexes[static_cast<std::size_t>(found)]);
    }
  }
  return indexes;
}

std::vector<std::int32_t> FastOrder(const std::vector<double>& keys) {
  JoinSort sort(keys);
  std::vector<std::int32_t> order;
  for (std::int32_t k = 0; k < sort.Size(); ++k) order.push_back(sort.IndexAt(k));
  return order;
}

TEST(JoinSort, FollowsTheSelectionSortOnStatedCases) {
  struct Case {
    std::vector<double> keys;
    std::vector<std::int32_t> order;
  };
  const Case cases[] = {
      // Horizontal keys are -x: x = 5, 5, 1 joins C, B, A (A is exchanged with C first).
      {{-5, -5, -1}, {2, 1, 0}},
      {{-1, -5, -5}, {0, 1, 2}},
      // Vertical keys are y: 0, 10, 5 joins 10, 5, 0.
      {{0, 10, 5}, {1, 2, 0}},
      {{}, {}},
      {{7}, {0}},
      // All equal: nothing moves.
      {{3, 3, 3, 3}, {0, 1, 2, 3}},
      // Instability: the later of two equal keys can come first.
      {{1, 2, 2, 1}, {1, 2, 0, 3}},
  };
  for (const Case& c : cases) EXPECT_EQ(FastOrder(c.keys), c.order);
}

TEST(JoinSort, KeysThatAreNotNumbersBehaveAsTheComparisonsDo) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<std::vector<double>> keySets = {
      {nan, 1, 2},
      {1, nan, 2},
      {2, 1, nan},
      {nan, nan, 3, nan},
      {-inf, nan, inf, -inf, 0},
      {0.0, -0.0, 0.0},
      {nan},
      {inf, inf, nan, inf},
  };
  for (const auto& keys : keySets) EXPECT_EQ(FastOrder(keys), SelectionSortOrder(keys));
}

TEST(JoinSort, MatchesTheSelectionSortOnRandomKeysWithManyTies) {
  std::mt19937 rng(726);
  for (int round = 0; round < 2000; ++round) {
    const int n = std::uniform_int_distribution<int>(0, 60)(rng);
    const int distinct = std::uniform_int_distribution<int>(1, 8)(rng);
    std::vector<double> keys(static_cast<std::size_t>(n));
    for (double& key : keys) {
      const int pick = std::uniform_int_distribution<int>(0, distinct)(rng);
      key = pick == distinct && round % 7 == 0 ? std::nan("") : pick * 0.5 - 1.0;
    }
    ASSERT_EQ(FastOrder(keys), SelectionSortOrder(keys)) << "round " << round;
  }
}

TEST(JoinSort, SettlesOnlyTheRequestedPrefix) {
  // Asking for position 0 of a large set must not depend on later positions
  // being settled: the first text is the greatest key, leftmost among ties.
  std::vector<double> keys(100000, 1.0);
  keys[70000] = 2.0;
  keys[90000] = 2.0;
  JoinSort sort(keys);
  EXPECT_EQ(sort.IndexAt(0), 70000);
  EXPECT_EQ(sort.IndexAt(1), 90000);
  // Position 2 keeps its own text: no key after it is greater.
  EXPECT_EQ(sort.IndexAt(2), 2);
}

}  // namespace

#include "app/join_sort.h"

#include <cmath>
#include <utility>

#include "util/exchange.h"

JoinSort::JoinSort(std::vector<double> keys) : keys_(std::move(keys)) {
  const auto n = static_cast<std::int32_t>(keys_.size());
  indexes_.resize(keys_.size());
  for (std::int32_t i = 0; i < n; ++i) indexes_[static_cast<std::size_t>(i)] = i;
  while (leaves_ < n) leaves_ *= 2;
  tree_.assign(2 * static_cast<std::size_t>(leaves_), Best{0.0, -1});
  for (std::int32_t i = 0; i < n; ++i) {
    if (!std::isnan(keys_[static_cast<std::size_t>(i)])) {
      tree_[static_cast<std::size_t>(leaves_ + i)] = Best{keys_[static_cast<std::size_t>(i)], i};
    }
  }
  for (std::int32_t node = leaves_ - 1; node >= 1; --node) {
    tree_[static_cast<std::size_t>(node)] = Better(tree_[2 * static_cast<std::size_t>(node)],
                                                   tree_[2 * static_cast<std::size_t>(node) + 1]);
  }
}

// The left span wins ties: that keeps the leftmost of equal greatest keys.
JoinSort::Best JoinSort::Better(const Best& left, const Best& right) {
  if (left.Position < 0) return right;
  if (right.Position < 0) return left;
  return right.Key > left.Key ? right : left;
}

void JoinSort::SetLeaf(std::int32_t position) {
  const double key = keys_[static_cast<std::size_t>(position)];
  auto node = static_cast<std::size_t>(leaves_ + position);
  tree_[node] = std::isnan(key) ? Best{0.0, -1} : Best{key, position};
  for (node /= 2; node >= 1; node /= 2) tree_[node] = Better(tree_[2 * node], tree_[2 * node + 1]);
}

JoinSort::Best JoinSort::Query(std::int32_t first, std::int32_t last) const {
  Best left{0.0, -1};
  Best right{0.0, -1};
  auto lo = static_cast<std::size_t>(leaves_ + first);
  auto hi = static_cast<std::size_t>(leaves_ + last) + 1;
  while (lo < hi) {
    if (lo & 1) left = Better(left, tree_[lo++]);
    if (hi & 1) right = Better(tree_[--hi], right);
    lo /= 2;
    hi /= 2;
  }
  return Better(left, right);
}

void JoinSort::Step(std::int32_t i) {
  const Best best = Query(i + 1, Size() - 1);
  // Strictly greater, as the sort compares; a key at i that is not a number
  // compares false with everything and stays.
  if (best.Position < 0 || !(best.Key > keys_[static_cast<std::size_t>(i)])) return;
  const auto a = static_cast<std::size_t>(i);
  const auto b = static_cast<std::size_t>(best.Position);
  ExchangeReals(keys_[a], keys_[b]);
  ExchangeIntegers(indexes_[a], indexes_[b]);
  // Position i is settled: no later query spans it, so its leaf may keep the
  // old key.
  SetLeaf(best.Position);
}

std::int32_t JoinSort::IndexAt(std::int32_t k) {
  // Step i settles position i; the last position is settled by the step before it.
  while (steps_ <= k && steps_ <= Size() - 2) Step(steps_++);
  return indexes_[static_cast<std::size_t>(k)];
}

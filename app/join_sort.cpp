#include "app/join_sort.h"

#include <cmath>
#include <utility>

#include "util/exchange.h"

JoinSort::JoinSort(std::vector<double> keys) : keys_(std::move(keys)) {
  const auto n = static_cast<std::int32_t>(keys_.size());
  indexes_.resize(keys_.size());
  for (std::int32_t i = 0; i < n; ++i) indexes_[static_cast<std::size_t>(i)] = i;
  while (leaves_ < n) leaves_ *= 2;
  tree_.assign(2 * static_cast<std::size_t>(leaves_), -1);
  for (std::int32_t i = 0; i < n; ++i) {
    if (!std::isnan(keys_[static_cast<std::size_t>(i)]))
      tree_[static_cast<std::size_t>(leaves_ + i)] = i;
  }
  for (std::int32_t node = leaves_ - 1; node >= 1; --node) {
    tree_[static_cast<std::size_t>(node)] = Better(tree_[2 * static_cast<std::size_t>(node)],
                                                   tree_[2 * static_cast<std::size_t>(node) + 1]);
  }
}

// The left span wins ties: that keeps the leftmost of equal greatest keys.
std::int32_t JoinSort::Better(std::int32_t left, std::int32_t right) const {
  if (left < 0) return right;
  if (right < 0) return left;
  return keys_[static_cast<std::size_t>(right)] > keys_[static_cast<std::size_t>(left)] ? right
                                                                                        : left;
}

void JoinSort::SetLeaf(std::int32_t position) {
  auto node = static_cast<std::size_t>(leaves_ + position);
  tree_[node] = std::isnan(keys_[static_cast<std::size_t>(position)]) ? -1 : position;
  for (node /= 2; node >= 1; node /= 2) tree_[node] = Better(tree_[2 * node], tree_[2 * node + 1]);
}

std::int32_t JoinSort::Query(std::int32_t first, std::int32_t last) const {
  std::int32_t left = -1;
  std::int32_t right = -1;
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
  const std::int32_t best = Query(i + 1, Size() - 1);
  // Strictly greater, as the sort compares; a key at i that is not a number
  // compares false with everything and stays.
  const auto a = static_cast<std::size_t>(i);
  if (best < 0 || !(keys_[static_cast<std::size_t>(best)] > keys_[a])) return;
  const auto b = static_cast<std::size_t>(best);
  ExchangeReals(keys_[a], keys_[b]);
  ExchangeIntegers(indexes_[a], indexes_[b]);
  // Position i is settled and no later query spans it, so the nodes above it
  // may compare its new key: none of them is asked again.
  SetLeaf(best);
}

std::int32_t JoinSort::IndexAt(std::int32_t k) {
  // Step i settles position i; the last position is settled by the step before it.
  while (steps_ <= k && steps_ <= Size() - 2) Step(steps_++);
  return indexes_[static_cast<std::size_t>(k)];
}

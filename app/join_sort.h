// The order in which JoinRange appends texts: a selection sort into descending
// key order, with its exact ties and instability. For each position i it finds
// the leftmost greatest key after i and exchanges it with position i only if
// that key is strictly greater than the key at i.
//
// Replayed with a segment tree that holds the leftmost position of the
// greatest key of each span, each step costs O(log n) instead of O(n), and steps
// run only as far as the join needs positions. Keys that are not numbers take
// part as the '>' comparisons of the sort let them: they never win, and one
// that stands at position i is never displaced.
#pragma once

#include <cstdint>
#include <vector>

class JoinSort {
 public:
  // Position i starts with key keys[i] and text index i.
  explicit JoinSort(std::vector<double> keys);

  std::int32_t Size() const { return static_cast<std::int32_t>(keys_.size()); }

  // The text index at position k once the sort has settled positions 0..k.
  std::int32_t IndexAt(std::int32_t k);

 private:
  // A node holds a position, not its key: a quarter of the memory, which on
  // a whole sheet of texts is megabytes of fresh pages. -1: no key that
  // compares (empty span, or not a number).
  std::int32_t Better(std::int32_t left, std::int32_t right) const;
  void SetLeaf(std::int32_t position);
  std::int32_t Query(std::int32_t first, std::int32_t last) const;  // inclusive
  void Step(std::int32_t i);

  std::vector<double> keys_;
  std::vector<std::int32_t> indexes_;
  std::vector<std::int32_t> tree_;  // leaves at [leaves_, 2 * leaves_)
  std::int32_t leaves_ = 1;
  std::int32_t steps_ = 0;  // positions 0..steps_-1 are settled
};

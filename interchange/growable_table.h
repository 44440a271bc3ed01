// The growable table every entity table and the entity order use: a count and
// storage that grows in steps of 1000 elements. Positions are stable until the
// table is cleared; nothing is ever removed from the middle.
//
// The storage is a list of blocks of 1000 elements each, so growing never
// moves the elements already stored: a reading of a million entities touches
// each record's memory once instead of copying every table at each doubling,
// and a reference to an element stays valid while the table grows.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

template <class T>
class GrowableTable {
 public:
  static constexpr std::size_t kStep = 1000;

  std::int32_t Count() const { return count_; }
  // Elements the storage holds: 0, then 1000, 2000, ... as appends go on.
  std::size_t Capacity() const { return blocks_.size() * kStep; }

  T& operator[](std::size_t i) { return blocks_[i / kStep][i % kStep]; }
  const T& operator[](std::size_t i) const { return blocks_[i / kStep][i % kStep]; }

  // Appends one value-initialised element (zero for the plain records here,
  // empty for their strings) and returns it. When the new count is 1 mod 1000
  // the storage grows by 1000 elements. When memory runs out the table is
  // left as it was.
  T& Append() {
    EnsureRoomForAppend();
    ++count_;
    // Set here rather than when the block is made: the record is about to be
    // written, so this touches no memory twice.
    T& element = (*this)[static_cast<std::size_t>(count_) - 1];
    element = T{};
    return element;
  }

  // Does the growth the next Append would do, so that the Append itself cannot
  // fail: a caller that appends to two tables reserves both first and never
  // leaves one of them appended alone.
  void EnsureRoomForAppend() {
    if (static_cast<std::size_t>(count_) < Capacity()) return;
    auto block =
        blocks_.empty() && spare_ ? std::move(spare_) : std::make_unique_for_overwrite<T[]>(kStep);
    blocks_.push_back(std::move(block));  // on failure the block is freed, nothing changed
  }

  // Count 0, storage released. The first block is kept aside and serves the
  // next first append: a process that resets and reads again and again (the
  // tests, the fuzz targets) would otherwise map fresh pages for every table
  // at every read.
  void Clear() {
    if (!blocks_.empty()) spare_ = std::move(blocks_[0]);
    count_ = 0;
    std::vector<std::unique_ptr<T[]>>().swap(blocks_);
  }

  // Storage released, the kept block too, count kept: the table may not be
  // used again before the next Clear.
  void Release() {
    std::vector<std::unique_ptr<T[]>>().swap(blocks_);
    spare_.reset();
  }

 private:
  std::vector<std::unique_ptr<T[]>> blocks_;
  std::unique_ptr<T[]> spare_;  // a first block, kept by Clear
  std::int32_t count_ = 0;
};

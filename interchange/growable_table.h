// The growable table every entity table and the entity order use: a count and
// zero-filled storage that grows in steps of 1000 elements. Positions are
// stable until the table is cleared; nothing is ever removed from the middle.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

template <class T>
class GrowableTable {
 public:
  std::int32_t Count() const { return count_; }
  // Elements the storage holds: 0, then 1000, 2000, ... as appends go on.
  std::size_t Capacity() const { return storage_.size(); }

  T& operator[](std::size_t i) { return storage_[i]; }
  const T& operator[](std::size_t i) const { return storage_[i]; }

  // Appends one element and returns it. When the new count is 1 mod 1000 the
  // storage is resized to count + 999, value-initialised (zero for the plain
  // records here, empty for their strings). When memory runs out the table is
  // left as it was.
  T& Append() {
    EnsureRoomForAppend();
    ++count_;
    return storage_[static_cast<std::size_t>(count_) - 1];
  }

  // Does the growth the next Append would do, so that the Append itself cannot
  // fail: a caller that appends to two tables reserves both first and never
  // leaves one of them appended alone.
  void EnsureRoomForAppend() {
    const std::size_t needed = static_cast<std::size_t>(count_) + 1;
    if (storage_.size() < needed) storage_.resize(needed + 999);
  }

  // Count 0, storage released.
  void Clear() {
    count_ = 0;
    Release();
  }

  // Storage released, count kept: the table may not be used again before
  // the next Clear.
  void Release() { std::vector<T>().swap(storage_); }

 private:
  std::vector<T> storage_;
  std::int32_t count_ = 0;
};

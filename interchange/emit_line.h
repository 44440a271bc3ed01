// What the attribute and entity emitters share: the emit tolerance and a line
// composed in one piece, in place in the streamed image or on the stack.
#pragma once

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "interchange/number_text.h"
#include "interchange/output_lines.h"

// Below this, two coordinates are the same point for the host; at most this,
// a value counts as zero. The strict and the non-strict test differ on purpose.
inline constexpr double kEmitTolerance = 1e-8;

inline bool IsZeroValue(double v) { return std::fabs(v) <= kEmitTolerance; }
// No absolute value: a negative radius is not positive.
inline bool IsPositiveValue(double v) { return v > kEmitTolerance; }
inline bool PointsCoincide(double x1, double y1, double x2, double y2) {
  return std::fabs(x2 - x1) < kEmitTolerance && std::fabs(y2 - y1) < kEmitTolerance;
}

// One output line, built without touching the heap: in place in the streamed
// image when there is one, else on the stack. Words are cut where the list
// would cut them (255 bytes); numbers always fit, since no line that carries
// numbers comes near the limit (the longest, an "sl" of four corners, is
// under 200 bytes). Nothing may be added to the list between making a
// builder and its Add: a stream then fails, and the file says "hq".
class LineBuilder {
 public:
  LineBuilder() {
    char* space = OutputLines.ComposeSpace(sizeof text_);
    base_ = end_ = space != nullptr ? space : text_;
  }

  LineBuilder& Word(std::string_view word) {
    const std::size_t room = OutputLineList::kMaxLineBytes - Length();
    end_ = std::copy_n(word.data(), std::min(word.size(), room), end_);
    return *this;
  }
  LineBuilder& Real(double value) {
    end_ = WriteRealText(end_, value);
    return *this;
  }
  LineBuilder& Integer(std::int32_t value) {
    end_ = std::to_chars(end_, end_ + kIntegerRoom, value).ptr;
    return *this;
  }
  // " v" for each value: the blank-separated number list of a command.
  LineBuilder& Values(std::initializer_list<double> values) {
    end_ = WriteBlankSeparatedReals(end_, values.begin(), values.size());
    return *this;
  }
  std::string_view View() const { return {base_, Length()}; }
  void Add() const {
    if (base_ == text_) {
      AddOutputLine(View());
    } else {
      OutputLines.AddComposed(base_, end_);
    }
  }

 private:
  static constexpr int kIntegerRoom = 12;  // «-2147483648»
  std::size_t Length() const { return static_cast<std::size_t>(end_ - base_); }

  char text_[OutputLineList::kMaxLineBytes + 9 * (kMaxRealTextLength + 1)];
  char* base_;
  char* end_;
};

// A line entity has no command word: «x1 y1 x2 y2».
inline void AddPlainLine(double x1, double y1, double x2, double y2) {
  LineBuilder().Real(x1).Values({y1, x2, y2}).Add();
}

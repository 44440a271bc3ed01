// What a join does to the texts, decided before anything changes: which text
// receives the joined string, which texts it absorbs, and the string itself.
// Reads the texts only; the join applies the plan to the tables.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "interchange/state.h"

// A joined text holds at most this many bytes, delimiters included.
inline constexpr std::size_t kMaxJoinedBytes = 128;

struct JoinPlan {
  std::int32_t Receiver = 0;   // the text index that takes Joined
  std::vector<bool> Absorbed;  // by text index: the texts Joined holds besides the receiver
  std::string Joined;
};

// Mode "1": the texts in positional order (JoinOrder 0 left to right, any
// other top to bottom, in the frame turned by drawingAngle degrees) into the
// first; joining stops at the first text that would pass kMaxJoinedBytes, and
// the texts from there on stay. Nothing with fewer than two texts, or when the
// receiving text has no vector: the host would not get it back.
std::optional<JoinPlan> PlanRangeJoin(const GrowableTable<TextRecord>& texts, double drawingAngle,
                                      std::int32_t joinOrder, std::string_view delimiter);

// Mode "2": text 1 into text 0, in file order. Nothing unless there are
// exactly two texts, text 0 has a vector and the pair fits kMaxJoinedBytes.
std::optional<JoinPlan> PlanPairJoin(const GrowableTable<TextRecord>& texts,
                                     std::string_view delimiter);

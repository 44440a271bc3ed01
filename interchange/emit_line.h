// What the attribute and entity emitters share: the emit tolerance and the
// building of a line in place at the end of OutputLines.
#pragma once

#include <cmath>
#include <initializer_list>
#include <string>
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

// Appends " v" for each value: the blank-separated number list of a command.
inline void AppendRealValues(std::string& line, std::initializer_list<double> values) {
  for (const double v : values) {
    line.push_back(' ');
    AppendRealText(line, v);
  }
}

// Adds the line «command v1 v2 ...» with no temporary string.
inline void AddRealLine(std::string_view command, std::initializer_list<double> values) {
  std::string& line = OutputLines.BeginLine();
  line.append(command);
  AppendRealValues(line, values);
  OutputLines.EndLine();
}

// A line entity has no command word: «x1 y1 x2 y2».
inline void AddPlainLine(double x1, double y1, double x2, double y2) {
  std::string& line = OutputLines.BeginLine();
  AppendRealText(line, x1);
  AppendRealValues(line, {y1, x2, y2});
  OutputLines.EndLine();
}

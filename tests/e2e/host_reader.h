// The host's reading of an interchange file, written apart from the program's
// own reader so that a scenario never checks the program with itself. It
// reads both directions: the selection the host writes and the commands that
// come back. A line a host could not take is reported, never guessed at.
//
//   hd
//   bz
//   lg2
//   ly1
//   cn3
//   cn"$<ＭＳ ゴシック>
//   ch 62.5 25 1 0 "設計
//   lc2
//   0 20 180 20
//
// Attribute lines hold until the next line of the same attribute; z flags
// collect until an entity takes them. "pl" ... "#" brackets the lines of one
// polyline; "msg", a plain line and a "cs" text form one message.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "e2e/host_drawing.h"

namespace e2e {

struct HostFile {
  std::vector<std::string> Lines;  // without their CR LF
  std::vector<Entity> Entities;
  bool Quit = false;    // the file is the line "hq" alone
  bool Delete = false;  // the first line is "hd"
  int LeadingBz = 0;    // "bz" lines right after the opening ("hd" or the start)
  int BzLines = 0;
  std::string FileName;
  double DrawingAngle = 0.0;
  // The first and the last layer group and layer set, if any.
  std::optional<int> FirstLayerGroup, FirstLayer, LastLayerGroup, LastLayer;
  std::vector<std::string> Errors;  // "line N: what is wrong"

  bool Ok() const { return Errors.empty(); }
  std::string ErrorText() const;
};

HostFile ReadHostFile(std::string_view bytes);

// A drawing whose selection is everything the file holds.
HostDrawing DrawingFromFile(const HostFile& file);

}  // namespace e2e

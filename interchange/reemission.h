// Writes every stored entity that is not removed back into OutputLines, in
// reading order, with its attributes (change-only), polyline blocks, optional
// overrides, a progress display and an abort by the Escape key.
#pragma once

#include <cstdint>
#include <string_view>

#include "machine/platform.h"

// A text control that shows the progress of a long run.
class ProgressDisplay {
 public:
  virtual ~ProgressDisplay() = default;
  virtual void SetText(std::string_view text) = 0;
  virtual void RepaintNow() = 0;
};

// What re-emission writes instead of each entity's own attribute, for all
// entities, and where it shows its progress: the nine arguments of the walk,
// named. -1 keeps the entity's own value; for the layer group and the layer
// any value outside 0..15 does. Each value is passed on as it is: the emitter
// that receives it holds it in range (attribute_emitters.h).
struct StoredEntityOverrides {
  std::int32_t LayerGroup = -1;
  std::int32_t Layer = -1;
  // All kinds but texts; the point colour of points. For the solids 10 means
  // colour 10 with the value Color10.
  std::int32_t Color = -1;
  std::int32_t LineType = -1;  // lines, circles, arcs and messages
  // All kinds but texts; of the solids only Sl2 and Se.
  std::int32_t LineWidth = -1;
  // Texts and messages: free size, in the text's own size, with this colour.
  std::int32_t TextColor = -1;
  std::int32_t Cc = -1;  // texts and messages
  std::int32_t Color10 = 0;
  // Shown "処理中(ESC:中断)：i／n" every 100 entries; none by default.
  ProgressDisplay* Progress = nullptr;
};

// Every entity as the host sent it, no progress shown: what a join writes.
inline constexpr StoredEntityOverrides kOwnAttributes{};

// Walks EntityOrder and writes each entry that is not removed with its
// attributes and geometry; blocks and unknown kinds write nothing. Consecutive
// lines of one polyline are bracketed by "pl" and "#". Ends on the layer group
// and layer the input began with. escape is polled every 100 entries; when it
// is down, the list is emptied and the walk stops, leaving it empty (the
// writer then writes "hq").
void EmitStoredEntities(const StoredEntityOverrides& overrides, EscapeKey& escape);

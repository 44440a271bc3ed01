// Writes every stored entity that is not removed back into OutputLines, in
// reading order, with its attributes (change-only), polyline blocks, optional
// overrides, a progress display and an abort by the Escape key.
#pragma once

#include <cstdint>
#include <string_view>

// A text control that shows the progress of a long run.
class ProgressDisplay {
 public:
  virtual ~ProgressDisplay() = default;
  virtual void SetText(std::string_view text) = 0;
  virtual void RepaintNow() = 0;
};

// What re-emission writes instead of each entity's own attribute, for all
// entities. -1 keeps the entity's own value; for the layer group and the layer
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
};

// Walks EntityOrder and writes each entry that is not removed through the
// re-emitter of its kind; blocks and unknown kinds write nothing. Ends on the
// layer group and layer the input began with. Escape is polled through
// CurrentPlatform() every 100 entries; when held, the list is emptied and the
// walk stops, leaving it empty (the writer then writes "hq").
void EmitStoredEntities(std::int32_t layerGroupOverride, std::int32_t layerOverride,
                        std::int32_t colorOverride, std::int32_t lineTypeOverride,
                        std::int32_t lineWidthOverride, std::int32_t textColorOverride,
                        std::int32_t ccOverride, std::int32_t color10Override,
                        ProgressDisplay* progressDisplay);

// One re-emitter per kind: the record at index in its table, its attributes
// through the change-only emitters, then its geometry.

// position is the entry's place in EntityOrder; openPolylineNumber is the
// polyline block open in the output (0: none), read and changed here: "pl"
// opens a block, "#" closes it unless the next entry is a line of it.
void EmitStoredLine(std::int32_t index, const StoredEntityOverrides& overrides,
                    std::int32_t position, std::int32_t& openPolylineNumber);
void EmitStoredCircle(std::int32_t index, const StoredEntityOverrides& overrides);
void EmitStoredArc(std::int32_t index, const StoredEntityOverrides& overrides);
// No colour, line type or width: the text type carries the text's colour.
void EmitStoredText(std::int32_t index, const StoredEntityOverrides& overrides);
void EmitStoredPoint(std::int32_t index, const StoredEntityOverrides& overrides);
void EmitStoredTypedPoint(std::int32_t index, const StoredEntityOverrides& overrides);
// The line's attributes, then the text's, then "msg" and its three lines.
void EmitStoredMessage(std::int32_t index, const StoredEntityOverrides& overrides);
void EmitStoredSl2(std::int32_t index, const StoredEntityOverrides& overrides);
void EmitStoredSl3(std::int32_t index, const StoredEntityOverrides& overrides);
void EmitStoredSl4(std::int32_t index, const StoredEntityOverrides& overrides);
void EmitStoredSc(std::int32_t index, const StoredEntityOverrides& overrides);
void EmitStoredSe(std::int32_t index, const StoredEntityOverrides& overrides);
void EmitStoredSo(std::int32_t index, const StoredEntityOverrides& overrides);
void EmitStoredSg(std::int32_t index, const StoredEntityOverrides& overrides);

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

// Overrides of -1 (layer group and layer: anything outside 0..15) keep each
// entity's own value. Escape is polled through CurrentPlatform() every 100
// entries; when held, the list is emptied and the walk stops, leaving it empty
// (the writer then writes "hq").
void EmitStoredEntities(std::int32_t layerGroupOverride, std::int32_t layerOverride,
                        std::int32_t colorOverride, std::int32_t lineTypeOverride,
                        std::int32_t lineWidthOverride, std::int32_t textColorOverride,
                        std::int32_t ccOverride, std::int32_t color10Override,
                        ProgressDisplay* progressDisplay);

// One re-emitter per kind: the entity's attributes through the change-only
// emitters, then its geometry. Each takes the record's index in its table and
// the overrides its kind uses, in the order of EmitStoredEntities' arguments
// (colour-10 before line width for the solids).

// position is the entry's place in EntityOrder; openPolylineNumber is the
// polyline block open in the output (0: none), read and changed here.
void EmitStoredLine(std::int32_t index, std::int32_t layerGroupOverride, std::int32_t layerOverride,
                    std::int32_t colorOverride, std::int32_t lineTypeOverride,
                    std::int32_t lineWidthOverride, std::int32_t position,
                    std::int32_t& openPolylineNumber);
void EmitStoredCircle(std::int32_t index, std::int32_t layerGroupOverride,
                      std::int32_t layerOverride, std::int32_t colorOverride,
                      std::int32_t lineTypeOverride, std::int32_t lineWidthOverride);
void EmitStoredArc(std::int32_t index, std::int32_t layerGroupOverride, std::int32_t layerOverride,
                   std::int32_t colorOverride, std::int32_t lineTypeOverride,
                   std::int32_t lineWidthOverride);
void EmitStoredText(std::int32_t index, std::int32_t layerGroupOverride, std::int32_t layerOverride,
                    std::int32_t textColorOverride, std::int32_t ccOverride);
void EmitStoredPoint(std::int32_t index, std::int32_t layerGroupOverride,
                     std::int32_t layerOverride, std::int32_t colorOverride,
                     std::int32_t lineWidthOverride);
void EmitStoredTypedPoint(std::int32_t index, std::int32_t layerGroupOverride,
                          std::int32_t layerOverride, std::int32_t colorOverride,
                          std::int32_t lineWidthOverride);
void EmitStoredMessage(std::int32_t index, std::int32_t layerGroupOverride,
                       std::int32_t layerOverride, std::int32_t colorOverride,
                       std::int32_t lineTypeOverride, std::int32_t lineWidthOverride,
                       std::int32_t textColorOverride, std::int32_t ccOverride);
void EmitStoredSl2(std::int32_t index, std::int32_t layerGroupOverride, std::int32_t layerOverride,
                   std::int32_t colorOverride, std::int32_t color10Override,
                   std::int32_t lineWidthOverride);
void EmitStoredSl3(std::int32_t index, std::int32_t layerGroupOverride, std::int32_t layerOverride,
                   std::int32_t colorOverride, std::int32_t color10Override);
void EmitStoredSl4(std::int32_t index, std::int32_t layerGroupOverride, std::int32_t layerOverride,
                   std::int32_t colorOverride, std::int32_t color10Override);
void EmitStoredSc(std::int32_t index, std::int32_t layerGroupOverride, std::int32_t layerOverride,
                  std::int32_t colorOverride, std::int32_t color10Override);
void EmitStoredSe(std::int32_t index, std::int32_t layerGroupOverride, std::int32_t layerOverride,
                  std::int32_t colorOverride, std::int32_t color10Override,
                  std::int32_t lineWidthOverride);
void EmitStoredSo(std::int32_t index, std::int32_t layerGroupOverride, std::int32_t layerOverride,
                  std::int32_t colorOverride, std::int32_t color10Override);
void EmitStoredSg(std::int32_t index, std::int32_t layerGroupOverride, std::int32_t layerOverride,
                  std::int32_t colorOverride, std::int32_t color10Override);

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
// entries; when held, the list is emptied and the walk stops.
void EmitStoredEntities(std::int32_t layerGroupOverride, std::int32_t layerOverride,
                        std::int32_t colorOverride, std::int32_t lineTypeOverride,
                        std::int32_t lineWidthOverride, std::int32_t textColorOverride,
                        std::int32_t ccOverride, std::int32_t color10Override,
                        ProgressDisplay* progressDisplay);

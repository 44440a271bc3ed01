// Writes the stored entities back in the order the host sent them. For a text
// and a line after it, with nothing written before, the list receives:
//
//   lg0 / ly1 / cn1 / cc0 / cn"$<ＭＳ ゴシック> / ch 10 20 1 0 " / ABC
//   lc3 / lt1 / lw0 / 0 0 5 0
//
// Consecutive lines of one polyline are bracketed by "pl" and "#".
#include "interchange/reemission.h"

#include <string>

#include "interchange/attribute_emitters.h"
#include "interchange/entity_emitters.h"
#include "interchange/number_text.h"
#include "interchange/output_lines.h"
#include "interchange/state.h"
#include "interchange/system_strings.h"
#include "machine/platform.h"

namespace {

// Progress and Escape are looked at once per this many entries.
constexpr std::int32_t kPollInterval = 100;

std::int32_t OwnOr(std::int32_t overrideValue, std::int32_t own) {
  return overrideValue == -1 ? own : overrideValue;
}

// Layer group and layer overrides count only within 0..15.
std::int32_t LayerOr(std::int32_t overrideValue, std::int32_t own) {
  return overrideValue >= 0 && overrideValue <= 15 ? overrideValue : own;
}

void EmitOpening(const EntityHeader& header, std::int32_t layerGroupOverride,
                 std::int32_t layerOverride) {
  EmitLayerGroup(LayerOr(layerGroupOverride, header.LayerGroup));
  EmitLayer(LayerOr(layerOverride, header.Layer));
}

// Lines, circles, arcs and messages: a colour 10 of their own goes out with its
// value, as the solids' does; an override (10 included) is written as it is.
void EmitLineColor(std::int32_t colorOverride, std::int32_t ownColor,
                   std::int32_t ownColor10Value) {
  if (colorOverride == -1 && ownColor == 10) {
    EmitColor10(ownColor10Value);
  } else {
    EmitColor(OwnOr(colorOverride, ownColor), 0);
  }
}

// The solids: override 10 means colour 10 with the colour-10 override.
void EmitSolidColor(std::int32_t colorOverride, std::int32_t color10Override, std::int32_t ownColor,
                    std::int32_t ownColor10Value) {
  if (colorOverride == -1) {
    if (ownColor == 10) {
      EmitColor10(ownColor10Value);
    } else {
      EmitColor(ownColor, 0);
    }
  } else if (colorOverride == 10) {
    EmitColor10(color10Override);
  } else {
    EmitColor(colorOverride, 0);
  }
}

void EmitLineAttributes(const EntityHeader& header, std::int32_t color10Value,
                        std::int32_t colorOverride, std::int32_t lineTypeOverride,
                        std::int32_t lineWidthOverride) {
  EmitLineColor(colorOverride, header.Color, color10Value);
  EmitLineType(OwnOr(lineTypeOverride, header.LineType), 0);
  EmitLineWidth(OwnOr(lineWidthOverride, header.LineWidth));
}

// Text type (free size with the override colour), cc and font of a text.
void EmitTextAttributes(const TextRecord& text, std::int32_t textColorOverride,
                        std::int32_t ccOverride) {
  if (textColorOverride == -1) {
    EmitTextType(text.TextType, text.Header.Color, 0, text.Width, text.Height, text.Spacing);
  } else {
    EmitTextType(0, textColorOverride, 0, text.Width, text.Height, text.Spacing);
  }
  EmitCcValue(OwnOr(ccOverride, text.CcValue));
  EmitFontName(text.FontName);
}

// Opening, colour, optional width and z flags of a solid kind.
template <class Record>
const Record& EmitSolidAttributes(const GrowableTable<Record>& table, std::int32_t index,
                                  std::int32_t layerGroupOverride, std::int32_t layerOverride,
                                  std::int32_t colorOverride, std::int32_t color10Override,
                                  const std::int32_t* lineWidthOverride) {
  const Record& r = table[static_cast<std::size_t>(index)];
  EmitOpening(r.Header, layerGroupOverride, layerOverride);
  EmitSolidColor(colorOverride, color10Override, r.Header.Color, r.Color10Value);
  if (lineWidthOverride != nullptr) EmitLineWidth(OwnOr(*lineWidthOverride, r.Header.LineWidth));
  EmitZFlags(r.Header.ZFlags);
  return r;
}

void ShowProgress(ProgressDisplay& display, std::int32_t position, std::int32_t count) {
  std::string text(kProgressPrefix);
  AppendIntegerText(text, position);
  text.append(kProgressSlash);
  AppendIntegerText(text, count);
  display.SetText(text);
  display.RepaintNow();
}

}  // namespace

void EmitStoredLine(std::int32_t index, std::int32_t layerGroupOverride, std::int32_t layerOverride,
                    std::int32_t colorOverride, std::int32_t lineTypeOverride,
                    std::int32_t lineWidthOverride, std::int32_t position,
                    std::int32_t& openPolylineNumber) {
  const LineRecord& r = Entities.LineTable[static_cast<std::size_t>(index)];
  EmitOpening(r.Header, layerGroupOverride, layerOverride);
  EmitLineAttributes(r.Header, r.Color10Value, colorOverride, lineTypeOverride, lineWidthOverride);
  if (r.PolylineNumber > 0 && r.PolylineNumber != openPolylineNumber) {
    EmitPolylineStart();
    openPolylineNumber = r.PolylineNumber;
  }
  EmitZFlags(r.Header.ZFlags);
  EmitLine(r.X1, r.Y1, r.X2, r.Y2);

  // The block stays open only while the very next entry is a line of it.
  const GrowableTable<EntityOrderEntry>& order = Entities.EntityOrder;
  if (openPolylineNumber > 0 && position + 1 < order.Count()) {
    const EntityOrderEntry& next = order[static_cast<std::size_t>(position) + 1];
    if (next.Kind == KindLine &&
        Entities.LineTable[static_cast<std::size_t>(next.Index)].PolylineNumber ==
            openPolylineNumber) {
      return;
    }
  }
  if (openPolylineNumber > 0) EmitPolylineEnd();
  openPolylineNumber = 0;
}

void EmitStoredCircle(std::int32_t index, std::int32_t layerGroupOverride,
                      std::int32_t layerOverride, std::int32_t colorOverride,
                      std::int32_t lineTypeOverride, std::int32_t lineWidthOverride) {
  const CircleRecord& r = Entities.CircleTable[static_cast<std::size_t>(index)];
  EmitOpening(r.Header, layerGroupOverride, layerOverride);
  EmitLineAttributes(r.Header, r.Color10Value, colorOverride, lineTypeOverride, lineWidthOverride);
  EmitZFlags(r.Header.ZFlags);
  EmitCircle(r.CenterX, r.CenterY, r.Radius);
}

void EmitStoredArc(std::int32_t index, std::int32_t layerGroupOverride, std::int32_t layerOverride,
                   std::int32_t colorOverride, std::int32_t lineTypeOverride,
                   std::int32_t lineWidthOverride) {
  const ArcRecord& r = Entities.ArcTable[static_cast<std::size_t>(index)];
  EmitOpening(r.Header, layerGroupOverride, layerOverride);
  EmitLineAttributes(r.Header, r.Color10Value, colorOverride, lineTypeOverride, lineWidthOverride);
  EmitZFlags(r.Header.ZFlags);
  EmitArc(r.CenterX, r.CenterY, r.Radius, r.ArcValues[0], r.ArcValues[1], r.ArcValues[2],
          r.ArcValues[3]);
}

void EmitStoredText(std::int32_t index, std::int32_t layerGroupOverride, std::int32_t layerOverride,
                    std::int32_t textColorOverride, std::int32_t ccOverride) {
  const TextRecord& r = Entities.TextTable[static_cast<std::size_t>(index)];
  EmitOpening(r.Header, layerGroupOverride, layerOverride);
  EmitTextAttributes(r, textColorOverride, ccOverride);
  EmitZFlags(r.Header.ZFlags);
  EmitText(r.Command, r.Text, r.X, r.Y, r.VectorX, r.VectorY);
}

void EmitStoredPoint(std::int32_t index, std::int32_t layerGroupOverride,
                     std::int32_t layerOverride, std::int32_t colorOverride,
                     std::int32_t lineWidthOverride) {
  const PointRecord& r = Entities.PointTable[static_cast<std::size_t>(index)];
  EmitOpening(r.Header, layerGroupOverride, layerOverride);
  EmitPointColor(OwnOr(colorOverride, r.Header.Color), 0);
  EmitLineWidth(OwnOr(lineWidthOverride, r.Header.LineWidth));
  EmitZFlags(r.Header.ZFlags);
  EmitPoint(r.X, r.Y);
}

void EmitStoredTypedPoint(std::int32_t index, std::int32_t layerGroupOverride,
                          std::int32_t layerOverride, std::int32_t colorOverride,
                          std::int32_t lineWidthOverride) {
  const TypedPointRecord& r = Entities.TypedPointTable[static_cast<std::size_t>(index)];
  EmitOpening(r.Header, layerGroupOverride, layerOverride);
  EmitPointColor(OwnOr(colorOverride, r.Header.Color), 0);
  EmitLineWidth(OwnOr(lineWidthOverride, r.Header.LineWidth));
  EmitZFlags(r.Header.ZFlags);
  EmitTypedPoint(r.Code, r.X, r.Y, r.ParamA, r.ParamB);
}

void EmitStoredMessage(std::int32_t index, std::int32_t layerGroupOverride,
                       std::int32_t layerOverride, std::int32_t colorOverride,
                       std::int32_t lineTypeOverride, std::int32_t lineWidthOverride,
                       std::int32_t textColorOverride, std::int32_t ccOverride) {
  const MessageRecord& r = Entities.MessageTable[static_cast<std::size_t>(index)];
  const LineRecord& line = r.Line;
  const TextRecord& text = r.TextPart;
  EmitOpening(r.Header, layerGroupOverride, layerOverride);
  EmitLineAttributes(line.Header, line.Color10Value, colorOverride, lineTypeOverride,
                     lineWidthOverride);
  EmitTextAttributes(text, textColorOverride, ccOverride);
  // z lines the host wrote before "msg" were spent by the message's line, so
  // they live in its header; written before "msg" again, they come back there.
  EmitZFlags(r.Header.ZFlags | line.Header.ZFlags);
  EmitMessage(text.Text, line.X1, line.Y1, line.X2, line.Y2, text.X, text.Y, text.VectorX,
              text.VectorY);
}

void EmitStoredSl2(std::int32_t index, std::int32_t layerGroupOverride, std::int32_t layerOverride,
                   std::int32_t colorOverride, std::int32_t color10Override,
                   std::int32_t lineWidthOverride) {
  const Sl2Record& r =
      EmitSolidAttributes(Entities.Sl2Table, index, layerGroupOverride, layerOverride,
                          colorOverride, color10Override, &lineWidthOverride);
  EmitSl2(r.X1, r.Y1, r.X2, r.Y2);
}

void EmitStoredSl3(std::int32_t index, std::int32_t layerGroupOverride, std::int32_t layerOverride,
                   std::int32_t colorOverride, std::int32_t color10Override) {
  const Sl3Record& r = EmitSolidAttributes(Entities.Sl3Table, index, layerGroupOverride,
                                           layerOverride, colorOverride, color10Override, nullptr);
  EmitSl3(r.X1, r.Y1, r.X2, r.Y2, r.X3, r.Y3);
}

void EmitStoredSl4(std::int32_t index, std::int32_t layerGroupOverride, std::int32_t layerOverride,
                   std::int32_t colorOverride, std::int32_t color10Override) {
  const Sl4Record& r = EmitSolidAttributes(Entities.Sl4Table, index, layerGroupOverride,
                                           layerOverride, colorOverride, color10Override, nullptr);
  EmitSl4(r.X1, r.Y1, r.X2, r.Y2, r.X3, r.Y3, r.X4, r.Y4);
}

void EmitStoredSc(std::int32_t index, std::int32_t layerGroupOverride, std::int32_t layerOverride,
                  std::int32_t colorOverride, std::int32_t color10Override) {
  const ScRecord& r = EmitSolidAttributes(Entities.ScTable, index, layerGroupOverride,
                                          layerOverride, colorOverride, color10Override, nullptr);
  const double* u = r.Values;
  EmitSc(r.IntValue, u[0], u[1], u[2], u[3], u[4], u[5], u[6]);
}

void EmitStoredSe(std::int32_t index, std::int32_t layerGroupOverride, std::int32_t layerOverride,
                  std::int32_t colorOverride, std::int32_t color10Override,
                  std::int32_t lineWidthOverride) {
  const SeRecord& r =
      EmitSolidAttributes(Entities.SeTable, index, layerGroupOverride, layerOverride, colorOverride,
                          color10Override, &lineWidthOverride);
  const double* u = r.Values;
  EmitSe(r.IntValue, u[0], u[1], u[2], u[3], u[4], u[5], u[6]);
}

void EmitStoredSo(std::int32_t index, std::int32_t layerGroupOverride, std::int32_t layerOverride,
                  std::int32_t colorOverride, std::int32_t color10Override) {
  const SoRecord& r = EmitSolidAttributes(Entities.SoTable, index, layerGroupOverride,
                                          layerOverride, colorOverride, color10Override, nullptr);
  const double* u = r.Values;
  EmitSo(u[0], u[1], u[2], u[3], u[4], u[5], u[6], u[7]);
}

void EmitStoredSg(std::int32_t index, std::int32_t layerGroupOverride, std::int32_t layerOverride,
                  std::int32_t colorOverride, std::int32_t color10Override) {
  const SgRecord& r = EmitSolidAttributes(Entities.SgTable, index, layerGroupOverride,
                                          layerOverride, colorOverride, color10Override, nullptr);
  const double* u = r.Values;
  EmitSg(u[0], u[1], u[2], u[3], u[4], u[5], u[6], u[7]);
}

void EmitStoredEntities(std::int32_t layerGroupOverride, std::int32_t layerOverride,
                        std::int32_t colorOverride, std::int32_t lineTypeOverride,
                        std::int32_t lineWidthOverride, std::int32_t textColorOverride,
                        std::int32_t ccOverride, std::int32_t color10Override,
                        ProgressDisplay* progressDisplay) {
  // On top of any "bz" the caller wrote: the host sent one, so it gets one back.
  if (Drawing.BzSeen) AddOutputLine(kCommandBz);

  std::int32_t openPolylineNumber = 0;
  const std::int32_t count = Entities.EntityOrder.Count();
  const std::int32_t lg = layerGroupOverride;
  const std::int32_t ly = layerOverride;
  for (std::int32_t i = 0; i < count; ++i) {
    if (i % kPollInterval == 0) {
      if (progressDisplay != nullptr) ShowProgress(*progressDisplay, i + 1, count);
      if (CurrentPlatform().IsEscapeDown()) {
        // The user gave up: the host gets none of it, not even the caller's
        // lines nor the closing layer lines, so the file says "hq" alone.
        ClearOutputLines();
        return;
      }
    }
    const EntityOrderEntry entry = Entities.EntityOrder[static_cast<std::size_t>(i)];
    const std::int32_t index = entry.Index;
    switch (entry.Kind) {
      case KindLine:
        EmitStoredLine(index, lg, ly, colorOverride, lineTypeOverride, lineWidthOverride, i,
                       openPolylineNumber);
        break;
      case KindCircle:
        EmitStoredCircle(index, lg, ly, colorOverride, lineTypeOverride, lineWidthOverride);
        break;
      case KindArc:
        EmitStoredArc(index, lg, ly, colorOverride, lineTypeOverride, lineWidthOverride);
        break;
      case KindText:
        EmitStoredText(index, lg, ly, textColorOverride, ccOverride);
        break;
      case KindPoint:
        EmitStoredPoint(index, lg, ly, colorOverride, lineWidthOverride);
        break;
      case KindTypedPoint:
        EmitStoredTypedPoint(index, lg, ly, colorOverride, lineWidthOverride);
        break;
      case KindMessage:
        EmitStoredMessage(index, lg, ly, colorOverride, lineTypeOverride, lineWidthOverride,
                          textColorOverride, ccOverride);
        break;
      case KindSl2:
        EmitStoredSl2(index, lg, ly, colorOverride, color10Override, lineWidthOverride);
        break;
      case KindSl3:
        EmitStoredSl3(index, lg, ly, colorOverride, color10Override);
        break;
      case KindSl4:
        EmitStoredSl4(index, lg, ly, colorOverride, color10Override);
        break;
      case KindSc:
        EmitStoredSc(index, lg, ly, colorOverride, color10Override);
        break;
      case KindSe:
        EmitStoredSe(index, lg, ly, colorOverride, color10Override, lineWidthOverride);
        break;
      case KindSo:
        EmitStoredSo(index, lg, ly, colorOverride, color10Override);
        break;
      case KindSg:
        EmitStoredSg(index, lg, ly, colorOverride, color10Override);
        break;
      default:
        // Removed entries, blocks and unknown codes write nothing.
        break;
    }
  }

  // End on the layer group and layer the input began with.
  EmitLayerGroup(Attributes.InitialLayerGroup);
  EmitLayer(Attributes.InitialLayer);
}

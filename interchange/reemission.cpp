// Writes the stored entities back in the order the host sent them. For a text
// and a line after it, with nothing written before, the list receives:
//
//   lg0 / ly1 / cn1 / cc0 / cn"$<ＭＳ ゴシック> / ch 10 20 1 0 " / ABC
//   lc3 / lt1 / lw0 / 0 0 5 0
//
// Consecutive lines of one polyline are bracketed by "pl" and "#".
#include "interchange/reemission.h"

#include <array>
#include <string>

#include "interchange/attribute_emitters.h"
#include "interchange/entity_emitters.h"
#include "interchange/number_text.h"
#include "interchange/output_lines.h"
#include "interchange/state.h"
#include "interchange/system_strings.h"

namespace {

// Progress and Escape are looked at once per this many entries.
constexpr std::int32_t kPollInterval = 100;

std::int32_t OwnOr(std::int32_t overrideValue, std::int32_t own) {
  return overrideValue == -1 ? own : overrideValue;
}

// Layer group and layer overrides count only within 0..15.
std::int32_t LayerOr(std::int32_t overrideValue, std::int32_t own) {
  return overrideValue >= 0 && overrideValue <= kMaxLayerNumber ? overrideValue : own;
}

void EmitOpening(const EntityHeader& header, const StoredEntityOverrides& o) {
  EmitLayerGroup(LayerOr(o.LayerGroup, header.LayerGroup));
  EmitLayer(LayerOr(o.Layer, header.Layer));
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
void EmitSolidColor(const StoredEntityOverrides& o, std::int32_t ownColor,
                    std::int32_t ownColor10Value) {
  if (o.Color == -1) {
    if (ownColor == 10) {
      EmitColor10(ownColor10Value);
    } else {
      EmitColor(ownColor, 0);
    }
  } else if (o.Color == 10) {
    EmitColor10(o.Color10);
  } else {
    EmitColor(o.Color, 0);
  }
}

void EmitLineAttributes(const EntityHeader& header, std::int32_t color10Value,
                        const StoredEntityOverrides& o) {
  EmitLineColor(o.Color, header.Color, color10Value);
  EmitLineType(OwnOr(o.LineType, header.LineType), 0);
  EmitLineWidth(OwnOr(o.LineWidth, header.LineWidth));
}

// Text type (free size with the override colour), cc and font of a text.
void EmitTextAttributes(const TextRecord& text, const StoredEntityOverrides& o) {
  if (o.TextColor == -1) {
    EmitTextType(text.TextType, text.Header.Color, 0, text.Width, text.Height, text.Spacing);
  } else {
    EmitTextType(0, o.TextColor, 0, text.Width, text.Height, text.Spacing);
  }
  EmitCcValue(OwnOr(o.Cc, text.CcValue));
  EmitFontName(text.FontName);
}

void EmitPointAttributes(const EntityHeader& header, const StoredEntityOverrides& o) {
  EmitPointColor(OwnOr(o.Color, header.Color), 0);
  EmitLineWidth(OwnOr(o.LineWidth, header.LineWidth));
}

// Opening, colour and the width where the kind has one, of a solid.
enum class SolidWidth { None, Written };

template <class Record>
const Record& EmitSolidAttributes(const GrowableTable<Record>& table, std::int32_t index,
                                  const StoredEntityOverrides& o, SolidWidth width) {
  const Record& r = table[static_cast<std::size_t>(index)];
  EmitOpening(r.Header, o);
  EmitSolidColor(o, r.Header.Color, r.Color10Value);
  if (width == SolidWidth::Written) EmitLineWidth(OwnOr(o.LineWidth, r.Header.LineWidth));
  return r;
}

// The host spends z lines on the next entity line it reads. When the emitter
// then writes nothing (a degenerate entity), the z lines are taken back:
// left in, they would land on whatever entity follows in the file.
template <class Emit>
void WithZFlags(std::int32_t bits, Emit&& emit) {
  const std::int32_t before = OutputLines.Count();
  EmitZFlags(bits);
  const std::int32_t flagged = OutputLines.Count();
  emit();
  if (flagged > before && OutputLines.Count() == flagged) OutputLines.Truncate(before);
}

void ShowProgress(ProgressDisplay& display, std::int32_t position, std::int32_t count) {
  std::string text(kProgressPrefix);
  AppendIntegerText(text, position);
  text.append(kProgressSlash);
  AppendIntegerText(text, count);
  display.SetText(text);
  display.RepaintNow();
}

// One re-emitter per kind: the record at index in its table, its attributes
// through the change-only emitters, then its geometry.

// position is the entry's place in EntityOrder; openPolylineNumber is the
// polyline block open in the output (0: none), read and changed here: "pl"
// opens a block, "#" closes it unless the next entry is a line of it.
void EmitStoredLine(std::int32_t index, const StoredEntityOverrides& overrides,
                    std::int32_t position, std::int32_t& openPolylineNumber) {
  const LineRecord& r = Entities.LineTable[static_cast<std::size_t>(index)];
  EmitOpening(r.Header, overrides);
  EmitLineAttributes(r.Header, r.Color10Value, overrides);
  if (r.PolylineNumber > 0 && r.PolylineNumber != openPolylineNumber) {
    EmitPolylineStart();
    openPolylineNumber = r.PolylineNumber;
  }
  WithZFlags(r.Header.ZFlags, [&] { EmitLine(r.X1, r.Y1, r.X2, r.Y2); });

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

void EmitStoredCircle(std::int32_t index, const StoredEntityOverrides& overrides) {
  const CircleRecord& r = Entities.CircleTable[static_cast<std::size_t>(index)];
  EmitOpening(r.Header, overrides);
  EmitLineAttributes(r.Header, r.Color10Value, overrides);
  WithZFlags(r.Header.ZFlags, [&] { EmitCircle(r.CenterX, r.CenterY, r.Radius); });
}

void EmitStoredArc(std::int32_t index, const StoredEntityOverrides& overrides) {
  const ArcRecord& r = Entities.ArcTable[static_cast<std::size_t>(index)];
  EmitOpening(r.Header, overrides);
  EmitLineAttributes(r.Header, r.Color10Value, overrides);
  WithZFlags(r.Header.ZFlags, [&] {
    EmitArc(r.CenterX, r.CenterY, r.Radius, r.ArcValues[0], r.ArcValues[1], r.ArcValues[2],
            r.ArcValues[3]);
  });
}

// No colour, line type or width: the text type carries the text's colour.
void EmitStoredText(std::int32_t index, const StoredEntityOverrides& overrides) {
  const TextRecord& r = Entities.TextTable[static_cast<std::size_t>(index)];
  EmitOpening(r.Header, overrides);
  EmitTextAttributes(r, overrides);
  WithZFlags(r.Header.ZFlags, [&] { EmitText(r.Command, r.Text, r.X, r.Y, r.VectorX, r.VectorY); });
}

void EmitStoredPoint(std::int32_t index, const StoredEntityOverrides& overrides) {
  const PointRecord& r = Entities.PointTable[static_cast<std::size_t>(index)];
  EmitOpening(r.Header, overrides);
  EmitPointAttributes(r.Header, overrides);
  WithZFlags(r.Header.ZFlags, [&] { EmitPoint(r.X, r.Y); });
}

void EmitStoredTypedPoint(std::int32_t index, const StoredEntityOverrides& overrides) {
  const TypedPointRecord& r = Entities.TypedPointTable[static_cast<std::size_t>(index)];
  EmitOpening(r.Header, overrides);
  EmitPointAttributes(r.Header, overrides);
  WithZFlags(r.Header.ZFlags, [&] { EmitTypedPoint(r.Code, r.X, r.Y, r.ParamA, r.ParamB); });
}

// The line's attributes, then the text's, then "msg" and its three lines.
void EmitStoredMessage(std::int32_t index, const StoredEntityOverrides& overrides) {
  const MessageRecord& r = Entities.MessageTable[static_cast<std::size_t>(index)];
  const LineRecord& line = r.Line;
  const TextRecord& text = r.TextPart;
  EmitOpening(r.Header, overrides);
  EmitLineAttributes(line.Header, line.Color10Value, overrides);
  EmitTextAttributes(text, overrides);
  // z lines the host wrote before "msg" were spent by the message's line, so
  // they live in its header; written before "msg" again, they come back there.
  WithZFlags(r.Header.ZFlags | line.Header.ZFlags, [&] {
    EmitMessage(text.Text, line.X1, line.Y1, line.X2, line.Y2, text.X, text.Y, text.VectorX,
                text.VectorY);
  });
}

void EmitStoredSl2(std::int32_t index, const StoredEntityOverrides& overrides) {
  const Sl2Record& r =
      EmitSolidAttributes(Entities.Sl2Table, index, overrides, SolidWidth::Written);
  WithZFlags(r.Header.ZFlags, [&] { EmitSl2(r.X1, r.Y1, r.X2, r.Y2); });
}

void EmitStoredSl3(std::int32_t index, const StoredEntityOverrides& overrides) {
  const Sl3Record& r = EmitSolidAttributes(Entities.Sl3Table, index, overrides, SolidWidth::None);
  WithZFlags(r.Header.ZFlags, [&] { EmitSl3(r.X1, r.Y1, r.X2, r.Y2, r.X3, r.Y3); });
}

void EmitStoredSl4(std::int32_t index, const StoredEntityOverrides& overrides) {
  const Sl4Record& r = EmitSolidAttributes(Entities.Sl4Table, index, overrides, SolidWidth::None);
  WithZFlags(r.Header.ZFlags, [&] { EmitSl4(r.X1, r.Y1, r.X2, r.Y2, r.X3, r.Y3, r.X4, r.Y4); });
}

void EmitStoredSc(std::int32_t index, const StoredEntityOverrides& overrides) {
  const ScRecord& r = EmitSolidAttributes(Entities.ScTable, index, overrides, SolidWidth::None);
  const double* u = r.Values;
  WithZFlags(r.Header.ZFlags,
             [&] { EmitSc(r.IntValue, u[0], u[1], u[2], u[3], u[4], u[5], u[6]); });
}

void EmitStoredSe(std::int32_t index, const StoredEntityOverrides& overrides) {
  const SeRecord& r = EmitSolidAttributes(Entities.SeTable, index, overrides, SolidWidth::Written);
  const double* u = r.Values;
  WithZFlags(r.Header.ZFlags,
             [&] { EmitSe(r.IntValue, u[0], u[1], u[2], u[3], u[4], u[5], u[6]); });
}

void EmitStoredSo(std::int32_t index, const StoredEntityOverrides& overrides) {
  const SoRecord& r = EmitSolidAttributes(Entities.SoTable, index, overrides, SolidWidth::None);
  const double* u = r.Values;
  WithZFlags(r.Header.ZFlags, [&] { EmitSo(u[0], u[1], u[2], u[3], u[4], u[5], u[6], u[7]); });
}

void EmitStoredSg(std::int32_t index, const StoredEntityOverrides& overrides) {
  const SgRecord& r = EmitSolidAttributes(Entities.SgTable, index, overrides, SolidWidth::None);
  const double* u = r.Values;
  WithZFlags(r.Header.ZFlags, [&] { EmitSg(u[0], u[1], u[2], u[3], u[4], u[5], u[6], u[7]); });
}

// One row per kind code: the line's re-emitter needs the walk's place and its
// open polyline block, the others only the record and the overrides.
using Reemitter = void (*)(std::int32_t index, const StoredEntityOverrides& overrides,
                           std::int32_t position, std::int32_t& openPolylineNumber);

template <void (*Emit)(std::int32_t, const StoredEntityOverrides&)>
void Row(std::int32_t index, const StoredEntityOverrides& overrides, std::int32_t, std::int32_t&) {
  Emit(index, overrides);
}

void WritesNothing(std::int32_t, const StoredEntityOverrides&, std::int32_t, std::int32_t&) {}

constexpr std::array<Reemitter, kEntityKindCount> kReemitters = {
    WritesNothing,  // KindRemoved
    EmitStoredLine,       Row<EmitStoredCircle>,     Row<EmitStoredArc>,     Row<EmitStoredText>,
    Row<EmitStoredPoint>, Row<EmitStoredTypedPoint>, Row<EmitStoredMessage>,
    WritesNothing,  // KindBlock: the host takes no block back
    Row<EmitStoredSl2>,   Row<EmitStoredSl3>,        Row<EmitStoredSl4>,     Row<EmitStoredSc>,
    Row<EmitStoredSe>,    Row<EmitStoredSo>,         Row<EmitStoredSg>,
};

}  // namespace

void EmitStoredEntities(const StoredEntityOverrides& overrides, EscapeKey& escape) {
  // On top of any "bz" the caller wrote: the host sent one, so it gets one back.
  if (Drawing.BzSeen) AddOutputLine(kCommandBz);

  std::int32_t openPolylineNumber = 0;
  const GrowableTable<EntityOrderEntry>& order = Entities.EntityOrder;
  const std::int32_t count = order.Count();
  for (std::int32_t i = 0; i < count; ++i) {
    if (i % kPollInterval == 0) {
      if (overrides.Progress != nullptr) ShowProgress(*overrides.Progress, i + 1, count);
      if (escape.IsEscapeDown()) {
        // The user gave up: the host gets none of it, not even the caller's
        // lines nor the closing layer lines, so the file says "hq" alone.
        ClearOutputLines();
        return;
      }
    }
    const EntityOrderEntry entry = order[static_cast<std::size_t>(i)];
    // Unknown codes write nothing, as removed entries do.
    if (static_cast<std::uint32_t>(entry.Kind) >= kReemitters.size()) continue;
    kReemitters[static_cast<std::size_t>(entry.Kind)](entry.Index, overrides, i,
                                                      openPolylineNumber);
    OutputLines.EndEntity();  // between entities: nothing of this one is taken back later
  }

  // End on the layer group and layer the input began with.
  EmitLayerGroup(Attributes.InitialLayerGroup);
  EmitLayer(Attributes.InitialLayer);
}

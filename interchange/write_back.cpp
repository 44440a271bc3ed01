#include "interchange/write_back.h"

#include <cmath>
#include <cstddef>

#include "interchange/attribute_emitters.h"
#include "interchange/emit_line.h"
#include "interchange/entity_emitters.h"
#include "util/sjis.h"

namespace {

// A radius of magnitude up to the tolerance draws nothing; a clearly negative
// one is a circle the host drew that the emitters refuse.
WriteBack RoundWriteBack(bool written, double r) {
  if (written) return WriteBack::Written;
  return IsZeroValue(r) ? WriteBack::ShowsNothing : WriteBack::Lost;
}

// A font line over 255 bytes would be cut, and the host would set another font.
WriteBack TextWriteBack(const TextRecord& t) {
  if (!TextIsWritten(t.Text, t.VectorX, t.VectorY)) {
    return IsBlankText(t.Text) ? WriteBack::ShowsNothing : WriteBack::Lost;
  }
  return FontNameFits(t.FontName) ? WriteBack::Written : WriteBack::Lost;
}

WriteBack MessageWriteBack(const MessageRecord& m) {
  const LineRecord& l = m.Line;
  const TextRecord& t = m.TextPart;
  if (!MessageIsWritten(l.X1, l.Y1, l.X2, l.Y2, t.VectorX, t.VectorY)) return WriteBack::Lost;
  return FontNameFits(t.FontName) ? WriteBack::Written : WriteBack::Lost;
}

WriteBack Solid(bool written) { return written ? WriteBack::Written : WriteBack::Lost; }

}  // namespace

WriteBack EntityWriteBack(const EntityOrderEntry& entry) {
  const EntityTables& e = Entities;
  const auto i = static_cast<std::size_t>(entry.Index);
  switch (entry.Kind) {
    case KindLine: {
      const LineRecord& r = e.LineTable[i];
      return PointsCoincide(r.X1, r.Y1, r.X2, r.Y2) ? WriteBack::ShowsNothing : WriteBack::Written;
    }
    case KindCircle: {
      const double r = e.CircleTable[i].Radius;
      return RoundWriteBack(CircleIsWritten(r), r);
    }
    case KindArc: {
      const ArcRecord& r = e.ArcTable[i];
      return RoundWriteBack(ArcIsWritten(r.Radius, r.ArcValues[2]), r.Radius);
    }
    case KindText:
      return TextWriteBack(e.TextTable[i]);
    case KindPoint:
    case KindTypedPoint:
      return WriteBack::Written;
    case KindMessage:
      return MessageWriteBack(e.MessageTable[i]);
    case KindSl2:
    case KindSl3:
    case KindSl4:
      return WriteBack::Written;
    case KindSc: {
      const ScRecord& r = e.ScTable[i];
      return Solid(ScIsWritten(r.IntValue, r.Values[2], r.Values[3]));
    }
    case KindSe: {
      const SeRecord& r = e.SeTable[i];
      return Solid(SeIsWritten(r.IntValue, r.Values[2], r.Values[3]));
    }
    case KindSo: {
      const SoRecord& r = e.SoTable[i];
      return Solid(SoIsWritten(r.Values[2], r.Values[3], r.Values[7]));
    }
    case KindSg: {
      const SgRecord& r = e.SgTable[i];
      return Solid(SoIsWritten(r.Values[2], r.Values[3], r.Values[7]));
    }
    default:
      return WriteBack::Lost;
  }
}

bool SelectionWritesBack() noexcept {
  if (Entities.CutTextCount > 0) return false;
  // Kinds whose entries never stop a write-back: removed ones, which
  // EntityWriteBack calls Lost but which stay away on purpose, and lines,
  // points and the "sl" kinds, which it never finds Lost. Their records, more
  // than half of a drawing's, need not be looked at.
  constexpr std::uint32_t kNeverLost = 1u << KindRemoved | 1u << KindLine | 1u << KindPoint |
                                       1u << KindTypedPoint | 1u << KindSl2 | 1u << KindSl3 |
                                       1u << KindSl4;
  const GrowableTable<EntityOrderEntry>& order = Entities.EntityOrder;
  const std::int32_t count = order.Count();
  for (std::int32_t i = 0; i < count; ++i) {
    const EntityOrderEntry& entry = order[static_cast<std::size_t>(i)];
    if (entry.Kind >= 0 && (kNeverLost >> entry.Kind & 1u) != 0) continue;
    if (EntityWriteBack(entry) == WriteBack::Lost) return false;
  }
  return true;
}

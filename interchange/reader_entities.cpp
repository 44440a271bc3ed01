// The rules that store an entity: the reals of the line are read first, so a
// real too large for a double leaves everything as it was; then the entry of
// EntityOrder and the record are appended together and filled, and the
// entity ends.
#include <cmath>
#include <cstring>
#include <string>
#include <string_view>

#include "interchange/reader_rules.h"
#include "interchange/state.h"
#include "interchange/system_strings.h"
#include "util/number_parse.h"
#include "util/sjis.h"

namespace {

constexpr std::size_t kShortStringBytes = 255;
// Two "sl" points within this of each other in x and in y are one point.
constexpr double kSamePointTolerance = 1e-10;

// Appends an entry to EntityOrder and a record to table, header filled, and
// the colour-10 value where the record keeps one. Both tables grow before
// either is appended to, so running out of memory leaves neither an order
// entry without its record nor the reverse. nullptr, and nothing stored, when
// the table is too large for EntityOrder to name its next record.
template <class Record>
Record* StoreEntity(GrowableTable<Record>& table, EntityKind kind) {
  table.EnsureRoomForAppend();
  Entities.EntityOrder.EnsureRoomForAppend();
  if (!AppendEntityOrder(kind, table.Count())) return nullptr;
  Record& record = table.Append();
  FillEntityHeader(record.Header);
  if constexpr (requires { record.Color10Value; }) {
    record.Color10Value = Attributes.CurrentColor10Value;
  }
  return &record;
}

// Most entity rules: count reals from token 1, a record filled from them
// (values[0] up), and the entity ended.
template <int count, class Record, class Fill>
bool StoreFromReals(const LineTokens& t, GrowableTable<Record>& table, EntityKind kind, Fill fill) {
  double values[count];
  if (!ReadReals(t, 1, count, values)) return false;
  Record* record = StoreEntity(table, kind);
  if (record == nullptr) return false;
  fill(*record, values);
  EndEntity();
  return true;
}

// Everything of a text but its header, which the caller fills first; the
// colour of the text type then replaces the header's colour. The strings are
// stored by the caller, before anything else is, and their handles copied here.
void FillText(TextRecord& text, std::int32_t command, const double values[4],
              const PooledText& font, const ArenaText& content) {
  const AttributeState& a = Attributes;
  text.Command = command;
  text.CcValue = a.CurrentCcValue;
  text.TextType = a.CurrentTextType;
  if (text.TextType >= 1 && text.TextType <= kTextTypeCount) {
    const TextTypeRecord& type = Drawing.TextTypes[text.TextType];
    text.Width = type.Width;
    text.Height = type.Height;
    text.Spacing = type.Spacing;
    text.Header.Color = type.Color;
  } else {
    text.Width = a.CurrentFreeTextWidth;
    text.Height = a.CurrentFreeTextHeight;
    text.Spacing = a.CurrentFreeTextSpacing;
    text.Header.Color = a.CurrentFreeTextColor;
  }
  text.X = values[0];
  text.Y = values[1];
  text.VectorX = values[2];
  text.VectorY = values[3];
  text.FontName = font;
  text.Text = content;
}

struct Point {
  double X, Y;
};

bool Same(Point a, Point b) {
  return std::fabs(a.X - b.X) <= kSamePointTolerance && std::fabs(a.Y - b.Y) <= kSamePointTolerance;
}

bool StoreSl2(Point p1, Point p2) {
  Sl2Record* r = StoreEntity(Entities.Sl2Table, KindSl2);
  if (r == nullptr) return false;
  r->X1 = p1.X, r->Y1 = p1.Y, r->X2 = p2.X, r->Y2 = p2.Y;
  return true;
}

bool StoreSl3(Point p1, Point p2, Point p3) {
  Sl3Record* r = StoreEntity(Entities.Sl3Table, KindSl3);
  if (r == nullptr) return false;
  r->X1 = p1.X, r->Y1 = p1.Y, r->X2 = p2.X, r->Y2 = p2.Y, r->X3 = p3.X, r->Y3 = p3.Y;
  return true;
}

bool StoreSl4(Point p1, Point p2, Point p3, Point p4) {
  Sl4Record* r = StoreEntity(Entities.Sl4Table, KindSl4);
  if (r == nullptr) return false;
  r->X1 = p1.X, r->Y1 = p1.Y, r->X2 = p2.X, r->Y2 = p2.Y;
  r->X3 = p3.X, r->Y3 = p3.Y, r->X4 = p4.X, r->Y4 = p4.Y;
  return true;
}

// "sc", "se": seven reals and an integer; "so", "sg": eight reals.
template <int reals, class Record>
bool StoreSolid(const LineTokens& t, GrowableTable<Record>& table, EntityKind kind) {
  return StoreFromReals<reals>(t, table, kind, [&t](Record& r, const double* v) {
    std::memcpy(r.Values, v, sizeof r.Values);
    if constexpr (reals == 7) r.IntValue = StrToIntOrZero(t[8]);
  });
}

}  // namespace

void EndMessageMode() {
  if (Modes.MessageLineWaiting) Modes.LineDropped = true;
  Modes.MessageLineWaiting = false;
  Modes.MessageMode = false;
}

void EndEntity() {
  Attributes.CurrentZFlags = 0;
  Modes.PolylineMode = false;
  EndMessageMode();
}

bool StoreCircle(const LineTokens& t, int) {
  return StoreFromReals<3>(t, Entities.CircleTable, KindCircle,
                           [](CircleRecord& r, const double* v) {
                             r.CenterX = v[0], r.CenterY = v[1], r.Radius = v[2];
                           });
}

bool StoreArc(const LineTokens& t, int) {
  return StoreFromReals<7>(t, Entities.ArcTable, KindArc, [](ArcRecord& r, const double* v) {
    r.CenterX = v[0], r.CenterY = v[1], r.Radius = v[2];
    std::memcpy(r.ArcValues, v + 3, sizeof r.ArcValues);
  });
}

bool StorePoint(const LineTokens& t, int) {
  return StoreFromReals<2>(t, Entities.PointTable, KindPoint, [](PointRecord& r, const double* v) {
    r.X = v[0], r.Y = v[1];
    r.Header.Color = Attributes.CurrentPointColor;
  });
}

bool StoreTypedPoint(const LineTokens& t, int) {
  return StoreFromReals<4>(t, Entities.TypedPointTable, KindTypedPoint,
                           [&t](TypedPointRecord& r, const double* v) {
                             r.X = v[0], r.Y = v[1];
                             r.Header.Color = Attributes.CurrentPointColor;
                             r.ParamA = v[2], r.ParamB = v[3];
                             r.Code = StrToIntOrZero(t[5]);
                           });
}

bool StoreBlock(const LineTokens& t, int) {
  std::string name(t[3]);  // made before anything is stored
  return StoreFromReals<2>(t, Entities.BlockTable, KindBlock,
                           [&name](TKzmEntBlk& r, const double* v) {
                             r.X = v[0], r.Y = v[1];
                             r.Name.swap(name);
                           });
}

bool StoreSc(const LineTokens& t, int) { return StoreSolid<7>(t, Entities.ScTable, KindSc); }
bool StoreSe(const LineTokens& t, int) { return StoreSolid<7>(t, Entities.SeTable, KindSe); }
bool StoreSo(const LineTokens& t, int) { return StoreSolid<8>(t, Entities.SoTable, KindSo); }
bool StoreSg(const LineTokens& t, int) { return StoreSolid<8>(t, Entities.SgTable, KindSg); }

bool StoreText(const LineTokens& t, int command) {
  double values[4];
  if (!ReadReals(t, 1, 4, values)) return false;
  PooledText font;
  font = std::string_view(Attributes.CurrentFontName).substr(0, kShortStringBytes);
  ArenaText content;
  content = t[5].substr(0, kShortStringBytes);
  // A blank text shows nothing however long it is; any other loses its end.
  const bool cut = t[5].size() > kShortStringBytes && !IsBlankText(t[5]);

  if (command == kTextCommandCs && Modes.MessageMode) {
    MessageRecord* message = StoreEntity(Entities.MessageTable, KindMessage);
    if (message == nullptr) return false;
    message->Line = Modes.PendingMessageLine;
    message->Line.PolylineNumber = 0;
    FillEntityHeader(message->TextPart.Header);
    FillText(message->TextPart, command, values, font, content);
    Modes.MessageLineWaiting = false;
  } else {
    TextRecord* text = StoreEntity(Entities.TextTable, KindText);
    if (text == nullptr) return false;
    FillText(*text, command, values, font, content);
  }
  if (cut) ++Entities.CutTextCount;
  EndEntity();
  return true;
}

// The host may repeat corners of a solid; repeated ones are dropped, down to
// a two- or three-point record.
bool StoreSl(const LineTokens& t, int) {
  const int points = t.Count == 5 ? 2 : t.Count == 7 ? 3 : 4;
  double v[8];
  if (!ReadReals(t, 1, points * 2, v)) return false;
  const Point p1{v[0], v[1]}, p2{v[2], v[3]}, p3{v[4], v[5]}, p4{v[6], v[7]};
  bool stored;
  if (points == 2) {
    stored = StoreSl2(p1, p2);
  } else if (points == 3) {
    if (Same(p1, p2)) {
      stored = StoreSl2(p1, p3);
    } else if (Same(p2, p3)) {
      stored = StoreSl2(p1, p2);
    } else {
      stored = StoreSl3(p1, p2, p3);
    }
  } else if (Same(p1, p2) && Same(p1, p3)) {
    stored = StoreSl2(p1, p4);
  } else if (Same(p2, p3) && Same(p2, p4)) {
    stored = StoreSl2(p1, p2);
  } else if (Same(p1, p2) && Same(p3, p4)) {
    stored = StoreSl2(p1, p3);
  } else if (Same(p4, p1) || Same(p4, p2) || Same(p4, p3)) {
    stored = StoreSl3(p1, p2, p3);
  } else if (Same(p3, p1) || Same(p3, p2)) {
    stored = StoreSl3(p1, p2, p4);
  } else if (Same(p2, p1)) {
    stored = StoreSl3(p1, p3, p4);
  } else {
    stored = StoreSl4(p1, p2, p3, p4);
  }
  if (!stored) return false;
  EndEntity();
  return true;
}

bool StorePlainLine(const LineTokens& t) {
  double v[4];
  if (!ReadReals(t, 0, 4, v)) return false;
  // In message mode the line only waits for the "cs" text that measures it.
  LineRecord* stored =
      Modes.MessageMode ? &Modes.PendingMessageLine : StoreEntity(Entities.LineTable, KindLine);
  if (stored == nullptr) return false;
  LineRecord& line = *stored;
  if (Modes.MessageMode) {
    // A second line before the "cs" replaces the first, which is lost.
    if (Modes.MessageLineWaiting) Modes.LineDropped = true;
    Modes.MessageLineWaiting = true;
    FillEntityHeader(line.Header);
    line.Color10Value = Attributes.CurrentColor10Value;
  }
  line.PolylineNumber = Modes.PolylineMode && !Modes.MessageMode ? Modes.PolylineCounter : 0;
  line.X1 = v[0], line.Y1 = v[1], line.X2 = v[2], line.Y2 = v[3];
  Attributes.CurrentZFlags = 0;
  return true;
}

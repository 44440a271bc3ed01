// Reads the host's interchange file: one command per line, the command word
// first, then blank-separated values; a text runs from a quote to the end of
// the line. A line of four numbers and no command word is a plain line.
//
//   hzs 420 297          paper size
//   lg2                  layer group 2 (one hexadecimal digit)
//   lc10 255             colour 10 with its value
//   z1                   a z flag for the next entity
//   ch 10 20 5 0 "A B    a text at (10, 20) reading «A B»
//   pl                   the plain lines after it form polyline 1
//   0 0 100 0            a plain line
//   #                    ends the polyline
//
// Words are tried in a fixed order and the first that fits takes the line; a
// word without the values it needs is tried further down, and a line of four
// tokens that nothing took becomes a plain line whose command word reads as 0.
// Every real of a line is parsed before anything changes, so a real too large
// for a double leaves the state as it was.
#include "interchange/reader.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>

#include "interchange/line_tokens.h"
#include "interchange/number_text.h"
#include "interchange/state.h"
#include "interchange/system_strings.h"
#include "machine/file_io.h"
#include "util/number_parse.h"
#include "util/sjis.h"

namespace {

constexpr std::size_t kShortStringBytes = 255;
// Big enough that a large file costs few reads; small enough that each read
// of a small file (every run of the fuzz targets) takes no fresh mapping.
constexpr std::size_t kReadBlockBytes = std::size_t{64} << 10;
// Two "sl" points within this of each other in x and in y are one point.
constexpr double kSamePointTolerance = 1e-10;

enum class Outcome { NotTaken, Done, Overflow };

// Reads tokens first .. first+count-1 as reals; false when one of them is too
// large for a double, or so close to the largest that its written form would
// round above it and the host could not read it back.
bool ReadReals(const LineTokens& t, int first, int count, double* out) {
  for (int i = 0; i < count; ++i) {
    const RealParse real = ParseReal(t[first + i]);
    if (real.Overflow || RealTextOverflows(real.Value)) return false;
    out[i] = real.Value;
  }
  return true;
}

// Bytes from the 1-based position to the end; empty past the end.
std::string_view BytesFrom(std::string_view word, std::size_t position) {
  return position - 1 < word.size() ? word.substr(position - 1) : std::string_view();
}

// 1-based position of the first occurrence outside a double-byte character, 0 if none.
std::size_t PositionOf(std::string_view word, std::string_view needle) {
  const std::size_t at = FindOnCharBoundary(word, needle);
  return at == std::string_view::npos ? 0 : at + 1;
}

// The first line of an attribute also sets its initial value.
void FirstLineRule(AttributeFlag flag, std::int32_t& initial, std::int32_t value) {
  if (Attributes.AttributeUnset[flag]) {
    initial = value;
    Attributes.AttributeUnset[flag] = false;
  }
}

// "lg", "ly": byte 3 read as one hexadecimal digit, so always 0..15; any
// other byte, or none, gives 0.
std::int32_t LayerDigit(std::string_view word) {
  const char text[2] = {'$', word.size() > 2 ? word[2] : '0'};
  return StrToIntOrZero(std::string_view(text, 2));
}

// Group and layer are always 0..15 once read; a value set elsewhere is held
// in range here all the same, since they index fixed tables.
std::size_t InRange(std::int32_t v) {
  return v >= 0 && v <= kMaxLayerNumber ? static_cast<std::size_t>(v) : 0;
}
std::size_t LayerGroupIndex() { return InRange(Attributes.CurrentLayerGroup); }
std::size_t LayerIndex() {
  return LayerGroupIndex() * kLayersPerGroup + InRange(Attributes.CurrentLayer);
}

// A plain line that waited for its "cs" in vain is lost to the host.
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

// Appends an entry to EntityOrder and a record to table, header filled. Both
// tables grow before either is appended to, so running out of memory leaves
// neither an order entry without its record nor the reverse.
template <class Record>
Record& StoreEntity(GrowableTable<Record>& table, EntityKind kind) {
  table.EnsureRoomForAppend();
  Entities.EntityOrder.EnsureRoomForAppend();
  AppendEntityOrder(kind, table.Count());
  Record& record = table.Append();
  FillEntityHeader(record.Header);
  return record;
}

int TextCommand(std::string_view word) {
  for (std::size_t command = 0; command < kTextCommandWords.size(); ++command) {
    if (word == kTextCommandWords[command]) return static_cast<int>(command);
  }
  return -1;
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

Outcome StoreText(const LineTokens& t, std::int32_t command) {
  double values[4];
  if (!ReadReals(t, 1, 4, values)) return Outcome::Overflow;
  PooledText font;
  font = std::string_view(Attributes.CurrentFontName).substr(0, kShortStringBytes);
  ArenaText content;
  content = t[5].substr(0, kShortStringBytes);
  // A blank text shows nothing however long it is; any other loses its end.
  const bool cut = t[5].size() > kShortStringBytes && !IsBlankText(t[5]);

  if (command == kTextCommandCs && Modes.MessageMode) {
    MessageRecord& message = StoreEntity(Entities.MessageTable, KindMessage);
    message.Line = Modes.PendingMessageLine;
    message.Line.PolylineNumber = 0;
    FillEntityHeader(message.TextPart.Header);
    FillText(message.TextPart, command, values, font, content);
    Modes.MessageLineWaiting = false;
  } else {
    FillText(StoreEntity(Entities.TextTable, KindText), command, values, font, content);
  }
  if (cut) ++Entities.CutTextCount;
  EndEntity();
  return Outcome::Done;
}

struct Point {
  double X, Y;
};

bool Same(Point a, Point b) {
  return std::fabs(a.X - b.X) <= kSamePointTolerance && std::fabs(a.Y - b.Y) <= kSamePointTolerance;
}

void StoreSl2(Point p1, Point p2) {
  Sl2Record& r = StoreEntity(Entities.Sl2Table, KindSl2);
  r.Color10Value = Attributes.CurrentColor10Value;
  r.X1 = p1.X, r.Y1 = p1.Y, r.X2 = p2.X, r.Y2 = p2.Y;
}

void StoreSl3(Point p1, Point p2, Point p3) {
  Sl3Record& r = StoreEntity(Entities.Sl3Table, KindSl3);
  r.Color10Value = Attributes.CurrentColor10Value;
  r.X1 = p1.X, r.Y1 = p1.Y, r.X2 = p2.X, r.Y2 = p2.Y, r.X3 = p3.X, r.Y3 = p3.Y;
}

void StoreSl4(Point p1, Point p2, Point p3, Point p4) {
  Sl4Record& r = StoreEntity(Entities.Sl4Table, KindSl4);
  r.Color10Value = Attributes.CurrentColor10Value;
  r.X1 = p1.X, r.Y1 = p1.Y, r.X2 = p2.X, r.Y2 = p2.Y;
  r.X3 = p3.X, r.Y3 = p3.Y, r.X4 = p4.X, r.Y4 = p4.Y;
}

// The host may repeat corners of a solid; repeated ones are dropped, down to
// a two- or three-point record.
Outcome StoreSl(const LineTokens& t) {
  const int points = t.Count == 5 ? 2 : t.Count == 7 ? 3 : 4;
  double v[8];
  if (!ReadReals(t, 1, points * 2, v)) return Outcome::Overflow;
  const Point p1{v[0], v[1]}, p2{v[2], v[3]}, p3{v[4], v[5]}, p4{v[6], v[7]};
  if (points == 2) {
    StoreSl2(p1, p2);
  } else if (points == 3) {
    if (Same(p1, p2)) {
      StoreSl2(p1, p3);
    } else if (Same(p2, p3)) {
      StoreSl2(p1, p2);
    } else {
      StoreSl3(p1, p2, p3);
    }
  } else if (Same(p1, p2) && Same(p1, p3)) {
    StoreSl2(p1, p4);
  } else if (Same(p2, p3) && Same(p2, p4)) {
    StoreSl2(p1, p2);
  } else if (Same(p1, p2) && Same(p3, p4)) {
    StoreSl2(p1, p3);
  } else if (Same(p4, p1) || Same(p4, p2) || Same(p4, p3)) {
    StoreSl3(p1, p2, p3);
  } else if (Same(p3, p1) || Same(p3, p2)) {
    StoreSl3(p1, p2, p4);
  } else if (Same(p2, p1)) {
    StoreSl3(p1, p3, p4);
  } else {
    StoreSl4(p1, p2, p3, p4);
  }
  EndEntity();
  return Outcome::Done;
}

Outcome ReadNumberedPoint(const LineTokens& t) {
  const std::string_view word = t[0];
  std::string_view number = BytesFrom(word, 3);
  std::int32_t mark = 0;
  // The last mark searched for wins and the number runs up to it, wherever it
  // stands: "hp5ch-" is point 5 with mark 4, "hp5-ch" reads "5-" and is none.
  constexpr std::string_view kMarks[] = {"-", "ln", "ci", "ch"};
  for (std::int32_t m = 1; m <= 4; ++m) {
    if (const std::size_t p = PositionOf(word, kMarks[m - 1]); p != 0) {
      number = word.substr(2, p >= 3 ? p - 3 : 0);
      mark = m;
    }
  }
  const std::int32_t k = StrToIntOrZero(number);
  if (k < 1 || k >= static_cast<std::int32_t>(kHpPointSlots)) return Outcome::Done;
  double xy[2];
  if (!ReadReals(t, 1, 2, xy)) return Outcome::Overflow;
  Layers.HpPoints[static_cast<std::size_t>(k)] = HpPointRecord{true, xy[0], xy[1], mark};
  ++Layers.HpPointCount;
  return Outcome::Done;
}

void ReadHhpNumber(std::string_view word) {
  std::size_t length = word.size();
  for (const std::string_view mark : {"ln", "ci", "ch"}) {
    if (const std::size_t p = PositionOf(word, mark); p > 4) length = p - 4;
  }
  Attributes.CurrentHhpNumber = StrToIntOrZero(BytesFrom(word, 4).substr(0, length));
}

Outcome WordsH(const LineTokens& t) {
  const std::string_view w = t[0];
  const int n = t.Count;
  DrawingValues& d = Drawing;
  if (w == "hk" && n >= 2) {
    if (!ReadReals(t, 1, 1, &d.DrawingAngle)) return Outcome::Overflow;
    return Outcome::Done;
  }
  if (w == "hs" && n >= 1 + static_cast<int>(kLayerGroupCount)) {
    double scales[kLayerGroupCount];
    if (!ReadReals(t, 1, static_cast<int>(kLayerGroupCount), scales)) return Outcome::Overflow;
    std::memcpy(d.LayerGroupScales, scales, sizeof scales);
    return Outcome::Done;
  }
  if (w == "hzs" && n >= 3) {
    double size[2];
    if (!ReadReals(t, 1, 2, size)) return Outcome::Overflow;
    d.PaperWidth = size[0];
    d.PaperHeight = size[1];
    return Outcome::Done;
  }
  if ((w == "hcw" || w == "hch" || w == "hcd") && n >= 1 + kTextTypeCount) {
    double values[kTextTypeCount];
    if (!ReadReals(t, 1, kTextTypeCount, values)) return Outcome::Overflow;
    for (int k = 1; k <= kTextTypeCount; ++k) {
      TextTypeRecord& type = d.TextTypes[k];
      (w == "hcw" ? type.Width : w == "hch" ? type.Height : type.Spacing) = values[k - 1];
    }
    return Outcome::Done;
  }
  if (w == "hcc" && n >= 1 + kTextTypeCount) {
    for (int k = 1; k <= kTextTypeCount; ++k) d.TextTypes[k].Color = StrToIntOrZero(t[k]);
    return Outcome::Done;
  }
  if (w == "hn" && n >= 5) {
    double values[4];
    if (!ReadReals(t, 1, 4, values)) return Outcome::Overflow;
    std::memcpy(d.HnValues, values, sizeof values);
    return Outcome::Done;
  }
  if (w.starts_with("hp") && n >= 3) return ReadNumberedPoint(t);
  if (w.starts_with("hhp")) {
    ReadHhpNumber(w);
    return Outcome::Done;
  }
  return Outcome::NotTaken;
}

Outcome WordsL(const LineTokens& t) {
  const std::string_view w = t[0];
  const int n = t.Count;
  AttributeState& a = Attributes;
  if (w.starts_with("lgn")) {
    Layers.LayerGroupNames[LayerGroupIndex()].assign(BytesFrom(w, 4));
  } else if (w.starts_with("lyn")) {
    Layers.LayerNames[LayerIndex()].assign(BytesFrom(w, 4));
  } else if (w.starts_with("lg")) {
    const std::int32_t group = LayerDigit(w);
    FirstLineRule(UnsetLg, a.InitialLayerGroup, group);
    a.CurrentLayerGroup = group;
    if (n >= 2) Layers.LayerGroupValues[static_cast<std::size_t>(group)] = StrToIntOrZero(t[1]);
  } else if (w.starts_with("ly")) {
    const std::int32_t layer = LayerDigit(w);
    FirstLineRule(UnsetLy, a.InitialLayer, layer);
    a.CurrentLayer = layer;
    if (n >= 2) Layers.LayerValues[LayerIndex()] = StrToIntOrZero(t[1]);
  } else if (w.starts_with("lc")) {
    const std::int32_t color = StrToIntOrZero(BytesFrom(w, 3));
    FirstLineRule(UnsetLc, a.InitialColor, color);
    a.CurrentColor = color;
    if (color == 10 && n >= 2) a.CurrentColor10Value = StrToIntOrZero(t[1]);
  } else if (w.starts_with("lt")) {
    const std::int32_t type = StrToIntOrZero(BytesFrom(w, 3));
    FirstLineRule(UnsetLt, a.InitialLineType, type);
    a.CurrentLineType = type;
  } else if (w.starts_with("lw")) {
    const std::int32_t width = StrToIntOrZero(BytesFrom(w, 3));
    FirstLineRule(UnsetLw, a.InitialLineWidth, width);
    a.CurrentLineWidth = width;
  } else {
    return Outcome::NotTaken;
  }
  return Outcome::Done;
}

// "cn" with a type: type 0 with four values also sets the free size.
Outcome ReadTextType(const LineTokens& t) {
  AttributeState& a = Attributes;
  const std::int32_t type = StrToIntOrZero(BytesFrom(t[0], 3));
  const bool freeSize = type == 0 && t.Count >= 5;
  double size[3] = {};
  if (freeSize && !ReadReals(t, 1, 3, size)) return Outcome::Overflow;
  const std::int32_t color = freeSize ? StrToIntOrZero(t[4]) : 0;
  if (a.AttributeUnset[UnsetCn]) {
    a.InitialTextType = type;
    if (freeSize) {
      a.InitialFreeTextWidth = size[0];
      a.InitialFreeTextHeight = size[1];
      a.InitialFreeTextSpacing = size[2];
      a.InitialFreeTextColor = color;
    }
    a.AttributeUnset[UnsetCn] = false;
  }
  a.CurrentTextType = type;
  if (freeSize) {
    a.CurrentFreeTextWidth = size[0];
    a.CurrentFreeTextHeight = size[1];
    a.CurrentFreeTextSpacing = size[2];
    a.CurrentFreeTextColor = color;
  }
  return Outcome::Done;
}

Outcome WordsC(const LineTokens& t) {
  const std::string_view w = t[0];
  const int n = t.Count;
  AttributeState& a = Attributes;
  if (w.starts_with("cn$")) {
    // Only the first two steps can fail, and neither has changed anything then.
    std::string name(BytesFrom(w, 4));
    if (a.InitialFontName.empty()) a.InitialFontName = name;
    a.CurrentFontName.swap(name);
    return Outcome::Done;
  }
  if (w.starts_with("cn")) return ReadTextType(t);
  if (w.starts_with("cc")) {
    const std::int32_t cc = StrToIntOrZero(w.substr(2, 1));
    a.CurrentCcValue = cc >= 0 && cc <= 8 ? cc : 0;
    return Outcome::Done;
  }
  if (w == "ci" && n == 4) {
    double v[3];
    if (!ReadReals(t, 1, 3, v)) return Outcome::Overflow;
    CircleRecord& r = StoreEntity(Entities.CircleTable, KindCircle);
    r.Color10Value = a.CurrentColor10Value;
    r.CenterX = v[0], r.CenterY = v[1], r.Radius = v[2];
    EndEntity();
    return Outcome::Done;
  }
  if (w == "ci" && n >= 8) {
    double v[7];
    if (!ReadReals(t, 1, 7, v)) return Outcome::Overflow;
    ArcRecord& r = StoreEntity(Entities.ArcTable, KindArc);
    r.Color10Value = a.CurrentColor10Value;
    r.CenterX = v[0], r.CenterY = v[1], r.Radius = v[2];
    std::memcpy(r.ArcValues, v + 3, sizeof r.ArcValues);
    EndEntity();
    return Outcome::Done;
  }
  if (n >= 6) {
    if (const int command = TextCommand(w); command >= 0) return StoreText(t, command);
  }
  return Outcome::NotTaken;
}

Outcome WordsZ(std::string_view w) {
  if (w.size() != 2 || w[1] < '1' || w[1] > '5') return Outcome::NotTaken;
  Attributes.CurrentZFlags |= 1 << (w[1] - '1');
  return Outcome::Done;
}

Outcome WordsP(const LineTokens& t) {
  const std::string_view w = t[0];
  const int n = t.Count;
  if (w.starts_with("pn")) {
    Attributes.CurrentPointColor = StrToIntOrZero(BytesFrom(w, 3));
    return Outcome::Done;
  }
  if (w == "pl") {
    ++Modes.PolylineCounter;
    Modes.PolylineMode = true;
    EndMessageMode();
    return Outcome::Done;
  }
  if (w == "pt" && n == 3) {
    double v[2];
    if (!ReadReals(t, 1, 2, v)) return Outcome::Overflow;
    PointRecord& r = StoreEntity(Entities.PointTable, KindPoint);
    r.X = v[0], r.Y = v[1];
    r.Header.Color = Attributes.CurrentPointColor;
    EndEntity();
    return Outcome::Done;
  }
  if (w == "pt" && n >= 6) {
    double v[4];
    if (!ReadReals(t, 1, 4, v)) return Outcome::Overflow;
    TypedPointRecord& r = StoreEntity(Entities.TypedPointTable, KindTypedPoint);
    r.X = v[0], r.Y = v[1];
    r.Header.Color = Attributes.CurrentPointColor;
    r.ParamA = v[2], r.ParamB = v[3];
    r.Code = StrToIntOrZero(t[5]);
    EndEntity();
    return Outcome::Done;
  }
  return Outcome::NotTaken;
}

Outcome WordBlock(const LineTokens& t) {
  if (t[0] != "BL" || t.Count < 4) return Outcome::NotTaken;
  double v[2];
  if (!ReadReals(t, 1, 2, v)) return Outcome::Overflow;
  std::string name(t[3]);
  TKzmEntBlk& r = StoreEntity(Entities.BlockTable, KindBlock);
  r.X = v[0], r.Y = v[1];
  r.Name.swap(name);
  EndEntity();
  return Outcome::Done;
}

// "sc", "se": seven reals and an integer; "so", "sg": eight reals.
template <class Record>
Outcome StoreSolid(const LineTokens& t, GrowableTable<Record>& table, EntityKind kind, int reals) {
  double v[8];
  if (!ReadReals(t, 1, reals, v)) return Outcome::Overflow;
  Record& r = StoreEntity(table, kind);
  r.Color10Value = Attributes.CurrentColor10Value;
  std::memcpy(r.Values, v, sizeof r.Values);
  if constexpr (std::is_same_v<Record, ScRecord>) r.IntValue = StrToIntOrZero(t[8]);
  EndEntity();
  return Outcome::Done;
}

Outcome WordsS(const LineTokens& t) {
  const std::string_view w = t[0];
  const int n = t.Count;
  EntityTables& e = Entities;
  if (w == "sl" && (n == 5 || n == 7 || n >= 9)) return StoreSl(t);
  if (n < 9) return Outcome::NotTaken;
  if (w == "sc") return StoreSolid(t, e.ScTable, KindSc, 7);
  if (w == "se") return StoreSolid(t, e.SeTable, KindSe, 7);
  if (w == "so") return StoreSolid(t, e.SoTable, KindSo, 8);
  if (w == "sg") return StoreSolid(t, e.SgTable, KindSg, 8);
  return Outcome::NotTaken;
}

// Four tokens that no word took: two points, the first of them in the
// command word's place.
bool ReadPlainLine(const LineTokens& t) {
  double v[4];
  if (!ReadReals(t, 0, 4, v)) return false;
  // In message mode the line only waits for the "cs" text that measures it.
  LineRecord& line =
      Modes.MessageMode ? Modes.PendingMessageLine : StoreEntity(Entities.LineTable, KindLine);
  if (Modes.MessageMode) {
    // A second line before the "cs" replaces the first, which is lost.
    if (Modes.MessageLineWaiting) Modes.LineDropped = true;
    Modes.MessageLineWaiting = true;
    FillEntityHeader(line.Header);
  }
  line.PolylineNumber = Modes.PolylineMode && !Modes.MessageMode ? Modes.PolylineCounter : 0;
  line.Color10Value = Attributes.CurrentColor10Value;
  line.X1 = v[0], line.Y1 = v[1], line.X2 = v[2], line.Y2 = v[3];
  Attributes.CurrentZFlags = 0;
  return true;
}

bool InterpretLine(const LineTokens& t) {
  const std::string_view w = t[0];
  if (w.empty()) return true;

  // Only a word with an equals sign can hold "file=": the cheap test first.
  if (w.find('=') != std::string_view::npos && PositionOf(w, "file=") != 0) {
    Drawing.DrawingFileName.assign(BytesFrom(w, 6));
    return true;
  }

  Outcome outcome = Outcome::NotTaken;
  switch (w[0]) {
    case 'h':
      outcome = WordsH(t);
      break;
    case 'b':
      if (w == "bz") {
        Drawing.BzSeen = true;
        outcome = Outcome::Done;
      }
      break;
    case 'l':
      outcome = WordsL(t);
      break;
    case 'c':
      outcome = WordsC(t);
      break;
    case 'z':
      outcome = WordsZ(w);
      break;
    case 'p':
      outcome = WordsP(t);
      break;
    case 'm':
      if (w == "msg") {
        Modes.MessageMode = true;
        Modes.PolylineMode = false;
        outcome = Outcome::Done;
      }
      break;
    case '#':
      if (w == "#") {
        Modes.PolylineMode = false;
        EndMessageMode();
        outcome = Outcome::Done;
      }
      break;
    case 'B':
      outcome = WordBlock(t);
      break;
    case 's':
      outcome = WordsS(t);
      break;
    default:
      break;
  }
  if (outcome == Outcome::Overflow) return false;
  if (outcome == Outcome::Done) return true;
  if (t.Count == 4) return ReadPlainLine(t);
  return true;
}

// Tokenises the line in its own storage, then interprets it.
bool ParseLineInPlace(char* line, std::size_t size, LineTokens& tokens) {
  if (size == 0) return true;
  TokeniseLineInPlace(line, size, tokens);
  if (tokens.IsBlank()) return true;
  return InterpretLine(tokens);
}

// After an end-of-file byte only more of them, line ends and blanks may
// follow: anything else is a part of the selection the host would lose.
bool OnlyFillerFollows(InputFile& file, const char* rest, std::size_t size, char* buffer,
                       std::size_t capacity) {
  const auto filler = [](char c) {
    return c == '\x1A' || c == '\r' || c == '\n' || c == ' ' || c == '\t';
  };
  for (;;) {
    if (!std::all_of(rest, rest + size, filler)) return false;
    const std::ptrdiff_t got = file.Read(buffer, capacity);
    if (got <= 0) return got == 0;
    size = static_cast<std::size_t>(got);
    rest = buffer;
  }
}

// Lines are found with memchr in a buffer of whole blocks; a line that runs
// past the buffer's end is moved to its front, and the buffer doubles when a
// single line fills it. Each line is tokenised where it lies.
bool ReadLines(InputFile& file, std::size_t blockBytes) {
  std::size_t capacity = blockBytes > 0 ? blockBytes : 1;
  auto buffer = std::make_unique_for_overwrite<char[]>(capacity);
  std::size_t begin = 0;    // start of the current line
  std::size_t scanned = 0;  // bytes from begin known to hold no LF
  std::size_t end = 0;      // end of the bytes read
  bool atEnd = false;
  LineTokens tokens;

  for (;;) {
    char* const line = buffer.get() + begin;
    if (begin < end && *line == '\x1A') {  // Ctrl+Z: end of file
      return OnlyFillerFollows(file, line, end - begin, buffer.get(), capacity);
    }
    const std::size_t pending = end - begin;
    const void* const lf = std::memchr(line + scanned, '\n', pending - scanned);
    std::size_t size = 0;
    if (lf != nullptr) {
      size = static_cast<std::size_t>(static_cast<const char*>(lf) - line);
      begin += size + 1;
    } else if (!atEnd) {
      if (begin > 0) {
        std::memmove(buffer.get(), line, pending);
        begin = 0;
        end = pending;
      }
      scanned = pending;
      if (end == capacity) {
        auto larger = std::make_unique_for_overwrite<char[]>(capacity * 2);
        std::memcpy(larger.get(), buffer.get(), end);
        buffer = std::move(larger);
        capacity *= 2;
      }
      const std::ptrdiff_t got = file.Read(buffer.get() + end, capacity - end);
      if (got < 0) return false;
      if (got == 0) atEnd = true;
      end += static_cast<std::size_t>(got);
      continue;
    } else if (pending == 0) {
      return true;
    } else {
      size = pending;  // the last line has no line end
      begin = end;
    }
    scanned = 0;
    if (size > 0 && line[size - 1] == '\r') --size;
    if (!ParseLineInPlace(line, size, tokens)) return false;
  }
}

}  // namespace

bool ReadInterchangeFileInBlocks(const std::string& path, std::size_t blockBytes) {
  try {
    if (!FileExists(path)) return false;
    InputFile file(path);
    if (!file.IsOpen()) return false;
    if (!ReadLines(file, blockBytes)) return false;
    // The end of the file ends a dimension too.
    return !Modes.LineDropped && !Modes.MessageLineWaiting;
  } catch (...) {
    return false;
  }
}

bool ReadInterchangeFile(const std::string& path) {
  return ReadInterchangeFileInBlocks(path, kReadBlockBytes);
}

bool ParseInterchangeLine(std::string_view line) {
  try {
    // Tokenising compacts the line in place, so it works on a copy; short
    // lines, nearly all of them, stay on the stack.
    char local[512];
    std::unique_ptr<char[]> heap;
    char* copy = local;
    if (line.size() > sizeof local) {
      heap = std::make_unique_for_overwrite<char[]>(line.size());
      copy = heap.get();
    }
    if (!line.empty()) std::memcpy(copy, line.data(), line.size());
    LineTokens tokens;
    return ParseLineInPlace(copy, line.size(), tokens);
  } catch (...) {
    return false;
  }
}

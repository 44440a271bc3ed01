// All state of the interchange library, process-wide by design: the drawing
// values, the layer tables and numbered points, the attribute state (the
// reader's running attributes, later the emitters' memory of what was last
// written), the reader's line modes, the entity tables with their order, and
// the strings of the text records (short_text.h), and the output line list
// (output_lines.h). One instance of each group.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "interchange/growable_table.h"
#include "interchange/short_text.h"

// Layer groups and layers are one hexadecimal digit each: 0..15.
inline constexpr std::int32_t kMaxLayerNumber = 15;
inline constexpr std::size_t kLayerGroupCount = kMaxLayerNumber + 1;
inline constexpr std::size_t kLayersPerGroup = kMaxLayerNumber + 1;
inline constexpr std::size_t kLayerCount = kLayerGroupCount * kLayersPerGroup;
// Numbered points 1..99; entry 0 is never used.
inline constexpr std::size_t kHpPointSlots = 100;
// Text types 1..10 take their size from TextTypes; type 0 is free size.
inline constexpr std::int32_t kTextTypeCount = 10;

struct EntityHeader {
  std::int32_t HhpNumber;
  std::int32_t LayerGroup;
  std::int32_t Layer;
  std::int32_t Color;  // text colour for texts, point colour for points
  std::int32_t LineType;
  std::int32_t LineWidth;
  std::int32_t ZFlags;
};

// Lines, circles, arcs and messages keep the colour-10 value current when they
// were read, like the solids do, so "lc10 255" survives a round trip.
struct LineRecord {
  EntityHeader Header;
  std::int32_t PolylineNumber;
  std::int32_t Color10Value;
  double X1, Y1, X2, Y2;
};

struct CircleRecord {
  EntityHeader Header;
  std::int32_t Color10Value;
  double CenterX, CenterY, Radius;
};

struct ArcRecord {
  EntityHeader Header;
  std::int32_t Color10Value;
  double CenterX, CenterY, Radius;
  double ArcValues[4];
};

struct TextRecord {
  EntityHeader Header;
  std::int32_t Command;  // "ch" 0, "cv" 1, "cs" 2, ... "c2" 9
  std::int32_t CcValue;
  std::int32_t TextType;
  double Width, Height, Spacing;
  double X, Y;  // insertion point
  double VectorX, VectorY;
  PooledText FontName;  // at most 255 bytes
  ArenaText Text;       // at most 255 bytes
};

struct PointRecord {
  EntityHeader Header;
  double X, Y;
};

struct TypedPointRecord {
  EntityHeader Header;
  double X, Y;
  double ParamA, ParamB;
  std::int32_t Code;
};

struct MessageRecord {
  EntityHeader Header;
  LineRecord Line;  // its Color10Value is the one current when the line was read
  TextRecord TextPart;
};

struct TKzmEntBlk {
  EntityHeader Header;
  double X, Y;
  std::string Name;
};

struct Sl2Record {
  EntityHeader Header;
  std::int32_t Color10Value;
  double X1, Y1, X2, Y2;
};

struct Sl3Record {
  EntityHeader Header;
  std::int32_t Color10Value;
  double X1, Y1, X2, Y2, X3, Y3;
};

struct Sl4Record {
  EntityHeader Header;
  std::int32_t Color10Value;
  double X1, Y1, X2, Y2, X3, Y3, X4, Y4;
};

struct ScRecord {
  EntityHeader Header;
  std::int32_t Color10Value;
  double Values[7];
  std::int32_t IntValue;
};
using SeRecord = ScRecord;

struct SoRecord {
  EntityHeader Header;
  std::int32_t Color10Value;
  double Values[8];
};
using SgRecord = SoRecord;

enum EntityKind : std::int32_t {
  KindRemoved = 0,
  KindLine = 1,
  KindCircle = 2,
  KindArc = 3,
  KindText = 4,
  KindPoint = 5,
  KindTypedPoint = 6,
  KindMessage = 7,
  KindBlock = 8,
  KindSl2 = 9,
  KindSl3 = 10,
  KindSl4 = 11,
  KindSc = 12,
  KindSe = 13,
  KindSo = 14,
  KindSg = 15,
};
inline constexpr std::int32_t kEntityKindCount = KindSg + 1;

// Kind and Index share one 32-bit word: the order holds an entry for every
// entity, so half its size is 4 MB on a million entities. A kind outside
// -16..15 is kept as -16, which like any unknown code writes nothing; an index
// takes 27 bits.
struct EntityOrderEntry {
  std::int32_t Kind : 5;
  std::int32_t Index : 27;  // position in the table of Kind
};
inline constexpr std::int32_t kMaxEntityOrderIndex = (std::int32_t{1} << 26) - 1;

struct TextTypeRecord {
  double Width;
  double Height;
  double Spacing;
  std::int32_t Color;
};

struct DrawingValues {
  double DrawingAngle;  // degrees
  std::string DrawingFileName;
  double LayerGroupScales[kLayerGroupCount];
  double PaperWidth;
  double PaperHeight;
  TextTypeRecord TextTypes[kTextTypeCount + 1];  // entry 0 unused
  bool BzSeen;
  double HnValues[4];
};

struct HpPointRecord {
  bool IsSet;
  double X, Y;
  std::int32_t Mark;  // 0 plain, 1 "-", 2 "ln", 3 "ci", 4 "ch"
};

struct LayerTables {
  std::vector<std::int32_t> LayerGroupValues;  // kLayerGroupCount
  std::vector<std::string> LayerGroupNames;    // kLayerGroupCount
  std::vector<std::int32_t> LayerValues;       // kLayerCount, group * 16 + layer
  std::vector<std::string> LayerNames;         // kLayerCount
  std::vector<HpPointRecord> HpPoints;         // kHpPointSlots
  std::int32_t HpPointCount;
};

// Positions in AttributeUnset, in their fixed order.
enum AttributeFlag : int {
  UnsetLg = 0,
  UnsetLy,
  UnsetLc,
  UnsetLt,
  UnsetLw,
  UnsetCn,
  UnsetCc,
  UnsetFont,
  UnsetPn,
  UnsetLc10,
  AttributeFlagCount
};

struct AttributeState {
  bool AttributeUnset[AttributeFlagCount];

  std::int32_t CurrentHhpNumber;
  std::int32_t CurrentLayerGroup;
  std::int32_t CurrentLayer;
  std::int32_t CurrentColor;
  std::int32_t CurrentLineType;
  std::int32_t CurrentLineWidth;
  std::int32_t CurrentTextType;
  double CurrentFreeTextWidth;
  double CurrentFreeTextHeight;
  double CurrentFreeTextSpacing;
  std::int32_t CurrentFreeTextColor;
  std::int32_t CurrentCcValue;
  std::string CurrentFontName;
  std::int32_t CurrentZFlags;
  std::int32_t CurrentPointColor;
  std::int32_t CurrentColor10Value;

  std::int32_t InitialLayerGroup;
  std::int32_t InitialLayer;
  std::int32_t InitialColor;
  std::int32_t InitialLineType;
  std::int32_t InitialLineWidth;
  std::int32_t InitialTextType;
  double InitialFreeTextWidth;
  double InitialFreeTextHeight;
  double InitialFreeTextSpacing;
  std::int32_t InitialFreeTextColor;
  std::string InitialFontName;
};

// The reader's line modes, carried from line to line.
struct LineModes {
  std::int32_t PolylineCounter;
  bool PolylineMode;
  bool MessageMode;
  LineRecord PendingMessageLine;
  // The pending line has not been taken by a "cs" yet. If the mode ends or
  // another plain line replaces it first, the host's line is lost:
  // LineDropped then makes the read incomplete.
  bool MessageLineWaiting;
  bool LineDropped;
};

struct EntityTables {
  GrowableTable<EntityOrderEntry> EntityOrder;
  GrowableTable<LineRecord> LineTable;
  GrowableTable<CircleRecord> CircleTable;
  GrowableTable<ArcRecord> ArcTable;
  GrowableTable<TextRecord> TextTable;
  GrowableTable<PointRecord> PointTable;
  GrowableTable<TypedPointRecord> TypedPointTable;
  GrowableTable<MessageRecord> MessageTable;
  GrowableTable<TKzmEntBlk> BlockTable;
  GrowableTable<Sl2Record> Sl2Table;
  GrowableTable<Sl3Record> Sl3Table;
  GrowableTable<Sl4Record> Sl4Table;
  GrowableTable<ScRecord> ScTable;
  GrowableTable<SeRecord> SeTable;
  GrowableTable<SoRecord> SoTable;
  GrowableTable<SgRecord> SgTable;
  // Texts and message texts whose content passed 255 bytes and was not all
  // blank: cut to a short string, they cannot come back as the host sent them.
  std::int32_t CutTextCount;
};

// The bytes of the texts and font names of TextTable and MessageTable.
struct ShortTextStrings {
  TextArena Bytes;
  FontPool Fonts;
};

extern DrawingValues Drawing;
extern LayerTables Layers;
extern AttributeState Attributes;
extern LineModes Modes;
extern EntityTables Entities;
extern ShortTextStrings ShortStrings;

// Every value above, and the output line list, back to their defaults;
// running it twice is the same as once. The decimal separator is the
// machine's, not the drawing's, and stays (number_text.h).
void ResetInterchangeState();

// The current attributes' defaults, all but CurrentHhpNumber and
// CurrentZFlags: the reader starts from them, and so does the emitters' memory.
void SetDefaultAttributeValues();

// Releases the storage of the tables, keeping counts (the output list holds
// none); nothing may use them again before the next ResetInterchangeState.
void FreeInterchangeTables();

// Appends (kind, index) to EntityOrder; any kind, an index within
// ±kMaxEntityOrderIndex. A larger index (a table of 67 million entities) is
// refused with false before anything changes: the reader ends the read as
// failed rather than write back entries that name the wrong record.
// Inline, as the reader calls both for every entity.
inline bool AppendEntityOrder(std::int32_t kind, std::int32_t index) {
  if (index > kMaxEntityOrderIndex || index < -kMaxEntityOrderIndex - 1) return false;
  constexpr std::int32_t kUnknownKind = -16;
  EntityOrderEntry& entry = Entities.EntityOrder.Append();
  entry.Kind = kind < kUnknownKind || kind > -kUnknownKind - 1 ? kUnknownKind : kind;
  entry.Index = index;
  return true;
}

// Copies the current attributes into header.
inline void FillEntityHeader(EntityHeader& header) {
  const AttributeState& a = Attributes;
  header = EntityHeader{a.CurrentHhpNumber, a.CurrentLayerGroup, a.CurrentLayer, a.CurrentColor,
                        a.CurrentLineType,  a.CurrentLineWidth,  a.CurrentZFlags};
}

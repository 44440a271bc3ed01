// The host's drawing as the end-to-end scenarios see it: entities with the
// attributes the host gives them, compared the way a user would notice a
// change (only the attributes that mean something for the entity's kind).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace e2e {

// Concatenation by appending; GCC 12 warns wrongly about some chains of
// operator+ on temporaries.
template <typename... Parts>
std::string Cat(const Parts&... parts) {
  std::string out;
  (out.append(std::string_view(parts)), ...);
  return out;
}

// "<ＭＳ ゴシック>", the font a text has until a font line says otherwise.
inline constexpr const char* kHostDefaultFont =
    "<\x82\x6C\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4E>";

// The attribute state of the host: every line of the file sets one of these,
// and it holds for all entities after it until it is set again.
struct Attributes {
  int LayerGroup = 0;
  int Layer = 0;
  int Color = 1;
  int Color10Value = 0;  // the 24-bit colour of colour 10 ("lc10 value")
  int LineType = 1;
  int LineWidth = 0;
  int TextType = 1;  // 0: free size, with the four values below
  double FreeWidth = 2.0;
  double FreeHeight = 2.0;
  double FreeSpacing = 0.0;
  int FreeColor = 1;
  int Cc = 0;
  std::string Font = kHostDefaultFont;
  int PointColor = 1;
};

enum class EntityKind {
  Line,        // a plain line: x1 y1 x2 y2, no command word
  Circle,      // "ci" with 3 values
  Arc,         // "ci" with 7 values
  Text,        // "ch", "cv", ... "c2": x y vx vy and the text
  Point,       // "pt" with 2 values
  TypedPoint,  // "pt" with 5 values
  Message,     // "msg", its measured line, and a "cs" text
  Solid,       // "sl", "sc", "se", "so", "sg"
  Raw,         // a line the simulator writes verbatim (broken input on purpose)
};

struct Entity {
  EntityKind Kind = EntityKind::Line;
  std::string Command;              // the command word; empty for a plain line
  std::vector<double> Values;       // the numbers of the entity's line, in order
  std::string Text;                 // texts and messages: every byte after the quote
  std::vector<double> MessageLine;  // messages: the four numbers of the measured line
  int ZFlags = 0;                   // z1..z5 as bits 1, 2, 4, 8, 16
  int Polyline = 0;                 // lines: the "pl" block they belong to, 0 for none
  Attributes Attr;
  bool Selected = true;  // only the selection is written into the interchange file
};

struct HostDrawing {
  std::string FileName;  // "file=" header line when not empty
  double DrawingAngle = 0.0;
  bool Bz = false;  // the host writes a "bz" line
  // The layer the user draws on; the host writes it first and expects it
  // back as the last layer set.
  int WorkLayerGroup = 0;
  int WorkLayer = 0;
  std::vector<Entity> Entities;

  std::vector<Entity> Selection() const;
  std::vector<Entity> Unselected() const;
};

// What differs between two entities, as a user would see it; empty when none.
std::string Differences(const Entity& expected, const Entity& actual);

// Entity by entity, in order. Polyline blocks are compared by grouping, not by
// their numbers. Empty when the lists match; otherwise the first differences.
std::string CompareEntities(const std::vector<Entity>& expected, const std::vector<Entity>& actual);

// One line for messages: kind, command and values.
std::string Describe(const Entity& entity);

}  // namespace e2e

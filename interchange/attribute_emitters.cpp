// Attribute commands, as the host reads them back:
//
//   lg2        layer group, one hexadecimal digit
//   ly5        layer
//   lc3        colour; «lc10 255» is colour 10 with a 24-bit value
//   lt1  lw0   line type, line width
//   cn1        text type; «cn0 3 4 0 2» is free size: width height spacing colour
//   cc0        cc value
//   cn"$<ＭＳ ゴシック>   font (the quote makes the host take the rest as the name)
//   pn1        point colour
//   z1 .. z5   z flags of the next entity
//
// An attribute line is written only when its value differs from the last one
// written, or when its AttributeUnset flag asks for it.
#include "interchange/attribute_emitters.h"

#include <string>
#include <string_view>

#include "interchange/emit_line.h"
#include "interchange/number_text.h"
#include "interchange/output_lines.h"
#include "interchange/state.h"

namespace {

constexpr std::int32_t kMaxLineWidth = 30000;
constexpr std::int32_t kMaxCcValue = 8;
constexpr std::int32_t kMaxColor10Value = 16777215;  // 24 bits

// "<>" names no font; the first font the input named stands in for it.
constexpr std::string_view kNoFontName = "<>";
constexpr std::string_view kFontCommand = "cn\"$";

void AddCommandWithInteger(std::string_view command, std::int32_t value) {
  LineBuilder().Word(command).Integer(value).Add();
}

// Layer groups and layers go out as one upper-case hexadecimal digit (more for
// values the host never sends).
void AddCommandWithHex(std::string_view command, std::int32_t value) {
  if (value >= 0 && value <= 15) {
    const char digit = "0123456789ABCDEF"[value];
    LineBuilder().Word(command).Word({&digit, 1}).Add();
    return;
  }
  LineBuilder().Word(command).Word(IntegerToHexText(value, 1)).Add();
}

// The common rule: write when unset or changed, then remember.
template <class AddLine>
bool WriteIfChanged(AttributeFlag flag, std::int32_t& remembered, std::int32_t value,
                    AddLine addLine) {
  bool& unset = Attributes.AttributeUnset[flag];
  if (!unset && value == remembered) return false;
  addLine(value);
  remembered = value;
  unset = false;
  return true;
}

}  // namespace

void ResetEmitState() {
  for (bool& flag : Attributes.AttributeUnset) flag = true;
  SetDefaultAttributeValues();
}

std::int32_t MapColorCode(std::int32_t n) {
  if (n <= 0) return Attributes.InitialColor;
  if (n <= 9) return n;
  return n + 91;
}

std::int32_t MapLineTypeCode(std::int32_t n) {
  if (n <= 0) return Attributes.InitialLineType;
  if (n <= 9) return n;
  if (n <= 18) return n + 1;
  return n + 12;
}

void EmitLayerGroup(std::int32_t value) {
  if (WriteIfChanged(UnsetLg, Attributes.CurrentLayerGroup, value,
                     [](std::int32_t v) { AddCommandWithHex("lg", v); })) {
    // Every layer group written is followed by its layer, changed or not.
    Attributes.AttributeUnset[UnsetLy] = true;
  }
}

void EmitLayer(std::int32_t value) {
  WriteIfChanged(UnsetLy, Attributes.CurrentLayer, value,
                 [](std::int32_t v) { AddCommandWithHex("ly", v); });
}

void EmitColor(std::int32_t value, std::int32_t mapping) {
  if (mapping == 1) value = MapColorCode(value);
  if (WriteIfChanged(UnsetLc, Attributes.CurrentColor, value,
                     [](std::int32_t v) { AddCommandWithInteger("lc", v); })) {
    // A bare «lc10» keeps the host's colour-10 value, which is then ours too.
    Attributes.AttributeUnset[UnsetLc10] = false;
  }
}

void EmitLineType(std::int32_t value, std::int32_t mapping) {
  if (mapping == 1) value = MapLineTypeCode(value);
  WriteIfChanged(UnsetLt, Attributes.CurrentLineType, value,
                 [](std::int32_t v) { AddCommandWithInteger("lt", v); });
}

void EmitLineWidth(std::int32_t value) {
  if (value == -1) value = Attributes.InitialLineWidth;
  if (value < 0 || value > kMaxLineWidth) value = 0;
  WriteIfChanged(UnsetLw, Attributes.CurrentLineWidth, value,
                 [](std::int32_t v) { AddCommandWithInteger("lw", v); });
}

void EmitTextType(std::int32_t textType, std::int32_t color, std::int32_t mapping, double width,
                  double height, double spacing) {
  AttributeState& a = Attributes;
  if (mapping == 1) color = MapColorCode(color);
  if (textType < 0 || textType > kTextTypeCount) {
    textType = a.InitialTextType;
    if (textType == 0) {
      width = a.InitialFreeTextWidth;
      height = a.InitialFreeTextHeight;
      spacing = a.InitialFreeTextSpacing;
      color = a.InitialFreeTextColor;
    }
  }
  // Compared exactly, with no tolerance: any change of a free size is written.
  const bool freeSizeChanged =
      textType == 0 && (width != a.CurrentFreeTextWidth || height != a.CurrentFreeTextHeight ||
                        spacing != a.CurrentFreeTextSpacing || color != a.CurrentFreeTextColor);
  if (!a.AttributeUnset[UnsetCn] && textType == a.CurrentTextType && !freeSizeChanged) return;

  LineBuilder line;
  if (textType != 0) {
    line.Word("cn").Integer(textType);
  } else {
    line.Word("cn0 ").Real(width).Values({height, spacing, static_cast<double>(color)});
    a.CurrentFreeTextWidth = width;
    a.CurrentFreeTextHeight = height;
    a.CurrentFreeTextSpacing = spacing;
    a.CurrentFreeTextColor = color;
  }
  line.Add();
  a.CurrentTextType = textType;
  a.AttributeUnset[UnsetCn] = false;
}

void EmitCcValue(std::int32_t value) {
  if (value < 0 || value > kMaxCcValue) value = 0;
  WriteIfChanged(UnsetCc, Attributes.CurrentCcValue, value,
                 [](std::int32_t v) { AddCommandWithInteger("cc", v); });
}

std::string_view FontNameWritten(std::string_view name) {
  return name.empty() || name == kNoFontName ? std::string_view(Attributes.InitialFontName) : name;
}

bool FontNameFits(std::string_view name) {
  return kFontCommand.size() + FontNameWritten(name).size() <= OutputLineList::kMaxLineBytes;
}

void EmitFontName(std::string_view name) {
  AttributeState& a = Attributes;
  name = FontNameWritten(name);
  if (!a.AttributeUnset[UnsetFont] && name == a.CurrentFontName) return;

  LineBuilder line;
  line.Word(kFontCommand).Word(name).Add();
  // A name ending in a quote leaves the line quote-terminated, and the writer
  // would glue the next entry (a text's command line) onto it, so the host
  // would take that text for part of the name. An empty entry takes its place.
  if (line.View().back() == '"') AddOutputLine({});

  a.CurrentFontName.assign(name);
  a.AttributeUnset[UnsetFont] = false;
}

void EmitPointColor(std::int32_t value, std::int32_t mapping) {
  if (mapping == 1) value = MapColorCode(value);
  WriteIfChanged(UnsetPn, Attributes.CurrentPointColor, value,
                 [](std::int32_t v) { AddCommandWithInteger("pn", v); });
}

void EmitColor10(std::int32_t value) {
  AttributeState& a = Attributes;
  if (value < 0 || value > kMaxColor10Value) value = 0;
  if (!a.AttributeUnset[UnsetLc] && a.CurrentColor == 10 && !a.AttributeUnset[UnsetLc10] &&
      value == a.CurrentColor10Value) {
    return;
  }
  AddCommandWithInteger("lc10 ", value);
  a.CurrentColor10Value = value;
  a.AttributeUnset[UnsetLc10] = false;
  a.CurrentColor = 10;
  a.AttributeUnset[UnsetLc] = false;
}

void EmitZFlags(std::int32_t bits) {
  if (bits & 1) AddOutputLine("z1");
  if (bits & 2) AddOutputLine("z2");
  if (bits & 4) AddOutputLine("z3");
  // z4 and z5 exclude each other; z5 wins.
  if ((bits & 8) && !(bits & 16)) AddOutputLine("z4");
  if (bits & 16) AddOutputLine("z5");
}

void EmitLine(double x1, double y1, double x2, double y2) {
  if (PointsCoincide(x1, y1, x2, y2)) return;
  AddPlainLine(x1, y1, x2, y2);
}

void EmitPolylineStart() { AddOutputLine("pl"); }

void EmitPolylineEnd() { AddOutputLine("#"); }

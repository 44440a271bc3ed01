#include "interchange/state.h"

#include <new>
#include <type_traits>

#include "interchange/output_lines.h"
#include "interchange/system_strings.h"

DrawingValues Drawing;
LayerTables Layers;
AttributeState Attributes;
LineModes Modes;
EntityTables Entities;
ShortTextStrings ShortStrings;

namespace {

// What a drawing starts from before its first attribute line: the reader's
// current and initial attributes, and the emitters' memory of what was last
// written after ResetEmitState.
struct AttributeDefaults {
  std::int32_t LayerGroup = 0;
  std::int32_t Layer = 0;
  std::int32_t Color = 1;
  std::int32_t LineType = 1;
  std::int32_t LineWidth = 0;
  std::int32_t TextType = 1;
  double FreeTextWidth = 2.0;
  double FreeTextHeight = 2.0;
  double FreeTextSpacing = 0.0;
  std::int32_t FreeTextColor = 1;
  std::int32_t CcValue = 0;
  std::int32_t PointColor = 1;
  std::int32_t Color10Value = 0;
};
constexpr AttributeDefaults kAttributeDefaults;

// Visits every entity table, the order included, with one callable.
template <class F>
void ForEachTable(F&& f) {
  EntityTables& t = Entities;
  f(t.EntityOrder);
  f(t.LineTable);
  f(t.CircleTable);
  f(t.ArcTable);
  f(t.TextTable);
  f(t.PointTable);
  f(t.TypedPointTable);
  f(t.MessageTable);
  f(t.BlockTable);
  f(t.Sl2Table);
  f(t.Sl3Table);
  f(t.Sl4Table);
  f(t.ScTable);
  f(t.SeTable);
  f(t.SoTable);
  f(t.SgTable);
}

template <class T>
void ResetVector(std::vector<T>& v, std::size_t size) {
  v.assign(size, T{});
}

}  // namespace

void ResetInterchangeState() {
  DrawingValues& d = Drawing;
  d.DrawingAngle = 0.0;
  d.DrawingFileName.clear();
  for (double& scale : d.LayerGroupScales) scale = 1.0;
  d.PaperWidth = 1189.0;
  d.PaperHeight = 841.0;
  for (TextTypeRecord& type : d.TextTypes) type = {3.0, 3.0, 0.0, 2};
  d.BzSeen = false;
  for (double& v : d.HnValues) v = 0.0;

  AttributeState& a = Attributes;
  const AttributeDefaults& defaults = kAttributeDefaults;
  a.InitialLayerGroup = defaults.LayerGroup;
  a.InitialLayer = defaults.Layer;
  a.InitialColor = defaults.Color;
  a.InitialLineType = defaults.LineType;
  a.InitialLineWidth = defaults.LineWidth;
  a.InitialTextType = defaults.TextType;
  a.InitialFreeTextWidth = defaults.FreeTextWidth;
  a.InitialFreeTextHeight = defaults.FreeTextHeight;
  a.InitialFreeTextSpacing = defaults.FreeTextSpacing;
  a.InitialFreeTextColor = defaults.FreeTextColor;
  // Empty, unlike the current font: it holds the first font the input names.
  a.InitialFontName.clear();

  ResetVector(Layers.LayerGroupValues, kLayerGroupCount);
  ResetVector(Layers.LayerGroupNames, kLayerGroupCount);
  ResetVector(Layers.LayerValues, kLayerCount);
  ResetVector(Layers.LayerNames, kLayerCount);
  ResetVector(Layers.HpPoints, kHpPointSlots);
  Layers.HpPointCount = 0;

  // cc, font, pn and lc10 are left to ResetEmitState.
  for (int flag = UnsetLg; flag <= UnsetCn; ++flag) a.AttributeUnset[flag] = true;

  SetDefaultAttributeValues();
  a.CurrentHhpNumber = 0;
  a.CurrentZFlags = 0;

  Modes.PolylineCounter = 0;
  Modes.PolylineMode = false;
  Modes.MessageMode = false;
  Modes.PendingMessageLine = LineRecord{};
  Modes.PendingMessageLine.Header.Color = 1;
  Modes.PendingMessageLine.Header.LineType = 1;
  Modes.PendingMessageLine.X2 = 1.0;
  Modes.MessageLineWaiting = false;
  Modes.LineDropped = false;

  ForEachTable([](auto& table) { table.Clear(); });
  Entities.CutTextCount = 0;
  ShortStrings.Fonts.Clear();
  ShortStrings.Bytes.Clear();
  OutputLines.Clear();
}

void SetDefaultAttributeValues() {
  AttributeState& a = Attributes;
  const AttributeDefaults& d = kAttributeDefaults;
  a.CurrentLayerGroup = d.LayerGroup;
  a.CurrentLayer = d.Layer;
  a.CurrentColor = d.Color;
  a.CurrentLineType = d.LineType;
  a.CurrentLineWidth = d.LineWidth;
  a.CurrentTextType = d.TextType;
  a.CurrentFreeTextWidth = d.FreeTextWidth;
  a.CurrentFreeTextHeight = d.FreeTextHeight;
  a.CurrentFreeTextSpacing = d.FreeTextSpacing;
  a.CurrentFreeTextColor = d.FreeTextColor;
  a.CurrentCcValue = d.CcValue;
  a.CurrentFontName.assign(kDefaultFontName);
  a.CurrentPointColor = d.PointColor;
  a.CurrentColor10Value = d.Color10Value;
}

void FreeInterchangeTables() {
  auto release = [](auto& v) { std::decay_t<decltype(v)>().swap(v); };
  release(Layers.LayerGroupValues);
  release(Layers.LayerGroupNames);
  release(Layers.LayerValues);
  release(Layers.LayerNames);
  release(Layers.HpPoints);
  ForEachTable([](auto& table) { table.Release(); });
  ShortStrings.Fonts.Clear();
  ShortStrings.Bytes.Release();
}

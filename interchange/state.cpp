#include "interchange/state.h"

#include <type_traits>

#include "interchange/output_lines.h"
#include "interchange/system_strings.h"

DrawingValues Drawing;
LayerTables Layers;
AttributeState Attributes;
LineModes Modes;
EntityTables Entities;
LocaleValues Locale;

namespace {

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
  a.InitialLayerGroup = 0;
  a.InitialLayer = 0;
  a.InitialColor = 1;
  a.InitialLineType = 1;
  a.InitialLineWidth = 0;
  a.InitialTextType = 1;
  a.InitialFreeTextWidth = 2.0;
  a.InitialFreeTextHeight = 2.0;
  a.InitialFreeTextSpacing = 0.0;
  a.InitialFreeTextColor = 1;
  a.InitialFontName.clear();

  ResetVector(Layers.LayerGroupValues, 16);
  ResetVector(Layers.LayerGroupNames, 16);
  ResetVector(Layers.LayerValues, 256);
  ResetVector(Layers.LayerNames, 256);
  ResetVector(Layers.HpPoints, 100);
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
  OutputLines.Clear();
}

void SetDefaultAttributeValues() {
  AttributeState& a = Attributes;
  a.CurrentLayerGroup = 0;
  a.CurrentLayer = 0;
  a.CurrentColor = 1;
  a.CurrentLineType = 1;
  a.CurrentLineWidth = 0;
  a.CurrentTextType = 1;
  a.CurrentFreeTextWidth = 2.0;
  a.CurrentFreeTextHeight = 2.0;
  a.CurrentFreeTextSpacing = 0.0;
  a.CurrentFreeTextColor = 1;
  a.CurrentCcValue = 0;
  a.CurrentFontName.assign(kDefaultFontName);
  a.CurrentPointColor = 1;
  a.CurrentColor10Value = 0;
}

void FreeInterchangeTables() {
  auto release = [](auto& v) { std::decay_t<decltype(v)>().swap(v); };
  release(Layers.LayerGroupValues);
  release(Layers.LayerGroupNames);
  release(Layers.LayerValues);
  release(Layers.LayerNames);
  release(Layers.HpPoints);
  ForEachTable([](auto& table) { table.Release(); });
  OutputLines.Release();
}

void AppendEntityOrder(std::int32_t kind, std::int32_t index) {
  Entities.EntityOrder.Append() = EntityOrderEntry{kind, index};
}

void FillEntityHeader(EntityHeader& header) {
  const AttributeState& a = Attributes;
  header = EntityHeader{a.CurrentHhpNumber, a.CurrentLayerGroup, a.CurrentLayer, a.CurrentColor,
                        a.CurrentLineType,  a.CurrentLineWidth,  a.CurrentZFlags};
}

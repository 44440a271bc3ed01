#include "support/state_dump.h"

#include <bit>
#include <charconv>
#include <cstdint>
#include <string_view>
#include <utility>

#include "interchange/output_lines.h"
#include "interchange/state.h"

namespace {

// Writes the state as text, or, for a digest, mixes the same values into a
// 64-bit hash without formatting them (the reader's fuzz target compares two
// states per input, and the text form would cost more than the reading).
class Dump {
 public:
  explicit Dump(bool digest) : digest_(digest) {
    if (!digest_) out_.reserve(16384);  // the fixed tables alone take some 8 KB
  }

  Dump& operator<<(std::string_view s) {
    if (digest_) return MixBytes(s);
    out_.append(s);
    return *this;
  }
  // Without this a literal would convert to bool before string_view.
  Dump& operator<<(const char* s) { return *this << std::string_view(s); }
  Dump& operator<<(std::int32_t v) { return Number(v); }
  Dump& operator<<(bool v) { return *this << (v ? " T" : " F"); }
  // Hexadecimal form: exact, and -0.0 differs from 0.0.
  Dump& operator<<(double v) {
    if (digest_) return Mix(std::bit_cast<std::uint64_t>(v));
    char buffer[40];
    out_.push_back(' ');
    out_.append(buffer,
                std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::hex).ptr);
    return *this;
  }
  Dump& Text(std::string_view s) {
    if (digest_) return Mix(s.size()).MixBytes(s);
    out_.append(" [");
    out_.append(s);
    out_.push_back(']');
    return *this;
  }
  std::string Take() { return std::move(out_); }
  std::uint64_t Digest() const { return hash_; }

 private:
  template <class T>
  Dump& Number(T v) {
    if (digest_) return Mix(static_cast<std::uint64_t>(v));
    char buffer[24];
    out_.push_back(' ');
    out_.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, v).ptr);
    return *this;
  }
  // One multiply-xorshift round per value; position matters, so a value
  // moved to another field changes the digest.
  Dump& Mix(std::uint64_t v) {
    hash_ = (hash_ ^ v) * 0x9E3779B97F4A7C15u;
    hash_ ^= hash_ >> 29;
    return *this;
  }
  Dump& MixBytes(std::string_view s) {
    for (unsigned char c : s) hash_ = (hash_ ^ c) * 0x100000001B3u;
    return Mix(0);
  }

  bool digest_;
  std::string out_;
  std::uint64_t hash_ = 0xCBF29CE484222325u;
};

Dump& operator<<(Dump& d, const EntityHeader& h) {
  return d << h.HhpNumber << h.LayerGroup << h.Layer << h.Color << h.LineType << h.LineWidth
           << h.ZFlags << " |";
}

void Put(Dump& d, const LineRecord& r) {
  d << r.Header << r.PolylineNumber << r.Color10Value << r.X1 << r.Y1 << r.X2 << r.Y2;
}
void Put(Dump& d, const CircleRecord& r) {
  d << r.Header << r.Color10Value << r.CenterX << r.CenterY << r.Radius;
}
void Put(Dump& d, const ArcRecord& r) {
  d << r.Header << r.Color10Value << r.CenterX << r.CenterY << r.Radius;
  for (double v : r.ArcValues) d << v;
}
void Put(Dump& d, const TextRecord& r) {
  d << r.Header << r.Command << r.CcValue << r.TextType << r.Width << r.Height << r.Spacing << r.X
    << r.Y << r.VectorX << r.VectorY;
  d.Text(r.FontName).Text(r.Text);
}
void Put(Dump& d, const PointRecord& r) { d << r.Header << r.X << r.Y; }
void Put(Dump& d, const TypedPointRecord& r) {
  d << r.Header << r.X << r.Y << r.ParamA << r.ParamB << r.Code;
}
void Put(Dump& d, const MessageRecord& r) {
  d << r.Header;
  Put(d, r.Line);
  d << " /";
  Put(d, r.TextPart);
}
void Put(Dump& d, const TKzmEntBlk& r) {
  d << r.Header << r.X << r.Y;
  d.Text(r.Name);
}
void Put(Dump& d, const Sl2Record& r) {
  d << r.Header << r.Color10Value << r.X1 << r.Y1 << r.X2 << r.Y2;
}
void Put(Dump& d, const Sl3Record& r) {
  d << r.Header << r.Color10Value << r.X1 << r.Y1 << r.X2 << r.Y2 << r.X3 << r.Y3;
}
void Put(Dump& d, const Sl4Record& r) {
  d << r.Header << r.Color10Value << r.X1 << r.Y1 << r.X2 << r.Y2 << r.X3 << r.Y3 << r.X4 << r.Y4;
}
void Put(Dump& d, const ScRecord& r) {
  d << r.Header << r.Color10Value;
  for (double v : r.Values) d << v;
  d << r.IntValue;
}
void Put(Dump& d, const SoRecord& r) {
  d << r.Header << r.Color10Value;
  for (double v : r.Values) d << v;
}
void Put(Dump& d, const EntityOrderEntry& e) { d << e.Kind << e.Index; }

template <class T>
void PutTable(Dump& d, std::string_view name, const GrowableTable<T>& table) {
  d << "\n" << name << table.Count();
  for (std::int32_t i = 0; i < table.Count(); ++i) {
    d << "\n ";
    Put(d, table[static_cast<std::size_t>(i)]);
  }
}

void PutState(Dump& d) {
  const DrawingValues& v = Drawing;
  d << "drawing" << v.DrawingAngle << v.PaperWidth << v.PaperHeight << v.BzSeen;
  d.Text(v.DrawingFileName);
  for (double s : v.LayerGroupScales) d << s;
  for (const TextTypeRecord& t : v.TextTypes) d << t.Width << t.Height << t.Spacing << t.Color;
  for (double h : v.HnValues) d << h;

  d << "\nlayers";
  for (std::int32_t x : Layers.LayerGroupValues) d << x;
  for (const std::string& s : Layers.LayerGroupNames) d.Text(s);
  for (std::int32_t x : Layers.LayerValues) d << x;
  for (const std::string& s : Layers.LayerNames) d.Text(s);
  d << "\nhp" << Layers.HpPointCount;
  for (const HpPointRecord& p : Layers.HpPoints) d << p.IsSet << p.X << p.Y << p.Mark;

  const AttributeState& a = Attributes;
  d << "\nattributes";
  for (bool f : a.AttributeUnset) d << f;
  d << a.CurrentHhpNumber << a.CurrentLayerGroup << a.CurrentLayer << a.CurrentColor
    << a.CurrentLineType << a.CurrentLineWidth << a.CurrentTextType << a.CurrentFreeTextWidth
    << a.CurrentFreeTextHeight << a.CurrentFreeTextSpacing << a.CurrentFreeTextColor
    << a.CurrentCcValue << a.CurrentZFlags << a.CurrentPointColor << a.CurrentColor10Value;
  d.Text(a.CurrentFontName);
  d << a.InitialLayerGroup << a.InitialLayer << a.InitialColor << a.InitialLineType
    << a.InitialLineWidth << a.InitialTextType << a.InitialFreeTextWidth << a.InitialFreeTextHeight
    << a.InitialFreeTextSpacing << a.InitialFreeTextColor;
  d.Text(a.InitialFontName);

  d << "\nmodes" << Modes.PolylineCounter << Modes.PolylineMode << Modes.MessageMode
    << Modes.MessageLineWaiting << Modes.LineDropped << Entities.CutTextCount;
  Put(d, Modes.PendingMessageLine);

  const EntityTables& e = Entities;
  PutTable(d, "order", e.EntityOrder);
  PutTable(d, "line", e.LineTable);
  PutTable(d, "circle", e.CircleTable);
  PutTable(d, "arc", e.ArcTable);
  PutTable(d, "text", e.TextTable);
  PutTable(d, "point", e.PointTable);
  PutTable(d, "typedpoint", e.TypedPointTable);
  PutTable(d, "message", e.MessageTable);
  PutTable(d, "block", e.BlockTable);
  PutTable(d, "sl2", e.Sl2Table);
  PutTable(d, "sl3", e.Sl3Table);
  PutTable(d, "sl4", e.Sl4Table);
  PutTable(d, "sc", e.ScTable);
  PutTable(d, "se", e.SeTable);
  PutTable(d, "so", e.SoTable);
  PutTable(d, "sg", e.SgTable);
  d << "\noutput" << OutputLines.Count();
}

}  // namespace

std::string DumpInterchangeState() {
  Dump d(false);
  PutState(d);
  return d.Take();
}

std::uint64_t DigestInterchangeState() {
  Dump d(true);
  PutState(d);
  return d.Digest();
}

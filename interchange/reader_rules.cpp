// The rule table of the interchange file. Each rule names a command word, how
// the line's first token must match it, how many tokens it needs, and what it
// does. The first rule, in the table's order, whose word matches and whose
// needs the line meets takes the line; a word without the tokens it needs
// goes on down the table, and a line of four tokens that no rule took is a
// plain line whose command word reads as the number 0:
//
//   hk 30          rule "hk": DrawingAngle 30
//   hk             "hk" needs two tokens: nothing takes the line
//   pt 1 2 3       "pt" needs three or six: a plain line from (0, 1) to (2, 3)
//
// Lines are dispatched on the first two bytes of the command word, which
// leaves at most a few rules to try; the table's order holds within them.
#include "interchange/reader_rules.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "interchange/state.h"
#include "interchange/system_strings.h"
#include "util/number_parse.h"
#include "util/sjis.h"

namespace {

// Exact: the word is the whole first token; Prefix: the token begins with
// it; Contains: it stands anywhere in the token, outside a double-byte
// character.
enum class Match : std::uint8_t { Exact, Prefix, Contains };

struct Needs {
  enum Relation : std::uint8_t { Any, AtLeast, Exactly } How = Any;
  int Tokens = 0;
};
constexpr Needs AnyCount() { return {}; }
constexpr Needs AtLeast(int n) { return {Needs::AtLeast, n}; }
constexpr Needs Exactly(int n) { return {Needs::Exactly, n}; }

struct Rule {
  std::string_view Word;
  Match How;
  Needs Need;
  RuleHandler Handle;
  int Argument = 0;
};

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

bool ReadFileName(const LineTokens& t, int) {
  Drawing.DrawingFileName.assign(BytesFrom(t[0], 6));
  return true;
}

bool ReadAngle(const LineTokens& t, int) { return ReadReals(t, 1, 1, &Drawing.DrawingAngle); }

bool ReadLayerGroupScales(const LineTokens& t, int) {
  double scales[kLayerGroupCount];
  if (!ReadReals(t, 1, static_cast<int>(kLayerGroupCount), scales)) return false;
  std::memcpy(Drawing.LayerGroupScales, scales, sizeof scales);
  return true;
}

bool ReadPaperSize(const LineTokens& t, int) {
  double size[2];
  if (!ReadReals(t, 1, 2, size)) return false;
  Drawing.PaperWidth = size[0];
  Drawing.PaperHeight = size[1];
  return true;
}

// "hcw", "hch", "hcd": one size of every text type, by the field's member.
constexpr double TextTypeRecord::*kTextTypeFields[] = {
    &TextTypeRecord::Width, &TextTypeRecord::Height, &TextTypeRecord::Spacing};

bool ReadTextTypeSizes(const LineTokens& t, int field) {
  double values[kTextTypeCount];
  if (!ReadReals(t, 1, kTextTypeCount, values)) return false;
  for (int k = 1; k <= kTextTypeCount; ++k)
    Drawing.TextTypes[k].*kTextTypeFields[field] = values[k - 1];
  return true;
}

bool ReadTextTypeColors(const LineTokens& t, int) {
  for (int k = 1; k <= kTextTypeCount; ++k) Drawing.TextTypes[k].Color = StrToIntOrZero(t[k]);
  return true;
}

bool ReadBz(const LineTokens&, int) {
  Drawing.BzSeen = true;
  return true;
}

bool ReadHnValues(const LineTokens& t, int) {
  double values[4];
  if (!ReadReals(t, 1, 4, values)) return false;
  std::memcpy(Drawing.HnValues, values, sizeof values);
  return true;
}

bool ReadLayerGroupName(const LineTokens& t, int) {
  Layers.LayerGroupNames[LayerGroupIndex()].assign(BytesFrom(t[0], 4));
  return true;
}

bool ReadLayerName(const LineTokens& t, int) {
  Layers.LayerNames[LayerIndex()].assign(BytesFrom(t[0], 4));
  return true;
}

bool ReadLayerGroup(const LineTokens& t, int) {
  const std::int32_t group = LayerDigit(t[0]);
  FirstLineRule(UnsetLg, Attributes.InitialLayerGroup, group);
  Attributes.CurrentLayerGroup = group;
  if (t.Count >= 2) Layers.LayerGroupValues[static_cast<std::size_t>(group)] = StrToIntOrZero(t[1]);
  return true;
}

bool ReadLayer(const LineTokens& t, int) {
  const std::int32_t layer = LayerDigit(t[0]);
  FirstLineRule(UnsetLy, Attributes.InitialLayer, layer);
  Attributes.CurrentLayer = layer;
  if (t.Count >= 2) Layers.LayerValues[LayerIndex()] = StrToIntOrZero(t[1]);
  return true;
}

bool ReadColor(const LineTokens& t, int) {
  AttributeState& a = Attributes;
  const std::int32_t color = StrToIntOrZero(BytesFrom(t[0], 3));
  FirstLineRule(UnsetLc, a.InitialColor, color);
  a.CurrentColor = color;
  if (color == 10 && t.Count >= 2) a.CurrentColor10Value = StrToIntOrZero(t[1]);
  return true;
}

bool ReadLineType(const LineTokens& t, int) {
  const std::int32_t type = StrToIntOrZero(BytesFrom(t[0], 3));
  FirstLineRule(UnsetLt, Attributes.InitialLineType, type);
  Attributes.CurrentLineType = type;
  return true;
}

bool ReadLineWidth(const LineTokens& t, int) {
  const std::int32_t width = StrToIntOrZero(BytesFrom(t[0], 3));
  FirstLineRule(UnsetLw, Attributes.InitialLineWidth, width);
  Attributes.CurrentLineWidth = width;
  return true;
}

bool ReadFontName(const LineTokens& t, int) {
  // Only the first two steps can fail, and neither has changed anything then.
  std::string name(BytesFrom(t[0], 4));
  if (Attributes.InitialFontName.empty()) Attributes.InitialFontName = name;
  Attributes.CurrentFontName.swap(name);
  return true;
}

// "cn" with a type: type 0 with four values also sets the free size.
bool ReadTextType(const LineTokens& t, int) {
  AttributeState& a = Attributes;
  const std::int32_t type = StrToIntOrZero(BytesFrom(t[0], 3));
  const bool freeSize = type == 0 && t.Count >= 5;
  double size[3] = {};
  if (freeSize && !ReadReals(t, 1, 3, size)) return false;
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
  return true;
}

bool ReadCcValue(const LineTokens& t, int) {
  const std::int32_t cc = StrToIntOrZero(t[0].substr(2, 1));
  Attributes.CurrentCcValue = cc >= 0 && cc <= 8 ? cc : 0;
  return true;
}

bool ReadZFlag(const LineTokens&, int bit) {
  Attributes.CurrentZFlags |= bit;
  return true;
}

bool ReadPointColor(const LineTokens& t, int) {
  Attributes.CurrentPointColor = StrToIntOrZero(BytesFrom(t[0], 3));
  return true;
}

bool StartPolyline(const LineTokens&, int) {
  ++Modes.PolylineCounter;
  Modes.PolylineMode = true;
  EndMessageMode();
  return true;
}

bool StartMessage(const LineTokens&, int) {
  Modes.MessageMode = true;
  Modes.PolylineMode = false;
  return true;
}

bool EndBlockOfLines(const LineTokens&, int) {
  Modes.PolylineMode = false;
  EndMessageMode();
  return true;
}

bool ReadNumberedPoint(const LineTokens& t, int) {
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
  if (k < 1 || k >= static_cast<std::int32_t>(kHpPointSlots)) return true;
  double xy[2];
  if (!ReadReals(t, 1, 2, xy)) return false;
  Layers.HpPoints[static_cast<std::size_t>(k)] = HpPointRecord{true, xy[0], xy[1], mark};
  ++Layers.HpPointCount;
  return true;
}

bool ReadHhpNumber(const LineTokens& t, int) {
  const std::string_view word = t[0];
  std::size_t length = word.size();
  for (const std::string_view mark : {"ln", "ci", "ch"}) {
    if (const std::size_t p = PositionOf(word, mark); p > 4) length = p - 4;
  }
  Attributes.CurrentHhpNumber = StrToIntOrZero(BytesFrom(word, 4).substr(0, length));
  return true;
}

constexpr int kLayerGroupScalesNeed = 1 + static_cast<int>(kLayerGroupCount);
constexpr int kTextTypesNeed = 1 + kTextTypeCount;
constexpr auto& kText = kTextCommandWords;

constexpr Rule kRules[] = {
    {"file=", Match::Contains, AnyCount(), ReadFileName},
    {"hk", Match::Exact, AtLeast(2), ReadAngle},
    {"hs", Match::Exact, AtLeast(kLayerGroupScalesNeed), ReadLayerGroupScales},
    {"hzs", Match::Exact, AtLeast(3), ReadPaperSize},
    {"hcw", Match::Exact, AtLeast(kTextTypesNeed), ReadTextTypeSizes, 0},
    {"hch", Match::Exact, AtLeast(kTextTypesNeed), ReadTextTypeSizes, 1},
    {"hcd", Match::Exact, AtLeast(kTextTypesNeed), ReadTextTypeSizes, 2},
    {"hcc", Match::Exact, AtLeast(kTextTypesNeed), ReadTextTypeColors},
    {"bz", Match::Exact, AnyCount(), ReadBz},
    {"hn", Match::Exact, AtLeast(5), ReadHnValues},
    {"lgn", Match::Prefix, AnyCount(), ReadLayerGroupName},
    {"lyn", Match::Prefix, AnyCount(), ReadLayerName},
    {"lg", Match::Prefix, AnyCount(), ReadLayerGroup},
    {"ly", Match::Prefix, AnyCount(), ReadLayer},
    {"lc", Match::Prefix, AnyCount(), ReadColor},
    {"lt", Match::Prefix, AnyCount(), ReadLineType},
    {"lw", Match::Prefix, AnyCount(), ReadLineWidth},
    {"cn$", Match::Prefix, AnyCount(), ReadFontName},
    {"cn", Match::Prefix, AnyCount(), ReadTextType},
    {"cc", Match::Prefix, AnyCount(), ReadCcValue},
    {"z1", Match::Exact, AnyCount(), ReadZFlag, 1},
    {"z2", Match::Exact, AnyCount(), ReadZFlag, 2},
    {"z3", Match::Exact, AnyCount(), ReadZFlag, 4},
    {"z4", Match::Exact, AnyCount(), ReadZFlag, 8},
    {"z5", Match::Exact, AnyCount(), ReadZFlag, 16},
    {"pn", Match::Prefix, AnyCount(), ReadPointColor},
    {"pl", Match::Exact, AnyCount(), StartPolyline},
    {"msg", Match::Exact, AnyCount(), StartMessage},
    {"#", Match::Exact, AnyCount(), EndBlockOfLines},
    {"hp", Match::Prefix, AtLeast(3), ReadNumberedPoint},
    {"hhp", Match::Prefix, AnyCount(), ReadHhpNumber},
    {"ci", Match::Exact, Exactly(4), StoreCircle},
    {"ci", Match::Exact, AtLeast(8), StoreArc},
    {kText[0], Match::Exact, AtLeast(6), StoreText, 0},
    {kText[1], Match::Exact, AtLeast(6), StoreText, 1},
    {kText[2], Match::Exact, AtLeast(6), StoreText, 2},
    {kText[3], Match::Exact, AtLeast(6), StoreText, 3},
    {kText[4], Match::Exact, AtLeast(6), StoreText, 4},
    {kText[5], Match::Exact, AtLeast(6), StoreText, 5},
    {kText[6], Match::Exact, AtLeast(6), StoreText, 6},
    {kText[7], Match::Exact, AtLeast(6), StoreText, 7},
    {kText[8], Match::Exact, AtLeast(6), StoreText, 8},
    {kText[9], Match::Exact, AtLeast(6), StoreText, 9},
    {"pt", Match::Exact, Exactly(3), StorePoint},
    {"pt", Match::Exact, AtLeast(6), StoreTypedPoint},
    {"BL", Match::Exact, AtLeast(4), StoreBlock},
    {"sl", Match::Exact, Exactly(5), StoreSl},
    {"sl", Match::Exact, Exactly(7), StoreSl},
    {"sl", Match::Exact, AtLeast(9), StoreSl},
    {"sc", Match::Exact, AtLeast(9), StoreSc},
    {"se", Match::Exact, AtLeast(9), StoreSe},
    {"so", Match::Exact, AtLeast(9), StoreSo},
    {"sg", Match::Exact, AtLeast(9), StoreSg},
};
constexpr int kRuleCount = static_cast<int>(std::size(kRules));

// The "file=" rule stands first and may match any word with an equals sign;
// every other rule matches only words that begin with its own first two bytes
// (a one-byte word only itself), which the dispatch relies on.
constexpr bool RulesFitTheDispatch() {
  if (kRules[0].How != Match::Contains) return false;
  for (int r = 1; r < kRuleCount; ++r) {
    const Rule& rule = kRules[r];
    if (rule.How == Match::Contains || rule.Word.empty() || rule.Word.size() > 4) return false;
    if (rule.How == Match::Prefix && rule.Word.size() < 2) return false;
  }
  return true;
}
static_assert(RulesFitTheDispatch());

// The first byte of most lines, the number of a plain line's x1: no rule's
// word begins with one, so only "file=" could take such a line.
constexpr bool BeginsANumber(char c) {
  return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.';
}

constexpr bool NoRuleBeginsANumber() {
  for (const Rule& rule : kRules) {
    if (rule.How != Match::Contains && BeginsANumber(rule.Word[0])) return false;
  }
  return true;
}
static_assert(NoRuleBeginsANumber());

// The first two bytes of a word (the second 0 for a one-byte word) hashed to
// one of 256 buckets.
constexpr std::size_t Bucket(std::uint32_t first, std::uint32_t second) {
  return (first * 7u + second) & 0xFFu;
}

// Up to four leading bytes of a word, zero-padded, for comparisons of whole
// words in one step.
constexpr std::uint32_t Head(std::string_view word) {
  std::uint32_t head = 0;
  for (std::size_t i = 0; i < word.size() && i < 4; ++i) {
    head |= static_cast<std::uint32_t>(static_cast<unsigned char>(word[i])) << (8 * i);
  }
  return head;
}

// Head of a token, which is never empty; the short ones, such as the
// numbers of a plain line, byte by byte, since the bytes after a token may lie
// past the end of the line's buffer.
std::uint32_t TokenHead(std::string_view w) {
  const auto byte = [w](std::size_t i) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(w[i])) << (8 * i);
  };
  if (w.size() < 4) {
    return byte(0) | (w.size() > 1 ? byte(1) : 0) | (w.size() > 2 ? byte(2) : 0);
  }
  if constexpr (std::endian::native != std::endian::little) return Head(w);
  std::uint32_t head;
  std::memcpy(&head, w.data(), 4);
  return head;
}

// A rule as the dispatch tries it: its word as a head and a mask, its needs
// as a range of token counts.
struct CompiledRule {
  std::uint32_t Head;  // the word's bytes, as Head gives them
  std::uint32_t Mask;  // the bytes of a token's head that the word covers
  std::uint8_t Size;
  bool Exact;
  std::uint8_t MinTokens;
  std::uint8_t MaxTokens;
  int Argument;
  RuleHandler Handle;
};

constexpr CompiledRule Compile(const Rule& rule) {
  const std::string_view w = rule.Word;
  const std::uint32_t mask = w.size() >= 4 ? ~0u : (1u << (8 * w.size())) - 1;
  const int n = rule.Need.Tokens;
  const int min = rule.Need.How == Needs::Any ? 0 : n;
  const int max = rule.Need.How == Needs::Exactly ? n : kMaxLineTokens;
  return {Head(w),
          mask,
          static_cast<std::uint8_t>(w.size()),
          rule.How == Match::Exact,
          static_cast<std::uint8_t>(min),
          static_cast<std::uint8_t>(max),
          rule.Argument,
          rule.Handle};
}

// The rules by bucket, each bucket's in the table's order.
struct Dispatch {
  std::array<std::uint8_t, 257> BucketStart{};
  std::array<CompiledRule, kRuleCount> Rules{};
};

constexpr Dispatch MakeDispatch() {
  Dispatch d;
  std::array<int, 256> counts{};
  std::array<std::size_t, kRuleCount> buckets{};
  for (int r = 1; r < kRuleCount; ++r) {
    const std::string_view w = kRules[r].Word;
    buckets[r] = Bucket(static_cast<unsigned char>(w[0]),
                        w.size() > 1 ? static_cast<unsigned char>(w[1]) : 0);
    ++counts[buckets[r]];
  }
  for (std::size_t b = 0; b < 256; ++b) {
    d.BucketStart[b + 1] = static_cast<std::uint8_t>(d.BucketStart[b] + counts[b]);
  }
  std::array<int, 256> filled{};
  for (int r = 1; r < kRuleCount; ++r) {
    const std::size_t b = buckets[r];
    d.Rules[d.BucketStart[b] + filled[b]++] = Compile(kRules[r]);
  }
  return d;
}
constexpr Dispatch kDispatch = MakeDispatch();

// The buckets hold few rules each: words of different beginnings do not meet.
constexpr bool BucketsAreSmall() {
  for (std::size_t b = 0; b < 256; ++b) {
    if (kDispatch.BucketStart[b + 1] - kDispatch.BucketStart[b] > 4) return false;
  }
  return true;
}
static_assert(BucketsAreSmall());

}  // namespace

bool InterpretLine(const LineTokens& t) {
  const std::string_view w = t[0];
  if (w.empty()) return true;

  // An equals sign outside a double-byte character makes the rest of the
  // line part of the first token, so only a line of one token can hold
  // "file=": the cheap tests first.
  if (t.Count == 1 && w.find('=') != std::string_view::npos && PositionOf(w, kRules[0].Word) != 0) {
    return kRules[0].Handle(t, kRules[0].Argument);
  }
  if (BeginsANumber(w[0])) return t.Count == 4 ? StorePlainLine(t) : true;

  const std::uint32_t head = TokenHead(w);
  const std::size_t bucket = Bucket(head & 0xFFu, (head >> 8) & 0xFFu);
  const int end = kDispatch.BucketStart[bucket + 1];
  for (int i = kDispatch.BucketStart[bucket]; i < end; ++i) {
    const CompiledRule& c = kDispatch.Rules[i];
    if ((head & c.Mask) != c.Head || (c.Exact ? w.size() != c.Size : w.size() < c.Size)) continue;
    if (t.Count < c.MinTokens || t.Count > c.MaxTokens) continue;
    return c.Handle(t, c.Argument);
  }
  if (t.Count == 4) return StorePlainLine(t);
  return true;
}

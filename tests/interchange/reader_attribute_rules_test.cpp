// Drawing values and attribute lines: what each word sets, and what a word
// without the values it needs leaves alone.
#include <string>
#include <vector>

#include "reader_test_util.h"

namespace {

struct ValueCase {
  std::vector<std::string_view> lines;
  double (*probe)();
  double expected;
};

class KzmGaibuReaderAttributes : public ReaderTest {};

TEST_F(KzmGaibuReaderAttributes, NumbersTakenFromTheLines) {
  const AttributeState& a = Attributes;
  const DrawingValues& d = Drawing;
  const ValueCase cases[] = {
      {{"hk 30"}, [] { return d.DrawingAngle; }, 30},
      {{"hk"}, [] { return d.DrawingAngle; }, 0},
      {{"hs 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16"}, [] { return d.LayerGroupScales[15]; }, 16},
      {{"hs 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15"}, [] { return d.LayerGroupScales[0]; }, 1},
      {{"hzs 420 297"}, [] { return d.PaperHeight; }, 297},
      {{"hzs 420"}, [] { return d.PaperWidth; }, 1189},
      {{"hcw 1 2 3 4 5 6 7 8 9 10"}, [] { return d.TextTypes[10].Width; }, 10},
      {{"hcd 1 2 3 4 5 6 7 8 9 10"}, [] { return d.TextTypes[1].Spacing; }, 1},
      {{"hcc 1 2 3 4 5 6 7 8 9 10"}, [] { return double(d.TextTypes[7].Color); }, 7},
      {{"hcc 1 2 3 4 5 6 7 8 9"}, [] { return double(d.TextTypes[7].Color); }, 2},
      {{"hn 1 2 3 4"}, [] { return d.HnValues[3]; }, 4},
      {{"bz"}, [] { return double(d.BzSeen); }, 1},
      // Layer group and layer: byte 3 as one hexadecimal digit, nothing more.
      {{"lgA"}, [] { return double(a.CurrentLayerGroup); }, 10},
      {{"lgA", "lgG"}, [] { return double(a.CurrentLayerGroup); }, 0},
      {{"lgA", "lg"}, [] { return double(a.CurrentLayerGroup); }, 0},
      {{"lg12"}, [] { return double(a.CurrentLayerGroup); }, 1},
      {{"lg3 77"}, [] { return double(Layers.LayerGroupValues[3]); }, 77},
      {{"lg2", "ly3 5"}, [] { return double(Layers.LayerValues[2 * 16 + 3]); }, 5},
      {{"lyC"}, [] { return double(a.CurrentLayer); }, 12},
      // The first line of an attribute also sets its initial value.
      {{"lg1", "lg2"}, [] { return double(a.InitialLayerGroup); }, 1},
      {{"lc5", "lc7"}, [] { return double(a.InitialColor); }, 5},
      {{"lc5", "lc7"}, [] { return double(a.CurrentColor); }, 7},
      {{"lw10", "lw20"}, [] { return double(a.InitialLineWidth); }, 10},
      // Colour 10 carries a value; other colours do not touch it.
      {{"lc10 255"}, [] { return double(a.CurrentColor10Value); }, 255},
      {{"lc10 255"}, [] { return double(a.CurrentColor); }, 10},
      {{"lc7 255"}, [] { return double(a.CurrentColor10Value); }, 0},
      {{"lc10 255", "lc10"}, [] { return double(a.CurrentColor10Value); }, 255},
      // cc reads byte 3 alone.
      {{"cc12"}, [] { return double(a.CurrentCcValue); }, 1},
      {{"cc5", "cc9"}, [] { return double(a.CurrentCcValue); }, 0},
      {{"cc5", "cc"}, [] { return double(a.CurrentCcValue); }, 0},
      {{"cn"}, [] { return double(a.CurrentTextType); }, 0},
      {{"cn0 4 5 0.5 7"}, [] { return double(a.InitialFreeTextColor); }, 7},
      {{"cn0 4 5 6"}, [] { return a.CurrentFreeTextWidth; }, 2},
      {{"cn2", "cn0 4 5 6 7"}, [] { return a.InitialFreeTextWidth; }, 2},
      {{"cn2", "cn0 4 5 6 7"}, [] { return a.CurrentFreeTextWidth; }, 4},
      {{"cn2", "cn0 4 5 6 7"}, [] { return double(a.InitialTextType); }, 2},
      // z flags collect without adding twice.
      {{"z1", "z1"}, [] { return double(a.CurrentZFlags); }, 1},
      {{"z1", "z3", "z5", "z4", "z2"}, [] { return double(a.CurrentZFlags); }, 31},
      {{"z6", "z", "z1x"}, [] { return double(a.CurrentZFlags); }, 0},
      // hhp: the number runs to "ln", "ci" or "ch" when one stands after it.
      {{"hhp7"}, [] { return double(a.CurrentHhpNumber); }, 7},
      {{"hhp12ci"}, [] { return double(a.CurrentHhpNumber); }, 12},
      {{"hhp4ln"}, [] { return double(a.CurrentHhpNumber); }, 4},
      {{"hhp7", "hhp"}, [] { return double(a.CurrentHhpNumber); }, 0},
      // Numbered points: 1..99 only, the number ends at the mark.
      {{"hp12ln 5 7"}, [] { return Layers.HpPoints[12].Y; }, 7},
      {{"hp12ln 5 7"}, [] { return double(Layers.HpPoints[12].Mark); }, 2},
      {{"hp5- 1 2"}, [] { return double(Layers.HpPoints[5].Mark); }, 1},
      {{"hp5ci 1 2"}, [] { return double(Layers.HpPoints[5].Mark); }, 3},
      // The last mark searched for wins, and the number runs up to it.
      {{"hp5ch- 1 2"}, [] { return double(Layers.HpPoints[5].Mark); }, 4},
      {{"hp5-ch 1 2"}, [] { return double(Layers.HpPoints[5].IsSet); }, 0},
      {{"hp99 1 2", "hp99 3 4"}, [] { return double(Layers.HpPointCount); }, 2},
      {{"hp0 1 2", "hp100 1 2", "hp5 1"}, [] { return double(Layers.HpPointCount); }, 0},
      {{"hp5 1"}, [] { return double(Layers.HpPoints[5].IsSet); }, 0},
  };
  for (const ValueCase& c : cases) {
    ResetInterchangeState();
    EXPECT_TRUE(ParseLines(c.lines));
    EXPECT_EQ(c.probe(), c.expected) << "first line: " << c.lines.front();
  }
}

TEST_F(KzmGaibuReaderAttributes, NamesTakenFromTheLines) {
  struct NameCase {
    std::vector<std::string_view> lines;
    const std::string* probe;
    std::string expected;
  };
  const AttributeState& a = Attributes;
  const NameCase cases[] = {
      {{"file=C:\\a b\\c.zmn"}, &Drawing.DrawingFileName, "C:\\a b\\c.zmn"},
      // "file=" is found anywhere in the word, but never inside a character.
      {{"\x82"
        "file=x"},
       &Drawing.DrawingFileName,
       ""},
      {{"lg2", "lgn\x90\x7d \x96\xca"}, &Layers.LayerGroupNames[2], "\x90\x7d"},
      {{"lg1", "ly2", "lyn\"A B"}, &Layers.LayerNames[18], "A B"},
      {{"cn\"$<MS X>", "cn\"$Arial"}, &a.InitialFontName, "<MS X>"},
      {{"cn\"$<MS X>", "cn\"$Arial"}, &a.CurrentFontName, "Arial"},
      // Without the quote a blank ends the name.
      {{"cn$Arial Black"}, &a.CurrentFontName, "Arial"},
  };
  for (const NameCase& c : cases) {
    ResetInterchangeState();
    EXPECT_TRUE(ParseLines(c.lines));
    EXPECT_EQ(*c.probe, c.expected) << "last line: " << c.lines.back();
  }
}

}  // namespace

#include "interchange/attribute_emitters.h"

#include <gtest/gtest.h>

#include <string>

#include "interchange/emit_test_support.h"
#include "interchange/output_lines.h"
#include "interchange/state.h"
#include "interchange/system_strings.h"

namespace {

using AttributeEmitters = EmitTest;

TEST_F(AttributeEmitters, LayerGroupForcesTheLayerAgain) {
  EmitLayerGroup(0);  // written although 0 is remembered: the flag asks for it
  EmitLayerGroup(0);
  EmitLayer(0);
  EXPECT_EQ(Take(), (Lines{"lg0", "ly0"}));

  EmitLayerGroup(2);
  EmitLayer(5);
  EmitLayerGroup(2);
  EmitLayer(5);
  EmitLayerGroup(3);
  EmitLayer(5);
  EmitLayerGroup(15);
  EXPECT_EQ(Take(), (Lines{"lg2", "ly5", "lg3", "ly5", "lgF"}));
}

TEST_F(AttributeEmitters, ColorTenWithAndWithoutValue) {
  EmitColor10(255);
  EmitColor10(255);
  EmitColor(3, 0);
  EmitColor10(255);  // again, because the colour is 3 now
  EmitColor(10, 0);  // colour 10 is what was written last
  EmitColor10(-5);
  EmitColor10(16777216);
  EXPECT_EQ(Take(), (Lines{"lc10 255", "lc3", "lc10 255", "lc10 0"}));

  // A bare «lc10» leaves the colour-10 value as it was: 0 after the reset.
  ResetEmitState();
  EmitColor(10, 0);
  EmitColor10(0);
  EmitColor10(16777215);
  EXPECT_EQ(Take(), (Lines{"lc10", "lc10 16777215"}));
}

TEST_F(AttributeEmitters, TranslationOnlyForMappingOne) {
  Attributes.InitialColor = 4;
  EmitColor(10, 1);
  EmitColor(0, 1);
  EmitColor(10, 2);
  EmitPointColor(12, 1);
  EmitLineType(19, 1);
  EXPECT_EQ(Take(), (Lines{"lc101", "lc4", "lc10", "pn103", "lt31"}));
}

TEST_F(AttributeEmitters, WidthAndCcOutOfRange) {
  EmitLineWidth(30000);
  EmitLineWidth(30001);
  EmitLineWidth(-2);  // 0 again: nothing
  Attributes.InitialLineWidth = 7;
  EmitLineWidth(-1);
  Attributes.InitialLineWidth = 40000;
  EmitLineWidth(-1);
  EmitCcValue(8);
  EmitCcValue(9);
  EmitCcValue(-1);
  EXPECT_EQ(Take(), (Lines{"lw30000", "lw0", "lw7", "lw0", "cc8", "cc0"}));
}

TEST_F(AttributeEmitters, FreeSizeComparedExactly) {
  EmitTextType(0, 2, 0, 3, 4, 0);
  EmitTextType(0, 2, 0, 3, 4, 0);
  EmitTextType(0, 2, 0, 3, 5, 0);
  EmitTextType(0, 3, 0, 3, 5, 0);
  EmitTextType(0, 3, 0, 3, 5, 1e-12);
  EmitTextType(5, 2, 0, 3, 4, 0);
  EmitTextType(5, 9, 0, 7, 8, 9);  // measures play no part for a numbered type
  EmitTextType(0, 3, 0, 3, 5, 1e-12);
  EXPECT_EQ(Take(), (Lines{"cn0 3 4 0 2", "cn0 3 5 0 2", "cn0 3 5 0 3", "cn0 3 5 1E-12 3", "cn5",
                           "cn0 3 5 1E-12 3"}));
}

TEST_F(AttributeEmitters, TextTypeOutOfRangeTakesTheInitialOne) {
  Attributes.InitialTextType = 3;
  EmitTextType(12, 2, 0, 3, 4, 0);
  EmitTextType(-1, 2, 0, 3, 4, 0);
  EXPECT_EQ(Take(), (Lines{"cn3"}));

  Attributes.InitialTextType = 0;
  Attributes.InitialFreeTextWidth = 1.5;
  Attributes.InitialFreeTextHeight = 2.5;
  Attributes.InitialFreeTextSpacing = 0.25;
  Attributes.InitialFreeTextColor = 7;
  EmitTextType(11, 2, 0, 30, 40, 50);
  EXPECT_EQ(Take(), (Lines{"cn0 1.5 2.5 0.25 7"}));
}

TEST_F(AttributeEmitters, FontName) {
  const std::string defaultFont = "cn\"$" + std::string(kDefaultFontName);
  EmitFontName(kDefaultFontName);
  EmitFontName(kDefaultFontName);
  Attributes.InitialFontName = "Arial";
  EmitFontName("");
  EmitFontName("<>");
  EmitFontName("Arial ");  // byte for byte: differs
  EXPECT_EQ(Take(), (Lines{defaultFont, "cn\"$Arial", "cn\"$Arial "}));

  ResetEmitState();
  Attributes.InitialFontName.clear();
  EmitFontName("");
  EXPECT_EQ(Take(), (Lines{"cn\"$"}));
}

// A font line ending in a quote would take the next entry, a text's command
// line, onto its own file line; an empty entry stands in for that entry.
TEST_F(AttributeEmitters, FontNameEndingInQuoteIsFollowedByAnEmptyEntry) {
  EmitFontName("Ab\"");
  EXPECT_EQ(Take(), (Lines{"cn\"$Ab\"", ""}));
  // The quote at the 255-byte cut counts; one cut off does not.
  EmitFontName(std::string(250, 'x') + "\"yz");
  EmitFontName(std::string(252, 'x') + "\"");
  EXPECT_EQ(Take(),
            (Lines{"cn\"$" + std::string(250, 'x') + "\"", "", "cn\"$" + std::string(251, 'x')}));
}

TEST_F(AttributeEmitters, ZFlagsAndLineTolerance) {
  EmitZFlags(24);
  EmitZFlags(9);
  EmitZFlags(0);
  EmitLine(0, 0, 0.000000001, 0);
  EmitLine(5, 5, 5 - 5e-9, 5 + 5e-9);
  EmitLine(0, 0, 1, 2);
  EmitLine(0, 0, 1e-8, 0);  // not below the tolerance
  EXPECT_EQ(Take(), (Lines{"z5", "z1", "z4", "0 0 1 2", "0 0 1E-8 0"}));
}

TEST_F(AttributeEmitters, MapColorAndLineTypeCodes) {
  Attributes.InitialColor = 6;
  Attributes.InitialLineType = 8;
  struct MapCase {
    std::int32_t n, color, lineType;
  };
  const MapCase cases[] = {{-3, 6, 8},    {0, 6, 8},     {1, 1, 1},     {9, 9, 9},
                           {10, 101, 11}, {18, 109, 19}, {19, 110, 31}, {255, 346, 267}};
  for (const MapCase& c : cases) {
    EXPECT_EQ(MapColorCode(c.n), c.color) << c.n;
    EXPECT_EQ(MapLineTypeCode(c.n), c.lineType) << c.n;
  }
}

TEST_F(AttributeEmitters, ResetForgetsWhatWasWrittenAndNothingElse) {
  EmitLayerGroup(3);
  EmitColor10(255);
  EmitTextType(0, 4, 0, 9, 9, 9);
  EmitFontName("Arial");
  Attributes.CurrentZFlags = 5;
  Attributes.InitialLayerGroup = 7;
  Entities.LineTable.Append();
  const std::int32_t lines = OutputLines.Count();

  ResetEmitState();

  const AttributeState& a = Attributes;
  for (bool flag : a.AttributeUnset) EXPECT_TRUE(flag);
  EXPECT_EQ(a.CurrentLayerGroup, 0);
  EXPECT_EQ(a.CurrentColor, 1);
  EXPECT_EQ(a.CurrentColor10Value, 0);
  EXPECT_EQ(a.CurrentFreeTextWidth, 2.0);
  EXPECT_EQ(a.CurrentFreeTextColor, 1);
  EXPECT_EQ(a.CurrentFontName, kDefaultFontName);
  EXPECT_EQ(a.CurrentZFlags, 5);
  EXPECT_EQ(a.InitialLayerGroup, 7);
  EXPECT_EQ(Entities.LineTable.Count(), 1);
  EXPECT_EQ(OutputLines.Count(), lines);
}

}  // namespace

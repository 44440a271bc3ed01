#include "interchange/attribute_emitters.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>

#include "interchange/emit_test_support.h"
#include "interchange/output_lines.h"
#include "interchange/state.h"
#include "interchange/system_strings.h"

namespace {

const std::string kFontLinePrefix = "cn\"$";

// A sequence of emitter calls and the lines it must write, from a fresh
// ResetEmitState.
struct SequenceCase {
  const char* name;
  std::function<void()> calls;
  Lines expected;
};
void PrintTo(const SequenceCase& c, std::ostream* os) { *os << c.name; }

class AttributeEmitters : public EmitTest, public ::testing::WithParamInterface<SequenceCase> {};

TEST_P(AttributeEmitters, WriteOnlyWhenUnsetOrChanged) {
  GetParam().calls();
  EXPECT_EQ(Take(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(LayerGroupAndLayer, AttributeEmitters,
                         ::testing::Values(
                             // The flags force the first write although 0 is the remembered value.
                             SequenceCase{"FirstWriteDespiteEqualValue",
                                          [] {
                                            EmitLayerGroup(0);
                                            EmitLayerGroup(0);
                                            EmitLayer(0);
                                            EmitLayer(0);
                                          },
                                          {"lg0", "ly0"}},
                             SequenceCase{"NewGroupRepeatsTheLayer",
                                          [] {
                                            EmitLayerGroup(2);
                                            EmitLayer(5);
                                            EmitLayerGroup(2);
                                            EmitLayer(5);
                                            EmitLayerGroup(3);
                                            EmitLayer(5);
                                          },
                                          {"lg2", "ly5", "lg3", "ly5"}},
                             SequenceCase{"HexadecimalDigits",
                                          [] {
                                            EmitLayerGroup(15);
                                            EmitLayer(10);
                                            EmitLayerGroup(16);  // not limited by the emitter
                                          },
                                          {"lgF", "lyA", "lg10"}}),
                         CaseName());

INSTANTIATE_TEST_SUITE_P(
    ColorAndColor10, AttributeEmitters,
    ::testing::Values(SequenceCase{"Color10AgainAfterAnotherColour",
                                   [] {
                                     EmitColor10(255);
                                     EmitColor10(255);
                                     EmitColor(3, 0);
                                     EmitColor10(255);
                                     EmitColor(10, 0);  // colour 10 is what was written last
                                   },
                                   {"lc10 255", "lc3", "lc10 255"}},
                      SequenceCase{"Color10OutOfRangeBecomesZero",
                                   [] {
                                     EmitColor10(-5);
                                     EmitColor10(16777216);
                                     EmitColor10(16777215);
                                   },
                                   {"lc10 0", "lc10 16777215"}},
                      // Right after the reset, value 0 equals the remembered value; only
                      // the flags make it written.
                      SequenceCase{"Color10ZeroWrittenFirst", [] { EmitColor10(0); }, {"lc10 0"}},
                      // A bare «lc10» leaves the host's value alone, and ours: 0.
                      SequenceCase{"BareColor10KeepsTheValue",
                                   [] {
                                     EmitColor(10, 0);
                                     EmitColor10(0);
                                     EmitColor10(7);
                                   },
                                   {"lc10", "lc10 7"}},
                      SequenceCase{"ColorMappingOnlyForOne",
                                   [] {
                                     Attributes.InitialColor = 4;
                                     EmitColor(10, 1);
                                     EmitColor(0, 1);
                                     EmitColor(10, 2);
                                   },
                                   {"lc101", "lc4", "lc10"}},
                      SequenceCase{"PointColour",
                                   [] {
                                     EmitPointColor(1, 0);
                                     EmitPointColor(1, 0);
                                     EmitPointColor(12, 1);
                                   },
                                   {"pn1", "pn103"}}),
    CaseName());

INSTANTIATE_TEST_SUITE_P(
    LineTypeWidthAndCc, AttributeEmitters,
    ::testing::Values(SequenceCase{"LineTypeMapping",
                                   [] {
                                     EmitLineType(18, 1);
                                     EmitLineType(19, 1);
                                     EmitLineType(19, 0);
                                   },
                                   {"lt19", "lt31", "lt19"}},
                      SequenceCase{"WidthLimits",
                                   [] {
                                     EmitLineWidth(30000);
                                     EmitLineWidth(30001);
                                     EmitLineWidth(-2);  // 0 again: nothing
                                   },
                                   {"lw30000", "lw0"}},
                      SequenceCase{"WidthOutOfRangeFirst", [] { EmitLineWidth(-2); }, {"lw0"}},
                      SequenceCase{"WidthMinusOneIsInitial",
                                   [] {
                                     Attributes.InitialLineWidth = 7;
                                     EmitLineWidth(-1);
                                     Attributes.InitialLineWidth = 40000;
                                     EmitLineWidth(-1);
                                   },
                                   {"lw7", "lw0"}},
                      SequenceCase{"CcLimits",
                                   [] {
                                     EmitCcValue(8);
                                     EmitCcValue(9);
                                     EmitCcValue(-1);
                                     EmitCcValue(0);
                                   },
                                   {"cc8", "cc0"}}),
    CaseName());

INSTANTIATE_TEST_SUITE_P(
    TextType, AttributeEmitters,
    ::testing::Values(
        SequenceCase{"FreeSizeWrittenOnChange",
                     [] {
                       EmitTextType(0, 2, 0, 3, 4, 0);
                       EmitTextType(0, 2, 0, 3, 4, 0);
                       EmitTextType(0, 2, 0, 3, 5, 0);
                       EmitTextType(0, 3, 0, 3, 5, 0);
                       EmitTextType(0, 3, 0, 3, 5, 1e-12);  // exact comparison
                     },
                     {"cn0 3 4 0 2", "cn0 3 5 0 2", "cn0 3 5 0 3", "cn0 3 5 1E-12 3"}},
        SequenceCase{"NumberedTypeIgnoresMeasures",
                     [] {
                       EmitTextType(1, 2, 0, 3, 4, 0);  // the flag forces it
                       EmitTextType(1, 5, 0, 7, 8, 9);
                       EmitTextType(4, 5, 0, 7, 8, 9);
                     },
                     {"cn1", "cn4"}},
        SequenceCase{"FreeSizeAfterNumberedType",
                     [] {
                       EmitTextType(0, 2, 0, 3, 4, 0);
                       EmitTextType(5, 2, 0, 3, 4, 0);
                       EmitTextType(0, 2, 0, 3, 4, 0);
                     },
                     {"cn0 3 4 0 2", "cn5", "cn0 3 4 0 2"}},
        SequenceCase{"OutOfRangeTakesInitialType",
                     [] {
                       Attributes.InitialTextType = 3;
                       EmitTextType(12, 2, 0, 3, 4, 0);
                       EmitTextType(-1, 2, 0, 3, 4, 0);
                       EmitTextType(3, 2, 0, 3, 4, 0);
                     },
                     {"cn3"}},
        SequenceCase{"OutOfRangeTakesInitialFreeSize",
                     [] {
                       Attributes.InitialTextType = 0;
                       Attributes.InitialFreeTextWidth = 1.5;
                       Attributes.InitialFreeTextHeight = 2.5;
                       Attributes.InitialFreeTextSpacing = 0.25;
                       Attributes.InitialFreeTextColor = 7;
                       EmitTextType(11, 2, 0, 30, 40, 50);
                     },
                     {"cn0 1.5 2.5 0.25 7"}},
        SequenceCase{"ColourMapping", [] { EmitTextType(0, 10, 1, 3, 4, 0); }, {"cn0 3 4 0 101"}}),
    CaseName());

INSTANTIATE_TEST_SUITE_P(
    FontName, AttributeEmitters,
    ::testing::Values(
        SequenceCase{"DefaultFontFirstThenOnlyOnChange",
                     [] {
                       EmitFontName(kDefaultFontName);
                       EmitFontName(kDefaultFontName);
                       EmitFontName("Arial");
                     },
                     {kFontLinePrefix + std::string(kDefaultFontName), "cn\"$Arial"}},
        SequenceCase{"EmptyAndAngleBracketsTakeInitial",
                     [] {
                       Attributes.InitialFontName = "Arial";
                       EmitFontName("");
                       EmitFontName("<>");
                       EmitFontName("Arial ");  // byte for byte: differs
                     },
                     {"cn\"$Arial", "cn\"$Arial "}},
        SequenceCase{"EmptyInitialGivesNothingAfterDollar", [] { EmitFontName(""); }, {"cn\"$"}},
        // A name ending in a quote would glue the next entry onto the font
        // line; an empty entry stands in for it.
        SequenceCase{
            "QuoteAtTheEndAddsAnEmptyEntry", [] { EmitFontName("Ab\""); }, {"cn\"$Ab\"", ""}},
        SequenceCase{"QuoteAtTheCutAddsAnEmptyEntry",
                     [] { EmitFontName(std::string(250, 'x') + "\"yz"); },
                     {"cn\"$" + std::string(250, 'x') + "\"", ""}},
        SequenceCase{"QuoteCutOffAddsNothing",
                     [] { EmitFontName(std::string(252, 'x') + "\""); },
                     {"cn\"$" + std::string(251, 'x')}}),
    CaseName());

INSTANTIATE_TEST_SUITE_P(
    ZFlagsLineAndBrackets, AttributeEmitters,
    ::testing::Values(SequenceCase{"Z5WinsOverZ4", [] { EmitZFlags(24); }, {"z5"}},
                      SequenceCase{"Z1AndZ4", [] { EmitZFlags(9); }, {"z1", "z4"}},
                      SequenceCase{"AllBits", [] { EmitZFlags(31); }, {"z1", "z2", "z3", "z5"}},
                      SequenceCase{"NoMemory",
                                   [] {
                                     EmitZFlags(0);
                                     EmitZFlags(32);
                                     EmitZFlags(4);
                                     EmitZFlags(4);
                                   },
                                   {"z3", "z3"}},
                      SequenceCase{"LineTolerance",
                                   [] {
                                     EmitLine(0, 0, 0.000000001, 0);
                                     EmitLine(5, 5, 5 - 5e-9, 5 + 5e-9);
                                     EmitLine(0, 0, 1, 2);
                                     EmitLine(0, 0, 1e-8, 0);  // not below the tolerance
                                     EmitLine(0, 0, 0, -0.5);
                                   },
                                   {"0 0 1 2", "0 0 1E-8 0", "0 0 0 -0.5"}},
                      SequenceCase{"PolylineBrackets",
                                   [] {
                                     EmitPolylineStart();
                                     EmitPolylineEnd();
                                   },
                                   {"pl", "#"}}),
    CaseName());

struct MapCase {
  std::int32_t n;
  std::int32_t color;
  std::int32_t lineType;
};

TEST_F(EmitTest, MapColorAndLineTypeCodes) {
  Attributes.InitialColor = 6;
  Attributes.InitialLineType = 8;
  const MapCase cases[] = {{-3, 6, 8},    {0, 6, 8},     {1, 1, 1},     {9, 9, 9},
                           {10, 101, 11}, {18, 109, 19}, {19, 110, 31}, {255, 346, 267}};
  for (const MapCase& c : cases) {
    EXPECT_EQ(MapColorCode(c.n), c.color) << c.n;
    EXPECT_EQ(MapLineTypeCode(c.n), c.lineType) << c.n;
  }
}

TEST_F(EmitTest, ResetEmitStateForgetsWhatWasWrittenAndNothingElse) {
  EmitLayerGroup(3);
  EmitColor10(255);
  EmitTextType(0, 4, 0, 9, 9, 9);
  EmitFontName("Arial");
  EmitPointColor(6, 0);
  Attributes.CurrentHhpNumber = 12;
  Attributes.CurrentZFlags = 5;
  Attributes.InitialLayerGroup = 7;
  Modes.PolylineMode = true;
  Entities.LineTable.Append();
  const std::int32_t linesBefore = OutputLines.Count();

  ResetEmitState();

  const AttributeState& a = Attributes;
  for (bool flag : a.AttributeUnset) EXPECT_TRUE(flag);
  EXPECT_EQ(a.CurrentLayerGroup, 0);
  EXPECT_EQ(a.CurrentColor, 1);
  EXPECT_EQ(a.CurrentColor10Value, 0);
  EXPECT_EQ(a.CurrentTextType, 1);
  EXPECT_EQ(a.CurrentFreeTextWidth, 2.0);
  EXPECT_EQ(a.CurrentFreeTextHeight, 2.0);
  EXPECT_EQ(a.CurrentFreeTextSpacing, 0.0);
  EXPECT_EQ(a.CurrentFreeTextColor, 1);
  EXPECT_EQ(a.CurrentFontName, kDefaultFontName);
  EXPECT_EQ(a.CurrentPointColor, 1);
  EXPECT_EQ(a.CurrentHhpNumber, 12);
  EXPECT_EQ(a.CurrentZFlags, 5);
  EXPECT_EQ(a.InitialLayerGroup, 7);
  EXPECT_TRUE(Modes.PolylineMode);
  EXPECT_EQ(Entities.LineTable.Count(), 1);
  EXPECT_EQ(OutputLines.Count(), linesBefore);
}

// The writer puts an entry after a quote-terminated one on the same line: a
// font name ending in a quote must not swallow the text after it.
TEST_F(EmitTest, FontNameEndingInQuoteKeepsItsOwnFileLine) {
  EmitFontName("Ab\"");
  AddOutputLine("ch 1 2 1 0 \"");
  AddOutputLine("XYZ");
  EXPECT_EQ(RenderInterchangeFile(), "cn\"$Ab\"\r\nch 1 2 1 0 \"XYZ\r\n");
}

}  // namespace

#include "interchange/entity_emitters.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>

#include "interchange/emit_test_support.h"
#include "interchange/output_lines.h"

namespace {

struct EmitCase {
  const char* name;
  std::function<void()> call;
  Lines expected;
};
void PrintTo(const EmitCase& c, std::ostream* os) { *os << c.name; }

class EntityEmitters : public EmitTest, public ::testing::WithParamInterface<EmitCase> {};

TEST_P(EntityEmitters, WriteTheStatedLinesOrNothing) {
  GetParam().call();
  EXPECT_EQ(Take(), GetParam().expected);
}

const Lines kNothing = {};

INSTANTIATE_TEST_SUITE_P(
    Points, EntityEmitters,
    ::testing::Values(
        EmitCase{"Point", [] { EmitPoint(10, 20.5); }, {"pt 10 20.5"}},
        EmitCase{"PointAtOrigin", [] { EmitPoint(0, 0); }, {"pt 0 0"}},
        EmitCase{
            "TypedPointSubstitutions", [] { EmitTypedPoint(15, 1, 2, 0, 45); }, {"pt 1 2 1 45 -3"}},
        EmitCase{
            "TypedPointTinyAIsZero", [] { EmitTypedPoint(0, 1, 2, 1e-9, 0); }, {"pt 1 2 1 0 0"}},
        EmitCase{
            "TypedPointAAtTolerance", [] { EmitTypedPoint(0, 1, 2, -1e-8, 0); }, {"pt 1 2 1 0 0"}},
        EmitCase{"TypedPointNegativeAKept",
                 [] { EmitTypedPoint(0, 1, 2, -0.5, 0); },
                 {"pt 1 2 -0.5 0 0"}},
        EmitCase{"TypedPointCodeLimits",
                 [] {
                   EmitTypedPoint(-7, 0, 0, 1, 0);
                   EmitTypedPoint(11, 0, 0, 1, 0);
                   EmitTypedPoint(-8, 0, 0, 1, 0);
                   EmitTypedPoint(12, 0, 0, 1, 0);
                 },
                 {"pt 0 0 1 0 -7", "pt 0 0 1 0 11", "pt 0 0 1 0 -3", "pt 0 0 1 0 -3"}}),
    CaseName());

INSTANTIATE_TEST_SUITE_P(
    CirclesAndArcs, EntityEmitters,
    ::testing::Values(
        EmitCase{"Circle", [] { EmitCircle(0, 0, 0.5); }, {"ci 0 0 0.5"}},
        EmitCase{"CircleSmallestRadius", [] { EmitCircle(0, 0, 2e-8); }, {"ci 0 0 2E-8"}},
        // Positive means above the tolerance, and no absolute value is taken.
        EmitCase{"CircleRadiusAtTolerance", [] { EmitCircle(0, 0, 1e-8); }, kNothing},
        EmitCase{"CircleTinyRadius", [] { EmitCircle(0, 0, 5e-9); }, kNothing},
        EmitCase{"CircleNegativeRadius", [] { EmitCircle(0, 0, -5); }, kNothing},
        EmitCase{"Arc", [] { EmitArc(1, 2, 3, 0, 90, -0.5, 45); }, {"ci 1 2 3 0 90 -0.5 45"}},
        EmitCase{"ArcZeroU3", [] { EmitArc(1, 2, 3, 0, 90, 0, 45); }, kNothing},
        EmitCase{"ArcU3AtTolerance", [] { EmitArc(1, 2, 3, 0, 90, -1e-8, 45); }, kNothing},
        EmitCase{"ArcNegativeRadius", [] { EmitArc(1, 2, -3, 0, 90, 1, 45); }, kNothing}),
    CaseName());

INSTANTIATE_TEST_SUITE_P(
    Texts, EntityEmitters,
    ::testing::Values(
        EmitCase{"CommandLineEndsInBlankAndQuote",
                 [] { EmitText(2, "ABC", 100, 50, 3.5, 0); },
                 {"cs 100 50 3.5 0 \"", "ABC"}},
        EmitCase{"CommandWords",
                 [] {
                   for (int code = -1; code <= 10; ++code) EmitText(code, "x", 0, 0, 1, 0);
                 },
                 {"ch 0 0 1 0 \"", "x", "ch 0 0 1 0 \"", "x", "cv 0 0 1 0 \"", "x",
                  "cs 0 0 1 0 \"", "x", "cr 0 0 1 0 \"", "x", "co 0 0 1 0 \"", "x",
                  "cp 0 0 1 0 \"", "x", "ct 0 0 1 0 \"", "x", "ck 0 0 1 0 \"", "x",
                  "cz 0 0 1 0 \"", "x", "c2 0 0 1 0 \"", "x", "ch 0 0 1 0 \"", "x"}},
        EmitCase{"ZeroVector", [] { EmitText(0, "ABC", 1, 2, 0, 0); }, kNothing},
        EmitCase{"VectorAtTolerance", [] { EmitText(0, "ABC", 1, 2, 1e-8, -1e-8); }, kNothing},
        EmitCase{
            "SmallVector", [] { EmitText(0, "ABC", 1, 2, 0, 1e-7); }, {"ch 1 2 0 1E-7 \"", "ABC"}},
        EmitCase{"FullWidthBlanksOnly", [] { EmitText(0, "\x81\x40\x81\x40", 1, 2, 1, 0); },
                 kNothing},
        EmitCase{"BlanksAndControlsOnly", [] { EmitText(0, " \t\x01 \x81\x40", 1, 2, 1, 0); },
                 kNothing},
        EmitCase{"EmptyText", [] { EmitText(0, "", 1, 2, 1, 0); }, kNothing},
        EmitCase{
            "LeadingBlanksKept", [] { EmitText(0, "  A", 1, 2, 1, 0); }, {"ch 1 2 1 0 \"", "  A"}}),
    CaseName());

INSTANTIATE_TEST_SUITE_P(
    Messages, EntityEmitters,
    ::testing::Values(EmitCase{"WorkedExample",
                               [] { EmitMessage("", 0, 0, 100.123456789, 0, 50, 1, 1, 0); },
                               {"msg", "0 0 100.123456789 0", "cs 50 1 1 0 \"", "100.12345679"}},
                      EmitCase{"EndPointsCoincide",
                               [] { EmitMessage("A", 0, 0, 5e-9, 0, 50, 1, 1, 0); }, kNothing},
                      EmitCase{"ZeroVector", [] { EmitMessage("A", 0, 0, 5, 0, 50, 1, 0, 1e-9); },
                               kNothing},
                      EmitCase{"ShortestLine",
                               [] { EmitMessage("", 0, 0, 2e-8, 0, 0, 0, 1, 0); },
                               {"msg", "0 0 2E-8 0", "cs 0 0 1 0 \"", "2E-8"}},
                      EmitCase{"BlankTextBecomesLength",
                               [] { EmitMessage("  ", 0, 0, 3, 0, 0, 0, 1, 0); },
                               {"msg", "0 0 3 0", "cs 0 0 1 0 \"", "3"}},
                      EmitCase{"LengthRoundedTo8Decimals",
                               [] { EmitMessage("\x81\x40", 0, 0, 1, 1, 0, 0, 1, 0); },
                               {"msg", "0 0 1 1", "cs 0 0 1 0 \"", "1.41421356"}},
                      // 1e20 once divided by 1e-8: beyond any integer type.
                      EmitCase{"LongLength",
                               [] { EmitMessage("", 0, 0, 1e12, 0, 0, 0, 1, 0); },
                               {"msg", "0 0 1000000000000 0", "cs 0 0 1 0 \"", "1000000000000"}},
                      EmitCase{"TextKeptAsItIs",
                               [] { EmitMessage(" 5 ", 0, 0, 3, 0, 0, 0, 1, 0); },
                               {"msg", "0 0 3 0", "cs 0 0 1 0 \"", " 5 "}}),
    CaseName());

INSTANTIATE_TEST_SUITE_P(
    Solids, EntityEmitters,
    ::testing::Values(
        EmitCase{"Sl2", [] { EmitSl2(1, 1, 2, 3); }, {"sl 1 1 2 3"}},
        EmitCase{"Sl2Coinciding", [] { EmitSl2(1, 1, 1, 1.000000005); }, kNothing},
        EmitCase{"Sl2AtTolerance", [] { EmitSl2(0, 0, 1e-8, 0); }, {"sl 0 0 1E-8 0"}},
        EmitCase{"Sl3", [] { EmitSl3(0, 0, 1, 0, 0, 1); }, {"sl 0 0 1 0 0 1"}},
        EmitCase{"Sl3ThirdMeetsFirst", [] { EmitSl3(0, 0, 1, 0, 0, 5e-9); }, kNothing},
        EmitCase{"Sl3SecondMeetsThird", [] { EmitSl3(0, 0, 1, 0, 1, 0); }, kNothing},
        EmitCase{"Sc", [] { EmitSc(100, 0, 0, 5, 1, 0, 360, 0); }, {"sc 0 0 5 1 0 360 0 100"}},
        EmitCase{"ScIntegers",
                 [] {
                   for (int n : {100, 5, 0, -1, 1, 101, -2}) EmitSc(n, 0, 0, 5, 1, 0, 360, 0);
                 },
                 {"sc 0 0 5 1 0 360 0 100", "sc 0 0 5 1 0 360 0 5", "sc 0 0 5 1 0 360 0 0",
                  "sc 0 0 5 1 0 360 0 -1"}},
        EmitCase{"SeIntegers",
                 [] {
                   for (int n : {100, 0, 5, -1}) EmitSe(n, 0, 0, 5, 1, 0, 360, 0);
                 },
                 {"se 0 0 5 1 0 360 0 100", "se 0 0 5 1 0 360 0 0"}},
        EmitCase{"ScNeedsRadiusAndFlatness",
                 [] {
                   EmitSc(0, 0, 0, 1e-8, 1, 0, 0, 0);
                   EmitSc(0, 0, 0, 5, 1e-8, 0, 0, 0);
                   EmitSe(0, 0, 0, -5, 1, 0, 0, 0);
                   EmitSe(0, 0, 0, 5, -1, 0, 0, 0);
                 },
                 {"se 0 0 5 -1 0 0 0 0"}},
        EmitCase{"SoInnerBelowOuter",
                 [] {
                   EmitSo(0, 0, 5, 1, 0, 0, 0, 5);
                   EmitSo(0, 0, 5, 1, 0, 0, 0, 5 - 1e-8);
                   EmitSo(0, 0, 5, 1, 0, 0, 0, 4.9);
                   EmitSo(0, 0, 5, 1, 0, 0, 0, 0);
                   EmitSo(0, 0, 5, 1, 0, 0, 0, 1e-8);
                   EmitSo(0, 0, 5, 0, 0, 0, 0, 4.9);
                 },
                 {"so 0 0 5 1 0 0 0 4.9"}},
        EmitCase{"SgAsSo",
                 [] {
                   EmitSg(1, 2, 5, -1, 3, 4, 6, 2);
                   EmitSg(1, 2, 5, -1, 3, 4, 6, 5);
                 },
                 {"sg 1 2 5 -1 3 4 6 2"}}),
    CaseName());

// The four-point reduction: the first coinciding pair decides.
INSTANTIATE_TEST_SUITE_P(
    FourPointReduction, EntityEmitters,
    ::testing::Values(
        EmitCase{"NoPair", [] { EmitSl4(0, 0, 1, 0, 1, 1, 0, 1); }, {"sl 0 0 1 0 1 1 0 1"}},
        EmitCase{"P1P2", [] { EmitSl4(0, 0, 0, 0, 1, 0, 0, 1); }, {"sl 0 0 1 0 0 1"}},
        EmitCase{"P1P3", [] { EmitSl4(0, 0, 1, 0, 0, 0, 0, 1); }, kNothing},
        EmitCase{"P1P4", [] { EmitSl4(0, 0, 1, 0, 1, 1, 5e-9, 0); }, {"sl 0 0 1 0 1 1"}},
        EmitCase{"P2P3", [] { EmitSl4(0, 0, 1, 0, 1, 0, 0, 1); }, {"sl 0 0 1 0 0 1"}},
        EmitCase{"P2P4", [] { EmitSl4(0, 0, 1, 0, 1, 1, 1, 0); }, kNothing},
        EmitCase{"P3P4", [] { EmitSl4(0, 0, 1, 0, 1, 1, 1, 1); }, {"sl 0 0 1 0 1 1"}},
        // P1 = P2 reduces to P1, P3, P4, which still has P3 = P4.
        EmitCase{"ReducedTriangleDegenerate", [] { EmitSl4(0, 0, 0, 0, 1, 0, 1, 0); }, kNothing}),
    CaseName());

// A text whose content ends in a quote stays one file line: the writer joins
// only the entry after the command line.
TEST_F(EmitTest, TextEndingInQuoteIsOneFileLine) {
  EmitText(0, "AB\"", 1, 2, 1, 0);
  EmitPoint(0, 0);
  EXPECT_EQ(output_.Image(), "ch 1 2 1 0 \"AB\"\r\npt 0 0\r\n");
}

}  // namespace

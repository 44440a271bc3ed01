// Entity lines, as the host reads them back (every value after one blank):
//
//   pt 10 20.5                    point; «pt x y a b code» a typed point
//   ci 0 0 5                      circle; «ci cx cy r u1 u2 u3 u4» an arc
//   ch 10 20 5 0 "ABC             text: the command line ends in « "», the
//                                 text is the next entry, which the writer
//                                 puts on the same file line
//   msg / 0 0 100 0 / cs 50 1 1 0 "100   a message: three lines, the text
//                                 on the line (blank: its measured length)
//   sl x1 y1 x2 y2 [x3 y3 [x4 y4]]  solid of two to four corners
//   sc/se u1..u7 n, so/sg u1..u8  the other solids
//
// Degenerate entities are dropped without a trace.
#include "interchange/entity_emitters.h"

#include <cmath>
#include <string>

#include "interchange/emit_line.h"
#include "interchange/number_text.h"
#include "interchange/output_lines.h"
#include "interchange/system_strings.h"
#include "util/geometry.h"
#include "util/sjis.h"

namespace {

// A code the reader never stores goes out as the plain text command, "ch".
std::string_view TextCommandWord(std::int32_t code) {
  if (code < 0 || code >= static_cast<std::int32_t>(kTextCommandWords.size())) {
    return kTextCommandWords[0];
  }
  return kTextCommandWords[static_cast<std::size_t>(code)];
}

// «word x y vx vy "»: the quote tells the host the rest of the line is text.
void AddTextCommandLine(std::string_view word, double x, double y, double vx, double vy) {
  LineBuilder().Word(word).Values({x, y, vx, vy}).Word(" \"").Add();
}

// sc, se, so and sg share this test: u3 positive and u4 not zero.
bool HasSolidMeasures(double u3, double u4) { return IsPositiveValue(u3) && !IsZeroValue(u4); }

// «word u1 .. u7 n»: the integer comes last, as the host wrote it.
void AddSolidLineWithInteger(std::string_view word, std::int32_t n,
                             std::initializer_list<double> values) {
  LineBuilder().Word(word).Values(values).Word(" ").Integer(n).Add();
}

}  // namespace

bool CircleIsWritten(double r) { return IsPositiveValue(r); }

bool ArcIsWritten(double r, double u3) { return IsPositiveValue(r) && !IsZeroValue(u3); }

bool VectorIsWritten(double vx, double vy) { return !IsZeroValue(vx) || !IsZeroValue(vy); }

bool TextIsWritten(std::string_view text, double vx, double vy) {
  return VectorIsWritten(vx, vy) && !IsBlankText(text);
}

bool MessageIsWritten(double x1, double y1, double x2, double y2, double vx, double vy) {
  return !PointsCoincide(x1, y1, x2, y2) && VectorIsWritten(vx, vy);
}

bool ScIsWritten(std::int32_t n, double u3, double u4) {
  return HasSolidMeasures(u3, u4) && (n == 100 || n == 5 || n == 0 || n == -1);
}

bool SeIsWritten(std::int32_t n, double u3, double u4) {
  return HasSolidMeasures(u3, u4) && (n == 100 || n == 0);
}

bool SoIsWritten(double u3, double u4, double u8) {
  return HasSolidMeasures(u3, u4) && IsPositiveValue(u8) && u8 < u3 - kEmitTolerance;
}

void EmitPoint(double x, double y) { LineBuilder().Word("pt").Values({x, y}).Add(); }

void EmitTypedPoint(std::int32_t code, double x, double y, double a, double b) {
  if (IsZeroValue(a)) a = 1.0;
  if (code < -7 || code > 11) code = -3;
  LineBuilder().Word("pt").Values({x, y, a, b}).Word(" ").Integer(code).Add();
}

void EmitCircle(double cx, double cy, double r) {
  if (!CircleIsWritten(r)) return;
  LineBuilder().Word("ci").Values({cx, cy, r}).Add();
}

void EmitArc(double cx, double cy, double r, double u1, double u2, double u3, double u4) {
  if (!ArcIsWritten(r, u3)) return;
  LineBuilder().Word("ci").Values({cx, cy, r, u1, u2, u3, u4}).Add();
}

void EmitText(std::int32_t commandCode, std::string_view text, double x, double y, double vx,
              double vy) {
  if (!TextIsWritten(text, vx, vy)) return;
  AddTextCommandLine(TextCommandWord(commandCode), x, y, vx, vy);
  AddOutputLine(text);  // as stored, leading blanks and all
}

void EmitMessage(std::string_view text, double x1, double y1, double x2, double y2, double x,
                 double y, double vx, double vy) {
  if (!MessageIsWritten(x1, y1, x2, y2, vx, vy)) return;
  AddOutputLine("msg");
  AddPlainLine(x1, y1, x2, y2);
  AddTextCommandLine(kTextCommandWords[kTextCommandCs], x, y, vx, vy);
  if (!IsBlankText(text)) {
    AddOutputLine(text);
    return;
  }
  // A blank message text shows the measured length, rounded half up to 8
  // decimals. The fraction is dropped on the double: lengths above 21.47 are
  // beyond a 32-bit integer once divided by 1e-8.
  const double d = Distance(x1, y1, x2, y2);
  const double length = std::trunc(d / 1e-8 + 0.5) * 1e-8;
  LineBuilder().Real(length).Add();
}

void EmitSl2(double x1, double y1, double x2, double y2) {
  if (PointsCoincide(x1, y1, x2, y2)) return;
  LineBuilder().Word("sl").Values({x1, y1, x2, y2}).Add();
}

void EmitSl3(double x1, double y1, double x2, double y2, double x3, double y3) {
  if (PointsCoincide(x1, y1, x2, y2) || PointsCoincide(x2, y2, x3, y3) ||
      PointsCoincide(x3, y3, x1, y1)) {
    return;
  }
  LineBuilder().Word("sl").Values({x1, y1, x2, y2, x3, y3}).Add();
}

void EmitSl4(double x1, double y1, double x2, double y2, double x3, double y3, double x4,
             double y4) {
  // The first coinciding pair decides; a reduced triangle faces EmitSl3's own test.
  if (PointsCoincide(x1, y1, x2, y2)) return EmitSl3(x1, y1, x3, y3, x4, y4);
  if (PointsCoincide(x1, y1, x3, y3)) return;
  if (PointsCoincide(x1, y1, x4, y4)) return EmitSl3(x1, y1, x2, y2, x3, y3);
  if (PointsCoincide(x2, y2, x3, y3)) return EmitSl3(x1, y1, x2, y2, x4, y4);
  if (PointsCoincide(x2, y2, x4, y4)) return;
  if (PointsCoincide(x3, y3, x4, y4)) return EmitSl3(x1, y1, x2, y2, x3, y3);
  LineBuilder().Word("sl").Values({x1, y1, x2, y2, x3, y3, x4, y4}).Add();
}

void EmitSc(std::int32_t n, double u1, double u2, double u3, double u4, double u5, double u6,
            double u7) {
  if (!ScIsWritten(n, u3, u4)) return;
  AddSolidLineWithInteger("sc", n, {u1, u2, u3, u4, u5, u6, u7});
}

void EmitSe(std::int32_t n, double u1, double u2, double u3, double u4, double u5, double u6,
            double u7) {
  if (!SeIsWritten(n, u3, u4)) return;
  AddSolidLineWithInteger("se", n, {u1, u2, u3, u4, u5, u6, u7});
}

void EmitSo(double u1, double u2, double u3, double u4, double u5, double u6, double u7,
            double u8) {
  if (!SoIsWritten(u3, u4, u8)) return;
  LineBuilder().Word("so").Values({u1, u2, u3, u4, u5, u6, u7, u8}).Add();
}

void EmitSg(double u1, double u2, double u3, double u4, double u5, double u6, double u7,
            double u8) {
  if (!SoIsWritten(u3, u4, u8)) return;
  LineBuilder().Word("sg").Values({u1, u2, u3, u4, u5, u6, u7, u8}).Add();
}

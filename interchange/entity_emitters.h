// Entity geometry as interchange lines. Degenerate entities are skipped
// silently; the emitters keep no state and write no attributes.
#pragma once

#include <cstdint>
#include <string_view>

// Whether an emitter writes its entity at all. The emitters test exactly
// these, and the joins ask them before anything is emitted (write_back.h),
// so what a join promises to write back is what is written.
// A value is zero within 1e-8, and positive above it (emit_line.h).
bool CircleIsWritten(double r);          // r positive
bool ArcIsWritten(double r, double u3);  // r positive, u3 not zero
// A text's direction: some component beyond the tolerance.
bool VectorIsWritten(double vx, double vy);
// A vector that is not zero and a text that is not blank.
bool TextIsWritten(std::string_view text, double vx, double vy);
// The line's ends apart and a vector that is not zero.
bool MessageIsWritten(double x1, double y1, double x2, double y2, double vx, double vy);
// u3 positive, u4 not zero, and n one of 100, 5, 0, -1.
bool ScIsWritten(std::int32_t n, double u3, double u4);
// u3 positive, u4 not zero, and n 100 or 0.
bool SeIsWritten(std::int32_t n, double u3, double u4);
// u3 positive, u4 not zero, u8 positive and below u3 by more than 1e-8; "sg" alike.
bool SoIsWritten(double u3, double u4, double u8);

// «pt x y».
void EmitPoint(double x, double y);
// «pt x y a b code»; an a of zero is written as 1, a code outside -7..11 as -3.
void EmitTypedPoint(std::int32_t code, double x, double y, double a, double b);
// «ci cx cy r» when CircleIsWritten.
void EmitCircle(double cx, double cy, double r);
// «ci cx cy r u1 u2 u3 u4» when ArcIsWritten.
void EmitArc(double cx, double cy, double r, double u1, double u2, double u3, double u4);
// «word x y vx vy "», then the text as its own entry, when TextIsWritten; the
// word is the command code's, "ch" for a code the reader never stores.
void EmitText(std::int32_t commandCode, std::string_view text, double x, double y, double vx,
              double vy);
// "msg", the line, «cs x y vx vy "» and the text (a blank one: the line's
// length), when MessageIsWritten.
void EmitMessage(std::string_view text, double x1, double y1, double x2, double y2, double x,
                 double y, double vx, double vy);
// «sl» with two corners; nothing when they coincide.
void EmitSl2(double x1, double y1, double x2, double y2);
// «sl» with three corners; nothing when any two coincide.
void EmitSl3(double x1, double y1, double x2, double y2, double x3, double y3);
// «sl» with four corners. The first coinciding pair decides: neighbours leave
// the triangle of the other three (through EmitSl3), a diagonal pair nothing.
void EmitSl4(double x1, double y1, double x2, double y2, double x3, double y3, double x4,
             double y4);
// «sc u1 .. u7 n» when ScIsWritten.
void EmitSc(std::int32_t n, double u1, double u2, double u3, double u4, double u5, double u6,
            double u7);
// «se u1 .. u7 n» when SeIsWritten.
void EmitSe(std::int32_t n, double u1, double u2, double u3, double u4, double u5, double u6,
            double u7);
// «so u1 .. u8» when SoIsWritten.
void EmitSo(double u1, double u2, double u3, double u4, double u5, double u6, double u7, double u8);
// «sg u1 .. u8» when SoIsWritten.
void EmitSg(double u1, double u2, double u3, double u4, double u5, double u6, double u7, double u8);

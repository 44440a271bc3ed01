// Entity geometry as interchange lines. Degenerate entities are skipped
// silently; the emitters keep no state and write no attributes.
#pragma once

#include <cstdint>
#include <string_view>

// Whether an emitter writes its entity at all. The emitters test exactly
// these, and the joins ask them before anything is emitted (write_back.h),
// so what a join promises to write back is what is written.
bool CircleIsWritten(double r);
bool ArcIsWritten(double r, double u3);
bool TextIsWritten(std::string_view text, double vx, double vy);
bool MessageIsWritten(double x1, double y1, double x2, double y2, double vx, double vy);
bool ScIsWritten(std::int32_t n, double u3, double u4);
bool SeIsWritten(std::int32_t n, double u3, double u4);
bool SoIsWritten(double u3, double u4, double u8);  // "sg" alike

void EmitPoint(double x, double y);
void EmitTypedPoint(std::int32_t code, double x, double y, double a, double b);
void EmitCircle(double cx, double cy, double r);
void EmitArc(double cx, double cy, double r, double u1, double u2, double u3, double u4);
void EmitText(std::int32_t commandCode, std::string_view text, double x, double y, double vx,
              double vy);
void EmitMessage(std::string_view text, double x1, double y1, double x2, double y2, double x,
                 double y, double vx, double vy);
void EmitSl2(double x1, double y1, double x2, double y2);
void EmitSl3(double x1, double y1, double x2, double y2, double x3, double y3);
void EmitSl4(double x1, double y1, double x2, double y2, double x3, double y3, double x4,
             double y4);
void EmitSc(std::int32_t n, double u1, double u2, double u3, double u4, double u5, double u6,
            double u7);
void EmitSe(std::int32_t n, double u1, double u2, double u3, double u4, double u5, double u6,
            double u7);
void EmitSo(double u1, double u2, double u3, double u4, double u5, double u6, double u7, double u8);
void EmitSg(double u1, double u2, double u3, double u4, double u5, double u6, double u7, double u8);

// Attribute commands, written only when they change. The current attributes of
// state.h serve as the memory of the values last written once ResetEmitState
// has run; an AttributeUnset flag forces the next write of its attribute.
#pragma once

#include <cstdint>
#include <string_view>

void ResetEmitState();

std::int32_t MapColorCode(std::int32_t n);
std::int32_t MapLineTypeCode(std::int32_t n);

void EmitLayerGroup(std::int32_t value);
void EmitLayer(std::int32_t value);
void EmitColor(std::int32_t value, std::int32_t mapping);
void EmitLineType(std::int32_t value, std::int32_t mapping);
void EmitLineWidth(std::int32_t value);
void EmitTextType(std::int32_t textType, std::int32_t color, std::int32_t mapping, double width,
                  double height, double spacing);
void EmitCcValue(std::int32_t value);
void EmitFontName(std::string_view name);
// The name EmitFontName writes for a font: an empty name or "<>" stands for
// the first font the input named.
std::string_view FontNameWritten(std::string_view name);
// False when the font line would be cut at 255 bytes (a name over 251).
bool FontNameFits(std::string_view name);
void EmitPointColor(std::int32_t value, std::int32_t mapping);
void EmitColor10(std::int32_t value);
void EmitZFlags(std::int32_t bits);
void EmitLine(double x1, double y1, double x2, double y2);
void EmitPolylineStart();
void EmitPolylineEnd();

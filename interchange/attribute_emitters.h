// Attribute commands, written only when they change. The current attributes of
// state.h serve as the memory of the values last written once ResetEmitState
// has run; an AttributeUnset flag forces the next write of its attribute.
#pragma once

#include <cstdint>
#include <string_view>

// Every AttributeUnset flag set and the current attributes at their defaults,
// so that each attribute is written at its first use.
void ResetEmitState();

// Host colour codes: 0 and below the initial colour, 1..9 themselves, above +91.
std::int32_t MapColorCode(std::int32_t n);
// 0 and below the initial line type, 1..9 themselves, 10..18 +1, above +12.
std::int32_t MapLineTypeCode(std::int32_t n);

// The emitters below write their line only on change or when unset, except
// EmitZFlags, EmitLine and the polyline brackets. A mapping of 1 maps the
// value through MapColorCode or MapLineTypeCode first.

// «lgX», one hexadecimal digit; a group written makes the next EmitLayer write.
void EmitLayerGroup(std::int32_t value);
// «lyX», one hexadecimal digit.
void EmitLayer(std::int32_t value);
// «lcN»; a bare «lc10» keeps the host's colour-10 value.
void EmitColor(std::int32_t value, std::int32_t mapping);
// «ltN».
void EmitLineType(std::int32_t value, std::int32_t mapping);
// «lwN»; -1 writes the initial width, any other value outside 0..30000 writes 0.
void EmitLineWidth(std::int32_t value);
// «cnN» for types 1..10, «cn0 w h s c» for free size, written again whenever
// one of the four changes; a type outside 0..10 takes the initial type (and,
// when that is 0, the initial free size).
void EmitTextType(std::int32_t textType, std::int32_t color, std::int32_t mapping, double width,
                  double height, double spacing);
// «ccN»; a value outside 0..8 writes 0.
void EmitCcValue(std::int32_t value);
// «cn"$name», the name as FontNameWritten gives it; a name ending in a quote
// is followed by an empty entry, so that nothing is glued onto it.
void EmitFontName(std::string_view name);
// The name EmitFontName writes for a font: an empty name or "<>" stands for
// the first font the input named.
std::string_view FontNameWritten(std::string_view name);
// False when the font line would be cut at 255 bytes (a name over 251).
bool FontNameFits(std::string_view name);
// «pnN».
void EmitPointColor(std::int32_t value, std::int32_t mapping);
// «lc10 V», V outside 0..16777215 written as 0; 10 becomes the colour written.
void EmitColor10(std::int32_t value);
// «z1» .. «z5» for the bits 1, 2, 4, 8, 16, every time; z5 wins over z4.
void EmitZFlags(std::int32_t bits);
// «x1 y1 x2 y2»; nothing when the two points coincide.
void EmitLine(double x1, double y1, double x2, double y2);
// "pl" opens a polyline block, "#" closes it.
void EmitPolylineStart();
void EmitPolylineEnd();

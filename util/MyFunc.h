// Unit MyFunc: small shared helpers over Shift-JIS byte strings and doubles.
// Nothing here keeps state, allocates beyond its result, or throws.
#pragma once

#include "util/exchange.h"
#include "util/geometry.h"
#include "util/number_parse.h"
#include "util/sjis.h"

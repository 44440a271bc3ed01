// Unit MyFunc: small shared helpers over Shift-JIS byte strings and doubles.
// Nothing here keeps state or allocates beyond its result; only making a
// result string can throw (std::bad_alloc), and all else is noexcept.
#pragma once

#include "util/exchange.h"
#include "util/geometry.h"
#include "util/number_parse.h"
#include "util/sjis.h"

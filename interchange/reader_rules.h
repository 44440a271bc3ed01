// The reader's rules, shared by the rule table (reader_rules.cpp) and the
// rules that store entities (reader_entities.cpp). Internal to the reader.
#pragma once

#include <cmath>
#include <cstdint>

#include "interchange/line_tokens.h"
#include "interchange/number_text.h"
#include "util/number_parse.h"

// What a rule does with the line it took: false when a real the line uses is
// too large for a double, or when the entity's table is too large for
// EntityOrder to name another record; the line then has no effect. The argument is
// the rule's own (a text command, a z bit, a field); memory running out
// throws std::bad_alloc, which the reader catches.
using RuleHandler = bool (*)(const LineTokens& tokens, int argument);

// Interprets a tokenised line by the rule table; false as for a RuleHandler.
bool InterpretLine(const LineTokens& tokens);

// Reads tokens first .. first+count-1 as reals; false when one of them is too
// large for a double, or so close to the largest that its written form would
// round above it and the host could not read it back.
inline bool ReadReals(const LineTokens& t, int first, int count, double* out) {
  for (int i = 0; i < count; ++i) {
    const RealParse real = ParseRealWithin(t[first + i], t.ReadableEnd);
    // Below 1e308 no written form can round above the largest double, so the
    // call is left for the few values that could.
    if (real.Overflow || (std::fabs(real.Value) >= 1e308 && RealTextOverflows(real.Value))) {
      return false;
    }
    out[i] = real.Value;
  }
  return true;
}

// A plain line that waited for its "cs" in vain is lost to the host.
void EndMessageMode();

// The z flags are spent, and polyline and message mode end.
void EndEntity();

// The rules that store an entity, each ending it.
bool StoreCircle(const LineTokens& t, int);
bool StoreArc(const LineTokens& t, int);
bool StoreText(const LineTokens& t, int command);
bool StorePoint(const LineTokens& t, int);
bool StoreTypedPoint(const LineTokens& t, int);
bool StoreBlock(const LineTokens& t, int);
bool StoreSl(const LineTokens& t, int);
bool StoreSc(const LineTokens& t, int);
bool StoreSe(const LineTokens& t, int);
bool StoreSo(const LineTokens& t, int);
bool StoreSg(const LineTokens& t, int);

// Four tokens that no rule took: a plain line. Does not end an entity.
bool StorePlainLine(const LineTokens& t);

// The whole interchange state as text, every real by its exact bits, so that
// two states compare with ==, and a difference shows as a readable diff.
#pragma once

#include <string>

std::string DumpInterchangeState();

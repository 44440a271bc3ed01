// The whole interchange state as text, every real by its exact bits, so that
// two states compare with ==, and a difference shows as a readable diff.
#pragma once

#include <cstdint>
#include <string>

std::string DumpInterchangeState();

// The same values mixed into 64 bits, without the text: for comparing states
// where speed counts more than a readable difference (the fuzz targets).
std::uint64_t DigestInterchangeState();

// The tokeniser's rules one byte at a time, as simply as they can be said:
// what the fuzz target and the unit tests hold TokeniseLineInPlace to.
#pragma once

#include <string>
#include <string_view>
#include <vector>

std::vector<std::string> ReferenceTokens(std::string_view line);

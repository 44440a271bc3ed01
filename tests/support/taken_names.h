// Temporary names taken before the file layer gets to them, as a leftover of
// a killed run or another copy's file would take them. The names cannot be
// known in advance (clock, counter, process id), so the test executables
// that use this are linked with --wrap=open: every open(2) of the file layer
// passes through here, and an armed open of a new temporary name first finds
// a regular file planted at that very name. POSIX builds only.
#pragma once

#include <string>
#include <vector>

// The next count exclusive opens of a temporary name (".k726-" in it) find
// the name taken; later ones go through untouched.
void TakeNextTemporaryNames(int count);

// The names taken since the last TakeNextTemporaryNames, in order; each
// holds the bytes of kPlantedBytes.
std::vector<std::string> TakenTemporaryNames();

inline constexpr const char* kPlantedBytes = "left";

// The interchange file reader: one command per line, tokenised Shift-JIS-aware
// and interpreted by a fixed table of rules into the state of state.h.
//
//   hk 30
//   lg2
//   lc10 255
//   ch 10 20 5 0 "ABC
//   0 0 100 0
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Reads the file at path line by line (LF or CR LF, no length limit, 0x1A at
// the start of a line ends it). False when the file is missing (nothing
// changed) or reading failed part-way, including a real too large for a
// double: what the lines before produced stays. False too when the read
// dropped part of the selection: a plain line of a dimension that no "cs"
// took, or anything but 0x1A bytes, line ends and blanks after the 0x1A; and
// when a table would outgrow what EntityOrder can index.
bool ReadInterchangeFile(const std::string& path) noexcept;

// The same, reading blockBytes at a time (the buffer still grows to hold a
// longer line). Tests use tiny blocks so that lines straddle block ends.
bool ReadInterchangeFileInBlocks(const std::string& path, std::size_t blockBytes) noexcept;

// Interprets one line without its line end. Returns false when a value the
// line uses is a real too large for a double, or when memory ran out while
// storing it; the line then has no effect.
bool ParseInterchangeLine(std::string_view line) noexcept;

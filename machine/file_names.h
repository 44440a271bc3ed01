// Names of the temporary files beside a replaced file, shared by both file
// layers: "<file name>.k726-<16 hex digits>.tmp". The pattern is ours alone,
// so that cleaning up after a killed run touches nothing else in the folder.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// path followed by ".k726-", unique as 16 lower-case hex digits, and ".tmp".
std::string TemporaryNameFor(const std::string& path, std::uint64_t unique);

// Whether fileName (no folder) is a temporary name of targetName's pattern.
bool IsTemporaryNameOf(std::string_view fileName, std::string_view targetName);

// A number unlikely to repeat across processes and calls: the process id,
// the clock and a counter, mixed.
std::uint64_t UniqueNumber(std::uint64_t processId);

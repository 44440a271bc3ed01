// The few file operations the core needs, in the OS's own path encoding (the
// ANSI code page on Windows). None of them throws. Every file the core opens
// goes through here, so the fuzz targets can put an in-memory folder behind
// these calls and run the whole job with no disk access.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

bool FileExists(const std::string& path);

// Opens path for reading bytes; nullptr when it cannot be opened. The caller
// closes it with std::fclose.
std::FILE* OpenFileForReading(const std::string& path);

// Writes bytes to a temporary file in path's folder, flushes it to stable
// storage and renames it over path in one step, so a reader of path sees the
// old file or the whole new one, never a part. False on any failure; the
// temporary file is then removed and path is untouched.
bool ReplaceFileAtomically(const std::string& path, std::string_view bytes);

// Removes path if it exists; failures are ignored.
void RemoveFileQuietly(const std::string& path);

// The file layer of machine/file_io.h over an in-memory folder, for the fuzz
// targets: an input becomes a "file" without touching the disk, and what the
// job writes back is found here afterwards.
#pragma once

#include <string>
#include <string_view>

// Puts bytes at path, replacing what was there.
void PutMemoryFile(const std::string& path, std::string_view bytes);
// The bytes at path, or nullptr when no file is there.
const std::string* FindMemoryFile(const std::string& path);
// Removes every file.
void ClearMemoryFiles();

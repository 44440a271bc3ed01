#include "memory_files.h"

#include <cstdio>
#include <map>

#include "platform/file_io.h"

namespace {

// A handful of paths at most: the interchange file and the settings file.
std::map<std::string, std::string, std::less<>> files;

}  // namespace

void PutMemoryFile(const std::string& path, std::string_view bytes) {
  files.insert_or_assign(path, std::string(bytes));
}

const std::string* FindMemoryFile(const std::string& path) {
  const auto found = files.find(path);
  return found == files.end() ? nullptr : &found->second;
}

void ClearMemoryFiles() { files.clear(); }

bool FileExists(const std::string& path) { return FindMemoryFile(path) != nullptr; }

// The stream reads the stored bytes in place; they stay put until the next
// Put or Remove of the same path, which no reader does while it reads.
std::FILE* OpenFileForReading(const std::string& path) {
  const auto found = files.find(path);
  if (found == files.end()) return nullptr;
  return ::fmemopen(found->second.data(), found->second.size(), "r");
}

bool ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
  PutMemoryFile(path, bytes);
  return true;
}

void RemoveFileQuietly(const std::string& path) { files.erase(path); }

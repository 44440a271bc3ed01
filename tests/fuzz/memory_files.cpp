#include "memory_files.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "machine/file_io.h"

namespace {

// A handful of paths at most: the interchange file and the settings file.
std::map<std::string, std::string, std::less<>> files;

// What an open InputFile reads: the stored bytes, which stay put while it
// reads (no reader puts or removes the file it is reading), and a position.
struct OpenFile {
  const std::string* Bytes;
  std::size_t At = 0;
};

}  // namespace

void PutMemoryFile(const std::string& path, std::string_view bytes) {
  files.insert_or_assign(path, std::string(bytes));
}

const std::string* FindMemoryFile(const std::string& path) {
  const auto found = files.find(path);
  return found == files.end() ? nullptr : &found->second;
}

void ClearMemoryFiles() { files.clear(); }

bool FileExists(const std::string& path) noexcept { return FindMemoryFile(path) != nullptr; }

InputFile::InputFile(const std::string& path) noexcept {
  if (const std::string* bytes = FindMemoryFile(path)) {
    handle_ = reinterpret_cast<std::intptr_t>(new OpenFile{bytes});
  }
}

InputFile::~InputFile() noexcept {
  if (IsOpen()) delete reinterpret_cast<OpenFile*>(handle_);
}

std::ptrdiff_t InputFile::Read(char* buffer, std::size_t size) noexcept {
  if (!IsOpen()) return -1;
  OpenFile& file = *reinterpret_cast<OpenFile*>(handle_);
  const std::size_t got = std::min(size, file.Bytes->size() - file.At);
  if (got > 0) std::memcpy(buffer, file.Bytes->data() + file.At, got);
  file.At += got;
  return static_cast<std::ptrdiff_t>(got);
}

// The replacement's bytes gather in temporary_ and become the file at commit.
ReplacementFile::~ReplacementFile() noexcept = default;

bool ReplacementFile::Create(const std::string& path, FileWaitBudget& budget) noexcept {
  path_ = path;
  temporary_.clear();
  budget_ = &budget;
  failed_ = false;
  handle_ = 0;
  return true;
}

bool ReplacementFile::Write(std::string_view bytes) noexcept {
  if (handle_ == kClosed) return false;
  temporary_.append(bytes);
  return true;
}

bool ReplacementFile::Commit() noexcept {
  if (handle_ == kClosed) return false;
  PutMemoryFile(path_, temporary_);
  handle_ = kClosed;
  return true;
}

void ReplacementFile::Discard() noexcept {
  temporary_.clear();
  handle_ = kClosed;
}

bool OverwriteFileInPlace(const std::string& path, std::string_view bytes,
                          FileWaitBudget&) noexcept {
  if (!FileExists(path)) return false;
  PutMemoryFile(path, bytes);
  return true;
}

void RemoveFileQuietly(const std::string& path, FileWaitBudget&) noexcept { files.erase(path); }

void RemoveFileQuietly(const std::string& path) noexcept { files.erase(path); }

// No run of the fuzz targets is ever killed half-way.
void RemoveStaleTemporaries(const std::string&) noexcept {}

std::size_t FileNameStart(std::string_view path) noexcept {
  const std::size_t separator = path.find_last_of('/');
  return separator == std::string_view::npos ? 0 : separator + 1;
}

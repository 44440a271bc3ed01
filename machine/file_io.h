// The file operations of the core: reading a file in blocks, replacing a file
// whole, overwriting it in place and removing it. Paths are bytes as the
// platform hands them to the core: UTF-8 in the Windows build (converted to
// UTF-16 for the W APIs, with the \\?\ form for long paths), the bytes as
// they are on Linux. None of these functions throws.
//
// The Windows layer waits out another program's brief hold on a file (a
// virus scanner, an indexer): a sharing or lock violation, or access denied
// on a file that is not read-only, is retried up to 10 times after 25 ms ×
// the retry number, within the caller's FileWaitBudget.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Milliseconds an operation, or a group of them, may spend waiting.
struct FileWaitBudget {
  std::int32_t Milliseconds = 3000;
};

// Position of the first byte of the path's last component (0 when the path
// names no folder). On Windows "\", "/" and ":" separate; UTF-8 never has
// these bytes inside a character, so a byte scan is safe.
std::size_t FileNameStart(std::string_view path) noexcept;

// True when path names a regular file (links followed).
bool FileExists(const std::string& path) noexcept;

// A regular file opened for reading; never blocks on a FIFO or a device.
class InputFile {
 public:
  explicit InputFile(const std::string& path) noexcept;
  ~InputFile() noexcept;
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  bool IsOpen() const noexcept { return handle_ != kClosed; }
  // Bytes read into buffer, 0 at the end, -1 after a failure.
  std::ptrdiff_t Read(char* buffer, std::size_t size) noexcept;

 private:
  static constexpr std::intptr_t kClosed = -1;
  std::intptr_t handle_ = kClosed;
};

// A new temporary file beside path, named "<file name>.k726-<unique>.tmp" and
// created exclusively without following links, that replaces path whole once
// it is complete: written in as many pieces as the caller likes, flushed to
// disk and renamed over path, so that path holds the old file or the whole new
// one. A file that is not committed, or whose commit fails, is removed and
// path is left as it was. The budget given to Create serves every later wait
// and must outlive the object.
class ReplacementFile {
 public:
  ReplacementFile() noexcept = default;
  ~ReplacementFile() noexcept;
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  // False when no temporary file could be made (no room, no memory for its
  // name, a folder that takes no new file).
  bool Create(const std::string& path, FileWaitBudget& budget) noexcept;
  // Appends bytes; false after any failure, and every later call fails too.
  bool Write(std::string_view bytes) noexcept;
  // Flushes, closes and renames over path; true only when all of it worked.
  bool Commit() noexcept;
  // Closes and removes the temporary file now, freeing its disk space; later
  // calls fail. Create starts afresh.
  void Discard() noexcept;

 private:
  static constexpr std::intptr_t kClosed = -1;
  std::string path_;
  std::string temporary_;
  std::string folder_;  // synced after the rename; named early, as that must not fail
  std::intptr_t handle_ = kClosed;
  FileWaitBudget* budget_ = nullptr;
  bool failed_ = false;
};

// The whole of bytes through a ReplacementFile.
bool ReplaceFileAtomically(const std::string& path, std::string_view bytes,
                           FileWaitBudget& budget) noexcept;
bool ReplaceFileAtomically(const std::string& path, std::string_view bytes) noexcept;

// Writes bytes over the start of the existing regular file at path and cuts
// it to their length: a short text needs no new disk blocks, so this works on
// a full disk and in a folder that takes no new file. Allocates nothing.
bool OverwriteFileInPlace(const std::string& path, std::string_view bytes,
                          FileWaitBudget& budget) noexcept;

// Removes path if it exists; failures are ignored. Allocates nothing.
void RemoveFileQuietly(const std::string& path, FileWaitBudget& budget) noexcept;
void RemoveFileQuietly(const std::string& path) noexcept;

// Removes temporary files of path's name pattern (above) that a killed run
// left: regular files only, and only those last written over a minute ago,
// which no running copy can still be writing.
void RemoveStaleTemporaries(const std::string& path) noexcept;

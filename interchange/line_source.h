// Lines of a byte stream, for the interchange file and the settings file. A
// line ends at LF or at CR LF and has no length limit; a lone CR is part of
// its line. The last line may lack its LF, and a CR at its very end goes all
// the same, as a line end cut short:
//
//   "a\r\nb\rc\nd\r"   ->  "a"  "b\rc"  "d"
//
// Lines are handed out writable, where they lie, so that the tokeniser can
// work on them in place.
#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <span>

#include "machine/file_io.h"

// Bytes a file is read by at a time: large enough that the calls to read
// cost nothing beside the lines (from 64 KiB up the time is the same), small
// enough to stay in the cache and to take no fresh mapping for each small file.
inline constexpr std::size_t kReadBlockBytes = std::size_t{64} << 10;

// The line of size bytes at data, less a CR that ends it.
inline std::span<char> WithoutCr(char* data, std::size_t size) {
  if (size > 0 && data[size - 1] == '\r') --size;
  return {data, size};
}

// Where the lines come from: a file read in blocks, or bytes already in
// memory (a file read whole or mapped).
class LineSource {
 public:
  enum class Status { Line, End, Failed };

  virtual ~LineSource() = default;
  // The next line without its line end, valid and writable until the next
  // call; End after the last line, Failed when reading failed. May throw
  // std::bad_alloc when a line outgrows memory.
  virtual Status Next(std::span<char>& line) = 0;
};

// The lines of bytes in memory; Next never fails.
class MemoryLineSource final : public LineSource {
 public:
  explicit MemoryLineSource(std::span<char> bytes) : rest_(bytes) {}
  Status Next(std::span<char>& line) override;

 private:
  std::span<char> rest_;
};

// The lines of a file read blockBytes at a time into one buffer: a line that
// runs past the buffer's end moves to its front, and the buffer doubles when
// one line fills it.
class FileLineSource final : public LineSource {
 public:
  FileLineSource(InputFile& file, std::size_t blockBytes);
  // A line that lies whole in the buffer is found here, inline; Refill reads
  // on until one does.
  Status Next(std::span<char>& line) override {
    char* const data = buffer_.get() + begin_;
    if (const void* lf = std::memchr(data + scanned_, '\n', end_ - begin_ - scanned_)) {
      const auto size = static_cast<std::size_t>(static_cast<const char*>(lf) - data);
      begin_ += size + 1;
      scanned_ = 0;
      line = WithoutCr(data, size);
      return Status::Line;
    }
    return Refill(line);
  }

  // The bytes read and not yet handed out, for a caller that finds the next
  // line end itself; it then takes the line, end included, with Skip.
  std::span<char> Pending() { return {buffer_.get() + begin_, end_ - begin_}; }
  void Skip(std::size_t bytes) {
    begin_ += bytes;
    scanned_ = 0;
  }

 private:
  Status Refill(std::span<char>& line);

  InputFile& file_;
  std::unique_ptr<char[]> buffer_;
  std::size_t capacity_;
  std::size_t begin_ = 0;    // start of the next line
  std::size_t scanned_ = 0;  // bytes from begin_ known to hold no LF
  std::size_t end_ = 0;      // end of the bytes read
  bool atEnd_ = false;
};

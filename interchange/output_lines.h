// The output line list and the file writer. Every line sent back to the host
// passes through OutputLines; WriteInterchangeFile puts it on disk at the end.
//
// File form: each entry is one line ended by CR LF, except that an entry whose
// last byte is '"' is followed on the same line by the next entry. That is how
// a text command («ch 10 20 5 0 "») and its content become one line:
//   ch 10 20 5 0 "ABC
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Entries live end to end in one byte arena: appending costs no allocation per
// line, only the arena's amortised growth and the offsets' steps of 1000.
class OutputLineList {
 public:
  static constexpr std::size_t kMaxLineBytes = 255;

  std::int32_t Count() const { return count_; }
  // Entries the offset storage holds: grows in steps of 1000, like the tables.
  std::size_t Capacity() const { return ends_.size(); }
  std::string_view operator[](std::int32_t i) const;

  // Keeps the first 255 bytes of line; nothing else is checked or changed.
  void Add(std::string_view line);
  void Clear();
  // Drops the entries from position count on (count at most Count()); the
  // storage stays as it is.
  void Truncate(std::int32_t count);
  void Release();
  // Total bytes of all entries, without line ends.
  std::size_t ByteSize() const { return bytes_.size(); }

 private:
  std::string bytes_;
  std::vector<std::size_t> ends_;  // end offset of entry i in bytes_
  std::int32_t count_ = 0;
};

extern OutputLineList OutputLines;

void AddOutputLine(std::string_view line);
void ClearOutputLines();

// Builds the file image of OutputLines ("hq" CR LF for an empty list).
std::string RenderInterchangeFile();

// Replaces the file at path with the list, so that the host finds either the
// complete result or "hq" (which leaves the drawing as it was), never its own
// selection and never no file while that can be avoided:
//   1. the image by temporary file and rename (the host never sees a part);
//   2. failing that, "hq" the same way;
//   3. failing that (a full disk, a folder that takes no new file), "hq"
//      written over the existing file in place;
//   4. only when that fails too, the file is removed.
// Running out of memory while building the image goes to step 2; steps 3 and
// 4 allocate nothing. All waits together stay within 3 s. Temporary files
// that killed runs left beside path are removed. True only after step 1.
bool WriteInterchangeFile(const std::string& path);

// Steps 2 to 4 alone: the answer after a failure that left no result.
void WriteInterchangeQuit(const std::string& path);

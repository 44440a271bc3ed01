// Where the emitted lines go, through OutputLines: in a run the streamed
// image of the interchange file (ImageRenderer); in tests and benchmarks a
// store in memory. Lines arrive cut to 255 bytes.
#pragma once

#include <cstddef>
#include <string_view>

class LineSink {
 public:
  // Where a line of up to bytes may be composed in place before PutComposed;
  // nullptr when it must be composed elsewhere and Put.
  virtual char* ComposeSpace(std::size_t bytes) = 0;
  // Every call below returns false once the sink has failed or cannot do it:
  // then the lines it took no longer make the result.
  virtual bool PutComposed(const char* begin, const char* end) = 0;
  virtual bool Put(std::string_view line) = 0;
  // Takes back the last count lines: an entity undoing its own lines.
  virtual bool TakeBack(int count) = 0;
  // The end of an entity; nothing before it is taken back later.
  virtual bool AtBoundary() = 0;
  // Forgets every line: the list was cleared.
  virtual bool Restart() = 0;

 protected:
  ~LineSink() = default;
};

// The interchange file as the host reads it back: the image of OutputLines,
// written whole or not at all.
//
// File form: each entry is one line ended by CR LF, except that an entry whose
// last byte is '"' is followed on the same line by the next entry. That is how
// a text command («ch 10 20 5 0 "») and its content become one line:
//   ch 10 20 5 0 "ABC
// An empty list is the file "hq" alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "machine/file_io.h"

// Where rendered pieces of the image go, in order.
class ImageSink {
 public:
  // False stops the rendering; every later piece is refused.
  virtual bool Write(std::string_view piece) = 0;

 protected:
  ~ImageSink() = default;
};

// Renders entries in the file form into a caller's buffer of capacity bytes
// (at least kMinCapacity), handing each filled piece to the sink.
class ImageRenderer {
 public:
  // A text's command line and its content, each at their limit, and CR LF.
  static constexpr std::size_t kMinCapacity = 2 * 255 + 2;
  static constexpr int kTakeBackEntries = 8;

  ImageRenderer(char* buffer, std::size_t capacity, ImageSink& sink)
      : buffer_(buffer), capacity_(capacity), sink_(sink) {}

  // False once the sink refused a piece; then nothing more is rendered.
  bool Put(std::string_view entry);
  // Takes back the last count entries, when all of them were put since the
  // last boundary and the last piece handed on, and they are at most
  // kTakeBackEntries; false, and nothing taken back, otherwise.
  bool TakeBack(int count);
  // The end of an entity: the buffer goes on once it is nearly full, never in
  // the middle of an entity that might take lines back. False once the sink
  // refused a piece.
  bool AtBoundary();
  // Hands over what the buffer still holds; "hq" when no entry stayed put.
  bool Finish();

 private:
  // Room an entity is sure to find after a boundary: far more than any
  // entity's lines, so that Put never has to hand on a piece within one.
  static constexpr std::size_t kBoundaryRoom = std::size_t{64} << 10;

  struct Mark {
    std::size_t Used;
    bool JoinNext;
  };

  bool Flush();

  char* buffer_;
  std::size_t capacity_;
  ImageSink& sink_;
  std::size_t used_ = 0;
  bool joinNext_ = false;  // the last entry ended with '"': the next shares its line
  bool failed_ = false;
  std::int64_t entries_ = 0;           // put and not taken back
  Mark marks_[kTakeBackEntries] = {};  // where the last entries began, in a ring
  int takeBackable_ = 0;               // of those, put since the last boundary
};

// Appends the pieces to a ReplacementFile.
class ReplacementFileSink final : public ImageSink {
 public:
  explicit ReplacementFileSink(ReplacementFile& file) : file_(file) {}
  bool Write(std::string_view piece) override { return file_.Write(piece); }

 private:
  ReplacementFile& file_;
};

// Builds the file image of OutputLines.
std::string RenderInterchangeFile();

// Replaces the file at path with the list, so that the host finds either the
// complete result or "hq" (which leaves the drawing as it was), never its own
// selection and never no file while that can be avoided:
//   1. the image by temporary file and rename (the host never sees a part);
//   2. failing that, "hq" the same way;
//   3. failing that (a full disk, a folder that takes no new file), "hq"
//      written over the existing file in place;
//   4. only when that fails too, the file is removed.
// The image is written as it is built, in pieces of 1 MiB, never held whole.
// Running out of memory while building the image goes to step 2; steps 3 and
// 4 allocate nothing. All waits together stay within 3 s. Temporary files
// that killed runs left beside path are removed. True only after step 1.
bool WriteInterchangeFile(const std::string& path);

// Steps 2 to 4 alone: the answer after a failure that left no result.
void WriteInterchangeQuit(const std::string& path);

// WriteInterchangeFile with the image streamed into the temporary file while
// the emitters fill OutputLines, so that a large result is never held whole:
// every entry goes to the renderer as it comes, and the renderer's buffer to
// the file at the end of an entity once it is nearly full (the list's
// EndEntity). Made before the emitters run, with the list empty; Finish then
// does the steps above with what was streamed: after a Clear part-way (the
// user's Escape) it writes what the list holds since, and after a failure
// "hq". When the temporary file cannot be made at the start, the list fills
// as usual and Finish is WriteInterchangeFile. An object destroyed without Finish (an
// exception on the way) removes its temporary file and leaves path as it was.
class StreamedInterchangeFile {
 public:
  explicit StreamedInterchangeFile(const std::string& path);
  ~StreamedInterchangeFile();
  StreamedInterchangeFile(const StreamedInterchangeFile&) = delete;
  StreamedInterchangeFile& operator=(const StreamedInterchangeFile&) = delete;

  // True only when the streamed image replaced path (step 1).
  bool Finish();

 private:
  void Detach();

  std::string path_;
  FileWaitBudget budget_;
  ReplacementFile file_;
  ReplacementFileSink sink_{file_};
  std::unique_ptr<char[]> buffer_;
  std::optional<ImageRenderer> renderer_;  // present while streaming
};

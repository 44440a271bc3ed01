// The interchange file as the host reads it back: the image of OutputLines
// (image_renderer.h has its form), written whole or not at all.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "interchange/image_renderer.h"
#include "machine/file_io.h"

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

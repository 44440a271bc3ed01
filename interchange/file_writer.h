// The interchange file as the host reads it back: the image of OutputLines
// (image_renderer.h has its form), written whole or not at all. The host
// finds either the complete result or "hq" (which leaves the drawing as it
// was), never its own selection and never no file while that can be avoided:
//   1. the image by temporary file and rename (the host never sees a part);
//   2. failing that, "hq" the same way;
//   3. failing that (a full disk, a folder that takes no new file), "hq"
//      written over the existing file in place;
//   4. only when that fails too, the file is removed.
// Steps 3 and 4 allocate nothing. All waits together stay within 3 s.
// Temporary files that killed runs left beside the file are removed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "interchange/image_renderer.h"
#include "machine/file_io.h"

// Appends the pieces to a ReplacementFile for path; a restart makes a new
// temporary file in its place.
class ReplacementFileSink final : public ImageSink {
 public:
  ReplacementFileSink(ReplacementFile& file, const std::string& path, FileWaitBudget& budget)
      : file_(file), path_(path), budget_(budget) {}
  bool Write(std::string_view piece) override { return file_.Write(piece); }
  bool Restart() override {
    file_.Discard();
    return file_.Create(path_, budget_);
  }

 private:
  ReplacementFile& file_;
  const std::string& path_;
  FileWaitBudget& budget_;
};

// Steps 2 to 4 alone: the answer after a failure that left no result.
void WriteInterchangeQuit(const std::string& path);

// How a run writes its result: the image streamed into the temporary file
// in pieces of 1 MiB while the emitters fill OutputLines, so that a large
// result is never held whole. Every entry goes to the renderer as it comes,
// and the renderer's buffer to the file at the end of an entity once it is
// nearly full (the list's EndEntity); a Clear part-way (the user's Escape)
// starts the image afresh in a new temporary file. Made before the emitters
// run, with the list empty; Finish then does step 1 with what was streamed,
// and after any failure steps 2 to 4. When no temporary file (or no buffer)
// can be had at the start, nothing is streamed and Finish writes "hq" at
// once. An object destroyed without Finish (an exception on the way) removes
// its temporary file and leaves path as it was.
class StreamedInterchangeFile {
 public:
  explicit StreamedInterchangeFile(const std::string& path);
  ~StreamedInterchangeFile();
  StreamedInterchangeFile(const StreamedInterchangeFile&) = delete;
  StreamedInterchangeFile& operator=(const StreamedInterchangeFile&) = delete;

  // False when nothing is streamed: the run's result is "hq" whatever it emits.
  bool Streaming() const { return renderer_.has_value(); }
  // True only when the streamed image replaced path (step 1).
  bool Finish();

 private:
  void Detach();

  std::string path_;
  FileWaitBudget budget_;
  ReplacementFile file_;
  ReplacementFileSink sink_{file_, path_, budget_};
  std::unique_ptr<char[]> buffer_;
  std::optional<ImageRenderer> renderer_;  // present while streaming
};

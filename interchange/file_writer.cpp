#include "interchange/file_writer.h"

#include "interchange/output_lines.h"

namespace {

// The image goes to disk in pieces of this size as it is built, so that it
// is never held whole.
constexpr std::size_t kImageBlockBytes = std::size_t{1} << 20;

void WriteQuitWithin(const std::string& path, FileWaitBudget& budget) {
  bool written = ReplaceFileAtomically(path, kQuitImage, budget);
  // No room for a new file, or no memory for its name: in place needs neither.
  if (!written) written = OverwriteFileInPlace(path, kQuitImage, budget);
  if (!written) RemoveFileQuietly(path, budget);
}

}  // namespace

void WriteInterchangeQuit(const std::string& path) {
  FileWaitBudget budget;
  WriteQuitWithin(path, budget);
  RemoveStaleTemporaries(path);
}

StreamedInterchangeFile::StreamedInterchangeFile(const std::string& path) : path_(path) {
  try {
    buffer_ = std::make_unique_for_overwrite<char[]>(kImageBlockBytes);
  } catch (...) {
    return;  // nothing is streamed; Finish writes "hq"
  }
  if (!file_.Create(path_, budget_)) return;
  renderer_.emplace(buffer_.get(), kImageBlockBytes, sink_);
  OutputLines.Attach(&*renderer_);
}

StreamedInterchangeFile::~StreamedInterchangeFile() { Detach(); }

void StreamedInterchangeFile::Detach() {
  if (renderer_) OutputLines.Attach(nullptr);
}

bool StreamedInterchangeFile::Finish() {
  const bool live = renderer_ && OutputLines.StreamState() == OutputLineList::Stream::Live;
  Detach();
  const bool written = live && renderer_->Finish() && file_.Commit();
  renderer_.reset();
  if (written) {
    RemoveStaleTemporaries(path_);
    return true;
  }
  // A failed file goes first: on a full disk its blocks are what "hq" needs.
  file_.Discard();
  WriteQuitWithin(path_, budget_);
  RemoveStaleTemporaries(path_);
  return false;
}

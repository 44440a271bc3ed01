#include "interchange/file_writer.h"

#include <algorithm>
#include <cstring>

#include "interchange/output_lines.h"

namespace {

// The image goes to disk in pieces of this size as it is built, so that it
// is never held whole beside the list.
constexpr std::size_t kImageBlockBytes = std::size_t{1} << 20;

// An upper bound of the image's size: every entry with a line end.
std::size_t ImageBound() {
  return OutputLines.ByteSize() + 2 * static_cast<std::size_t>(OutputLines.Count()) +
         kQuitImage.size();
}

bool RenderList(ImageRenderer& renderer) {
  return OutputLines.ForEach([&](std::string_view entry) { return renderer.Put(entry); }) &&
         renderer.Finish();
}

// The image by temporary file and rename, written as it is rendered. Throws
// only when there is no memory for the buffer, before any file is made.
bool WriteImageWithin(const std::string& path, FileWaitBudget& budget) {
  const std::size_t capacity =
      std::min(ImageBound() + ImageRenderer::kMinCapacity, kImageBlockBytes);
  const auto buffer = std::make_unique_for_overwrite<char[]>(capacity);
  ReplacementFile file;
  if (!file.Create(path, budget)) return false;
  ReplacementFileSink sink(file, path, budget);
  ImageRenderer renderer(buffer.get(), capacity, sink);
  return RenderList(renderer) && file.Commit();
}

void WriteQuitWithin(const std::string& path, FileWaitBudget& budget) {
  bool written = ReplaceFileAtomically(path, kQuitImage, budget);
  // No room for a new file, or no memory for its name: in place needs neither.
  if (!written) written = OverwriteFileInPlace(path, kQuitImage, budget);
  if (!written) RemoveFileQuietly(path, budget);
}

bool WriteListWithin(const std::string& path, FileWaitBudget& budget) {
  bool written = false;
  try {
    written = WriteImageWithin(path, budget);
  } catch (...) {
    // No memory for the image's buffer: "hq" needs none.
  }
  if (!written) WriteQuitWithin(path, budget);
  RemoveStaleTemporaries(path);
  return written;
}

}  // namespace

std::string RenderInterchangeFile() {
  class StringSink final : public ImageSink {
   public:
    bool Write(std::string_view piece) override {
      image.append(piece);
      return true;
    }
    bool Restart() override {
      image.clear();
      return true;
    }
    std::string image;
  } sink;
  sink.image.reserve(ImageBound());
  char buffer[4 * ImageRenderer::kMinCapacity];
  ImageRenderer renderer(buffer, sizeof buffer, sink);
  RenderList(renderer);
  return std::move(sink.image);
}

void WriteInterchangeQuit(const std::string& path) {
  FileWaitBudget budget;
  WriteQuitWithin(path, budget);
  RemoveStaleTemporaries(path);
}

bool WriteInterchangeFile(const std::string& path) {
  FileWaitBudget budget;
  return WriteListWithin(path, budget);
}

StreamedInterchangeFile::StreamedInterchangeFile(const std::string& path) : path_(path) {
  try {
    buffer_ = std::make_unique_for_overwrite<char[]>(kImageBlockBytes);
  } catch (...) {
    return;  // nothing is streamed; Finish writes "hq"
  }
  if (!file_.Create(path_, budget_)) return;
  renderer_.emplace(buffer_.get(), kImageBlockBytes, sink_);
  OutputLines.AttachRenderer(&*renderer_);
}

StreamedInterchangeFile::~StreamedInterchangeFile() { Detach(); }

void StreamedInterchangeFile::Detach() {
  if (renderer_) OutputLines.AttachRenderer(nullptr);
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

#include "interchange/output_lines.h"

#include <algorithm>
#include <cstring>

#include "interchange/system_strings.h"
#include "machine/file_io.h"

OutputLineList OutputLines;

std::uint64_t OutputLineList::EndOf(std::size_t i) const {
  const EndBlock& block = *endBlocks_[i / kStep];
  const std::size_t j = i % kStep;
  return block.Base + block.GroupBase[j / kGroup] + block.Ends[j];
}

std::string_view OutputLineList::operator[](std::int32_t i) const {
  const std::size_t index = static_cast<std::size_t>(i);
  const std::uint64_t end = EndOf(index);
  const std::uint64_t begin = index == 0 ? 0 : EndOf(index - 1);
  if (end == begin) return {};
  // The last chunk that starts at or before the entry holds it whole: an
  // entry that did not fit behind the previous one opened the next chunk.
  const std::size_t chunk = static_cast<std::size_t>(
      std::upper_bound(chunkStarts_.begin(), chunkStarts_.end(), begin) - chunkStarts_.begin() - 1);
  return {chunks_[chunk].get() + (begin - chunkStarts_[chunk]),
          static_cast<std::size_t>(end - begin)};
}

void OutputLineList::Add(std::string_view line) {
  const std::size_t size = std::min(line.size(), kMaxLineBytes);
  // Everything that can fail comes first, so a failure changes nothing seen.
  if (static_cast<std::size_t>(count_) == Capacity()) {
    auto block = std::make_unique_for_overwrite<EndBlock>();
    block->Base = tail_;
    endBlocks_.push_back(std::move(block));
  }
  if (chunks_.empty() || tail_ - chunkStarts_.back() + size > chunkBytes_) {
    // Small selections stay in small chunks; large ones soon get large ones.
    const std::size_t bytes =
        std::min(kFirstChunkBytes << std::min(chunks_.size(), std::size_t{4}), kLastChunkBytes);
    chunkStarts_.reserve(chunks_.size() + 1);
    chunks_.push_back(std::make_unique_for_overwrite<char[]>(bytes));
    chunkStarts_.push_back(tail_);
    chunkBytes_ = bytes;
  }
  if (size > 0)
    std::memcpy(chunks_.back().get() + (tail_ - chunkStarts_.back()), line.data(), size);
  EndBlock& block = *endBlocks_.back();
  const std::size_t j = static_cast<std::size_t>(count_) % kStep;
  if (j % kGroup == 0) block.GroupBase[j / kGroup] = static_cast<std::uint32_t>(tail_ - block.Base);
  tail_ += size;
  byteSize_ += size;
  block.Ends[j] = static_cast<std::uint16_t>(tail_ - block.Base - block.GroupBase[j / kGroup]);
  ++count_;
}

void OutputLineList::Clear() {
  count_ = 0;
  Release();
}

void OutputLineList::Truncate(std::int32_t count) {
  if (count < 0 || count >= count_) return;
  const std::uint64_t end = count == 0 ? 0 : EndOf(static_cast<std::size_t>(count) - 1);
  byteSize_ -= static_cast<std::size_t>(tail_ - end);
  // Chunks and end blocks that only the dropped entries used go too, so that
  // the next Add opens them afresh from the new end.
  const std::size_t used = static_cast<std::size_t>(
      std::lower_bound(chunkStarts_.begin(), chunkStarts_.end(), end) - chunkStarts_.begin());
  const std::size_t kept = std::max(used, std::size_t{1});
  chunks_.resize(kept);
  chunkStarts_.resize(kept);
  chunkBytes_ = std::min(kFirstChunkBytes << std::min(kept - 1, std::size_t{4}), kLastChunkBytes);
  endBlocks_.resize((static_cast<std::size_t>(count) + kStep - 1) / kStep);
  tail_ = end;
  count_ = count;
}

void OutputLineList::Release() {
  std::vector<std::unique_ptr<char[]>>().swap(chunks_);
  std::vector<std::uint64_t>().swap(chunkStarts_);
  std::vector<std::unique_ptr<EndBlock>>().swap(endBlocks_);
  tail_ = 0;
  chunkBytes_ = 0;
  byteSize_ = 0;
}

void AddOutputLine(std::string_view line) { OutputLines.Add(line); }

void ClearOutputLines() { OutputLines.Clear(); }

namespace {

constexpr std::string_view kQuitImage = "hq\r\n";
// A text's command line and its content, each at their limit, and CR LF.
constexpr std::size_t kMaxImageLine = 2 * OutputLineList::kMaxLineBytes + 2;
// The image goes to disk in pieces of this size as it is built, so that it
// is never held whole beside the list.
constexpr std::size_t kImageBlockBytes = std::size_t{1} << 20;

// Renders the image of OutputLines into buffer, which holds at least
// kMaxImageLine bytes, handing each filled piece to flush (false stops it).
template <typename Flush>
bool RenderInBlocks(char* buffer, std::size_t capacity, Flush flush) {
  if (OutputLines.Count() == 0) return flush(kQuitImage);

  std::size_t used = 0;
  bool joinNext = false;
  const bool rendered = OutputLines.ForEach([&](std::string_view entry) {
    if (!joinNext && capacity - used < kMaxImageLine) {
      if (!flush(std::string_view(buffer, used))) return false;
      used = 0;
    }
    if (!entry.empty()) {
      std::memcpy(buffer + used, entry.data(), entry.size());
      used += entry.size();
    }
    // A quote-terminated entry (a text's command line) takes the next entry
    // onto its own line; that next entry is never examined itself.
    if (!joinNext && !entry.empty() && entry.back() == '"') {
      joinNext = true;
      return true;
    }
    joinNext = false;
    buffer[used++] = '\r';
    buffer[used++] = '\n';
    return true;
  });
  return rendered && (used == 0 || flush(std::string_view(buffer, used)));
}

// An upper bound of the image's size: every entry with a line end.
std::size_t ImageBound() {
  return OutputLines.ByteSize() + 2 * static_cast<std::size_t>(OutputLines.Count()) +
         kQuitImage.size();
}

// The image by temporary file and rename, written as it is rendered. Throws
// only when there is no memory for the buffer, before any file is made.
bool WriteImageWithin(const std::string& path, FileWaitBudget& budget) {
  const std::size_t capacity = std::min(ImageBound() + kMaxImageLine, kImageBlockBytes);
  const auto buffer = std::make_unique_for_overwrite<char[]>(capacity);
  ReplacementFile file;
  if (!file.Create(path, budget)) return false;
  const bool rendered = RenderInBlocks(buffer.get(), capacity,
                                       [&](std::string_view piece) { return file.Write(piece); });
  return rendered && file.Commit();
}

void WriteQuitWithin(const std::string& path, FileWaitBudget& budget) {
  bool written = ReplaceFileAtomically(path, kQuitImage, budget);
  // No room for a new file, or no memory for its name: in place needs neither.
  if (!written) written = OverwriteFileInPlace(path, kQuitImage, budget);
  if (!written) RemoveFileQuietly(path, budget);
}

}  // namespace

std::string RenderInterchangeFile() {
  std::string image;
  image.reserve(ImageBound());
  char buffer[4 * kMaxImageLine];
  RenderInBlocks(buffer, sizeof buffer, [&](std::string_view piece) {
    image.append(piece);
    return true;
  });
  return image;
}

bool WriteInterchangeFile(const std::string& path) {
  FileWaitBudget budget;
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

void WriteInterchangeQuit(const std::string& path) {
  FileWaitBudget budget;
  WriteQuitWithin(path, budget);
  RemoveStaleTemporaries(path);
}

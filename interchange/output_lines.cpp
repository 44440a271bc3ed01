#include "interchange/output_lines.h"

#include <algorithm>
#include <cstring>

OutputLineList OutputLines;

std::uint64_t OutputLineList::EndOf(std::size_t i) const {
  const EndBlock& block = *endBlocks_[i / kStep];
  const std::size_t j = i % kStep;
  return block.Base + block.GroupBase[j / kGroup] + block.Ends[j];
}

std::string_view OutputLineList::operator[](std::int32_t i) const {
  const auto index = static_cast<std::size_t>(i - settled_);
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

void OutputLineList::AddHeld(std::string_view line) {
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
  if (renderer_ != nullptr && settled_ > 0 && stream_ == Stream::Live && !renderer_->Restart()) {
    stream_ = Stream::Broken;
  }
  count_ = 0;
  Release();
}

void OutputLineList::Truncate(std::int32_t count) {
  if (count < 0 || count >= Count()) return;
  if (count < settled_) {
    // Streaming: everything since the last Clear went to the renderer.
    if (stream_ == Stream::Live && !renderer_->TakeBack(settled_ - count)) {
      stream_ = Stream::Broken;
    }
    settled_ = count;
    return;
  }
  count -= settled_;
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
  settled_ = 0;
}

void OutputLineList::AttachRenderer(ImageRenderer* renderer) {
  renderer_ = nullptr;
  stream_ = Stream::Live;
  if (renderer == nullptr) return;
  if (count_ > 0) {
    if (!ForEach([&](std::string_view entry) { return renderer->Put(entry); })) {
      stream_ = Stream::Broken;
    }
    const std::int32_t handed = settled_ + count_;
    Release();  // which forgets settled_ too
    settled_ = handed;
    count_ = 0;
  }
  renderer_ = renderer;
}

void ClearOutputLines() { OutputLines.Clear(); }

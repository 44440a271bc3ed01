// The output line list. Every line sent back to the host passes through
// OutputLines; in a run, file_writer.h streams it to disk while it fills
// (StreamedInterchangeFile). Without a renderer attached the list holds the
// lines itself, which tests and benchmarks use.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "interchange/image_renderer.h"

// Entries live end to end in chunks of bytes, and their end offsets in blocks
// of 1000: appending costs no allocation per line, and growing never copies
// what is stored (a doubling string would touch every page again, and hold the
// old and the new copy at once). An entry never spans two chunks.
class OutputLineList {
 public:
  static constexpr std::size_t kMaxLineBytes = 255;

  OutputLineList() = default;
  OutputLineList(const OutputLineList&) = delete;
  OutputLineList& operator=(const OutputLineList&) = delete;

  // Every entry added since the last Clear, handed-over ones included.
  std::int32_t Count() const { return settled_ + count_; }
  // Entries the offset storage holds: grows in steps of 1000, like the tables.
  std::size_t Capacity() const { return endBlocks_.size() * kStep; }
  // An entry the list still holds: not one handed over to a renderer.
  std::string_view operator[](std::int32_t i) const;

  // Streaming: where a line may be composed in place before AddComposed, with
  // room for bytes of it; nullptr when it must be composed elsewhere.
  char* ComposeSpace(std::size_t bytes) {
    return renderer_ != nullptr && stream_ == Stream::Live ? renderer_->ComposeSpace(bytes)
                                                           : nullptr;
  }
  // Add for the line composed at begin, from ComposeSpace, to end.
  void AddComposed(const char* begin, const char* end) {
    if (stream_ != Stream::Live) return Add({begin, static_cast<std::size_t>(end - begin)});
    if (!renderer_->PutComposed(begin, end)) stream_ = Stream::Broken;
    ++settled_;
  }
  // Keeps the first 255 bytes of line; nothing else is checked or changed.
  // When memory runs out it throws, and the list is left as it was.
  void Add(std::string_view line) {
    if (renderer_ != nullptr) {
      // Once broken the result is "hq" anyway: what follows only counts.
      const std::string_view kept = line.substr(0, std::min(line.size(), kMaxLineBytes));
      if (stream_ == Stream::Live && !renderer_->Put(kept)) stream_ = Stream::Broken;
      ++settled_;
      return;
    }
    AddHeld(line);
  }
  void Clear();
  // Drops the entries from position count on (count at most Count()); the
  // storage stays as it is.
  void Truncate(std::int32_t count);
  void Release();
  // Total bytes of the entries the list holds, without line ends.
  std::size_t ByteSize() const { return byteSize_; }

  // Calls visit(entry) for the entries the list holds, in order, until it
  // returns false; false then. Walks the storage in step, without
  // operator[]'s divisions.
  template <typename Visit>
  bool ForEach(Visit visit) const;

  // Streaming. While a renderer is attached, each entry goes straight to it
  // instead of into the storage, so that the list holds nothing however much
  // is emitted; Count() still counts it. An entity may take back its own last
  // lines (Truncate, up to ImageRenderer::kTakeBackEntries of them), and
  // EndEntity marks the end of an entity, where the renderer may hand its
  // buffer on: the emitters call it between entities. Clear restarts the
  // renderer's image.
  enum class Stream {
    Live,    // every entry since the last Clear went to the renderer
    Broken,  // a Truncate reached further back, or the renderer failed
  };
  // What the list holds goes to the renderer first. nullptr detaches.
  void AttachRenderer(ImageRenderer* renderer);
  void EndEntity() {
    if (renderer_ != nullptr && stream_ == Stream::Live && !renderer_->AtBoundary()) {
      stream_ = Stream::Broken;
    }
  }
  Stream StreamState() const { return stream_; }

 private:
  static constexpr std::size_t kStep = 1000;
  static constexpr std::size_t kFirstChunkBytes = std::size_t{1} << 16;
  static constexpr std::size_t kLastChunkBytes = std::size_t{1} << 20;
  // Positions count the bytes of the entries before them, chunk slack left
  // out. Ends are kept in 16 bits relative to their group of 256 entries,
  // which spans at most 256 × 255 bytes: half the memory of 32-bit ends.
  static constexpr std::size_t kGroup = 256;
  static constexpr std::size_t kGroupsPerBlock = (kStep + kGroup - 1) / kGroup;

  struct EndBlock {
    std::uint64_t Base;                        // where the block's first entry begins
    std::uint32_t GroupBase[kGroupsPerBlock];  // where each group begins, from Base
    std::uint16_t Ends[kStep];                 // each entry's end, from its group's begin
  };

  std::uint64_t EndOf(std::size_t i) const;
  void AddHeld(std::string_view line);

  std::vector<std::unique_ptr<char[]>> chunks_;
  std::vector<std::uint64_t> chunkStarts_;  // position of each chunk's first byte
  std::vector<std::unique_ptr<EndBlock>> endBlocks_;
  std::uint64_t tail_ = 0;      // position of the last entry's end
  std::size_t chunkBytes_ = 0;  // size of the last chunk
  std::size_t byteSize_ = 0;    // of the entries held
  std::int32_t count_ = 0;      // entries held
  std::int32_t settled_ = 0;    // entries that went to the renderer
  ImageRenderer* renderer_ = nullptr;
  Stream stream_ = Stream::Live;
};

template <typename Visit>
bool OutputLineList::ForEach(Visit visit) const {
  const std::size_t count = static_cast<std::size_t>(count_);
  std::uint64_t previous = 0;
  std::size_t chunk = 0;
  for (std::size_t i = 0, b = 0; i < count; ++b) {
    const EndBlock& block = *endBlocks_[b];
    const std::size_t inBlock = std::min(kStep, count - i);
    for (std::size_t j = 0; j < inBlock; ++j, ++i) {
      const std::uint64_t end = block.Base + block.GroupBase[j / kGroup] + block.Ends[j];
      std::string_view entry;
      if (end > previous) {
        // Chunks are filled one after the other: an entry that begins at the
        // next chunk's start opened that chunk.
        while (chunk + 1 < chunkStarts_.size() && chunkStarts_[chunk + 1] <= previous) ++chunk;
        entry = {chunks_[chunk].get() + (previous - chunkStarts_[chunk]),
                 static_cast<std::size_t>(end - previous)};
      }
      if (!visit(entry)) return false;
      previous = end;
    }
  }
  return true;
}

extern OutputLineList OutputLines;

inline void AddOutputLine(std::string_view line) { OutputLines.Add(line); }
void ClearOutputLines();

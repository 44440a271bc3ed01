// The output line list. Every line sent back to the host passes through
// OutputLines on its way to the sink attached to it: in a run the streamed
// image of the interchange file (file_writer.h), so that the list itself
// holds nothing however much is emitted.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "interchange/line_sink.h"

class OutputLineList {
 public:
  static constexpr std::size_t kMaxLineBytes = 255;

  OutputLineList() = default;
  OutputLineList(const OutputLineList&) = delete;
  OutputLineList& operator=(const OutputLineList&) = delete;

  // Every line added since the last Clear.
  std::int32_t Count() const { return count_; }

  // Where a line may be composed in place before AddComposed, with room for
  // bytes of it; nullptr when it must be composed elsewhere.
  char* ComposeSpace(std::size_t bytes) {
    return stream_ == Stream::Live ? sink_->ComposeSpace(bytes) : nullptr;
  }
  // Add for the line composed at begin, from ComposeSpace, to end.
  void AddComposed(const char* begin, const char* end) {
    if (stream_ == Stream::Live && !sink_->PutComposed(begin, end)) stream_ = Stream::Broken;
    ++count_;
  }
  // Keeps the first 255 bytes of line; nothing else is checked or changed.
  void Add(std::string_view line) {
    // Once broken the result is "hq" anyway: what follows only counts.
    if (stream_ == Stream::Live &&
        !sink_->Put(line.substr(0, std::min(line.size(), kMaxLineBytes)))) {
      stream_ = Stream::Broken;
    }
    ++count_;
  }
  void Clear();
  // Drops the lines from position count on (count at most Count()): an
  // entity takes back its own last lines, up to ImageRenderer::kTakeBackEntries
  // of them in a run.
  void Truncate(std::int32_t count);
  // The end of an entity, where the sink may hand its lines on: the emitters
  // call it between entities.
  void EndEntity() {
    if (stream_ == Stream::Live && !sink_->AtBoundary()) stream_ = Stream::Broken;
  }

  enum class Stream {
    Live,    // every line since the sink was attached, or since the last Clear, went to it
    Broken,  // no sink, the sink failed or could not take lines back: the result is lost
  };
  // Lines go to sink from now on; nullptr detaches. Live only when attached
  // with nothing counted: the lines before went nowhere.
  void Attach(LineSink* sink) {
    sink_ = sink;
    stream_ = sink != nullptr && count_ == 0 ? Stream::Live : Stream::Broken;
  }
  Stream StreamState() const { return stream_; }

 private:
  std::int32_t count_ = 0;
  LineSink* sink_ = nullptr;
  Stream stream_ = Stream::Broken;
};

extern OutputLineList OutputLines;

inline void AddOutputLine(std::string_view line) { OutputLines.Add(line); }
void ClearOutputLines();

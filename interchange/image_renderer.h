// Rendering entries in the interchange file's form, piece by piece.
//
// File form: each entry is one line ended by CR LF, except that an entry whose
// last byte is '"' is followed on the same line by the next entry. That is how
// a text command («ch 10 20 5 0 "») and its content become one line:
//   ch 10 20 5 0 "ABC
// An empty list is the file "hq" alone.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "interchange/line_sink.h"

// The image of an empty list.
inline constexpr std::string_view kQuitImage = "hq\r\n";

// Where rendered pieces of the image go, in order.
class ImageSink {
 public:
  // False stops the rendering; every later piece is refused.
  virtual bool Write(std::string_view piece) = 0;
  // Forgets every piece written so far, so that the image starts afresh;
  // false when that cannot be done.
  virtual bool Restart() = 0;

 protected:
  ~ImageSink() = default;
};

// Renders entries in the file form into a caller's buffer of capacity bytes
// (at least kMinCapacity), handing each filled piece to the sink.
class ImageRenderer final : public LineSink {
 public:
  // A text's command line and its content, each at their limit, and CR LF.
  static constexpr std::size_t kMinCapacity = 2 * 255 + 2;
  static constexpr int kTakeBackEntries = 8;

  ImageRenderer(char* buffer, std::size_t capacity, ImageSink& sink)
      : buffer_(buffer), capacity_(capacity), sink_(sink) {}

  // False once the sink refused a piece; then nothing more is rendered.
  bool Put(std::string_view entry) override {
    if (failed_) return false;
    if (!joinNext_ && capacity_ - used_ < kMinCapacity && !Flush()) return false;
    MarkEntry(joinNext_);
    if (!entry.empty()) {
      std::memcpy(buffer_ + used_, entry.data(), entry.size());
      used_ += entry.size();
    }
    return EndEntry(!entry.empty() && entry.back() == '"');
  }
  // Where the next entry may be composed in place, with room for bytes of it
  // and its line end; nullptr when there is less room, or after a failure.
  char* ComposeSpace(std::size_t bytes) override {
    return !failed_ && capacity_ - used_ >= bytes + 2 ? buffer_ + used_ : nullptr;
  }
  // Put for the entry composed from begin (handed out by ComposeSpace) to
  // end, at most its first 255 bytes. Anything put since begin was handed out
  // may have written over it: then the renderer fails rather than write that.
  bool PutComposed(const char* begin, const char* end) override {
    if (failed_ || begin != buffer_ + used_) {
      failed_ = true;
      return false;
    }
    const auto size = std::min(static_cast<std::size_t>(end - begin), kMaxEntryBytes);
    MarkEntry(joinNext_);
    used_ += size;
    return EndEntry(size != 0 && begin[size - 1] == '"');
  }
  // Takes back the last count entries, when all of them were put since the
  // last boundary and the last piece handed on, and they are at most
  // kTakeBackEntries; false, and nothing taken back, otherwise.
  bool TakeBack(int count) override;
  // The end of an entity: the buffer goes on once it is nearly full, never in
  // the middle of an entity that might take lines back. False once the sink
  // refused a piece.
  bool AtBoundary() override {
    takeBackable_ = 0;
    if (failed_) return false;
    return capacity_ - used_ >= kBoundaryRoom || Flush();
  }
  // Hands over what the buffer still holds; "hq" when no entry stayed put.
  bool Finish();
  // Forgets every entry and restarts the sink: the list was cleared. False,
  // and every later call fails, when the sink cannot restart.
  bool Restart() override;

 private:
  // Room an entity is sure to find after a boundary: far more than any
  // entity's lines, so that Put never has to hand on a piece within one.
  static constexpr std::size_t kBoundaryRoom = std::size_t{64} << 10;

  struct Mark {
    std::size_t Used;
    bool JoinNext;
  };

  static constexpr std::size_t kMaxEntryBytes = 255;

  void MarkEntry(bool joinNext) {
    marks_[entries_ % kTakeBackEntries] = {used_, joinNext};
    ++entries_;
    takeBackable_ = std::min(takeBackable_ + 1, kTakeBackEntries);
  }
  // A quote-terminated entry (a text's command line) takes the next entry
  // onto its own line; that next entry is never examined itself.
  bool EndEntry(bool endsWithQuote) {
    if (!joinNext_ && endsWithQuote) {
      joinNext_ = true;
      return true;
    }
    joinNext_ = false;
    buffer_[used_++] = '\r';
    buffer_[used_++] = '\n';
    return true;
  }
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

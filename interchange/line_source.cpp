#include "interchange/line_source.h"

#include <cstring>
#include <utility>

LineSource::Status MemoryLineSource::Next(std::span<char>& line) {
  if (rest_.empty()) return Status::End;
  char* const data = rest_.data();
  const void* const lf = std::memchr(data, '\n', rest_.size());
  const std::size_t size =
      lf != nullptr ? static_cast<std::size_t>(static_cast<const char*>(lf) - data) : rest_.size();
  line = WithoutCr(data, size);
  rest_ = rest_.subspan(lf != nullptr ? size + 1 : size);
  return Status::Line;
}

FileLineSource::FileLineSource(InputFile& file, std::size_t blockBytes)
    : file_(file),
      buffer_(std::make_unique_for_overwrite<char[]>(blockBytes > 0 ? blockBytes : 1)),
      capacity_(blockBytes > 0 ? blockBytes : 1) {}

LineSource::Status FileLineSource::Refill(std::span<char>& line) {
  for (;;) {
    char* const data = buffer_.get() + begin_;
    const std::size_t pending = end_ - begin_;
    if (const void* lf = std::memchr(data + scanned_, '\n', pending - scanned_)) {
      const auto size = static_cast<std::size_t>(static_cast<const char*>(lf) - data);
      begin_ += size + 1;
      scanned_ = 0;
      line = WithoutCr(data, size);
      return Status::Line;
    }
    if (atEnd_) {
      if (pending == 0) return Status::End;
      begin_ = end_;  // the last line has no line end
      scanned_ = 0;
      line = WithoutCr(data, pending);
      return Status::Line;
    }
    if (begin_ > 0) {
      std::memmove(buffer_.get(), data, pending);
      begin_ = 0;
      end_ = pending;
    }
    scanned_ = pending;
    if (end_ == capacity_) {
      auto larger = std::make_unique_for_overwrite<char[]>(capacity_ * 2);
      std::memcpy(larger.get(), buffer_.get(), end_);
      buffer_ = std::move(larger);
      capacity_ *= 2;
    }
    const std::ptrdiff_t got = file_.Read(buffer_.get() + end_, capacity_ - end_);
    if (got < 0) return Status::Failed;
    if (got == 0) atEnd_ = true;
    end_ += static_cast<std::size_t>(got);
  }
}

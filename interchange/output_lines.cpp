#include "interchange/output_lines.h"

OutputLineList OutputLines;

void OutputLineList::Clear() {
  if (count_ > 0 && stream_ == Stream::Live && !sink_->Restart()) stream_ = Stream::Broken;
  count_ = 0;
}

void OutputLineList::Truncate(std::int32_t count) {
  if (count < 0 || count >= count_) return;
  if (stream_ == Stream::Live && !sink_->TakeBack(count_ - count)) stream_ = Stream::Broken;
  count_ = count;
}

void ClearOutputLines() { OutputLines.Clear(); }

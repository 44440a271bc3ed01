#include "interchange/image_renderer.h"

bool ImageRenderer::TakeBack(int count) {
  if (failed_ || count < 0 || count > takeBackable_) return false;
  if (count == 0) return true;
  entries_ -= count;
  takeBackable_ -= count;
  const Mark& mark = marks_[entries_ % kTakeBackEntries];
  used_ = mark.Used;
  joinNext_ = mark.JoinNext;
  return true;
}

bool ImageRenderer::Finish() {
  if (failed_) return false;
  if (entries_ == 0) {
    used_ = 0;
    failed_ = !sink_.Write(kQuitImage);
    return !failed_;
  }
  return used_ == 0 || Flush();
}

bool ImageRenderer::Restart() {
  used_ = 0;
  joinNext_ = false;
  entries_ = 0;
  takeBackable_ = 0;
  failed_ = !sink_.Restart();
  return !failed_;
}

bool ImageRenderer::Flush() {
  takeBackable_ = 0;
  failed_ = !sink_.Write(std::string_view(buffer_, used_));
  used_ = 0;
  return !failed_;
}

// A form window that exists only as values: what the form logic sets can be
// read back, and Close is remembered. The headless build runs with it, and
// so does the Windows build when no window can be created (a session without
// a desktop, Wine without a display): the joins need no window. The tests
// drive the form logic through it too.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/form_layout.h"
#include "machine/form_window.h"

class ValueWindow final : public FormWindow {
 public:
  ValueWindow() = default;
  // A frame of another width than the Windows 10 one.
  explicit ValueWindow(std::int32_t outerWidth) : outerWidth_(outerWidth) {}

  void Minimise() override { minimised_ = true; }
  void MoveTo(std::int32_t left, std::int32_t top) override {
    moved_ = true;
    left_ = left;
    top_ = top;
  }
  std::int32_t OuterWidth() override { return outerWidth_; }
  void SetRadioIndex(std::int32_t index) override { radio_ = index < 0 ? -1 : (index > 0 ? 1 : 0); }
  std::int32_t RadioIndex() override { return radio_; }
  void SetEditText(std::string_view text) override { edit_.assign(text); }
  std::string EditText() override { return edit_; }
  void Close() override { closed_ = true; }

  bool IsClosed() const { return closed_; }
  bool IsMinimised() const { return minimised_; }
  bool IsMoved() const { return moved_; }
  std::int32_t Left() const { return left_; }
  std::int32_t Top() const { return top_; }

 private:
  // The Windows 10 frame: 3 pixels on either side of the client area.
  static constexpr std::int32_t kFrameSide = 3;
  std::int32_t outerWidth_ = kFormClientWidth + 2 * kFrameSide;
  bool minimised_ = false;
  bool moved_ = false;
  bool closed_ = false;
  std::int32_t left_ = kFormDesignedLeft;
  std::int32_t top_ = kFormDesignedTop;
  std::int32_t radio_ = 0;
  std::string edit_;
};

// The Linux stand-in: arguments from argv, the executable from /proc/self/exe,
// the decimal symbol from the C library's numeric locale. There is no screen
// and no keyboard: the cursor is at (0, 0) and Escape is never down.
#pragma once

#include <string>
#include <vector>

#include "platform/form_window.h"
#include "platform/platform.h"

class HeadlessPlatform final : public Platform {
 public:
  HeadlessPlatform(int argc, char** argv);
  std::vector<std::string> Arguments() override { return arguments_; }
  std::string ExecutablePath() override;
  char DecimalSymbol() override;
  ScreenPoint CursorPosition() override { return {0, 0}; }
  bool IsEscapeDown() override { return false; }

 private:
  std::vector<std::string> arguments_;
  std::string argv0_;
};

// A window that exists only as values: what the form logic sets can be read
// back, and Close is remembered.
class HeadlessWindow final : public FormWindow {
 public:
  void Minimise() override { minimised_ = true; }
  void MoveTo(std::int32_t left, std::int32_t top) override {
    left_ = left;
    top_ = top;
  }
  std::int32_t OuterWidth() override { return kOuterWidth; }
  void SetRadioIndex(std::int32_t index) override { radio_ = index < 0 ? -1 : (index > 0 ? 1 : 0); }
  std::int32_t RadioIndex() override { return radio_; }
  void SetEditText(std::string_view text) override { edit_.assign(text); }
  std::string EditText() override { return edit_; }
  void Close() override { closed_ = true; }

  bool IsClosed() const { return closed_; }
  bool IsMinimised() const { return minimised_; }

 private:
  // The Windows form's outer width with a Windows 10 frame (312 + 2 * 3).
  static constexpr std::int32_t kOuterWidth = 318;
  bool minimised_ = false;
  bool closed_ = false;
  std::int32_t left_ = 192;
  std::int32_t top_ = 107;
  std::int32_t radio_ = 0;
  std::string edit_;
};

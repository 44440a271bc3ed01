// The main form's window as the portable form logic drives it. The Win32
// build backs it with the real dialog; the headless build and the tests with
// plain values.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class FormWindow {
 public:
  virtual ~FormWindow() = default;
  virtual void Minimise() = 0;
  // Places the outer window's top-left corner in screen pixels, unclamped.
  virtual void MoveTo(std::int32_t left, std::int32_t top) = 0;
  // Outer width, frame included. Asked for to place the form at the cursor:
  // a window that scales with its monitor is sized for the monitor under
  // the cursor first.
  virtual std::int32_t OuterWidth() = 0;
  // The radio group clamps what it is given: 0 first choice, 1 or more the
  // second, negative none. RadioIndex gives -1 when no choice is marked.
  virtual void SetRadioIndex(std::int32_t index) = 0;
  virtual std::int32_t RadioIndex() = 0;
  // Text set by the program is shown whole, whatever its length.
  virtual void SetEditText(std::string_view text) = 0;
  virtual std::string EditText() = 0;
  // Closes the form, which ends the program.
  virtual void Close() = 0;
};

// Form1 as the user sees it: client pixels at 96 dpi, captions, colours and
// font. The Windows window is built from this table in this order, which is
// also the tab order: the radio group, Edit1, OK, Cancel. The captions are
// code page 932 bytes; '&' marks the mnemonic.
//
// On a screen of another scale the form is the table scaled by dpi / 96, so
// that it looks as large as Windows would stretch it, only crisp. The font
// is scaled rounding down: the twelve full-width characters of Label1 fill
// its 156 pixels exactly at 96 dpi, and a font rounded up would not fit the
// rounded label.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "machine/platform.h"

struct PixelRect {
  std::int32_t Left;
  std::int32_t Top;
  std::int32_t Width;
  std::int32_t Height;
  constexpr bool Contains(std::int32_t x, std::int32_t y) const {
    return x >= Left && x < Left + Width && y >= Top && y < Top + Height;
  }
};

enum class FormControlKind { GroupBox, RadioButton, Label, Edit, DefaultButton, CancelButton };

// Command ids; OK and Cancel carry the ids Windows gives Enter and Escape.
inline constexpr int kIdButton1 = 1;
inline constexpr int kIdButton2 = 2;
inline constexpr int kIdRadioGroup1 = 100;
inline constexpr int kIdRadioHorizontal = 101;
inline constexpr int kIdRadioVertical = 102;
inline constexpr int kIdLabel1 = 103;
inline constexpr int kIdEdit1 = 104;

struct FormControl {
  int Id;
  FormControlKind Kind;
  PixelRect Bounds;
  std::string_view Caption;
};

inline constexpr std::int32_t kFormClientWidth = 312;
inline constexpr std::int32_t kFormClientHeight = 143;
inline constexpr std::int32_t kFormDesignedLeft = 192;
inline constexpr std::int32_t kFormDesignedTop = 107;
inline constexpr std::uint8_t kFormBackgroundRed = 166;
inline constexpr std::uint8_t kFormBackgroundGreen = 202;
inline constexpr std::uint8_t kFormBackgroundBlue = 240;
// Character height in pixels (the em, without internal leading).
inline constexpr std::int32_t kFormFontHeight = 13;
// Bytes of Shift-JIS the user may type into Edit1.
inline constexpr std::size_t kEdit1ByteLimit = 4;

// "k726－文字連結", the application's title on the task bar.
extern const std::string_view kApplicationTitle;
// "文字連結", the form's caption.
extern const std::string_view kFormCaption;
// "ＭＳ ゴシック".
extern const std::string_view kFormFontFace;
// The same font's name on a Windows without Japanese names.
extern const std::string_view kFormFontFaceLatin;

inline constexpr std::uint32_t kDesignDpi = 96;

// Every control, in creation and tab order.
const std::array<FormControl, 7>& FormControls();
// nullptr for an id that is not in the table.
const FormControl* FindFormControl(int id);

// The form laid out for a screen of dpi dots per inch (0, unknown, reads as
// 96). At 96 dpi it is the table itself.
struct FormLayout {
  std::int32_t ClientWidth;
  std::int32_t ClientHeight;
  std::int32_t FontHeight;
  // In the order of FormControls().
  std::array<PixelRect, 7> Bounds;
};
FormLayout FormLayoutForDpi(std::uint32_t dpi);

// The width of the window frame on each side of the client area.
struct FrameInsets {
  std::int32_t Left;
  std::int32_t Top;
  std::int32_t Right;
  std::int32_t Bottom;
};

struct PixelSize {
  std::int32_t Width;
  std::int32_t Height;
};
// The window's outer size: the client area of layout inside frame.
constexpr PixelSize OuterSize(const FormLayout& layout, const FrameInsets& frame) {
  return {frame.Left + layout.ClientWidth + frame.Right,
          frame.Top + layout.ClientHeight + frame.Bottom};
}

// Where the form opens at the cursor on a monitor of dpi whose frame is
// frame: sized for that dpi first, then its left edge half its outer width
// (remainder dropped) left of the cursor, its top edge 4 pixels above it.
PixelRect FormRectAtCursor(ScreenPoint cursor, std::uint32_t dpi, const FrameInsets& frame);

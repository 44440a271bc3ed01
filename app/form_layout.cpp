// Compiled with the code page 932 execution character set: the literals below
// are the bytes Windows shows.
#include "app/form_layout.h"

const std::string_view kApplicationTitle = "k726－文字連結";
const std::string_view kFormCaption = "文字連結";
const std::string_view kFormFontFace = "ＭＳ ゴシック";
const std::string_view kFormFontFaceLatin = "MS Gothic";

namespace {

// The choices fill the group box below its caption in two equal rows: 8 px
// in from the box's left edge, width 161 - 10, rows of (81 - 13 - 5) / 2 =
// 31 px starting one text line plus one pixel (14 px) below the box's top.
const std::array<FormControl, 7> controls{{
    {kIdRadioGroup1, FormControlKind::GroupBox, {8, 8, 161, 81}, "範囲選択時(&A)"},
    {kIdRadioHorizontal, FormControlKind::RadioButton, {16, 22, 151, 31}, "水平揃え（左→右）"},
    {kIdRadioVertical, FormControlKind::RadioButton, {16, 53, 151, 31}, "垂直揃え（上→下）"},
    {kIdLabel1, FormControlKind::Label, {8, 96, 156, 13}, "文字間に挿入する区切文字"},
    {kIdEdit1, FormControlKind::Edit, {112, 112, 57, 21}, ""},
    {kIdButton1, FormControlKind::DefaultButton, {184, 72, 121, 25}, "OK(&Y)"},
    {kIdButton2, FormControlKind::CancelButton, {184, 112, 121, 25}, "キャンセル(&N)"},
}};

// Pixels at 96 dpi (none negative) to pixels at dpi, the nearest whole
// pixel, halves up.
std::int32_t Scale(std::int32_t pixels, std::uint32_t dpi) {
  return static_cast<std::int32_t>((static_cast<std::int64_t>(pixels) * dpi + kDesignDpi / 2) /
                                   kDesignDpi);
}

}  // namespace

const std::array<FormControl, 7>& FormControls() { return controls; }

const FormControl* FindFormControl(int id) {
  for (const FormControl& control : controls) {
    if (control.Id == id) return &control;
  }
  return nullptr;
}

FormLayout FormLayoutForDpi(std::uint32_t dpi) {
  // 0 is what Windows answers for a window it does not know; the bound keeps
  // every size in range.
  if (dpi == 0) dpi = kDesignDpi;
  if (dpi > 50 * kDesignDpi) dpi = 50 * kDesignDpi;
  FormLayout layout{};
  layout.ClientWidth = Scale(kFormClientWidth, dpi);
  layout.ClientHeight = Scale(kFormClientHeight, dpi);
  layout.FontHeight =
      static_cast<std::int32_t>(kFormFontHeight * static_cast<std::int64_t>(dpi) / kDesignDpi);
  // The edges are scaled, not the sizes: controls that touch at 96 dpi (the
  // two choices) still touch.
  for (std::size_t i = 0; i < controls.size(); ++i) {
    const PixelRect& at96 = controls[i].Bounds;
    const std::int32_t left = Scale(at96.Left, dpi);
    const std::int32_t top = Scale(at96.Top, dpi);
    layout.Bounds[i] = {left, top, Scale(at96.Left + at96.Width, dpi) - left,
                        Scale(at96.Top + at96.Height, dpi) - top};
  }
  return layout;
}

PixelRect FormRectAtCursor(ScreenPoint cursor, std::uint32_t dpi, const FrameInsets& frame) {
  const PixelSize outer = OuterSize(FormLayoutForDpi(dpi), frame);
  return {cursor.X - outer.Width / 2, cursor.Y - 4, outer.Width, outer.Height};
}

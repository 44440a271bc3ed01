// Compiled with the code page 932 execution character set: the literals below
// are the bytes Windows shows.
#include "app/form_layout.h"

const std::string_view kApplicationTitle = "k726－文字連結";
const std::string_view kFormCaption = "文字連結";
const std::string_view kFormFontFace = "ＭＳ ゴシック";

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

}  // namespace

const std::array<FormControl, 7>& FormControls() { return controls; }

const FormControl* FindFormControl(int id) {
  for (const FormControl& control : controls) {
    if (control.Id == id) return &control;
  }
  return nullptr;
}

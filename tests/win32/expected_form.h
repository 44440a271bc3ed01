// What Form1 must look like on screen, written out independently of the
// program's own layout table: client pixels and the code page 932 bytes of
// every caption. Shared by the in-process window tests and the driver that
// checks the running program.
#pragma once

#include <string_view>

namespace expected {

inline constexpr int kClientWidth = 312;
inline constexpr int kClientHeight = 143;
inline constexpr int kDesignedLeft = 192;
inline constexpr int kDesignedTop = 107;

// "k726－文字連結" and "文字連結".
inline constexpr std::string_view kApplicationTitle =
    "k726\x81\x7C\x95\xB6\x8E\x9A\x98\x41\x8C\x8B";
inline constexpr std::string_view kFormCaption = "\x95\xB6\x8E\x9A\x98\x41\x8C\x8B";
// "ＭＳ ゴシック".
inline constexpr std::string_view kFontFace = "\x82\x6C\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4E";

struct Control {
  int id;
  const char* className;
  int left, top, right, bottom;  // client pixels
  std::string_view caption;
};

// In tab order.
inline constexpr Control kControls[] = {
    // 範囲選択時(&A)
    {100, "Button", 8, 8, 169, 89, "\x94\xCD\x88\xCD\x91\x49\x91\xF0\x8E\x9E(&A)"},
    // 水平揃え（左→右）
    {101, "Button", 16, 22, 167, 53,
     "\x90\x85\x95\xBD\x91\xB5\x82\xA6\x81\x69\x8D\xB6\x81\xA8\x89\x45\x81\x6A"},
    // 垂直揃え（上→下）
    {102, "Button", 16, 53, 167, 84,
     "\x90\x82\x92\xBC\x91\xB5\x82\xA6\x81\x69\x8F\xE3\x81\xA8\x89\xBA\x81\x6A"},
    // 文字間に挿入する区切文字
    {103, "Static", 8, 96, 164, 109,
     "\x95\xB6\x8E\x9A\x8A\xD4\x82\xC9\x91\x7D\x93\xFC\x82\xB7\x82\xE9\x8B\xE6\x90\xD8\x95\xB6"
     "\x8E\x9A"},
    {104, "Edit", 112, 112, 169, 133, ""},
    {1, "Button", 184, 72, 305, 97, "OK(&Y)"},
    // キャンセル(&N)
    {2, "Button", 184, 112, 305, 137, "\x83\x4C\x83\x83\x83\x93\x83\x5A\x83\x8B(&N)"},
};

}  // namespace expected

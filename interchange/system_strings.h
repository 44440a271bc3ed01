// The library's own strings, as the exact code page 932 bytes the host reads.
// Kept as escapes so that every compiler (g++, clang, MinGW) emits the same
// bytes whatever its execution character set.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// "<ＭＳ ゴシック>": the default font, 15 bytes.
inline constexpr std::string_view kDefaultFontName =
    "<\x82\x6C\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4E>";

// "処理中(ESC:中断)：": the progress caption's prefix.
inline constexpr std::string_view kProgressPrefix =
    "\x8F\x88\x97\x9D\x92\x86(ESC:\x92\x86\x92\x66)\x81\x46";

// "／": between the position and the count in the progress caption.
inline constexpr std::string_view kProgressSlash = "\x81\x5E";

// Text command words by their code, the TextRecord's Command: the reader maps
// each word to its code and the text emitter writes the word back.
inline constexpr std::array<std::string_view, 10> kTextCommandWords = {
    "ch", "cv", "cs", "cr", "co", "cp", "ct", "ck", "cz", "c2"};
// "cs" is also the text line of a message.
inline constexpr std::int32_t kTextCommandCs = 2;

// Commands the join writes.
inline constexpr std::string_view kCommandDelete = "hd";
inline constexpr std::string_view kCommandBz = "bz";
inline constexpr std::string_view kCommandQuit = "hq";

// Name of the interchange file beside the executable.
inline constexpr std::string_view kInterchangeFileName = "KZC_TEMP.TXT";

#include "util/sjis.h"

namespace {

// The scan both filters share: a lead byte and the byte after it travel as
// one character; keep decides for single bytes and for pairs.
template <class KeepSingle, class KeepPair>
std::string FilterCharacters(std::string_view text, KeepSingle keepSingle, KeepPair keepPair) {
  std::string result;
  result.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const unsigned char b = static_cast<unsigned char>(text[i]);
    if (IsLeadByte(b)) {
      if (i + 1 >= text.size()) {
        // A lone lead byte at the end has no trail byte; it stays, alone.
        result.push_back(text[i]);
        break;
      }
      if (keepPair(b, static_cast<unsigned char>(text[i + 1]))) result.append(text.substr(i, 2));
      i += 2;
    } else {
      if (keepSingle(b)) result.push_back(text[i]);
      ++i;
    }
  }
  return result;
}

}  // namespace

std::string StripBlanks(std::string_view text) {
  return FilterCharacters(
      text, [](unsigned char b) { return b > 0x20; },
      [](unsigned char lead, unsigned char trail) { return !(lead == 0x81 && trail == 0x40); });
}

bool IsBlankText(std::string_view text) noexcept {
  std::size_t i = 0;
  while (i < text.size()) {
    const unsigned char b = static_cast<unsigned char>(text[i]);
    if (IsLeadByte(b)) {
      // A lone lead byte at the end stays in StripBlanks, so it is not blank.
      if (i + 1 >= text.size()) return false;
      if (!(b == 0x81 && static_cast<unsigned char>(text[i + 1]) == 0x40)) return false;
      i += 2;
    } else {
      if (b > 0x20) return false;
      ++i;
    }
  }
  return true;
}

std::string StripControlChars(std::string_view text) {
  return FilterCharacters(
      text, [](unsigned char b) { return b >= 0x20; },
      [](unsigned char, unsigned char) { return true; });
}

std::size_t FindOnCharBoundary(std::string_view text, std::string_view needle) noexcept {
  if (needle.empty()) return 0;
  std::size_t i = 0;
  while (i < text.size()) {
    if (text.substr(i, needle.size()) == needle) return i;
    i += IsLeadByte(text[i]) ? 2 : 1;
  }
  return std::string_view::npos;
}

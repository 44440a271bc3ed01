#include "app/edit_byte_limit.h"

#include <vector>

namespace {

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Unit offsets where the characters of text begin, plus text.size(). A
// surrogate pair is one character; a lone surrogate one of its own.
std::vector<std::size_t> CharacterStarts(std::u16string_view text) {
  std::vector<std::size_t> starts;
  std::size_t i = 0;
  while (i < text.size()) {
    starts.push_back(i);
    i += IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1]) ? 2 : 1;
  }
  starts.push_back(text.size());
  return starts;
}

std::u16string_view CharacterAt(std::u16string_view text, const std::vector<std::size_t>& starts,
                                std::size_t k) {
  return text.substr(starts[k], starts[k + 1] - starts[k]);
}

// What OK stores of one character: its Shift-JIS, "?" when it has none.
std::string StoredForm(std::u16string_view character, const ShiftJisEncoder& encode) {
  return encode(character).value_or("?");
}

}  // namespace

EditLimitResult LimitInsertedBytes(std::u16string_view previous, std::u16string_view current,
                                   std::size_t limitBytes, const ShiftJisEncoder& encode) {
  // The insertion lies between the longest common prefix and the longest
  // common suffix, both taken in whole characters.
  const std::vector<std::size_t> was = CharacterStarts(previous);
  const std::vector<std::size_t> now = CharacterStarts(current);
  const std::size_t wasCount = was.size() - 1;
  const std::size_t nowCount = now.size() - 1;

  std::size_t prefix = 0;
  while (prefix < wasCount && prefix < nowCount &&
         CharacterAt(previous, was, prefix) == CharacterAt(current, now, prefix)) {
    ++prefix;
  }
  std::size_t suffix = 0;
  while (suffix < wasCount - prefix && suffix < nowCount - prefix &&
         CharacterAt(previous, was, wasCount - 1 - suffix) ==
             CharacterAt(current, now, nowCount - 1 - suffix)) {
    ++suffix;
  }

  // What the change kept came from the accepted text; it is weighed, never
  // cut.
  std::size_t keptBytes = 0;
  const auto weigh = [&](std::size_t begin, std::size_t end) {
    for (std::size_t k = begin; k < end; ++k) {
      keptBytes += StoredForm(CharacterAt(current, now, k), encode).size();
    }
  };
  weigh(0, prefix);
  weigh(nowCount - suffix, nowCount);
  std::size_t room = keptBytes < limitBytes ? limitBytes - keptBytes : 0;

  EditLimitResult result;
  result.Text.assign(current.substr(0, now[prefix]));
  for (std::size_t k = prefix; k < nowCount - suffix; ++k) {
    const std::u16string_view character = CharacterAt(current, now, k);
    const std::optional<std::string> bytes = encode(character);
    if (!bytes) {
      result.Cut = true;
      continue;
    }
    if (bytes->size() > room) {
      result.Cut = true;
      break;
    }
    room -= bytes->size();
    result.Text.append(character);
  }
  result.CaretUnits = result.Text.size();
  result.Text.append(current.substr(now[nowCount - suffix]));
  return result;
}

std::string DelimiterToStore(std::u16string_view shown, std::u16string_view programText,
                             std::string_view programBytes, const ShiftJisEncoder& encode) {
  if (shown == programText) return std::string(programBytes);
  const std::vector<std::size_t> starts = CharacterStarts(shown);
  std::string bytes;
  for (std::size_t k = 0; k + 1 < starts.size(); ++k) {
    bytes += StoredForm(CharacterAt(shown, starts, k), encode);
  }
  return bytes;
}

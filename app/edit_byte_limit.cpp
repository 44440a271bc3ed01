#include "app/edit_byte_limit.h"

#include <vector>

#include "util/sjis.h"

namespace {

// Byte offsets where the characters of text begin, plus text.size().
std::vector<std::size_t> CharacterStarts(std::string_view text) {
  std::vector<std::size_t> starts;
  std::size_t i = 0;
  while (i < text.size()) {
    starts.push_back(i);
    i += IsLeadByte(text[i]) && i + 1 < text.size() ? 2 : 1;
  }
  starts.push_back(text.size());
  return starts;
}

}  // namespace

std::size_t CharacterCount(std::string_view text) { return CharacterStarts(text).size() - 1; }

EditLimitResult LimitInsertedBytes(std::string_view previous, std::string_view current,
                                   std::size_t limitBytes) {
  EditLimitResult result;
  if (current.size() <= limitBytes) {
    result.Text.assign(current);
    result.CaretBytes = current.size();
    return result;
  }

  // The insertion lies between the longest common prefix and the longest
  // common suffix, both taken in whole characters.
  const std::vector<std::size_t> was = CharacterStarts(previous);
  const std::vector<std::size_t> now = CharacterStarts(current);
  const std::size_t wasCount = was.size() - 1;
  const std::size_t nowCount = now.size() - 1;
  auto character = [](std::string_view text, const std::vector<std::size_t>& starts,
                      std::size_t k) { return text.substr(starts[k], starts[k + 1] - starts[k]); };

  std::size_t prefix = 0;
  while (prefix < wasCount && prefix < nowCount &&
         character(previous, was, prefix) == character(current, now, prefix)) {
    ++prefix;
  }
  std::size_t suffix = 0;
  while (suffix < wasCount - prefix && suffix < nowCount - prefix &&
         character(previous, was, wasCount - 1 - suffix) ==
             character(current, now, nowCount - 1 - suffix)) {
    ++suffix;
  }

  const std::size_t insertedBegin = now[prefix];
  const std::size_t insertedEnd = now[nowCount - suffix];
  const std::size_t keptBytes = current.size() - (insertedEnd - insertedBegin);
  const std::size_t room = keptBytes < limitBytes ? limitBytes - keptBytes : 0;

  std::size_t cutEnd = insertedBegin;
  for (std::size_t k = prefix; k < nowCount - suffix && now[k + 1] - insertedBegin <= room; ++k) {
    cutEnd = now[k + 1];
  }
  result.Cut = cutEnd != insertedEnd;
  result.Text.assign(current.substr(0, cutEnd));
  result.Text.append(current.substr(insertedEnd));
  result.CaretBytes = cutEnd;
  return result;
}

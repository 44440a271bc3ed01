#include "support/reference_tokens.h"

#include "interchange/line_tokens.h"
#include "util/sjis.h"

std::vector<std::string> ReferenceTokens(std::string_view line) {
  std::vector<std::string> slots(1);
  bool literal = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const auto b = static_cast<unsigned char>(line[i]);
    if (IsLeadByte(b)) {
      if (i + 1 == line.size()) break;
      slots.back() += line.substr(i, 2);
      ++i;
    } else if (!literal && b == '"') {
      literal = true;
    } else if (!literal && b == '=') {
      slots.back() += '=';
      literal = true;
    } else if (!literal && (b == ' ' || b == '\t')) {
      if (!slots.back().empty()) {
        if (slots.size() == kMaxLineTokens) break;
        slots.emplace_back();
      }
    } else if (b >= 0x20 && b <= 0xFD) {
      slots.back() += static_cast<char>(b);
    }
  }
  return slots;
}

#include "interchange/line_tokens.h"

#include <array>
#include <cstdint>

#include "util/sjis.h"

namespace {

enum ByteClass : std::uint8_t {
  kKeep,    // goes into the current token
  kLead,    // first byte of a double-byte character
  kQuote,   // dropped; the rest of the line is literal
  kEquals,  // kept; the rest of the line is literal
  kBlank,   // blank or tab: ends a non-empty token
  kDrop,    // control bytes, 0xFE, 0xFF
};

constexpr std::array<ByteClass, 256> MakeClasses() {
  std::array<ByteClass, 256> classes{};
  for (int b = 0; b < 256; ++b) {
    const auto byte = static_cast<unsigned char>(b);
    if (IsLeadByte(byte)) {
      classes[b] = kLead;
    } else if (b == '"') {
      classes[b] = kQuote;
    } else if (b == '=') {
      classes[b] = kEquals;
    } else if (b == ' ' || b == '\t') {
      classes[b] = kBlank;
    } else if (b < 0x20 || b > 0xFD) {
      classes[b] = kDrop;
    } else {
      classes[b] = kKeep;
    }
  }
  return classes;
}

constexpr std::array<ByteClass, 256> kClasses = MakeClasses();

ByteClass ClassOf(char c) { return kClasses[static_cast<unsigned char>(c)]; }

}  // namespace

void TokeniseLineInPlace(char* line, std::size_t size, LineTokens& tokens) {
  std::size_t read = 0;
  std::size_t write = 0;
  std::size_t tokenStart = 0;
  int slot = 0;
  bool literal = false;

  while (read < size && !literal) {
    const char c = line[read];
    switch (ClassOf(c)) {
      case kKeep:
        line[write++] = c;
        ++read;
        break;
      case kLead:
        if (read + 1 == size) {
          ++read;  // a lead byte with no trail byte is dropped
          break;
        }
        // Both bytes are read before either is written: write may be read - 1.
        {
          const char trail = line[read + 1];
          line[write++] = c;
          line[write++] = trail;
        }
        read += 2;
        break;
      case kQuote:
        ++read;
        literal = true;
        break;
      case kEquals:
        line[write++] = c;
        ++read;
        literal = true;
        break;
      case kBlank:
        ++read;
        if (write > tokenStart) {
          tokens.Slots[slot] = std::string_view(line + tokenStart, write - tokenStart);
          tokenStart = write;
          if (++slot == kMaxLineTokens) {
            // No slot left: the rest of the line is dropped.
            tokens.Count = kMaxLineTokens;
            return;
          }
        }
        break;
      case kDrop:
        ++read;
        break;
    }
  }

  // Literal rest: only the pairing of lead bytes and the dropping of control
  // bytes, 0xFE and 0xFF still apply.
  while (read < size) {
    const char c = line[read];
    const ByteClass byteClass = ClassOf(c);
    if (byteClass == kLead) {
      if (read + 1 == size) break;
      const char trail = line[read + 1];
      line[write++] = c;
      line[write++] = trail;
      read += 2;
    } else {
      // Blanks, quotes and equals signs are ordinary bytes here; a tab is not.
      if (byteClass != kDrop && c != '\t') line[write++] = c;
      ++read;
    }
  }

  tokens.Slots[slot] = std::string_view(line + tokenStart, write - tokenStart);
  tokens.Count = slot + 1;
}

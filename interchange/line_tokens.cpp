#include "interchange/line_tokens.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#include "util/sjis.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

enum ByteClass : std::uint8_t {
  kKeep,    // goes into the current token
  kLead,    // first byte of a double-byte character
  kQuote,   // dropped; the rest of the line is literal
  kEquals,  // kept; the rest of the line is literal
  kBlank,   // blank or tab: ends a non-empty token
  kDrop,    // control bytes, 0xFE, 0xFF
};

// literal: the classes of the quoted rest of a line, where blanks, quotes and
// equals signs are ordinary bytes and a tab is dropped like any control byte.
constexpr std::array<ByteClass, 256> MakeClasses(bool literal) {
  std::array<ByteClass, 256> classes{};
  for (int b = 0; b < 256; ++b) {
    const auto byte = static_cast<unsigned char>(b);
    if (IsLeadByte(byte)) {
      classes[b] = kLead;
    } else if (b < 0x20 || b > 0xFD) {
      classes[b] = b == '\t' && !literal ? kBlank : kDrop;
    } else if (literal) {
      classes[b] = kKeep;
    } else if (b == '"') {
      classes[b] = kQuote;
    } else if (b == '=') {
      classes[b] = kEquals;
    } else if (b == ' ') {
      classes[b] = kBlank;
    } else {
      classes[b] = kKeep;
    }
  }
  return classes;
}

constexpr std::array<ByteClass, 256> kPlainClasses = MakeClasses(false);
constexpr std::array<ByteClass, 256> kLiteralClasses = MakeClasses(true);

// Moves the run of kKeep bytes at read to write; both advance past it.
void MoveRun(char* line, std::size_t size, const std::array<ByteClass, 256>& classes,
             std::size_t& read, std::size_t& write) {
  std::size_t end = read;
  while (end < size && classes[static_cast<unsigned char>(line[end])] == kKeep) ++end;
  if (write != read) std::memmove(line + write, line + read, end - read);
  write += end - read;
  read = end;
}

// A lead byte and its trail byte move together; a lead byte with nothing
// after it is dropped. Both bytes are read before either is written, since
// write may be read - 1.
void MovePair(char* line, std::size_t size, std::size_t& read, std::size_t& write) {
  if (read + 1 < size) {
    const char lead = line[read];
    const char trail = line[read + 1];
    line[write++] = lead;
    line[write++] = trail;
  }
  read += 2;
}

constexpr std::uint64_t kOnes = 0x0101010101010101u;
constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Fu;
constexpr std::uint64_t kHighBits = 0x8080808080808080u;

// The high bit of each zero byte of x, exactly (no borrow crosses a byte).
constexpr std::uint64_t ZeroBytes(std::uint64_t x) {
  return ~(((x & kLow7) + kLow7) | x) & kHighBits;
}

// Where a tokenising stopped: the next byte to read, the start of the token
// in progress and its slot.
struct TokenCursor {
  std::size_t Read = 0;
  std::size_t TokenStart = 0;
  int Slot = 0;
};

// The line ends at cursor.Read: the token in progress is the last.
void EndTokensAt(const char* line, const TokenCursor& cursor, LineTokens& tokens) {
  tokens.Slots[cursor.Slot] =
      std::string_view(line + cursor.TokenStart, cursor.Read - cursor.TokenStart);
  tokens.Count = cursor.Slot + 1;
}

// A blank at blank ends the token from tokenStart, if there is one, and the
// next may begin after it. False when the 32 slots filled up (tokens.Count is
// then 32).
[[gnu::always_inline]] inline bool EndTokenAt(char* line, std::size_t blank,
                                              std::size_t& tokenStart, int& slot,
                                              LineTokens& tokens) {
  if (blank > tokenStart) {
    tokens.Slots[slot] = std::string_view(line + tokenStart, blank - tokenStart);
    if (++slot == kMaxLineTokens) {
      tokens.Count = kMaxLineTokens;
      return false;
    }
  }
  tokenStart = blank + 1;
  return true;
}

// The start of most lines holds nothing but kKeep bytes and blanks: numbers
// and command words. There no byte is dropped, so tokens stay where they lie
// and only the blanks matter; they are found eight bytes at a time. Stops at
// the first word with another kind of byte (tab, control, quote, equals sign,
// 0x80 and up) in it, at or before that byte, for the byte loop to go on.
// Writes nothing, so it may run on bytes whose line end is still unknown: a
// line end is such a byte. False when the 32 slots filled up (tokens.Count is
// then 32).
[[gnu::always_inline]] inline bool SplitBlankSeparatedStart(char* line, std::size_t size,
                                                            TokenCursor& cursor,
                                                            LineTokens& tokens) {
  if constexpr (std::endian::native != std::endian::little) return true;
  std::size_t read = cursor.Read;
  std::size_t tokenStart = cursor.TokenStart;
  int slot = cursor.Slot;
  while (read + 8 <= size) {
    std::uint64_t x = 0;
    std::memcpy(&x, line + read, 8);
    const std::uint64_t blanks = ZeroBytes(x ^ (kOnes * ' '));
    // (b & 0x7F) + 0x5F reaches 0x80 from 0x21 up, and never carries over.
    const std::uint64_t below21 = ~(((x & kLow7) + kOnes * (0x80 - 0x21)) | x) & kHighBits;
    const std::uint64_t others = (below21 & ~blanks) | ZeroBytes(x ^ (kOnes * '"')) |
                                 ZeroBytes(x ^ (kOnes * '=')) | (x & kHighBits);
    const std::uint64_t before = others == 0 ? ~std::uint64_t{0} : (others & (0 - others)) - 1;
    for (std::uint64_t b = blanks & before; b != 0; b &= b - 1) {
      const std::size_t blank = read + static_cast<std::size_t>(std::countr_zero(b)) / 8;
      if (!EndTokenAt(line, blank, tokenStart, slot, tokens)) return false;
    }
    if (others != 0) {
      read += static_cast<std::size_t>(std::countr_zero(others)) / 8;
      break;
    }
    read += 8;
  }
  cursor = {read, tokenStart, slot};
  return true;
}

// True when the literal rest at rest[0, size) keeps every byte where it
// lies: no byte below 0x20, no 0xFE or 0xFF (whether trail bytes or not:
// the test need only be sure), and no lead byte last, which could be one
// with nothing after it. Bytes up to readableEnd may be read.
bool LiteralRestStays(const char* rest, std::size_t size, const char* readableEnd) {
  if (size == 0) return true;
  if (IsLeadByte(rest[size - 1])) return false;
  // b + 2 wraps 0xFE and 0xFF to 0 and 1, so the dropped bytes are those
  // that come to 0x21 or less.
  std::size_t i = 0;
#if defined(__SSE2__)
  const __m128i two = _mm_set1_epi8(2);
  const __m128i limit = _mm_set1_epi8(0x21);
  for (; i < size && readableEnd - (rest + i) >= 16; i += 16) {
    const __m128i x =
        _mm_add_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(rest + i)), two);
    auto dropped =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(x, limit), x)));
    // Only the bytes of the rest count.
    if (size - i < 16) dropped &= (1u << (size - i)) - 1;
    if (dropped != 0) return false;
  }
#endif
  for (; i < size; ++i) {
    if (static_cast<unsigned char>(rest[i] + 2) <= 0x21) return false;
  }
  return true;
}

// The rest of the line from where SplitBlankSeparatedStart stopped; bytes
// up to readableEnd may be read.
void FinishTokenising(char* line, std::size_t size, TokenCursor cursor, LineTokens& tokens,
                      const char* readableEnd) {
  std::size_t read = cursor.Read;
  std::size_t write = read;
  std::size_t tokenStart = cursor.TokenStart;
  int slot = cursor.Slot;
  bool literal = false;

  while (read < size && !literal) {
    MoveRun(line, size, kPlainClasses, read, write);
    if (read >= size) break;
    const char c = line[read];
    switch (kPlainClasses[static_cast<unsigned char>(c)]) {
      case kKeep:
        break;
      case kLead:
        MovePair(line, size, read, write);
        break;
      case kEquals:
        line[write++] = c;
        ++read;
        literal = true;
        break;
      case kQuote:
        ++read;
        literal = true;
        // A quote that begins its token, as a text's does, is dropped by
        // starting the token after it: nothing moves.
        if (write == tokenStart) tokenStart = write = read;
        break;
      case kBlank:
        ++read;
        if (write > tokenStart) {
          tokens.Slots[slot] = std::string_view(line + tokenStart, write - tokenStart);
          if (++slot == kMaxLineTokens) {
            // No slot left: the rest of the line is dropped.
            tokens.Count = kMaxLineTokens;
            return;
          }
        }
        // The next token starts where it lies: only bytes dropped inside a
        // token move the bytes after them.
        tokenStart = write = read;
        break;
      case kDrop:
        ++read;
        break;
    }
  }

  // The literal rest, mostly a text of double-byte characters, stays where
  // it lies when no byte of it moves; else one pass of byte moves, since its
  // runs between lead bytes are too short for memmove.
  if (literal && write == read && LiteralRestStays(line + read, size - read, readableEnd)) {
    read = write = size;
  }
  while (read < size) {
    const char c = line[read];
    const ByteClass k = kLiteralClasses[static_cast<unsigned char>(c)];
    if (k == kKeep) {
      line[write++] = c;
      ++read;
    } else if (k == kLead) {
      MovePair(line, size, read, write);
    } else {
      ++read;
    }
  }

  tokens.Slots[slot] = std::string_view(line + tokenStart, write - tokenStart);
  tokens.Count = slot + 1;
}

#if defined(__SSE2__)
// One bit per byte of 64, the first byte in bit 0.
struct ByteMasks {
  std::uint64_t Blanks;  // blanks
  std::uint64_t Others;  // bytes that are neither kept as they lie nor blanks
};

// The classes SplitBlankSeparatedStart tells apart, for 64 bytes at once:
// below 0x20 and from 0x80 up (negative as signed bytes), quote, equals sign.
ByteMasks ClassifyBytes(const char* bytes) {
  const __m128i blank = _mm_set1_epi8(' ');
  const __m128i quote = _mm_set1_epi8('"');
  const __m128i equals = _mm_set1_epi8('=');
  ByteMasks masks{0, 0};
  for (int i = 0; i < 4; ++i) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 16 * i));
    const __m128i others =
        _mm_or_si128(_mm_cmplt_epi8(x, blank),
                     _mm_or_si128(_mm_cmpeq_epi8(x, quote), _mm_cmpeq_epi8(x, equals)));
    const auto bits = [i](__m128i m) {
      // A movemask is 16 bits, zero-extended.
      return static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(m))) << (16 * i);
    };
    masks.Blanks |= bits(_mm_cmpeq_epi8(x, blank));
    masks.Others |= bits(others);
  }
  return masks;
}

// Where the first LF of 64 bytes stands, 64 if none: wanted only for the
// lines the blank-separated start does not run to their end.
std::size_t FirstLfOf64(const char* bytes) {
  const __m128i lf = _mm_set1_epi8('\n');
  std::uint64_t lfs = 0;
  for (int i = 0; i < 4; ++i) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 16 * i));
    lfs |=
        static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(x, lf))))
        << (16 * i);
  }
  return lfs == 0 ? 64 : static_cast<std::size_t>(std::countr_zero(lfs));
}

// SplitBlankSeparatedStart for a line whose start of kept bytes and blanks
// ends within the 64 bytes the masks cover: one pass over its blanks, with
// no branch on where in a word they stand.
bool SplitMaskedStart(char* line, const ByteMasks& masks, TokenCursor& cursor, LineTokens& tokens) {
  const int stop = std::countr_zero(masks.Others);
  std::size_t tokenStart = 0;
  int slot = 0;
  for (std::uint64_t b = masks.Blanks & ((std::uint64_t{1} << stop) - 1); b != 0; b &= b - 1) {
    const auto blank = static_cast<std::size_t>(std::countr_zero(b));
    if (!EndTokenAt(line, blank, tokenStart, slot, tokens)) return false;
  }
  cursor = {static_cast<std::size_t>(stop), tokenStart, slot};
  return true;
}
#endif

}  // namespace

std::size_t TokeniseFirstLine(char* bytes, std::size_t available, LineTokens& tokens) {
  tokens.ReadableEnd = bytes + available;
  TokenCursor cursor;
  bool slotsLeft = true;
  // The 64 bytes classified, when they were: the line end lies in them
  // unless the line is longer.
  bool classified = false;
#if defined(__SSE2__)
  ByteMasks masks{0, 0};
  if (available >= 64) masks = ClassifyBytes(bytes);
  if (masks.Others != 0) {
    slotsLeft = SplitMaskedStart(bytes, masks, cursor, tokens);
    classified = true;
  } else
#endif
  {
    slotsLeft = SplitBlankSeparatedStart(bytes, available, cursor, tokens);
  }
  // Read is 0 when the slots filled up.
  const std::size_t at = cursor.Read;
  if (slotsLeft && at < available && bytes[at] == '\n') {
    EndTokensAt(bytes, cursor, tokens);
    return at + 1;
  }
  if (slotsLeft && at + 1 < available && bytes[at] == '\r' && bytes[at + 1] == '\n') {
    EndTokensAt(bytes, cursor, tokens);
    return at + 2;
  }
  std::size_t end = 64;
#if defined(__SSE2__)
  if (classified) end = FirstLfOf64(bytes);
#endif
  if (end == 64) {
    // No LF before the first byte the split stopped at, nor in the 64 bytes
    // classified.
    const std::size_t from = classified ? 64 : at;
    const void* const lf = std::memchr(bytes + from, '\n', available - from);
    if (lf == nullptr) return 0;
    end = static_cast<std::size_t>(static_cast<const char*>(lf) - bytes);
  }
  // The cursor stands before the line's CR, if any: a CR LF right at the
  // cursor was taken above.
  if (slotsLeft) {
    const std::size_t size = end > 0 && bytes[end - 1] == '\r' ? end - 1 : end;
    FinishTokenising(bytes, size, cursor, tokens, bytes + available);
  }
  return end + 1;
}

void TokeniseLineInPlace(char* line, std::size_t size, LineTokens& tokens) {
  tokens.ReadableEnd = line + size;
  TokenCursor cursor;
  if (SplitBlankSeparatedStart(line, size, cursor, tokens)) {
    FinishTokenising(line, size, cursor, tokens, line + size);
  }
}

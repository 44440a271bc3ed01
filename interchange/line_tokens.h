// Splits one line of the interchange file into at most 32 tokens, the way the
// host's lines are meant to be read:
//
//   ch 10 20 5 0 "A B        ->  "ch" "10" "20" "5" "0" "A B"
//   file=C:\a b\c.zmn        ->  "file=C:\a b\c.zmn"
//   pt 1 2␠                  ->  "pt" "1" "2" ""      (4 tokens)
//
// Blanks and tabs separate tokens. A quote is dropped and an equals sign kept,
// and either turns the rest of the line into part of the current token. A
// Shift-JIS lead byte always travels with the byte after it, so a trail byte
// is never taken for a quote, an equals sign or a blank; a lead byte with
// nothing after it is dropped. Bytes below 0x20 (the tab inside a quoted rest
// too), 0xFE and 0xFF are dropped wherever they stand.
#pragma once

#include <cstddef>
#include <string_view>

inline constexpr int kMaxLineTokens = 32;

struct LineTokens {
  // Slots 0..Count-1; the rest is stale and must not be read.
  std::string_view Slots[kMaxLineTokens];
  // The slot in use when the line ended, plus 1: a blank after the last token
  // opens an empty slot that counts. At most 32; tokens past the 32nd slot are
  // dropped.
  int Count = 0;
  // The bytes from a slot's start up to here may be read, past its end too:
  // the end of the line or of the bytes read.
  const char* ReadableEnd = nullptr;

  // Slot k, or empty when the line has fewer tokens.
  std::string_view operator[](int k) const { return k < Count ? Slots[k] : std::string_view(); }
  // True for a line of nothing but blanks and dropped bytes.
  bool IsBlank() const { return Count == 1 && Slots[0].empty(); }
};

// Tokenises line[0, size) in place: the kept bytes of a token are moved
// towards its front when bytes inside it are dropped, never past where they
// were read, and the slots view into the line. No allocation.
void TokeniseLineInPlace(char* line, std::size_t size, LineTokens& tokens);

// Tokenises the line at the front of bytes[0, available), whose line end (LF
// or CR LF) is yet to be found, as TokeniseLineInPlace would; its line end is
// found on the way, so the bytes need no second look for it. Returns the
// line's size with its line end, or 0 when no LF lies in the available bytes;
// nothing is changed then.
std::size_t TokeniseFirstLine(char* bytes, std::size_t available, LineTokens& tokens);

// The delimiter box takes at most four bytes of Shift-JIS from the user, yet
// shows whole whatever longer text the program puts in it. Edit controls
// cannot do that portably (an ANSI edit's own limit counts bytes on Windows
// but characters under Wine, and limits nothing that the program sets), so
// the window checks every change against the text it last accepted: what the
// change inserted is cut to the bytes still free, never inside a double-byte
// character; what the change kept or removed is left alone. Typing, pasting,
// replacing a selection and undo all arrive as such a change.
//
// Example, limit 4: accepted "A", the user pastes "あいう" after it; the
// change gives "Aあいう" (7 bytes), the paste is cut to "あ" and the box holds
// "Aあ" with the caret after "あ".
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

struct EditLimitResult {
  std::string Text;
  // Where the caret goes: after the kept part of the insertion.
  std::size_t CaretBytes = 0;
  // True when the insertion had to be cut (the window then beeps).
  bool Cut = false;
};

// previous: the text last accepted; current: the text after the change.
EditLimitResult LimitInsertedBytes(std::string_view previous, std::string_view current,
                                   std::size_t limitBytes);

// Characters in a Shift-JIS byte string; a double-byte character counts one,
// as do a lone lead byte at the end and each single byte.
std::size_t CharacterCount(std::string_view text);

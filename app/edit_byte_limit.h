// The delimiter box takes at most four bytes of Shift-JIS from the user, yet
// shows whole whatever longer text the program puts in it. The box holds
// UTF-16, so every character the user adds is weighed in its code page 932
// bytes; a character that code page has no exact form for (é, which a plain
// conversion turns into e; ¥, which becomes 5C) is refused, so that what OK
// stores is what the user sees. The window checks every change against the
// text it last accepted: what the change inserted is cut to the bytes still
// free, whole characters only; what the change kept or removed is left
// alone. Typing, pasting, replacing a selection and undo all arrive as such
// a change.
//
// Example, limit 4: accepted "A", the user pastes "あéいう" after it; é is
// refused, あ fits, い does not, and the box holds "Aあ" with the caret
// after "あ".
//
// Code page 932 does not come back whole from UTF-16 either (87 90 shows as
// ≒ and goes back as 81 E0), so while the box holds exactly the text the
// program put there, OK stores the program's own bytes.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The code page 932 bytes of one character (one UTF-16 unit, or a surrogate
// pair); nullopt when that code page has no exact form for it.
using ShiftJisEncoder = std::optional<std::string> (*)(std::u16string_view);

struct EditLimitResult {
  std::u16string Text;
  // Where the caret goes, in UTF-16 units: after the kept part of the
  // insertion.
  std::size_t CaretUnits = 0;
  // True when the insertion had to be cut or lost a refused character (the
  // window then beeps).
  bool Cut = false;
};

// previous: the text last accepted; current: the text after the change.
EditLimitResult LimitInsertedBytes(std::u16string_view previous, std::u16string_view current,
                                   std::size_t limitBytes, const ShiftJisEncoder& encode);

// What OK stores: programBytes while the box shows programText (the text the
// program set, as the box gave it back), else the Shift-JIS of what it shows,
// "?" for a character without one.
std::string DelimiterToStore(std::u16string_view shown, std::u16string_view programText,
                             std::string_view programBytes, const ShiftJisEncoder& encode);

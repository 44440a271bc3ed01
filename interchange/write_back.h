// Whether a stored entity comes back when it is re-emitted. The host deletes
// the whole selection on "hd", so a join may write "hd" only when everything
// that stays would come back, or shows nothing and may go.
#pragma once

#include "interchange/state.h"

enum class WriteBack {
  Written,       // re-emission writes it; an "sl" counts as written, as one whose
                 // corners coincide covers nothing when it is dropped
  ShowsNothing,  // not written, and nothing visible is lost: a blank text, a
                 // zero-length line, a circle or arc of radius 0
  Lost,          // not written, or not written whole, though it shows something
};

// The entity of one EntityOrder entry as the tables hold it now; the same
// tests the emitters apply. A removed entry, a block and an unknown kind are
// Lost: blocks cannot be written back at all, and nothing is written for the
// others.
WriteBack EntityWriteBack(const EntityOrderEntry& entry);

// True when every entry not removed is Written or ShowsNothing and no text was
// cut at reading. Runs over EntityOrder once.
bool SelectionWritesBack() noexcept;

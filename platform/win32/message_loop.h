// The program's message loop. It is a Unicode loop although every window of
// ours is ANSI: an ANSI loop converts typed double-byte characters one byte
// at a time under Wine, while the Unicode loop hands our ANSI window
// procedures whole code page 932 characters.
#pragma once

#include "platform/win32/form_window_win32.h"

// Runs until the application window is destroyed.
void RunMessageLoop(Win32FormWindow& window);

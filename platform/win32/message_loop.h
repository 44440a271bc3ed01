// The program's message loop, a Unicode one like every window of ours: an
// ANSI loop converts typed double-byte characters one byte at a time under
// Wine.
#pragma once

#include "platform/win32/form_window_win32.h"

// Runs until the application window is destroyed.
void RunMessageLoop(Win32FormWindow& window);

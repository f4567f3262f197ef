// visual_constants.h - how the program's own controls are expected to look,
// shared by the tests that paint them in process and the one that reads the
// running program's screen from outside.
#pragma once

// The hover button's dotted focus rectangle lies this far inside its client area.
const int FOCUS_INSET = 3;

// A tip is this much wider and taller than its text,
const int TIP_EXTRA_WIDTH = 8;
const int TIP_EXTRA_HEIGHT = 3;
// and one that hangs at the cursor starts this far below its hot spot under a
// cursor of the standard height, in proportion under a taller one.
const int TIP_CURSOR_DROP = 20;
const int STANDARD_CURSOR_HEIGHT = 32;

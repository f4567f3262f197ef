// hover_hit_test.h - when the mouse counts as resting over a hover control.
#pragma once

#include "platform/platform.h"

// True when the cursor lies in the window's rectangle with the outermost left
// column and top row left out. The hover button and the hover check boxes
// end their hot state by this test.
bool CursorInsideHoverRect(HWND window);

// True when the cursor lies anywhere in the window's rectangle: a hovered
// button is drawn hovered only then.
bool CursorOverWindowRect(HWND window);

// host_dialog.h - a real dialog to put controls in for tests: built from an
// in-memory template (so it has a dialog font that WM_GETFONT reports), placed
// in screen pixels, with child controls added by class name.
#pragma once

#include "platform/platform.h"

// Creates a visible (not activated), modeless dialog with the given window rectangle (screen
// pixels). It has no caption, a one-pixel border and the dialog font "MS Sans
// Serif" 8. Destroy it with DestroyWindow.
HWND CreateHostDialog(int x, int y, int width, int height);

// Adds a visible child control (client coordinates of `dialog`, pixels) using
// the dialog's font. `style` is added to WS_CHILD | WS_VISIBLE.
HWND AddHostControl(HWND dialog, const char *className, const char *text, DWORD style, int id,
                    int x, int y, int width, int height);

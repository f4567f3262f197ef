// hover_button_state.h - the records of the hover button: the per-window
// block, the one process-wide record every hover button shares, and the look
// code a button is drawn with.
#pragma once

#include "platform/platform.h"

// How a hover button is drawn.
enum ButtonLook {
    LOOK_RAISED = 0,
    LOOK_PUSHED = 1,
    LOOK_CHECKED = 2 // latched down
};

// Modes of a hover button (its toggleMode).
enum HoverToggleMode {
    HOVER_PUSH_MODE = 0,  // a push button: never checked
    HOVER_TOGGLE_MODE = 1 // a toggle button: a click flips its check
};

// One block per hover button, allocated zero-filled on WM_CREATE and kept in
// the window's user-data slot until WM_DESTROY.
struct HoverButtonState {
    int checked;         // toggle buttons: 0 unchecked, non-zero checked
    int toggleMode;      // HOVER_PUSH_MODE, HOVER_TOGGLE_MODE or another checkable mode
    int glyphId;         // resource id of the glyph strip; 0 for none
    HBITMAP glyphBitmap; // loaded from glyphId; owned by the block
    HFONT captionFont;   // last WM_SETFONT; borrowed, never deleted here
    int hoverId;         // resource id of the hover strip; non-zero turns hover tracking on
    int frameCount;      // frames in the hover strip
    HBITMAP hoverBitmap; // loaded from hoverId; owned by the block
};

// Shared by every hover button of every dialog: hovering, pressing and glyph
// animation are tracked for one button at a time across the process.
struct HoverButtonGlobals {
    int focusRepaint;  // a button gaining the focus repaints itself
    int pressedInside; // during a press, the pushed look is showing
    int keyboardPress; // the press or release being handled comes from the space bar
    int captureActive; // a hover button is pressed and holds the mouse capture
    // The pressed button is giving the capture back itself at the end of its
    // press, so the WM_CAPTURECHANGED that follows is no lost capture.
    int releasingCapture;
    UINT_PTR hoverTimer; // id returned by SetTimer for the hover timer; 0 when none runs
    int hoverTicks;    // hover ticks since the last animation repaint
    int glyphFrame;    // next frame of a hover strip to draw
    // The button whose window the hover timer runs on, so that destroying
    // that button can stop the timer instead of leaving hoverTimer set for good.
    HWND hoverTimerWindow;
};

extern HoverButtonGlobals hoverButtonGlobals;

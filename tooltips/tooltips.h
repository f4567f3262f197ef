// tooltips.h - the tooltip popup and the registry of controls that have tips:
// TooltipState, TooltipEntry, the kinds of tip, registration and the two
// window procedures (the controls' subclass and the popup's own).
#pragma once

#include "platform/platform.h"

// How a registered control's tip gets its text, font, size test and place.
// Entries keep the kind as a plain int: registration accepts any value, and
// an unknown one simply never produces a tip.
enum TooltipKind {
    TTK_CAPTION = 1,               // window text, shown over the control when it does not fit
    TTK_INPLACE_CAPTION = 2,       // window text, shown on the control's own text
    TTK_LISTBOX_ITEM = 3,          // list item under the cursor, shown over the item
    TTK_CURSOR_CAPTION = 4,        // window text, always, below the cursor
    TTK_STRING_RESOURCE = 5,       // string-table text named by the control id, below the cursor
    TTK_INDENTED_LISTBOX_ITEM = 6  // list item whose text starts 32 pixels in
};

// The popup's window class.
#define TOOLTIP_WINDOW_CLASS "ControlToolTipWndClass"

// The popup's only timer; it drives both the show delay and the hide test.
enum { TOOLTIP_TIMER_ID = 1 };

// One registered control.
struct TooltipEntry {
    int kind;             // a TooltipKind, unchecked
    HWND control;         // the key: unique within the registry
    HFONT font;           // borrowed from the font-source window; never deleted
    WNDPROC previousProc; // the control's procedure before it was registered
};

// The tooltip subsystem's process-wide record.
struct TooltipState {
    HWND popup;
    TooltipEntry *entries; // one global-memory block of exactly `count` entries, or none
    UINT count;
    BOOL shown;
    HWND current;          // control whose tip is shown
    int currentKind;
    RECT lastRect;         // hit rectangle in force while the tip is shown (screen)
    UINT_PTR timer;        // non-zero exactly while the tick timer runs
    UINT ticks;            // ticks since the timer started
    BOOL skipMove;         // ignore the next button-free mouse move
    BOOL fromControl;      // the input being handled came from TooltipSubclassProc
};

extern TooltipState tooltipState;

// Registers ControlToolTipWndClass; returns the class atom or 0.
ATOM RegisterTooltipWindowClass(HINSTANCE instance);

// Creates the hidden popup once; 1 when it exists afterwards, 0 on failure.
int CreateTooltipWindow();
// Destroys the popup and discards the registry (controls are not unhooked).
void DestroyTooltipWindow();
// Stops the tick timer, hides the popup and puts the tip machinery back to
// idle: no tip, no delay running, no move to skip.
void ResetTooltipState();

// Adds a control with its kind and the font of fontSource (may be null);
// 1 when added, 0 without a popup, for a known control or without memory.
int RegisterTooltip(int kind, HWND control, HWND fontSource);
// Removes a control and gives it back its previous procedure; 1 when found.
int UnregisterTooltip(HWND control);
// The control's entry, or null. Valid only until the next (un)registration.
TooltipEntry *FindTooltip(HWND control);

// A key or mouse-button press: the input that ends any tip, whether it hits
// a registered control or the tip itself.
bool IsTipEndingInput(UINT message);

// Installed on every registered control.
LRESULT CALLBACK TooltipSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The popup's window procedure.
LRESULT CALLBACK TooltipWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

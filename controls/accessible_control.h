// accessible_control.h - what screen readers learn about the program's
// self-drawn controls (the hover buttons and the link label): an accessible
// object handed out on WM_GETOBJECT, and announcements of state changes.
#pragma once

#include "platform/platform.h"

#include <oleacc.h>

// What a control is and shows at the moment a screen reader asks.
struct AccessibleFacts {
    LONG role;                 // a ROLE_SYSTEM_ value
    LONG state;                // STATE_SYSTEM_ bits
    const char *defaultAction; // what the default action does, in a reader's words
    bool captionHasPrefix;     // the caption is drawn with "&" marking a mnemonic
};

// Fills in a control's facts. Runs on the control's own thread.
typedef void (*DescribeControlProc)(HWND control, AccessibleFacts *facts);

// Answers WM_GETOBJECT for the control's client area with an accessible
// object that describes it through `describe`. False for any other object,
// and where the accessibility runtime is missing (a Windows 98 without
// Active Accessibility): the message then belongs to the default procedure.
bool AnswerGetObject(HWND control, DescribeControlProc describe, WPARAM wParam, LPARAM lParam,
                     LRESULT *result);

// Disconnects every object AnswerGetObject handed out for the control, so
// that a reader who keeps one never hears of a window that takes the
// control's handle later. Called as the control is destroyed.
void DisconnectAccessibleObjects(HWND control);

// Tells screen readers that the control's state has changed.
void AnnounceStateChange(HWND control);

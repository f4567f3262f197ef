// please_wait_box.h - what the "Loading settings" and "Saving settings" boxes
// share: they show themselves, do their work in one message and close.
#pragma once

#include "platform/platform.h"

// Work done on the General page while the box is on screen.
typedef void (*PleaseWaitWork)(HWND page);

// The whole dialog procedure of a "Please wait" box, with its work: on
// WM_INITDIALOG it posts WM_DEFERRED_INIT to itself; that message shows and
// paints the box, runs the work on settingsState.pages[PAGE_GENERAL] without
// returning to the message loop, and ends the box.
INT_PTR HandlePleaseWaitBoxMessage(HWND box, UINT message, PleaseWaitWork work);

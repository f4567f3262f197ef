// subclass.h - installing a subclass procedure that keeps the procedure it
// replaced in the control's user-data slot.
#pragma once

#include "platform/platform.h"

// Makes `procedure` the control's window procedure and stores the replaced
// one in the control's GWLP_USERDATA slot, where the subclass procedure finds
// it. The replaced procedure passes through settingsState.previousWndProc.
void InstallUserDataSubclass(HWND control, WNDPROC procedure);

// The procedure a user-data subclass replaced, or DefWindowProcA when the
// slot is empty (a message that arrives before installation has finished).
WNDPROC GetSubclassedProc(HWND control);

// Handles WM_DESTROY for a user-data subclass: puts the replaced procedure
// back, then passes the message on to it and returns its result.
LRESULT RemoveUserDataSubclass(HWND control, WPARAM wParam, LPARAM lParam);

// subclass.h - installing a subclass procedure that keeps the procedure it
// replaced in the control's user-data slot.
#pragma once

#include "platform/platform.h"

// Makes `procedure` the control's window procedure and stores the replaced
// one in the control's GWLP_USERDATA slot, where the subclass procedure finds
// it. The replaced procedure passes through settingsState.previousWndProc.
void InstallUserDataSubclass(HWND control, WNDPROC procedure);

// Passes a message on to the procedure a user-data subclass replaced and
// returns its result. On WM_DESTROY the replaced procedure is put back first,
// so that the subclass is unhooked before the control is gone.
LRESULT PassToSubclassedProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam);

// main_dialog.h - the program's main window: the tabbed settings dialog with
// OK, Cancel, Apply, About and the link to the home page.
#pragma once

#include "platform/platform.h"

// Index into settingsState.pages of the page on show.
extern int currentPage;

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// True when the running Windows is Windows 98 (4.10) or later.
bool IsSupportedWindowsVersion(const OSVERSIONINFOA &version);

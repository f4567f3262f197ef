// loading_box.h - the "Loading settings" box, which reads every setting into
// SettingsState and the General page.
#pragma once

#include "platform/platform.h"

// Dialog procedure of IDD_LOADING. Needs settingsState.pages[PAGE_GENERAL]
// freshly created: the load fills the page's lists, so it runs once per page.
INT_PTR CALLBACK LoadingBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam);

// The load itself, as the box runs it once it is on screen.
void LoadSettings(HWND page);

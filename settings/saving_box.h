// saving_box.h - the "Saving settings" box, which writes every setting back
// from the General page.
#pragma once

#include "platform/platform.h"

// Dialog procedure of IDD_SAVING. Needs settingsState.pages[PAGE_GENERAL]
// already loaded (its lists filled and its slider's range set).
INT_PTR CALLBACK SavingBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam);

// The save itself, as the box runs it once it is on screen.
void SaveSettings(HWND page);

// hover_check_box.h - check boxes whose label turns to the hot-tracking
// colour while the mouse is over them.
#pragma once

#include "platform/platform.h"

// Timer that watches for the mouse leaving the hot check box.
enum { HOT_CHECK_BOX_TIMER_ID = 12345 };

// The check box drawn in the hot colours, and whether its timer runs. One of
// each for the whole process: at most one check box is hot at a time.
extern HWND hotCheckBox;
extern BOOL hotActive;

LRESULT CALLBACK HoverCheckBoxProc(HWND checkBox, UINT message, WPARAM wParam, LPARAM lParam);

// Gives a check box the hover highlight.
void InstallHoverCheckBox(HWND checkBox);

// The parent's answer to WM_CTLCOLORSTATIC: the hot colours and the button
// face brush for the hot check box, null (default colours) for any other control.
HBRUSH AnswerHotCheckBoxColor(HDC dc, HWND control);

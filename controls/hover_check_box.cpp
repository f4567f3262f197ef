// hover_check_box.cpp - the hover highlight of the General page's check boxes.
#include "controls/hover_check_box.h"

#include "controls/hover_hit_test.h"
#include "controls/subclass.h"

HWND hotCheckBox;
BOOL hotActive;

namespace {

// Redraws a check box at once, so that it shows the colours of the current
// hotCheckBox before anything else happens.
void RepaintNow(HWND checkBox)
{
    InvalidateRect(checkBox, nullptr, FALSE);
    UpdateWindow(checkBox);
}

void StopHotTimer(HWND checkBox)
{
    KillTimer(checkBox, HOT_CHECK_BOX_TIMER_ID);
}

// Makes `checkBox` the hot one (none: no check box is hot) and redraws the
// one that was hot at once, in the colours of the new state.
void HandOverHotState(HWND checkBox)
{
    HWND previous = hotCheckBox;
    hotActive = checkBox ? TRUE : FALSE;
    hotCheckBox = checkBox;
    if (previous)
        RepaintNow(previous);
}

void OnMouseMove(HWND checkBox)
{
    if (hotActive && checkBox == hotCheckBox)
        return;
    if (hotActive)
        StopHotTimer(hotCheckBox);
    HandOverHotState(checkBox);
    InvalidateRect(checkBox, nullptr, FALSE);
    SetTimer(checkBox, HOT_CHECK_BOX_TIMER_ID, TIMER_PERIOD_MS, nullptr);
}

void OnTimer(HWND checkBox)
{
    if (CursorInsideHoverRect(checkBox))
        return;
    StopHotTimer(checkBox);
    HandOverHotState(nullptr);
}

void OnDestroy(HWND checkBox)
{
    if (hotActive)
        StopHotTimer(checkBox);
    hotActive = FALSE;
}

} // namespace

LRESULT CALLBACK HoverCheckBoxProc(HWND checkBox, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_MOUSEMOVE:
        OnMouseMove(checkBox);
        break;
    case WM_TIMER:
        OnTimer(checkBox);
        break;
    case WM_DESTROY:
        OnDestroy(checkBox);
        break;
    }
    return PassToSubclassedProc(checkBox, message, wParam, lParam);
}

void InstallHoverCheckBox(HWND checkBox)
{
    InstallUserDataSubclass(checkBox, HoverCheckBoxProc);
}

HBRUSH AnswerHotCheckBoxColor(HDC dc, HWND control)
{
    if (control != hotCheckBox)
        return nullptr;
    SetTextColor(dc, GetSysColor(COLOR_HOTLIGHT));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return GetSysColorBrush(COLOR_BTNFACE);
}

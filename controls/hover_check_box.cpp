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

void OnMouseMove(HWND checkBox)
{
    if (hotActive && checkBox == hotCheckBox)
        return;
    if (hotActive)
        KillTimer(hotCheckBox, HOT_CHECK_BOX_TIMER_ID);

    HWND previous = hotCheckBox;
    hotActive = TRUE;
    hotCheckBox = checkBox;
    if (previous)
        RepaintNow(previous);
    InvalidateRect(checkBox, nullptr, FALSE);
    SetTimer(checkBox, HOT_CHECK_BOX_TIMER_ID, TIMER_PERIOD_MS, nullptr);
}

void OnTimer(HWND checkBox)
{
    if (CursorInsideHoverRect(checkBox))
        return;
    KillTimer(checkBox, HOT_CHECK_BOX_TIMER_ID);
    HWND previous = hotCheckBox;
    hotActive = FALSE;
    hotCheckBox = nullptr;
    if (previous)
        RepaintNow(previous);
}

LRESULT OnDestroy(HWND checkBox, WPARAM wParam, LPARAM lParam)
{
    if (hotActive)
        KillTimer(checkBox, HOT_CHECK_BOX_TIMER_ID);
    hotActive = FALSE;
    return RemoveUserDataSubclass(checkBox, wParam, lParam);
}

} // namespace

LRESULT CALLBACK HoverCheckBoxProc(HWND checkBox, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC previous = GetSubclassedProc(checkBox);
    switch (message) {
    case WM_MOUSEMOVE:
        OnMouseMove(checkBox);
        break;
    case WM_TIMER:
        OnTimer(checkBox);
        break;
    case WM_DESTROY:
        return OnDestroy(checkBox, wParam, lParam);
    }
    return CallWindowProcA(previous, checkBox, message, wParam, lParam);
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

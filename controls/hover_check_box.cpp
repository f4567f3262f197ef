// hover_check_box.cpp - the hover highlight of the General page's check boxes.
#include "controls/hover_check_box.h"

#include "controls/subclass.h"
#include "platform/window_long.h"

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

// The mouse counts as over the check box inside its window rectangle with the
// outermost left column and top row left out.
bool CursorOverCheckBox(HWND checkBox)
{
    POINT cursor;
    RECT area;
    GetCursorPos(&cursor);
    GetWindowRect(checkBox, &area);
    area.left += 1;
    area.top += 1;
    return PtInRect(&area, cursor) != FALSE;
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
    if (CursorOverCheckBox(checkBox))
        return;
    KillTimer(checkBox, HOT_CHECK_BOX_TIMER_ID);
    HWND previous = hotCheckBox;
    hotActive = FALSE;
    hotCheckBox = nullptr;
    if (previous)
        RepaintNow(previous);
}

LRESULT OnDestroy(HWND checkBox, WNDPROC previous, WPARAM wParam, LPARAM lParam)
{
    if (hotActive)
        KillTimer(checkBox, HOT_CHECK_BOX_TIMER_ID);
    hotActive = FALSE;
    SetWindowProc(checkBox, previous);
    return CallWindowProcA(previous, checkBox, WM_DESTROY, wParam, lParam);
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
        return OnDestroy(checkBox, previous, wParam, lParam);
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

// hover_hit_test.cpp - the hover controls' cursor test.
#include "controls/hover_hit_test.h"

bool CursorInsideHoverRect(HWND window)
{
    POINT cursor;
    RECT bounds;
    GetCursorPos(&cursor);
    GetWindowRect(window, &bounds);
    bounds.left += 1;
    bounds.top += 1;
    return PtInRect(&bounds, cursor) != FALSE;
}

bool CursorOverWindowRect(HWND window)
{
    POINT cursor;
    RECT bounds;
    GetCursorPos(&cursor);
    GetWindowRect(window, &bounds);
    return PtInRect(&bounds, cursor) != FALSE;
}

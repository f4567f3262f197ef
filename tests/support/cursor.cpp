// cursor.cpp - placing the real cursor.
#include "support/test_support.h"

void MoveCursorTo(int x, int y)
{
    SetCursorPos(x, y);
    PumpMessagesUntil([&] {
        POINT at;
        GetCursorPos(&at);
        return at.x == x && at.y == y;
    }, 1000);
    PumpPendingMessages();
}

void MoveCursorToClientPoint(HWND window, int x, int y)
{
    POINT point = {x, y};
    ClientToScreen(window, &point);
    MoveCursorTo(point.x, point.y);
}

void ParkCursor()
{
    MoveCursorTo(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
}

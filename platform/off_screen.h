// off_screen.h - drawing a window's client area off screen and copying it in
// one step, so that nothing half drawn ever shows: no flicker.
#pragma once

#include "platform/platform.h"

// Calls draw(surface) with a memory device context holding a bitmap the size
// of `client` (whose top-left corner is 0, 0), then copies it to `target`.
// When the memory device context or its bitmap cannot be made (a full GDI
// heap, as Windows 98's small one soon is), draw(target) draws straight onto
// the target instead: it may flicker, but it shows, where a copy of nothing
// would leave the window blank until something else repaints it.
template <typename Draw> void DrawOffScreen(HDC target, const RECT &client, Draw draw)
{
    HDC surface = CreateCompatibleDC(target);
    HBITMAP bitmap = surface ? CreateCompatibleBitmap(target, client.right, client.bottom) : nullptr;
    if (!bitmap) {
        if (surface)
            DeleteDC(surface);
        draw(target);
        return;
    }
    HGDIOBJ oldBitmap = SelectObject(surface, bitmap);
    draw(surface);
    BitBlt(target, 0, 0, client.right, client.bottom, surface, 0, 0, SRCCOPY);
    SelectObject(surface, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(surface);
}

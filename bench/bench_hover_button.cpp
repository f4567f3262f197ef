// bench_hover_button.cpp - what one hover button paint costs next to the bare
// frame-and-text drawing a plain button does, both into a memory surface.
#include "controls/hover_button.h"
#include "controls/hover_button_paint.h"
#include "controls/hover_button_state.h"
#include "platform/window_long.h"
#include "resource.h"
#include "settings/settings_state.h"

#include <cstdio>

namespace {

const int BUTTON_WIDTH = 75;
const int BUTTON_HEIGHT = 23;
const int WARM_UP_PAINTS = 200;
const int TIMED_PAINTS = 5000;

double SecondsSince(const LARGE_INTEGER &start)
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart - start.QuadPart) / frequency.QuadPart;
}

template <typename Paint> double MicrosecondsPerPaint(Paint paint)
{
    for (int i = 0; i < WARM_UP_PAINTS; ++i)
        paint();
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    for (int i = 0; i < TIMED_PAINTS; ++i)
        paint();
    GdiFlush();
    return SecondsSince(start) * 1e6 / TIMED_PAINTS;
}

} // namespace

int main()
{
    settingsState.instance = GetModuleHandleA(nullptr);
    if (!RegisterHoverButtonClass(settingsState.instance)) {
        printf("cannot register the hover button class\n");
        return 1;
    }
    HWND parent = CreateWindowExA(0, "Static", "bench", WS_POPUP, 0, 0, 200, 100, nullptr,
                                  nullptr, settingsState.instance, nullptr);
    HWND button = CreateWindowExA(0, HOVER_BUTTON_CLASS, "Cancel", WS_CHILD | WS_VISIBLE, 10, 10,
                                  BUTTON_WIDTH, BUTTON_HEIGHT, parent, nullptr,
                                  settingsState.instance, nullptr);
    HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    ConfigureHoverButton(button, 0, 0, 1, 1);
    HoverButtonState *state = GetWindowUserPointer<HoverButtonState>(button);

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP surface = CreateCompatibleBitmap(screen, BUTTON_WIDTH, BUTTON_HEIGHT);
    HGDIOBJ oldSurface = SelectObject(memory, surface);

    const double hover = MicrosecondsPerPaint(
        [&] { PaintHoverButton(button, memory, LOOK_RAISED, state, 0); });

    const double bare = MicrosecondsPerPaint([&] {
        RECT all = {0, 0, BUTTON_WIDTH, BUTTON_HEIGHT};
        DrawFrameControl(memory, &all, DFC_BUTTON, DFCS_BUTTONPUSH);
        HGDIOBJ oldFont = SelectObject(memory, font);
        const int oldMode = SetBkMode(memory, TRANSPARENT);
        DrawTextA(memory, "Cancel", -1, &all, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
        SetBkMode(memory, oldMode);
        SelectObject(memory, oldFont);
    });

    printf("hover button paint (caption, %dx%d): %.1f us\n", BUTTON_WIDTH, BUTTON_HEIGHT, hover);
    printf("bare DrawFrameControl + DrawTextA:     %.1f us\n", bare);
    printf("ratio hover / bare:                    %.2f\n", bare > 0 ? hover / bare : 0.0);

    SelectObject(memory, oldSurface);
    DeleteObject(surface);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    DestroyWindow(parent);
    return 0;
}

// bench_tooltips.cpp - how long a tip takes to appear with the real 100 ms
// timer, and what one tick costs while a tip is pending or shown.
#include "support/host_dialog.h"
#include "support/test_support.h"
#include "resource.h"
#include "settings/settings_state.h"
#include "tooltips/tooltips.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const int DELAY_TRIALS = 10;
const int TICK_REPEATS = 2000;
const int IGNORED_TICKS = 5;

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

LARGE_INTEGER Now()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now;
}

void Summarise(const char *what, std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    double sum = 0;
    for (double v : values)
        sum += v;
    printf("%-44s min %7.1f  median %7.1f  mean %7.1f  max %7.1f ms  (%zu runs)\n", what, values.front(),
           values[values.size() / 2], sum / values.size(), values.back(), values.size());
}

void Idle()
{
    ResetTooltipState();
}

// Microseconds per WM_TIMER with the machine already past the delay and the
// real timer stopped.
double TickCost(HWND control, int x, int y, bool expectShown)
{
    MoveCursorToClientPoint(control, x, y);
    Idle();
    SendMessageA(control, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    KillTimer(tooltipState.popup, TOOLTIP_TIMER_ID);
    for (int i = 0; i <= IGNORED_TICKS; ++i)
        SendMessageA(tooltipState.popup, WM_TIMER, TOOLTIP_TIMER_ID, 0);
    if ((tooltipState.shown != FALSE) != expectShown)
        printf("  (unexpected: tip %s)\n", tooltipState.shown ? "shown" : "not shown");
    const LARGE_INTEGER start = Now();
    for (int i = 0; i < TICK_REPEATS; ++i)
        SendMessageA(tooltipState.popup, WM_TIMER, TOOLTIP_TIMER_ID, 0);
    const double us = 1000.0 * Milliseconds(start, Now()) / TICK_REPEATS;
    Idle();
    return us;
}

} // namespace

int main()
{
    settingsState.instance = GetModuleHandleA(nullptr);
    InitCommonControls();
    if (!RegisterTooltipWindowClass(settingsState.instance) || !CreateTooltipWindow()) {
        printf("cannot create the tooltip popup\n");
        return 1;
    }
    HWND host = CreateHostDialog(100, 100, 600, 400);
    HWND button = AddHostControl(host, "BUTTON", "OK", BS_PUSHBUTTON, IDOK, 20, 20, 100, 40);
    HWND fitting = AddHostControl(host, "STATIC", "Fits", SS_NOTIFY, 1100, 20, 80, 200, 20);
    HWND list = AddHostControl(host, "LISTBOX", "", WS_BORDER | LBS_NOINTEGRALHEIGHT, 1101, 250, 20, 300, 330);
    SendMessageA(list, LB_SETITEMHEIGHT, 0, 16);
    for (int i = 0; i < 100; ++i)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(("Item " + std::to_string(i)).c_str()));
    RegisterTooltip(TTK_STRING_RESOURCE, button, host);
    RegisterTooltip(TTK_CAPTION, fitting, host);
    RegisterTooltip(TTK_LISTBOX_ITEM, list, host);
    PumpMessagesFor(200);

    printf("Tooltip delay with the real %d ms timer:\n", TIMER_PERIOD_MS);
    std::vector<double> shown, painted;
    for (int trial = 0; trial < DELAY_TRIALS; ++trial) {
        MoveCursorToClientPoint(button, 30, 12);
        PumpMessagesFor(50);
        Idle();
        const LARGE_INTEGER start = Now();
        SendMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM(30, 12));
        if (!PumpMessagesUntil([] { return IsWindowVisible(tooltipState.popup) != FALSE; }, 3000)) {
            printf("  trial %d: no tip within 3 s\n", trial);
            continue;
        }
        shown.push_back(Milliseconds(start, Now()));
        UpdateWindow(tooltipState.popup);
        painted.push_back(Milliseconds(start, Now()));
        SendMessageA(button, WM_KEYDOWN, VK_ESCAPE, 0);
    }
    if (!shown.empty()) {
        Summarise("first move -> tip visible", shown);
        Summarise("first move -> tip painted", painted);
    }

    printf("Cost of one tick (%d ticks each, real timer stopped):\n", TICK_REPEATS);
    printf("  pending, TTK_CAPTION that fits:                     %8.1f us\n", TickCost(fitting, 5, 5, false));
    printf("  pending, TTK_LISTBOX_ITEM item 19 of 100 that fits: %8.1f us\n", TickCost(list, 10, 19 * 16 + 5, false));
    printf("  shown, TTK_STRING_RESOURCE, cursor resting:         %8.1f us\n", TickCost(button, 30, 12, true));

    DestroyWindow(host);
    DestroyTooltipWindow();
    return 0;
}

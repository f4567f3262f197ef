// tooltip_fixture.h - shared set-up for the tooltip tests: the popup, a host
// dialog at a known place, and helpers that drive the tick machine by hand.
#pragma once

#include "platform/global_memory.h"
#include "support/host_dialog.h"
#include "support/import_patch.h"
#include "support/test_support.h"
#include "support/visual_constants.h"
#include "settings/settings_state.h"
#include "tooltips/tooltip_text.h"
#include "tooltips/tooltips.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

class TooltipTest : public testing::Test {
protected:
    static const int HOST_X = 100;
    static const int HOST_Y = 100;
    static constexpr int ITEM_HEIGHT = 16;

    // A bordered list box of 16-pixel items, numbered after `prefix`, with the
    // given client size (host client coordinates for its position).
    HWND AddListBox(int x, int y, int clientWidth, int clientHeight, int count, const std::string &prefix)
    {
        HWND list = Add("LISTBOX", "", WS_BORDER | LBS_NOINTEGRALHEIGHT, 3000, x, y, clientWidth + 2,
                        clientHeight + 2);
        SendMessageA(list, LB_SETITEMHEIGHT, 0, ITEM_HEIGHT);
        for (int i = 0; i < count; ++i)
            SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>((prefix + std::to_string(i)).c_str()));
        return list;
    }

    // An item's rectangle in screen coordinates.
    RECT ItemScreenRect(HWND list, int index)
    {
        RECT rect;
        SendMessageA(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect));
        MapWindowPoints(list, nullptr, reinterpret_cast<POINT *>(&rect), 2);
        return rect;
    }

    void SetUp() override
    {
        ASSERT_TRUE(timers.Installed());
        RegisterTooltipWindowClass(settingsState.instance); // fails harmlessly the second time
        ASSERT_EQ(1, CreateTooltipWindow());
        host = CreateHostDialog(HOST_X, HOST_Y, 600, 400);
        ASSERT_NE(nullptr, host);
        ParkCursor();
    }

    void TearDown() override
    {
        FailGlobalAllocationAfter(0);
        if (tooltipState.popup)
            KillTimer(tooltipState.popup, TOOLTIP_TIMER_ID);
        DestroyWindow(host);
        if (fontSource)
            DestroyWindow(fontSource);
        if (largeFont)
            DeleteObject(largeFont);
        DestroyTooltipWindow();
        PumpPendingMessages();
    }

    // A hidden window that reports a large bold font, so that controls can be
    // registered with an own font clearly different from the status font.
    HWND LargeFontSource()
    {
        if (!fontSource) {
            largeFont = CreateFontA(-22, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Arial");
            fontSource = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
            SendMessageA(fontSource, WM_SETFONT, reinterpret_cast<WPARAM>(largeFont), FALSE);
        }
        return fontSource;
    }

    HWND Add(const char *className, const char *text, DWORD style, int id, int x, int y, int width,
             int height)
    {
        return AddHostControl(host, className, text, style, id, x, y, width, height);
    }

    // Static controls answer HTTRANSPARENT to hit tests unless SS_NOTIFY is
    // set, and WindowFromPoint would then look through them.
    HWND AddStatic(const char *text, int id, int x, int y, int width, int height)
    {
        return Add("STATIC", text, SS_NOTIFY, id, x, y, width, height);
    }

    // Back to idle: no timer (real or counted), no tip, nothing to skip.
    void ResetIdle()
    {
        ResetTooltipState();
    }

    // Places the cursor at a point of `control`'s client area (real moves may
    // reach the control meanwhile), then starts the delay with one plain move
    // and stops the real timer so that only the test's own ticks count.
    void HoverAndStart(HWND control, int x, int y)
    {
        MoveCursorToClientPoint(control, x, y);
        ResetIdle();
        SendMessageA(control, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
        ASSERT_NE(0u, tooltipState.timer) << "a plain move starts the timer";
        KillTimer(tooltipState.popup, TOOLTIP_TIMER_ID);
    }

    void Tick(int count = 1)
    {
        for (int i = 0; i < count; ++i)
            SendMessageA(tooltipState.popup, WM_TIMER, TOOLTIP_TIMER_ID, 0);
    }

    bool TipVisible() const { return IsWindowVisible(tooltipState.popup) != FALSE; }

    RECT TipRect() const
    {
        RECT rect;
        GetWindowRect(tooltipState.popup, &rect);
        return rect;
    }

    static RECT WindowRect(HWND window)
    {
        RECT rect;
        GetWindowRect(window, &rect);
        return rect;
    }

    // Size of `text` (DT_CALCRECT) in `font`, or in the status font when null.
    static SIZE TextSize(const char *text, HFONT font)
    {
        HDC dc = GetDC(nullptr);
        HFONT statusFont = font ? nullptr : CreateStatusFont();
        HGDIOBJ old = SelectObject(dc, font ? font : statusFont);
        RECT rect = {};
        DrawTextA(dc, text, -1, &rect, DT_CALCRECT);
        SelectObject(dc, old);
        if (statusFont)
            DeleteObject(statusFont);
        ReleaseDC(nullptr, dc);
        SIZE size = {rect.right - rect.left, rect.bottom - rect.top};
        return size;
    }

    HFONT DialogFont() const { return reinterpret_cast<HFONT>(SendMessageA(host, WM_GETFONT, 0, 0)); }

    // The timer calls since the last Clear stopped the tip's timer, and did
    // nothing else: KillTimer of identifier 1 on the popup, at least once.
    void ExpectTipTimerStopped(const char *when)
    {
        EXPECT_FALSE(timers.Calls().empty()) << when << ": the timer was not stopped";
        for (const TimerCall &call : timers.Calls()) {
            EXPECT_FALSE(call.set) << when << ": SetTimer id " << call.id;
            EXPECT_EQ(tooltipState.popup, call.window) << when;
            EXPECT_EQ(static_cast<UINT_PTR>(TOOLTIP_TIMER_ID), call.id) << when;
        }
    }

    HWND host = nullptr;
    HWND fontSource = nullptr;
    HFONT largeFont = nullptr;
    // Every SetTimer and KillTimer of the test, the program's and its own.
    TimerCallRecorder timers;
};

inline std::string RectText(const RECT &r)
{
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " + std::to_string(r.right) +
           ", " + std::to_string(r.bottom) + ")";
}

#define EXPECT_RECT_EQ(expected, actual) \
    EXPECT_TRUE(EqualRect(&(expected), &(actual))) << "expected " << RectText(expected) << ", got " << RectText(actual)

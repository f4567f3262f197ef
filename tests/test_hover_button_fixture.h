// test_hover_button_fixture.h - a real modeless dialog with hover buttons for
// the hover button tests, the clicks its buttons report, mouse helpers and a
// recorder of the device contexts taken and deleted.
#pragma once

#include "controls/hover_button.h"
#include "controls/hover_button_paint.h"
#include "controls/hover_button_state.h"
#include "platform/window_long.h"
#include "resource.h"
#include "settings/settings_state.h"
#include "support/import_patch.h"
#include "support/memory_dialog.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <vector>

// Control ids of the test dialog.
enum {
    ID_FOCUS_EDIT = 100,
    ID_ALPHA = 201,  // push button
    ID_BETA = 202,   // push button right next to Alpha
    ID_TOGGLE = 203, // configured as a toggle button by the tests that need it
};

// Screen position of the test dialog.
const int DIALOG_SCREEN_X = 40;
const int DIALOG_SCREEN_Y = 40;
// Long enough for a posted input message to be handled on a busy machine.
const DWORD INPUT_TIMEOUT_MS = 2000;
// How long to pump when nothing is expected to happen.
const DWORD QUIET_PUMP_MS = 150;
// The hover timer every hover button runs on its own window: its id and period.
const UINT_PTR EXPECTED_HOVER_TIMER_ID = 1;
const UINT EXPECTED_TIMER_PERIOD_MS = 100;

struct RecordedClick {
    int id;
    int code;
    HWND from;
    LRESULT checkDuringClick; // BM_GETCHECK asked while the click is handled
};

inline std::vector<RecordedClick> recordedClicks;
// Run by the test dialog after it has recorded a click (the nested-box test).
inline void (*clickAction)(HWND dialog, int id) = nullptr;

inline void RegisterHoverButtonClassOnce()
{
    static const ATOM atom = RegisterHoverButtonClass(settingsState.instance);
    ASSERT_NE(0, atom);
}

inline INT_PTR CALLBACK RecordingDialogProc(HWND dialog, UINT message, WPARAM wParam,
                                            LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        // Only the hover buttons' clicks; the edit box reports focus changes.
        if (LOWORD(wParam) != ID_FOCUS_EDIT && lParam) {
            HWND from = reinterpret_cast<HWND>(lParam);
            recordedClicks.push_back({LOWORD(wParam), HIWORD(wParam), from,
                                      SendMessageA(from, BM_GETCHECK, 0, 0)});
            if (clickAction)
                clickAction(dialog, LOWORD(wParam));
        }
        return TRUE;
    }
    return FALSE;
}

inline HoverButtonState *StateOf(HWND button)
{
    return GetWindowUserPointer<HoverButtonState>(button);
}

inline POINT WindowCentre(HWND window)
{
    RECT bounds;
    GetWindowRect(window, &bounds);
    return {(bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2};
}

inline RECT ScreenRect(HWND window)
{
    RECT bounds;
    GetWindowRect(window, &bounds);
    return bounds;
}

// Real mouse buttons, through the system's input queue.
inline void SendMouseButton(DWORD flag)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flag;
    SendInput(1, &input, sizeof(input));
}

inline bool HasPendingPaint(HWND window)
{
    return GetUpdateRect(window, nullptr, FALSE) != FALSE;
}

// The hover timer is running and belongs to `window`.
inline bool Hovering(HWND window)
{
    return hoverButtonGlobals.hoverTimer != 0 && hoverButtonGlobals.hoverTimerWindow == window;
}

// Holds back the real WM_TIMER messages of one window while it lives: its
// timer keeps running, but each tick is turned into WM_NULL before it is
// dispatched, so that the test chooses when that button next ticks.
class HeldTicks {
public:
    explicit HeldTicks(HWND window)
    {
        heldWindow = window;
        hook = SetWindowsHookExA(WH_GETMESSAGE, Hold, nullptr, GetCurrentThreadId());
    }
    ~HeldTicks()
    {
        if (hook)
            UnhookWindowsHookEx(hook);
        heldWindow = nullptr;
    }
    HeldTicks(const HeldTicks &) = delete;
    HeldTicks &operator=(const HeldTicks &) = delete;

    bool Installed() const { return hook != nullptr; }

private:
    static LRESULT CALLBACK Hold(int code, WPARAM wParam, LPARAM lParam)
    {
        MSG *msg = reinterpret_cast<MSG *>(lParam);
        if (code == HC_ACTION && msg->hwnd == heldWindow && msg->message == WM_TIMER)
            msg->message = WM_NULL;
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static inline HWND heldWindow = nullptr;
    HHOOK hook = nullptr;
};

// Watches the device contexts taken and deleted through the test program's
// import table while it lives: every GetDC needs its ReleaseDC, and a memory
// device context must go with its own bitmap and font back in it. On Windows
// a bitmap still selected cannot be deleted, and DeleteDC does not free it.
class DcCallRecorder {
public:
    DcCallRecorder()
        : getPatch("user32.dll", "GetDC", RecordGetDC, &realGetDC),
          releasePatch("user32.dll", "ReleaseDC", RecordReleaseDC, &realReleaseDC),
          deletePatch("gdi32.dll", "DeleteDC", RecordDeleteDC, &realDeleteDC)
    {
        current = this;
    }
    ~DcCallRecorder() { current = nullptr; }

    bool Installed() const
    {
        return getPatch.Installed() && releasePatch.Installed() && deletePatch.Installed();
    }
    int Unreleased() const { return taken - released; }
    int Deleted() const { return deleted; }
    int DeletedWithObjectSelected() const { return deletedDirty; }

private:
    static HDC WINAPI RecordGetDC(HWND window)
    {
        ++current->taken;
        return realGetDC(window);
    }
    static int WINAPI RecordReleaseDC(HWND window, HDC dc)
    {
        ++current->released;
        return realReleaseDC(window, dc);
    }
    static BOOL WINAPI RecordDeleteDC(HDC dc)
    {
        // A fresh memory device context holds a 1 x 1 bitmap and the system font.
        BITMAP bitmap = {};
        GetObjectA(GetCurrentObject(dc, OBJ_BITMAP), sizeof(bitmap), &bitmap);
        const bool ownBitmap = bitmap.bmWidth > 1 || bitmap.bmHeight > 1;
        const bool ownFont = GetCurrentObject(dc, OBJ_FONT) != GetStockObject(SYSTEM_FONT);
        ++current->deleted;
        if (ownBitmap || ownFont)
            ++current->deletedDirty;
        return realDeleteDC(dc);
    }

    static inline DcCallRecorder *current = nullptr;
    static inline decltype(&GetDC) realGetDC = nullptr;
    static inline decltype(&ReleaseDC) realReleaseDC = nullptr;
    static inline decltype(&DeleteDC) realDeleteDC = nullptr;
    ImportPatch getPatch;
    ImportPatch releasePatch;
    ImportPatch deletePatch;
    int taken = 0;
    int released = 0;
    int deleted = 0;
    int deletedDirty = 0;
};

// Moves the cursor and waits until the button under it has started hovering.
inline bool MoveCursorAndWaitForHover(HWND button, int x, int y)
{
    MoveCursorTo(x, y);
    return PumpMessagesUntil([&] { return Hovering(button); }, INPUT_TIMEOUT_MS);
}

// Renders the platform's push-button frame of a look (raised, sunken, latched
// down), for comparison with what a button shows on screen.
inline ScreenImage ReferenceFrame(int width, int height, int look)
{
    const UINT states[] = {DFCS_BUTTONPUSH, DFCS_BUTTONPUSH | DFCS_PUSHED,
                           DFCS_BUTTONPUSH | DFCS_CHECKED};
    return DrawToImage(width, height, [&](HDC dc) {
        RECT all = {0, 0, width, height};
        DrawFrameControl(dc, &all, DFC_BUTTON, states[look]);
    });
}

// Pixels of the outer ring that neither the caption nor the focus rectangle
// touches: the frame and the first row and column of the face.
const int FRAME_RING = 3;

inline bool RingMatches(const ScreenImage &shown, const ScreenImage &reference)
{
    for (int y = 0; y < shown.height; ++y)
        for (int x = 0; x < shown.width; ++x) {
            const bool ring = x < FRAME_RING || y < FRAME_RING ||
                              x >= shown.width - FRAME_RING || y >= shown.height - FRAME_RING;
            if (ring && shown.At(x, y) != reference.At(x, y))
                return false;
        }
    return true;
}

// Which look a button shows on screen, judged by its frame; -1 if none fits.
inline int LookOnScreen(HWND button)
{
    const ScreenImage shown = CaptureClient(button);
    for (int look : {LOOK_RAISED, LOOK_PUSHED, LOOK_CHECKED})
        if (RingMatches(shown, ReferenceFrame(shown.width, shown.height, look)))
            return look;
    return -1;
}

// A modeless test dialog: an edit box that takes the focus first, then the
// hover buttons Alpha and Beta side by side, then Toggle. Wine takes about two
// seconds to destroy a top-level window when no window manager runs, so the
// dialog is made once per test program and its buttons are set back to their
// configured state before every test.
class HoverDialogTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        RegisterHoverButtonClassOnce();
        MemoryDialogTemplate layout(WS_POPUP | WS_VISIBLE | WS_CAPTION, 0, 0, 200, 70,
                                    "Hover test");
        const DWORD hover = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
        layout.AddControl("Edit", "", ID_FOCUS_EDIT,
                          WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER, 4, 4, 60, 12);
        layout.AddControl(HOVER_BUTTON_CLASS, "Alpha", ID_ALPHA, hover, 10, 30, 50, 14);
        layout.AddControl(HOVER_BUTTON_CLASS, "Beta", ID_BETA, hover, 60, 30, 50, 14);
        layout.AddControl(HOVER_BUTTON_CLASS, "Toggle", ID_TOGGLE, hover, 130, 30, 50, 14);
        dialog = CreateDialogIndirectParamA(settingsState.instance, layout.Get(), nullptr,
                                            RecordingDialogProc, 0);
        if (!dialog)
            return;
        SetWindowPos(dialog, HWND_TOP, DIALOG_SCREEN_X, DIALOG_SCREEN_Y, 0, 0,
                     SWP_NOSIZE | SWP_SHOWWINDOW);
        alpha = GetDlgItem(dialog, ID_ALPHA);
        beta = GetDlgItem(dialog, ID_BETA);
        toggle = GetDlgItem(dialog, ID_TOGGLE);
        edit = GetDlgItem(dialog, ID_FOCUS_EDIT);
        // Dialog units round to pixels one by one, which can make neighbours
        // overlap by a pixel; put Beta exactly at Alpha's right edge.
        RECT alphaRect = ScreenRect(alpha);
        RECT betaRect = ScreenRect(beta);
        POINT betaAt = {alphaRect.right, betaRect.top};
        ScreenToClient(dialog, &betaAt);
        SetWindowPos(beta, nullptr, betaAt.x, betaAt.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }

    static void TearDownTestSuite()
    {
        if (dialog)
            DestroyWindow(dialog);
        dialog = nullptr;
        PumpPendingMessages();
    }

    void SetUp() override
    {
        ASSERT_NE(nullptr, dialog);
        ParkCursor();
        recordedClicks.clear();
        clickAction = nullptr;
        HFONT dialogFont = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
        for (HWND button : {alpha, beta, toggle}) {
            EnableWindow(button, TRUE);
            // HOVER_PUSH_MODE clears any check left behind; a changed hover
            // strip id brings the frame count back to the program's own.
            ConfigureHoverButton(button, HOVER_PUSH_MODE, 0, 0, 0);
            ConfigureHoverButton(button, HOVER_PUSH_MODE, 0, 1, 1);
            SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont), FALSE);
        }
        ConfigureHoverButton(toggle, HOVER_TOGGLE_MODE, 0, 1, 1);
        SetFocus(edit);
        InvalidateRect(dialog, nullptr, TRUE);
        UpdateWindow(dialog);
        PumpPendingMessages();
        // Nothing may be left over from an earlier test.
        ASSERT_EQ(0u, hoverButtonGlobals.hoverTimer);
        ASSERT_EQ(0, hoverButtonGlobals.captureActive);
        ASSERT_EQ(0, hoverButtonGlobals.keyboardPress);
        ASSERT_EQ(1, hoverButtonGlobals.focusRepaint);
    }

    void TearDown() override
    {
        if (GetCapture())
            ReleaseCapture();
        ParkCursor();
        // The tick that follows a cursor leaving ends any hover still running.
        if (hoverButtonGlobals.hoverTimerWindow)
            SendMessageA(hoverButtonGlobals.hoverTimerWindow, WM_TIMER, EXPECTED_HOVER_TIMER_ID, 0);
        PumpPendingMessages();
    }

    // A point of the dialog's client area away from every control.
    static POINT DialogBackground()
    {
        RECT client;
        GetClientRect(dialog, &client);
        POINT point = {client.right - 4, client.bottom - 4};
        ClientToScreen(dialog, &point);
        return point;
    }

    static inline HWND dialog = nullptr;
    static inline HWND alpha = nullptr;
    static inline HWND beta = nullptr;
    static inline HWND toggle = nullptr;
    static inline HWND edit = nullptr;
};

// hover_button.cpp - behaviour of the hover button: hover timer, press
// tracking with mouse capture, the space bar, toggle mode, the click
// notification to the parent, and what it tells screen readers.
#include "controls/hover_button.h"

#include "controls/accessible_control.h"
#include "controls/hover_button_paint.h"
#include "controls/hover_button_state.h"
#include "controls/hover_hit_test.h"
#include "platform/global_memory.h"
#include "platform/window_long.h"
#include "resource.h"
#include "settings/settings_state.h"

namespace {

// The hover timer runs on the hovered button's own window.
const UINT_PTR HOVER_TIMER_ID = 1;
// With an animated hover strip, every this-many-th tick shows the next frame.
const int HOVER_TICKS_PER_FRAME = 4;
const int CLASS_NAME_BUFFER_SIZE = 32;
// Sent to the button itself after an accepted release: a point outside any
// client area, so press tracking redraws the released look.
const LPARAM POINT_OUTSIDE = static_cast<LPARAM>(0xFFFFFFFFu);
const LPARAM POINT_ORIGIN = 0;
// Check values a button stores for BM_SETCHECK, the '+', '=' and '-' keys
// and a toggle button's click.
const int CHECK_ON = 1;
const int CHECK_OFF = 0;
// Whether a press that ends without a click still holds the mouse capture.
const bool GIVE_CAPTURE_BACK = true;
const bool CAPTURE_ALREADY_TAKEN = false;
// What a screen reader says a click on the button does.
const char PRESS_ACTION[] = "Press";

HoverButtonState *StateOf(HWND window)
{
    return GetWindowUserPointer<HoverButtonState>(window);
}

// Marks the whole client area for repainting without erasing.
void Invalidate(HWND window)
{
    InvalidateRect(window, nullptr, FALSE);
}

bool IsHoverButton(HWND window)
{
    if (!window)
        return false;
    char className[CLASS_NAME_BUFFER_SIZE];
    if (!GetClassNameA(window, className, CLASS_NAME_BUFFER_SIZE))
        return false;
    return lstrcmpA(className, HOVER_BUTTON_CLASS) == 0;
}

// The state block of a window of the hover button class, or none.
HoverButtonState *HoverButtonStateOf(HWND window)
{
    return IsHoverButton(window) ? StateOf(window) : nullptr;
}

HBITMAP LoadButtonBitmap(int id)
{
    if (!id)
        return nullptr;
    return LoadBitmapA(settingsState.instance, MAKEINTRESOURCEA(LOWORD(id)));
}

// Coordinates are read unsigned, so points left of or above the button
// count as outside.
bool ClientPointInside(HWND window, LPARAM point)
{
    RECT client;
    GetClientRect(window, &client);
    const unsigned x = LOWORD(point);
    const unsigned y = HIWORD(point);
    return x < static_cast<unsigned>(client.right) && y < static_cast<unsigned>(client.bottom);
}

void StartHoverTimer(HWND window)
{
    hoverButtonGlobals.hoverTimer = SetTimer(window, HOVER_TIMER_ID, TIMER_PERIOD_MS, nullptr);
    hoverButtonGlobals.hoverTimerWindow = hoverButtonGlobals.hoverTimer ? window : nullptr;
}

void StopHoverTimer(HWND window)
{
    KillTimer(window, HOVER_TIMER_ID);
    hoverButtonGlobals.hoverTimer = 0;
    hoverButtonGlobals.hoverTimerWindow = nullptr;
}

// Only the button the hover timer runs on is drawn hovered: the timer may
// still belong to the neighbour the mouse has just come from.
bool HoldsHoverTimer(HWND window)
{
    return hoverButtonGlobals.hoverTimer && hoverButtonGlobals.hoverTimerWindow == window;
}

// Stores a check value; a change between checked and unchecked is announced
// to screen readers.
void StoreCheck(HWND window, HoverButtonState *state, int check)
{
    const bool changed = (state->checked != 0) != (check != 0);
    state->checked = check;
    if (changed)
        AnnounceStateChange(window);
}

// Any mode but the push button keeps the check BM_SETCHECK and
// SetHoverButtonCheck give it, and reports it to BM_GETCHECK.
bool KeepsCheck(const HoverButtonState *state)
{
    return state->toggleMode != HOVER_PUSH_MODE;
}

// Exactly the toggle mode, not any checkable one: only a toggle button flips
// its check on a click and answers the '+', '=' and '-' keys.
bool FlipsOnClick(const HoverButtonState *state)
{
    return state->toggleMode == HOVER_TOGGLE_MODE;
}

bool CanStartHover(const HoverButtonState *state)
{
    return hoverButtonGlobals.hoverTimer == 0 && state->hoverId &&
           !hoverButtonGlobals.captureActive;
}

// Draws a look straight into the window during a press.
void DrawLookNow(HWND window, HDC dc, int look, HoverButtonState *state)
{
    PaintHoverButton(window, dc, look, state, HoldsHoverTimer(window) ? 1 : 0);
}

void TrackPress(HWND window, HoverButtonState *state, LPARAM point)
{
    HDC dc = GetDC(window);
    if (ClientPointInside(window, point)) {
        if (!hoverButtonGlobals.pressedInside) {
            hoverButtonGlobals.pressedInside = 1;
            DrawLookNow(window, dc, LOOK_PUSHED, state);
        }
    } else if (hoverButtonGlobals.pressedInside) {
        hoverButtonGlobals.pressedInside = 0;
        DrawLookNow(window, dc, state->checked ? LOOK_CHECKED : LOOK_RAISED, state);
    }
    ReleaseDC(window, dc);
}

// The space bar counts as the keyboard path only once its press or release
// really runs: a stray key must not turn a later mouse release into a click.
void Press(HWND window, HoverButtonState *state, bool fromKeyboard)
{
    if (!state || hoverButtonGlobals.captureActive)
        return;
    hoverButtonGlobals.keyboardPress = fromKeyboard ? 1 : 0;
    if (!hoverButtonGlobals.keyboardPress && GetFocus() != window) {
        // The pushed look drawn below already carries the focus rectangle; a
        // repaint queued by WM_SETFOCUS would overwrite it with the raised look.
        hoverButtonGlobals.focusRepaint = 0;
        SetFocus(window);
    }
    // The hover timer may still run on the button the mouse came from: stop it
    // there, and redraw that button unhovered, as its own tick would have.
    HWND hovered = hoverButtonGlobals.hoverTimerWindow;
    StopHoverTimer(hovered ? hovered : window);
    if (hovered && hovered != window)
        Invalidate(hovered);
    // The press begins once the capture is held: the window the capture is
    // taken from hears of it first, and that is no press of its own ending.
    SetCapture(window);
    hoverButtonGlobals.captureActive = 1;
    hoverButtonGlobals.pressedInside = 0;
    SendMessageA(window, WM_MOUSEMOVE, 0, POINT_ORIGIN);
    hoverButtonGlobals.keyboardPress = 0;
}

void Release(HWND window, HoverButtonState *state, LPARAM point, bool fromKeyboard)
{
    if (!state || !hoverButtonGlobals.captureActive)
        return;
    hoverButtonGlobals.keyboardPress = fromKeyboard ? 1 : 0;
    hoverButtonGlobals.releasingCapture = 1;
    ReleaseCapture();
    hoverButtonGlobals.releasingCapture = 0;
    const bool click = ClientPointInside(window, point) || hoverButtonGlobals.keyboardPress;
    if (click) {
        if (FlipsOnClick(state))
            StoreCheck(window, state, state->checked ? CHECK_OFF : CHECK_ON);
        hoverButtonGlobals.pressedInside = 1;
        SendMessageA(window, WM_MOUSEMOVE, 0, POINT_OUTSIDE);
    }
    // The press is over before the parent hears of the click: the parent may
    // run a modal box whose hover buttons must hover and click normally.
    hoverButtonGlobals.captureActive = 0;
    hoverButtonGlobals.keyboardPress = 0;
    if (click) {
        // The parent may destroy the button while handling the click, so the
        // state block is not touched after this.
        const int id = GetWindowControlId(window);
        SendMessageA(GetParent(window), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(window));
    }
}

// Ends a press with no click and asks for the released look, when the button
// loses the focus or the mouse capture before the release. The press is marked
// over before the capture is given back, so that the WM_CAPTURECHANGED this
// sends finds nothing left to end.
void AbandonPress(HWND window, bool giveCaptureBack)
{
    if (hoverButtonGlobals.captureActive) {
        hoverButtonGlobals.captureActive = 0;
        hoverButtonGlobals.pressedInside = 0;
        if (giveCaptureBack)
            ReleaseCapture();
    }
    Invalidate(window);
}

LRESULT OnCreate(HWND window)
{
    HGLOBAL block = AllocateGlobal(GPTR, sizeof(HoverButtonState));
    if (!block)
        return -1;
    SetWindowUserData(window, reinterpret_cast<LONG_PTR>(block));
    return 0;
}

LRESULT OnDestroy(HWND window, HoverButtonState *state)
{
    // A button that goes away while hovered takes its hover timer with it;
    // otherwise hoverTimer would stay set and no button could hover again.
    if (hoverButtonGlobals.hoverTimer && hoverButtonGlobals.hoverTimerWindow == window) {
        StopHoverTimer(window);
        hoverButtonGlobals.hoverTicks = 0;
    }
    if (state) {
        if (state->glyphBitmap)
            DeleteObject(state->glyphBitmap);
        if (state->hoverBitmap)
            DeleteObject(state->hoverBitmap);
        GlobalFree(reinterpret_cast<HGLOBAL>(state));
        SetWindowUserData(window, 0);
    }
    return 0;
}

LRESULT OnSetFocus(HWND window, HoverButtonState *state)
{
    if (state) {
        if (hoverButtonGlobals.focusRepaint)
            Invalidate(window);
        hoverButtonGlobals.focusRepaint = 1;
    }
    return 0;
}

LRESULT OnKillFocus(HWND window)
{
    AbandonPress(window, GIVE_CAPTURE_BACK);
    return 0;
}

// Another window took the capture during a press: a popup that captures the
// mouse, or the system starting a move or a menu. The release will never come
// here, so the press ends now, or no hover button could hover again.
LRESULT OnCaptureChanged(HWND window)
{
    if (hoverButtonGlobals.captureActive && !hoverButtonGlobals.releasingCapture)
        AbandonPress(window, CAPTURE_ALREADY_TAKEN);
    return 0;
}

LRESULT OnEnable(HWND window, HoverButtonState *state, WPARAM wParam, LPARAM lParam)
{
    if (state && wParam == TRUE && CursorInsideHoverRect(window) && CanStartHover(state))
        StartHoverTimer(window);
    Invalidate(window);
    return DefWindowProcA(window, WM_ENABLE, wParam, lParam);
}

LRESULT OnPaint(HWND window, HoverButtonState *state)
{
    if (!state)
        return DefWindowProcA(window, WM_PAINT, 0, 0);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    const int look = state->checked ? LOOK_CHECKED : LOOK_RAISED;
    const int hovered = (HoldsHoverTimer(window) && IsWindowEnabled(window)) ? 1 : 0;
    PaintHoverButton(window, dc, look, state, hovered);
    EndPaint(window, &paint);
    return 0;
}

LRESULT OnSetFont(HWND window, HoverButtonState *state, WPARAM wParam, LPARAM lParam)
{
    // No repaint, whatever lParam asks: the next paint picks the font up.
    if (state)
        state->captionFont = reinterpret_cast<HFONT>(wParam);
    return DefWindowProcA(window, WM_SETFONT, wParam, lParam);
}

LRESULT OnGetCheck(const HoverButtonState *state)
{
    return (state && KeepsCheck(state) && state->checked) ? BST_CHECKED : BST_UNCHECKED;
}

LRESULT OnSetCheck(HWND window, HoverButtonState *state, WPARAM wParam)
{
    if (state && KeepsCheck(state)) {
        // BST_INDETERMINATE counts as unchecked.
        StoreCheck(window, state, (wParam == BST_CHECKED) ? CHECK_ON : CHECK_OFF);
        Invalidate(window);
    }
    return 0;
}

LRESULT OnKeyDown(HWND window, HoverButtonState *state, WPARAM wParam, LPARAM lParam)
{
    if (wParam == VK_SPACE)
        Press(window, state, true);
    return DefWindowProcA(window, WM_KEYDOWN, wParam, lParam);
}

LRESULT OnKeyUp(HWND window, HoverButtonState *state, WPARAM wParam, LPARAM lParam)
{
    if (wParam == VK_SPACE)
        Release(window, state, lParam, true);
    return DefWindowProcA(window, WM_KEYUP, wParam, lParam);
}

LRESULT OnChar(HWND window, HoverButtonState *state, WPARAM wParam, LPARAM lParam)
{
    if (state && FlipsOnClick(state)) {
        if (wParam == '+' || wParam == '=')
            SetHoverButtonCheck(window, CHECK_ON);
        else if (wParam == '-')
            SetHoverButtonCheck(window, CHECK_OFF);
    }
    return DefWindowProcA(window, WM_CHAR, wParam, lParam);
}

LRESULT OnTimer(HWND window, HoverButtonState *state)
{
    if (!CursorInsideHoverRect(window) || hoverButtonGlobals.captureActive) {
        StopHoverTimer(window);
        Invalidate(window);
        hoverButtonGlobals.hoverTicks = 0;
        return 0;
    }
    if (!state)
        return 0;
    const int ticks = hoverButtonGlobals.hoverTicks++;
    if (ticks < HOVER_TICKS_PER_FRAME - 1 || state->frameCount <= 1)
        return 0;
    // With an animated strip, every HOVER_TICKS_PER_FRAME-th tick repaints
    // the next frame.
    Invalidate(window);
    hoverButtonGlobals.hoverTicks = 0;
    return 0;
}

LRESULT OnMouseMove(HWND window, HoverButtonState *state, WPARAM wParam, LPARAM lParam)
{
    if (state) {
        if (CanStartHover(state)) {
            StartHoverTimer(window);
            Invalidate(window);
        }
        if (hoverButtonGlobals.captureActive)
            TrackPress(window, state, lParam);
    }
    return DefWindowProcA(window, WM_MOUSEMOVE, wParam, lParam);
}

LRESULT OnLButtonDown(HWND window, HoverButtonState *state, WPARAM wParam, LPARAM lParam)
{
    Press(window, state, false);
    return DefWindowProcA(window, WM_LBUTTONDOWN, wParam, lParam);
}

LRESULT OnLButtonUp(HWND window, HoverButtonState *state, WPARAM wParam, LPARAM lParam)
{
    Release(window, state, lParam, false);
    return DefWindowProcA(window, WM_LBUTTONUP, wParam, lParam);
}

// The button as a screen reader is to know it at this moment. A press is
// drawn pushed only on the button that has the focus: a press takes the
// focus, and losing it ends the press.
void DescribeHoverButton(HWND window, AccessibleFacts *facts)
{
    const HoverButtonState *state = HoverButtonStateOf(window);
    const bool checkable = state && KeepsCheck(state);
    const bool focused = GetFocus() == window;
    const bool enabled = IsWindowEnabled(window) != FALSE;
    facts->role = checkable ? ROLE_SYSTEM_CHECKBUTTON : ROLE_SYSTEM_PUSHBUTTON;
    facts->state = STATE_SYSTEM_FOCUSABLE;
    if (focused)
        facts->state |= STATE_SYSTEM_FOCUSED;
    if (HoldsHoverTimer(window) && enabled && CursorOverWindowRect(window))
        facts->state |= STATE_SYSTEM_HOTTRACKED;
    if ((focused && hoverButtonGlobals.captureActive && hoverButtonGlobals.pressedInside) ||
        (checkable && state->checked))
        facts->state |= STATE_SYSTEM_PRESSED;
    if (!enabled)
        facts->state |= STATE_SYSTEM_UNAVAILABLE;
    facts->defaultAction = PRESS_ACTION;
    facts->captionHasPrefix = true;
}

LRESULT OnGetObject(HWND window, WPARAM wParam, LPARAM lParam)
{
    LRESULT object;
    if (AnswerGetObject(window, DescribeHoverButton, wParam, lParam, &object))
        return object;
    return DefWindowProcA(window, WM_GETOBJECT, wParam, lParam);
}

// The window's last message: no object a reader kept may outlive it.
LRESULT OnNcDestroy(HWND window, WPARAM wParam, LPARAM lParam)
{
    DisconnectAccessibleObjects(window);
    return DefWindowProcA(window, WM_NCDESTROY, wParam, lParam);
}

} // namespace

LRESULT CALLBACK HoverButtonWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    HoverButtonState *state = StateOf(window);
    switch (message) {
    case WM_CREATE:
        return OnCreate(window);
    case WM_DESTROY:
        return OnDestroy(window, state);
    case WM_SETFOCUS:
        return OnSetFocus(window, state);
    case WM_KILLFOCUS:
        return OnKillFocus(window);
    case WM_ENABLE:
        return OnEnable(window, state, wParam, lParam);
    case WM_PAINT:
        return OnPaint(window, state);
    case WM_SETFONT:
        return OnSetFont(window, state, wParam, lParam);
    case BM_GETCHECK:
        return OnGetCheck(state);
    case BM_SETCHECK:
        return OnSetCheck(window, state, wParam);
    case WM_KEYDOWN:
        return OnKeyDown(window, state, wParam, lParam);
    case WM_KEYUP:
        return OnKeyUp(window, state, wParam, lParam);
    case WM_CHAR:
        return OnChar(window, state, wParam, lParam);
    case WM_TIMER:
        return OnTimer(window, state);
    case WM_MOUSEMOVE:
        return OnMouseMove(window, state, wParam, lParam);
    case WM_LBUTTONDOWN:
        return OnLButtonDown(window, state, wParam, lParam);
    case WM_LBUTTONUP:
        return OnLButtonUp(window, state, wParam, lParam);
    case WM_CAPTURECHANGED:
        return OnCaptureChanged(window);
    case WM_GETOBJECT:
        return OnGetObject(window, wParam, lParam);
    case WM_NCDESTROY:
        return OnNcDestroy(window, wParam, lParam);
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

void ConfigureHoverButton(HWND window, int toggleMode, int glyphId, int hoverId, int frameCount)
{
    HoverButtonState *state = HoverButtonStateOf(window);
    if (!state)
        return;
    if (toggleMode == HOVER_PUSH_MODE)
        StoreCheck(window, state, CHECK_OFF);
    state->toggleMode = toggleMode;

    if (glyphId != state->glyphId) {
        state->glyphId = glyphId;
        if (state->glyphBitmap)
            DeleteObject(state->glyphBitmap);
        state->glyphBitmap = LoadButtonBitmap(glyphId);
    }
    // The frame count belongs to the hover strip: a call that repeats the
    // stored strip id keeps the count stored with it.
    if (hoverId != state->hoverId) {
        state->hoverId = hoverId;
        state->frameCount = frameCount;
        if (state->hoverBitmap)
            DeleteObject(state->hoverBitmap);
        state->hoverBitmap = LoadButtonBitmap(hoverId);
    }
    Invalidate(window);
}

void SetHoverButtonCheck(HWND window, int check)
{
    HoverButtonState *state = HoverButtonStateOf(window);
    if (!state || !KeepsCheck(state))
        return;
    StoreCheck(window, state, check);
    Invalidate(window);
}

ATOM RegisterHoverButtonClass(HINSTANCE instance)
{
    WNDCLASSA windowClass = {};
    windowClass.style = 0; // no double clicks: every click is a down and an up
    windowClass.lpfnWndProc = HoverButtonWndProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = instance;
    windowClass.hIcon = nullptr;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = HOVER_BUTTON_CLASS;
    return RegisterClassA(&windowClass);
}

void ConfigurePlainHoverButton(HWND button)
{
    // No glyph strip, so the caption is drawn as text; the program's module
    // holds no bitmap for hover strip 1 either.
    enum { PUSH_BUTTON = 0, NO_GLYPH = 0, PLAIN_HOVER_STRIP = 1, ONE_FRAME = 1 };
    ConfigureHoverButton(button, PUSH_BUTTON, NO_GLYPH, PLAIN_HOVER_STRIP, ONE_FRAME);
}

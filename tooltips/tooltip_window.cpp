// tooltip_window.cpp - the tooltip popup: its window class, the tick state
// machine that shows and hides the tip, placement on screen, hiding on input
// and painting.
#include "tooltips/tooltips.h"

#include "tooltips/tooltip_text.h"

namespace {

// Ticks 1 to 5 after the timer starts do nothing: the first tip shows on the
// sixth, about 600 ms after the first mouse move.
const UINT IGNORED_TICKS = 5;

// The tip is this much larger than its text.
const int TIP_EXTRA_WIDTH = 8;
const int TIP_EXTRA_HEIGHT = 3;

// TTK_CURSOR_CAPTION and TTK_STRING_RESOURCE tips hang below the cursor,
// clear of the pointer's shape: 20 pixels under the standard 32-pixel
// cursor, and as much more as the system's cursor is taller at high DPI.
const int CURSOR_TIP_DROP = 20;
const int STANDARD_CURSOR_HEIGHT = 32;
// TTK_INPLACE_CAPTION: the tip's text lies on the control's own text.
const int INPLACE_OFFSET_X = -1;
const int INPLACE_OFFSET_Y = 2;
// TTK_LISTBOX_ITEM: the tip's text lies on the item's text.
const int LIST_ITEM_OFFSET_X = -2;
const int LIST_ITEM_OFFSET_Y = -1;
// TTK_INDENTED_LISTBOX_ITEM: items draw their text 32 pixels in; the tip
// starts a little before.
const int INDENTED_ITEM_OFFSET_X = 28;
// Space the list kinds need beside their text before it counts as fitting.
const int LIST_ITEM_WIDENING = 3;
const int INDENTED_ITEM_WIDENING = 32;

// The text is drawn 3 pixels in from the left and right edges of the tip and
// moved one pixel right and down, clear of the frame.
const int TEXT_INSET_X = 3;
const int TEXT_SHIFT = 1;

const UINT SHOW_TIP_FLAGS = SWP_SHOWWINDOW | SWP_NOACTIVATE;

int Width(const RECT &rect)
{
    return rect.right - rect.left;
}

int Height(const RECT &rect)
{
    return rect.bottom - rect.top;
}

// No tip on screen and none for any control.
void HideTip()
{
    ShowWindow(tooltipState.popup, SW_HIDE);
    tooltipState.shown = FALSE;
    tooltipState.current = nullptr;
    tooltipState.currentKind = 0;
    SetRectEmpty(&tooltipState.lastRect);
}

// No delay running: the next tip needs a new plain move and the full delay.
void StopTimer()
{
    KillTimer(tooltipState.popup, TOOLTIP_TIMER_ID);
    tooltipState.timer = 0;
    tooltipState.ticks = 0;
}

// Back to idle: no tip shown and none pending.
void EndTip()
{
    HideTip();
    StopTimer();
}

// A shown tip stays while the cursor is inside the hit rectangle it was shown
// for and that rectangle has not changed (a list item scrolled or another
// item under the cursor). A control destroyed or unregistered under its tip
// has no rectangle any more, so the tip goes.
bool TipStays(POINT cursor)
{
    if (!FindTooltip(tooltipState.current))
        return false;
    RECT hit;
    const bool found = GetTooltipHitRect(tooltipState.current, tooltipState.currentKind, &hit) != 0;
    return found && PtInRect(&hit, cursor) && EqualRect(&hit, &tooltipState.lastRect);
}

void CheckShownTip(POINT cursor)
{
    if (TipStays(cursor))
        return;
    HideTip();
    // Over another registered control the timer keeps running with its count
    // past the delay, so that control's tip shows on the very next tick.
    if (FindTooltip(WindowFromPoint(cursor)))
        return;
    StopTimer();
}

// Whether the text needs a tip at all. The fit test compares the text in the
// control's own font with its client area; an entry without a font is judged
// by the tip's measurement instead.
bool TextFits(const TooltipEntry &entry, const RECT &tipText, RECT ownText)
{
    if (entry.kind == TTK_CURSOR_CAPTION || entry.kind == TTK_STRING_RESOURCE)
        return false;
    if (!entry.font)
        ownText = tipText;
    if (entry.kind == TTK_LISTBOX_ITEM)
        ownText.right += LIST_ITEM_WIDENING;
    else if (entry.kind == TTK_INDENTED_LISTBOX_ITEM)
        ownText.right += INDENTED_ITEM_WIDENING;
    RECT client;
    GetClientRect(entry.control, &client);
    return Width(ownText) <= Width(client);
}

void CentreVertically(RECT *tip, const RECT &hit)
{
    OffsetRect(tip, 0, (Height(hit) - Height(*tip)) / 2);
}

int CursorTipDrop()
{
    const int drop = MulDiv(CURSOR_TIP_DROP, GetSystemMetrics(SM_CYCURSOR), STANDARD_CURSOR_HEIGHT);
    return drop > CURSOR_TIP_DROP ? drop : CURSOR_TIP_DROP;
}

// Moves the tip (keeping its size) to where its kind puts it.
void PlaceTip(RECT *tip, int kind, const RECT &hit, POINT cursor)
{
    switch (kind) {
    case TTK_INPLACE_CAPTION:
        OffsetRect(tip, hit.left + INPLACE_OFFSET_X - tip->left, hit.top + INPLACE_OFFSET_Y - tip->top);
        break;
    case TTK_LISTBOX_ITEM:
        OffsetRect(tip, hit.left + LIST_ITEM_OFFSET_X - tip->left, hit.top + LIST_ITEM_OFFSET_Y - tip->top);
        break;
    case TTK_CURSOR_CAPTION:
    case TTK_STRING_RESOURCE:
        OffsetRect(tip, cursor.x - tip->left, cursor.y + CursorTipDrop() - tip->top);
        break;
    case TTK_INDENTED_LISTBOX_ITEM:
        OffsetRect(tip, hit.left + INDENTED_ITEM_OFFSET_X - tip->left, hit.top - tip->top);
        CentreVertically(tip, hit);
        break;
    default:
        // TTK_CAPTION: over the control, centred on it when wider (division
        // truncates toward zero, so an odd overhang leans right).
        OffsetRect(tip, hit.left - tip->left, hit.top - tip->top);
        if (Width(*tip) > Width(hit))
            OffsetRect(tip, (Width(hit) - Width(*tip)) / 2, 0);
        CentreVertically(tip, hit);
        break;
    }
}

// Pushes the tip back onto the desktop: right and bottom first, so that a tip
// larger than the desktop ends on its left and top edges.
void KeepOnDesktop(RECT *tip)
{
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    if (tip->right > desktop.right)
        OffsetRect(tip, desktop.right - tip->right, 0);
    if (tip->bottom > desktop.bottom)
        OffsetRect(tip, 0, desktop.bottom - tip->bottom);
    if (tip->left < desktop.left)
        OffsetRect(tip, desktop.left - tip->left, 0);
    if (tip->top < desktop.top)
        OffsetRect(tip, 0, desktop.top - tip->top);
}

void TryShowTip(POINT cursor)
{
    HWND window = WindowFromPoint(cursor);
    const TooltipEntry *found = FindTooltip(window);
    if (!found) {
        EndTip();
        return;
    }
    // Measuring sends messages to the control; work on a copy of the entry.
    const TooltipEntry entry = *found;

    RECT tip = {};
    RECT ownText = {};
    if (MeasureTooltipText(&entry, &tip, &ownText) < 1)
        return;
    if (TextFits(entry, tip, ownText))
        return;

    tip.right += TIP_EXTRA_WIDTH;
    tip.bottom += TIP_EXTRA_HEIGHT;
    AdjustWindowRect(&tip, static_cast<DWORD>(GetWindowLongA(tooltipState.popup, GWL_STYLE)), FALSE);
    const int width = Width(tip);
    const int height = Height(tip);

    RECT hit;
    if (!GetTooltipHitRect(entry.control, entry.kind, &hit))
        return;
    tooltipState.lastRect = hit;

    PlaceTip(&tip, entry.kind, hit, cursor);
    KeepOnDesktop(&tip);
    SetWindowPos(tooltipState.popup, HWND_TOP, tip.left, tip.top, width, height, SHOW_TIP_FLAGS);
    InvalidateRect(tooltipState.popup, nullptr, TRUE);

    tooltipState.shown = TRUE;
    tooltipState.current = window;
    tooltipState.currentKind = entry.kind;
}

LRESULT OnTimer(HWND window)
{
    ++tooltipState.ticks;
    if (tooltipState.ticks <= IGNORED_TICKS)
        return 0;
    POINT cursor;
    GetCursorPos(&cursor);
    if (tooltipState.shown)
        CheckShownTip(cursor);
    else
        TryShowTip(cursor);
    return 0;
}

bool IsMouseButtonMessage(UINT message)
{
    return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN;
}

// A click on the tip arrives in the tip's client coordinates; the control
// gets it in its own, as if it had been clicked there.
LPARAM PositionForControl(HWND window, HWND control, UINT message, LPARAM lParam)
{
    if (!IsMouseButtonMessage(message))
        return lParam;
    POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    MapWindowPoints(window, control, &point, 1);
    return MAKELPARAM(point.x, point.y);
}

// Keys and button presses hide or cancel the tip. Input aimed at the tip
// itself goes on to the control it explains, with the tip already gone; that
// control's subclass sends it straight back with fromControl set and finds
// nothing left to end. The move that follows the click is not to start a
// new tip at once.
LRESULT OnInput(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (tooltipState.timer == 0) {
        tooltipState.fromControl = FALSE;
        return DefWindowProcA(window, message, wParam, lParam);
    }
    HWND control = tooltipState.current;
    const BOOL aimedAtTip = !tooltipState.fromControl;
    EndTip();
    if (aimedAtTip) {
        tooltipState.skipMove = TRUE;
        if (control)
            SendMessageA(control, message, wParam, PositionForControl(window, control, message, lParam));
    }
    tooltipState.fromControl = FALSE;
    return 0;
}

LRESULT OnPaint(HWND window, WPARAM wParam, LPARAM lParam)
{
    const TooltipEntry *found = tooltipState.current ? FindTooltip(tooltipState.current) : nullptr;
    if (!found)
        return DefWindowProcA(window, WM_PAINT, wParam, lParam);
    const TooltipEntry entry = *found;

    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    char text[TOOLTIP_TEXT_SIZE];
    GetTooltipText(&entry, text);

    RECT client;
    GetClientRect(window, &client);
    FrameRect(dc, &client, GetSysColorBrush(COLOR_BTNTEXT));

    const int previousMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF previousColour = SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
    client.left += TEXT_INSET_X;
    client.right -= TEXT_INSET_X;
    OffsetRect(&client, TEXT_SHIFT, TEXT_SHIFT);
    DrawTipText(dc, entry, text, -1, &client, 0);
    SetTextColor(dc, previousColour);
    SetBkMode(dc, previousMode);
    EndPaint(window, &paint);
    return 0;
}

} // namespace

bool IsTipEndingInput(UINT message)
{
    return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_CHAR || IsMouseButtonMessage(message);
}

void ResetTooltipState()
{
    if (tooltipState.popup)
        EndTip();
    tooltipState.skipMove = FALSE;
    tooltipState.fromControl = FALSE;
}

ATOM RegisterTooltipWindowClass(HINSTANCE instance)
{
    WNDCLASSA windowClass = {};
    // Saved bits: hiding the tip restores the pixels beneath without making
    // the windows below repaint.
    windowClass.style = CS_SAVEBITS;
    windowClass.lpfnWndProc = TooltipWndProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_INFOBK + 1));
    windowClass.lpszClassName = TOOLTIP_WINDOW_CLASS;
    return RegisterClassA(&windowClass);
}

LRESULT CALLBACK TooltipWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        return OnPaint(window, wParam, lParam);
    case WM_TIMER:
        return OnTimer(window);
    default:
        if (IsTipEndingInput(message))
            return OnInput(window, message, wParam, lParam);
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

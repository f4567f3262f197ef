// tooltip_registry.cpp - the tooltip popup's life, the registry of controls
// that have tips, and the subclass procedure that feeds their input and mouse
// movement to the popup.
#include "tooltips/tooltips.h"

#include "platform/global_memory.h"
#include "platform/window_long.h"
#include "settings/settings_state.h"

TooltipState tooltipState;

namespace {

const DWORD POPUP_EX_STYLE = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
const DWORD POPUP_STYLE = WS_POPUP | WS_CLIPSIBLINGS;
// The popup is sized for every tip when it is shown; this is only its start.
const int POPUP_INITIAL_SIZE = 10;

SIZE_T RegistryBytes(UINT entryCount)
{
    return static_cast<SIZE_T>(entryCount) * sizeof(TooltipEntry);
}

// Position of the control's entry, or -1.
int FindTooltipIndex(HWND control)
{
    if (!tooltipState.entries)
        return -1;
    for (UINT i = 0; i < tooltipState.count; ++i)
        if (tooltipState.entries[i].control == control)
            return static_cast<int>(i);
    return -1;
}

// The control leaves the registry before its own procedure sees WM_DESTROY,
// so nothing of the tooltip machinery outlives it.
LRESULT OnControlDestroy(HWND window, WNDPROC previous, WPARAM wParam, LPARAM lParam)
{
    UnregisterTooltip(window);
    return CallWindowProcA(previous, window, WM_DESTROY, wParam, lParam);
}

// Keys and button presses hide or cancel any tip first; the control still
// receives its input.
LRESULT OnControlInput(HWND window, WNDPROC previous, UINT message, WPARAM wParam, LPARAM lParam)
{
    tooltipState.fromControl = TRUE;
    SendMessageA(tooltipState.popup, message, wParam, lParam);
    return CallWindowProcA(previous, window, message, wParam, lParam);
}

// A plain move (no button, Shift or Ctrl) starts the delay once; moves while
// the timer runs leave the count alone, so the delay runs from the first move.
LRESULT OnControlMouseMove(HWND window, WNDPROC previous, WPARAM wParam, LPARAM lParam)
{
    if (wParam == 0) {
        if (tooltipState.skipMove)
            tooltipState.skipMove = FALSE;
        else if (tooltipState.timer == 0)
            tooltipState.timer = SetTimer(tooltipState.popup, TOOLTIP_TIMER_ID, TIMER_PERIOD_MS, nullptr);
    }
    return CallWindowProcA(previous, window, WM_MOUSEMOVE, wParam, lParam);
}

} // namespace

int CreateTooltipWindow()
{
    if (tooltipState.popup)
        return 1;
    HWND popup = CreateWindowExA(POPUP_EX_STYLE, TOOLTIP_WINDOW_CLASS, "", POPUP_STYLE, 0, 0,
                                 POPUP_INITIAL_SIZE, POPUP_INITIAL_SIZE, nullptr, nullptr,
                                 settingsState.instance, nullptr);
    if (!popup)
        return 0;
    tooltipState.popup = popup;
    SetRectEmpty(&tooltipState.lastRect);
    return 1;
}

void DestroyTooltipWindow()
{
    if (!tooltipState.popup)
        return;
    // A popup created later starts idle instead of believing a timer still runs.
    ResetTooltipState();
    DestroyWindow(tooltipState.popup);
    tooltipState.popup = nullptr;
    if (tooltipState.entries)
        GlobalFree(tooltipState.entries);
    tooltipState.entries = nullptr;
    tooltipState.count = 0;
}

int RegisterTooltip(int kind, HWND control, HWND fontSource)
{
    // An entry for no window would match every point with no window under
    // it, and a tip pending there would never be given up.
    if (!tooltipState.popup || !control)
        return 0;
    // Asking for the font may run the font source's code, which may register
    // controls of its own; ask before looking for duplicates and before the
    // block grows, so that nothing here points into it across the call.
    const HFONT font = fontSource ? reinterpret_cast<HFONT>(SendMessageA(fontSource, WM_GETFONT, 0, 0)) : nullptr;
    if (FindTooltipIndex(control) >= 0)
        return 0;

    HGLOBAL block;
    if (!tooltipState.entries)
        block = AllocateGlobal(GMEM_FIXED | GMEM_ZEROINIT, RegistryBytes(1));
    else
        block = ReallocateGlobal(tooltipState.entries, RegistryBytes(tooltipState.count + 1), GMEM_MOVEABLE);
    if (!block)
        return 0;
    // Fixed blocks are addressed by their handle.
    tooltipState.entries = static_cast<TooltipEntry *>(block);

    TooltipEntry &entry = tooltipState.entries[tooltipState.count];
    entry.kind = kind;
    entry.control = control;
    entry.previousProc = GetWindowProc(control);
    entry.font = font;
    SetWindowProc(control, TooltipSubclassProc);
    ++tooltipState.count;
    return 1;
}

int UnregisterTooltip(HWND control)
{
    if (!tooltipState.popup || tooltipState.count == 0)
        return 0;
    const int index = FindTooltipIndex(control);
    if (index < 0)
        return 0;

    TooltipEntry *entries = tooltipState.entries;
    SetWindowProc(control, entries[index].previousProc);
    entries[index] = entries[tooltipState.count - 1];
    --tooltipState.count;
    if (tooltipState.count == 0) {
        GlobalFree(entries);
        tooltipState.entries = nullptr;
    } else {
        // Failing to shrink costs only memory: keep the larger block.
        HGLOBAL smaller = ReallocateGlobal(entries, RegistryBytes(tooltipState.count), GMEM_MOVEABLE);
        if (smaller)
            tooltipState.entries = static_cast<TooltipEntry *>(smaller);
    }
    return 1;
}

TooltipEntry *FindTooltip(HWND control)
{
    const int index = FindTooltipIndex(control);
    return index < 0 ? nullptr : &tooltipState.entries[index];
}

LRESULT CALLBACK TooltipSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const TooltipEntry *entry = FindTooltip(window);
    // A window that is no longer registered still has this procedure only if
    // the registry was discarded under it; its own procedure is unknown, and
    // calling the window's current one would land here again.
    if (!entry)
        return DefWindowProcA(window, message, wParam, lParam);

    // Entries may move while messages are sent; keep a copy of what is needed.
    const WNDPROC previous = entry->previousProc;
    switch (message) {
    case WM_DESTROY:
        return OnControlDestroy(window, previous, wParam, lParam);
    case WM_MOUSEMOVE:
        return OnControlMouseMove(window, previous, wParam, lParam);
    default:
        if (IsTipEndingInput(message))
            return OnControlInput(window, previous, message, wParam, lParam);
        return CallWindowProcA(previous, window, message, wParam, lParam);
    }
}

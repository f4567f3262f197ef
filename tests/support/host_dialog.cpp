// host_dialog.cpp - a dialog created from an in-memory template for tests.
#include "support/host_dialog.h"

#include "settings/settings_state.h"
#include "support/memory_dialog.h"

namespace {

// FALSE for WM_INITDIALOG too: the dialog manager then sets no focus, and
// the dialog is not activated.
INT_PTR CALLBACK HostDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

} // namespace

HWND CreateHostDialog(int x, int y, int width, int height)
{
    // Placed in pixels below; the template only gives the dialog its font.
    const MemoryDialogTemplate dialogTemplate(WS_POPUP | WS_BORDER, 0, 0, 100, 100, "");
    HWND dialog = CreateDialogIndirectParamA(settingsState.instance, dialogTemplate.Get(), nullptr,
                                             HostDialogProc, 0);
    // Shown without activation: Wine (without a window manager) treats an
    // activated window as managed and then waits 2 s for every hide.
    if (dialog)
        SetWindowPos(dialog, HWND_TOP, x, y, width, height, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    return dialog;
}

HWND AddHostControl(HWND dialog, const char *className, const char *text, DWORD style, int id,
                    int x, int y, int width, int height)
{
    HWND control = CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width,
                                   height, dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   settingsState.instance, nullptr);
    if (control)
        SendMessageA(control, WM_SETFONT, SendMessageA(dialog, WM_GETFONT, 0, 0), FALSE);
    return control;
}

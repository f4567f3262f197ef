// subclass.cpp - user-data subclassing shared by the hover check boxes and the
// link label.
#include "controls/subclass.h"

#include "platform/window_long.h"
#include "settings/settings_state.h"

namespace {

// The procedure a user-data subclass replaced, or DefWindowProcA when the
// slot is empty (a message that arrives before installation has finished).
WNDPROC GetSubclassedProc(HWND control)
{
    WNDPROC previous = reinterpret_cast<WNDPROC>(GetWindowUserData(control));
    return previous ? previous : DefWindowProcA;
}

} // namespace

void InstallUserDataSubclass(HWND control, WNDPROC procedure)
{
    settingsState.previousWndProc = GetWindowProc(control);
    SetWindowProc(control, procedure);
    SetWindowUserData(control, reinterpret_cast<LONG_PTR>(settingsState.previousWndProc));
}

LRESULT PassToSubclassedProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC previous = GetSubclassedProc(control);
    if (message == WM_DESTROY)
        SetWindowProc(control, previous);
    return CallWindowProcA(previous, control, message, wParam, lParam);
}

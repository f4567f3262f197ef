// subclass.cpp - user-data subclassing shared by the hover check boxes and the
// link label.
#include "controls/subclass.h"

#include "platform/window_long.h"
#include "settings/settings_state.h"

void InstallUserDataSubclass(HWND control, WNDPROC procedure)
{
    settingsState.previousWndProc = GetWindowProc(control);
    SetWindowProc(control, procedure);
    SetWindowUserData(control, reinterpret_cast<LONG_PTR>(settingsState.previousWndProc));
}

WNDPROC GetSubclassedProc(HWND control)
{
    WNDPROC previous = reinterpret_cast<WNDPROC>(GetWindowUserData(control));
    return previous ? previous : DefWindowProcA;
}

LRESULT RemoveUserDataSubclass(HWND control, WPARAM wParam, LPARAM lParam)
{
    WNDPROC previous = GetSubclassedProc(control);
    SetWindowProc(control, previous);
    return CallWindowProcA(previous, control, WM_DESTROY, wParam, lParam);
}

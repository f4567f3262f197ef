// window_long.h - 64-bit-clean access to the window procedure, user-data and
// identifier slots of a window. On i686 these are the classic 32-bit calls.
#pragma once

#include "platform/platform.h"

inline WNDPROC GetWindowProc(HWND window)
{
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
}

// Installs a new window procedure and returns the one it replaced.
inline WNDPROC SetWindowProc(HWND window, WNDPROC procedure)
{
    return reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
}

inline LONG_PTR GetWindowUserData(HWND window)
{
    return GetWindowLongPtrA(window, GWLP_USERDATA);
}

inline void SetWindowUserData(HWND window, LONG_PTR value)
{
    SetWindowLongPtrA(window, GWLP_USERDATA, value);
}

template <typename T> inline T *GetWindowUserPointer(HWND window)
{
    return reinterpret_cast<T *>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

inline int GetWindowControlId(HWND window)
{
    return static_cast<int>(GetWindowLongPtrA(window, GWLP_ID));
}

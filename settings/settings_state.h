// settings_state.h - SettingsState, the process-wide record of every setting
// the program edits, the page windows and the instance handle.
#pragma once

#include "platform/platform.h"

// Page windows, indexed by tab position.
enum {
    PAGE_GENERAL = 0,
    PAGE_SECOND = 1,
    PAGE_COUNT = 2
};

struct SettingsState {
    HWND pages[PAGE_COUNT];

    // System parameters, as SystemParametersInfoA reports and takes them.
    BOOL menuAnimation;
    BOOL comboBoxAnimation;
    BOOL listBoxSmoothScrolling;
    BOOL gradientCaptions;
    BOOL menuUnderlines;
    BOOL activeWindowTracking;
    BOOL activeWindowTrackZOrder;
    BOOL hotTracking;
    BOOL fontSmoothing;
    ANIMATIONINFO windowAnimation;
    BOOL dragFullWindows;

    // Registry flags: the first four bytes of the value after a load, 0 or 1
    // after a save.
    DWORD smoothScroll;
    DWORD noSaveSettings;
    DWORD noFavoritesMenu;
    DWORD noRecentDocsMenu;
    DWORD noFind;
    DWORD noRun;
    DWORD noLogoff;
    DWORD noChangeStartMenu;

    // Registry decimal texts.
    LONG menuShowDelay;
    LONG shellIconBpp;
    LONG shellIconSize;

    // Scratch slot for a window procedure while a control is subclassed.
    WNDPROC previousWndProc;
    HINSTANCE instance;
};

// The one record of the process; zero when the process starts.
extern SettingsState settingsState;

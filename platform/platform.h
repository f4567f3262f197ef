// platform.h - the program's view of the Windows API: windows.h for a Windows 98
// target, the few constants the MinGW headers only expose for later versions,
// and the program's own window messages.
#pragma once

// Windows 98 is the oldest system the program runs on.
#ifndef WINVER
#define WINVER 0x0410
#endif
#ifndef _WIN32_WINDOWS
#define _WIN32_WINDOWS 0x0410
#endif
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0400
#endif
#ifndef _WIN32_IE
#define _WIN32_IE 0x0400
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

// Constants that exist on Windows 98 but that the headers only declare for
// later WINVER values. The numbers are the documented ones.
#ifndef COLOR_HOTLIGHT
#define COLOR_HOTLIGHT 26
#endif
#ifndef SPI_GETACTIVEWINDOWTRACKING
#define SPI_GETACTIVEWINDOWTRACKING 0x1000
#define SPI_SETACTIVEWINDOWTRACKING 0x1001
#endif
#ifndef SPI_GETMENUANIMATION
#define SPI_GETMENUANIMATION 0x1002
#define SPI_SETMENUANIMATION 0x1003
#endif
#ifndef SPI_GETCOMBOBOXANIMATION
#define SPI_GETCOMBOBOXANIMATION 0x1004
#define SPI_SETCOMBOBOXANIMATION 0x1005
#endif
#ifndef SPI_GETLISTBOXSMOOTHSCROLLING
#define SPI_GETLISTBOXSMOOTHSCROLLING 0x1006
#define SPI_SETLISTBOXSMOOTHSCROLLING 0x1007
#endif
#ifndef SPI_GETGRADIENTCAPTIONS
#define SPI_GETGRADIENTCAPTIONS 0x1008
#define SPI_SETGRADIENTCAPTIONS 0x1009
#endif
#ifndef SPI_GETMENUUNDERLINES
#define SPI_GETMENUUNDERLINES 0x100A
#define SPI_SETMENUUNDERLINES 0x100B
#endif
#ifndef SPI_GETACTIVEWNDTRKZORDER
#define SPI_GETACTIVEWNDTRKZORDER 0x100C
#define SPI_SETACTIVEWNDTRKZORDER 0x100D
#endif
#ifndef SPI_GETHOTTRACKING
#define SPI_GETHOTTRACKING 0x100E
#define SPI_SETHOTTRACKING 0x100F
#endif
#ifndef SPI_GETDRAGFULLWINDOWS
#define SPI_GETDRAGFULLWINDOWS 0x0026
#endif
#ifndef TCN_SELCHANGE
#define TCN_SELCHANGE (TCN_FIRST - 1)
#endif

// NONCLIENTMETRICSA as Windows 98 to XP know it: later headers append a
// field, but every version from Windows 98 on accepts this size.
enum { CLASSIC_NONCLIENTMETRICS_SIZE = 340 };

// The program's own window message. A dialog posts it to itself during
// WM_INITDIALOG so that its real work runs once it has been created and shown.
// Always sent with wParam 0 and lParam 0.
enum { WM_DEFERRED_INIT = WM_USER + 201 };

// Every timer of the program ticks at this period.
enum { TIMER_PERIOD_MS = 100 };

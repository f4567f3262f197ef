// startup_floor.cpp - the least any program must do at start-up to look like
// dialvane.exe: Dialvane's main dialog with its General page inside it, from
// Dialvane's own templates but with procedures that do nothing, shown and
// painted, then the Loading box shown and closed. bench_startup times it
// beside dialvane.exe, in the same run and prefix, as the floor to compare
// Dialvane's start-up with. None of the program's own code is linked in.
#include "platform/platform.h"
#include "resource.h"

namespace {

// Posted by each dialog to itself, as Dialvane's dialogs do, so that it is
// shown before it paints.
const UINT WM_SHOWN = WM_APP + 1;
const char GENERAL_TAB_TEXT[] = "General";
// Dialvane fills this list while it loads; one item here is the mark by which
// the benchmark sees, exactly as it does for Dialvane, that loading is done.
const char LOADED_MARK[] = "32";

HINSTANCE instance;
HWND page;

INT_PTR CALLBACK EmptyPageProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

INT_PTR CALLBACK LoadingBoxProc(HWND box, UINT message, WPARAM, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        PostMessageA(box, WM_SHOWN, 0, 0);
        return TRUE;
    case WM_SHOWN:
        ShowWindow(box, SW_SHOW);
        UpdateWindow(box);
        SendDlgItemMessageA(page, IDC_ICON_SIZE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(LOADED_MARK));
        EndDialog(box, 0);
        return TRUE;
    }
    return FALSE;
}

// The page inside the tab control's display area, and the one tab.
void PlacePage(HWND dialog)
{
    HWND tabs = GetDlgItem(dialog, IDC_PAGE_TABS);
    char text[sizeof(GENERAL_TAB_TEXT)];
    lstrcpyA(text, GENERAL_TAB_TEXT);
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    SendMessageA(tabs, TCM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));

    RECT display;
    GetWindowRect(tabs, &display);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT *>(&display), 2);
    SendMessageA(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
    SetWindowPos(page, HWND_TOP, display.left, display.top, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
}

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        page = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_GENERAL_PAGE), dialog, EmptyPageProc, 0);
        PlacePage(dialog);
        PostMessageA(dialog, WM_SHOWN, 0, 0);
        return TRUE;
    case WM_SHOWN:
        ShowWindow(dialog, SW_SHOW);
        UpdateWindow(dialog);
        DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_LOADING), dialog, LoadingBoxProc, 0);
        return TRUE;
    case WM_COMMAND:
        // Escape, or the benchmark's close, ends the program.
        if (LOWORD(wParam) == IDCANCEL)
            EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

} // namespace

int WINAPI WinMain(HINSTANCE self, HINSTANCE, LPSTR, int)
{
    instance = self;
    InitCommonControls();
    // The templates' buttons are of Dialvane's own class, which must exist for
    // the dialog to be created; here it draws nothing of its own.
    WNDCLASSA buttonClass = {};
    buttonClass.lpfnWndProc = DefWindowProcA;
    buttonClass.hInstance = self;
    buttonClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    buttonClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    buttonClass.lpszClassName = HOVER_BUTTON_CLASS;
    RegisterClassA(&buttonClass);
    DialogBoxParamA(self, MAKEINTRESOURCEA(IDD_MAIN), GetDesktopWindow(), MainDialogProc, 0);
    return 0;
}

// main_dialog.cpp - the main dialog: version check, pages and tab, command
// buttons, and the deferred loading of every setting once it is on screen.
#include "app/main_dialog.h"

#include "app/about_box.h"
#include "app/second_page.h"
#include "controls/hover_button.h"
#include "controls/link_label.h"
#include "resource.h"
#include "settings/general_page.h"
#include "settings/loading_box.h"
#include "settings/saving_box.h"
#include "settings/settings_state.h"
#include "tooltips/tooltips.h"

int currentPage;

namespace {

const char REFUSAL_TEXT[] = "Sorry, but this program is designed to work on Windows 98 and later";
const char REFUSAL_CAPTION[] = "Get better Windows";
const char GENERAL_TAB_TEXT[] = "General";

// Windows 98 is version 4.10.
enum { OLDEST_MAJOR_VERSION = 4, OLDEST_MINOR_VERSION = 10 };

// The main dialog's command buttons, made hover buttons, and every control
// of the dialog that shows a tooltip.
const int HOVER_BUTTONS[] = {IDOK, IDCANCEL, IDC_APPLY, IDC_ABOUT};
const int TOOLTIP_CONTROLS[] = {IDOK, IDCANCEL, IDC_APPLY, IDC_ABOUT, IDC_HOMEPAGE_LINK};

// Result of the main dialog: 1 after OK, 0 after Cancel or a refusal.
enum { MAIN_RESULT_SAVED = 1, MAIN_RESULT_LEFT = 0 };

bool RefuseOldWindows()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    GetVersionExA(&version);
    if (IsSupportedWindowsVersion(version))
        return false;
    MessageBoxA(GetDesktopWindow(), REFUSAL_TEXT, REFUSAL_CAPTION, MB_OK | MB_ICONINFORMATION);
    return true;
}

void CreatePages(HWND dialog)
{
    settingsState.pages[PAGE_GENERAL] = CreateDialogParamA(
        settingsState.instance, MAKEINTRESOURCEA(IDD_GENERAL_PAGE), dialog, GeneralPageProc, 0);
    settingsState.pages[PAGE_SECOND] = CreateDialogParamA(
        settingsState.instance, MAKEINTRESOURCEA(IDD_SECOND_PAGE), dialog, SecondPageProc, 0);
}

// Places both pages over the tab control's display area, sized by the General
// page. The pages are children of the dialog itself; their offset is the tab
// control's position measured from the dialog's outer window rectangle.
void LayOutPages(HWND dialog)
{
    HWND tabs = GetDlgItem(dialog, IDC_PAGE_TABS);
    // Empty until measured: a call that fails (no General page, say) leaves
    // a rectangle as it was, and the pages are then placed from zeros.
    RECT dialogRect = {}, tabsRect = {}, display = {}, pageRect = {};
    GetWindowRect(dialog, &dialogRect);
    GetWindowRect(tabs, &tabsRect);
    const POINT offset = {tabsRect.left - dialogRect.left, tabsRect.top - dialogRect.top};

    GetClientRect(tabs, &display);
    SendMessageA(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
    GetClientRect(settingsState.pages[PAGE_GENERAL], &pageRect);

    for (HWND page : settingsState.pages)
        MoveWindow(page, display.left + offset.x, display.top + offset.y,
                   pageRect.right - pageRect.left, pageRect.bottom - pageRect.top, FALSE);
}

void InsertGeneralTab(HWND dialog)
{
    char text[sizeof(GENERAL_TAB_TEXT)];
    lstrcpyA(text, GENERAL_TAB_TEXT);
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    SendDlgItemMessageA(dialog, IDC_PAGE_TABS, TCM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

BOOL OnInitDialog(HWND dialog)
{
    if (RefuseOldWindows()) {
        EndDialog(dialog, MAIN_RESULT_LEFT);
        return TRUE;
    }

    CreatePages(dialog);
    LayOutPages(dialog);
    ShowWindow(settingsState.pages[currentPage], SW_SHOW);

    // Before the tooltip registration, so that the tooltip subclass ends up
    // outermost and sees the label's input first.
    InstallLinkLabel(GetDlgItem(dialog, IDC_HOMEPAGE_LINK));

    InsertGeneralTab(dialog);
    for (int id : HOVER_BUTTONS)
        ConfigurePlainHoverButton(GetDlgItem(dialog, id));
    for (int id : TOOLTIP_CONTROLS)
        RegisterTooltip(TTK_STRING_RESOURCE, GetDlgItem(dialog, id), dialog);

    PostMessageA(dialog, WM_DEFERRED_INIT, 0, 0);
    // TRUE: the dialog manager focuses the first tab stop, OK.
    return TRUE;
}

// The dialog shows itself, painted with all its controls, before the long
// work of reading every setting starts under the "Please wait" box.
BOOL OnDeferredInit(HWND dialog)
{
    ShowWindow(dialog, SW_SHOW);
    UpdateWindow(dialog);
    DialogBoxParamA(settingsState.instance, MAKEINTRESOURCEA(IDD_LOADING), dialog, LoadingBoxProc, 0);
    return TRUE;
}

BOOL OnNotify(HWND dialog, WPARAM wParam, LPARAM lParam)
{
    const NMHDR *header = reinterpret_cast<const NMHDR *>(lParam);
    if (wParam != IDC_PAGE_TABS || header->code != static_cast<UINT>(TCN_SELCHANGE))
        return FALSE;
    const LRESULT index = SendDlgItemMessageA(dialog, IDC_PAGE_TABS, TCM_GETCURSEL, 0, 0);
    // A tab without a page behind it is ignored.
    if (index < 0 || index >= PAGE_COUNT)
        return FALSE;
    ShowWindow(settingsState.pages[currentPage], SW_HIDE);
    currentPage = static_cast<int>(index);
    ShowWindow(settingsState.pages[currentPage], SW_SHOW);
    return TRUE;
}

void RunSavingBox(HWND dialog)
{
    DialogBoxParamA(settingsState.instance, MAKEINTRESOURCEA(IDD_SAVING), dialog, SavingBoxProc, 0);
}

// Only the control id counts, never the notification code: the link label
// sends one command for a click and another for a double click, and each of
// them opens the home page, as do Space and Enter on the focused link; Enter
// elsewhere and Escape arrive as OK and Cancel.
void OnCommand(HWND dialog, WPARAM wParam)
{
    switch (LOWORD(wParam)) {
    case IDOK:
        RunSavingBox(dialog);
        EndDialog(dialog, MAIN_RESULT_SAVED);
        break;
    case IDCANCEL:
        EndDialog(dialog, MAIN_RESULT_LEFT);
        break;
    case IDC_APPLY:
        RunSavingBox(dialog);
        break;
    case IDC_ABOUT:
        DialogBoxParamA(settingsState.instance, MAKEINTRESOURCEA(IDD_ABOUT), dialog, AboutBoxProc, 0);
        break;
    case IDC_HOMEPAGE_LINK:
        ShellExecuteA(dialog, "open", HOMEPAGE_URL, nullptr, nullptr, SW_SHOWDEFAULT);
        break;
    }
}

BOOL CALLBACK ForwardSysColorChange(HWND child, LPARAM)
{
    SendMessageA(child, WM_SYSCOLORCHANGE, 0, 0);
    return TRUE;
}

// The system tells only top-level windows of a new colour scheme: every
// control inside, the pages' included, hears of it from here. The link label
// picks its colour from the scheme, and the common controls (the tabs, the
// slider) keep copies of the system colours until they are told.
void OnSysColorChange(HWND dialog)
{
    EnumChildWindows(dialog, ForwardSysColorChange, 0);
}

} // namespace

bool IsSupportedWindowsVersion(const OSVERSIONINFOA &version)
{
    if (version.dwMajorVersion != OLDEST_MAJOR_VERSION)
        return version.dwMajorVersion > OLDEST_MAJOR_VERSION;
    return version.dwMinorVersion >= OLDEST_MINOR_VERSION;
}

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog);
    case WM_DEFERRED_INIT:
        return OnDeferredInit(dialog);
    case WM_NOTIFY:
        return OnNotify(dialog, wParam, lParam);
    case WM_COMMAND:
        OnCommand(dialog, wParam);
        return FALSE;
    case WM_SYSCOLORCHANGE:
        OnSysColorChange(dialog);
        return FALSE;
    }
    return FALSE;
}

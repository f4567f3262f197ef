// general_page.cpp - the General page: dresses its controls (hover buttons,
// tooltips, hover check boxes) and carries out its own commands.
#include "settings/general_page.h"

#include "controls/hover_button.h"
#include "controls/hover_check_box.h"
#include "resource.h"
#include "settings/general_page_check_boxes.h"
#include "settings/registry.h"
#include "settings/settings_catalogue.h"
#include "settings/settings_state.h"
#include "tooltips/tooltips.h"

namespace {

// The page's other controls with tooltips, after its check boxes.
const int OTHER_TOOLTIP_CONTROLS[] = {
    IDC_MENU_SPEED, IDC_MENU_SPEED_DEFAULT, IDC_ICON_COLORS,
    IDC_ICON_SIZE, IDC_CUSTOM_ICON_SIZE, IDC_RESTORE_START_MENU_ORDER,
};

BOOL OnInitDialog(HWND page)
{
    ConfigurePlainHoverButton(GetDlgItem(page, IDC_RESTORE_START_MENU_ORDER));
    ConfigurePlainHoverButton(GetDlgItem(page, IDC_MENU_SPEED_DEFAULT));

    for (int id : GeneralPageCheckBoxes)
        RegisterTooltip(TTK_STRING_RESOURCE, GetDlgItem(page, id), page);
    for (int id : OTHER_TOOLTIP_CONTROLS)
        RegisterTooltip(TTK_STRING_RESOURCE, GetDlgItem(page, id), page);

    // After the tooltip registration, so that the hover highlight runs first
    // and hands every message on to the tooltip subclass.
    for (int id : GeneralPageCheckBoxes)
        InstallHoverCheckBox(GetDlgItem(page, id));
    return TRUE;
}

// A size chosen in "Icon size:" shows or hides the custom-size list, which
// always stands on the size last chosen or loaded.
void OnIconSizeChange(HWND page)
{
    const LRESULT index = SendDlgItemMessageA(page, IDC_ICON_SIZE, CB_GETCURSEL, 0, 0);
    HWND customList = GetDlgItem(page, IDC_CUSTOM_ICON_SIZE);
    if (index == ICON_SIZE_INDEX_CUSTOM) {
        ShowWindow(customList, SW_SHOW);
    } else {
        settingsState.shellIconSize = index == ICON_SIZE_INDEX_32 ? SHELL_ICON_SIZE_STANDARD
                                                                  : SHELL_ICON_SIZE_LARGE;
        ShowWindow(customList, SW_HIDE);
    }
    // A size the list does not offer clears its selection explicitly: not
    // every list control clears it when refusing an index out of range.
    SendMessageA(customList, CB_SETCURSEL,
                 static_cast<WPARAM>(CustomIconSizeIndex(settingsState.shellIconSize)), 0);
}

// Deletes the stored Start menu order at once; without it the menu falls back
// to alphabetical order. Nothing to delete is no failure.
void OnRestoreStartMenuOrder()
{
    RegistryDelete(HKEY_CURRENT_USER, MENU_ORDER_KEY, MENU_ORDER_VALUE);
}

// Puts the menu speed back to the Windows default; written at the next save.
void OnMenuSpeedDefault(HWND page)
{
    settingsState.menuShowDelay = MENU_SHOW_DELAY_DEFAULT;
    SendDlgItemMessageA(page, IDC_MENU_SPEED, TBM_SETPOS, TRUE, MENU_SHOW_DELAY_DEFAULT);
}

void OnCommand(HWND page, WPARAM wParam)
{
    switch (LOWORD(wParam)) {
    case IDC_ICON_SIZE:
        if (HIWORD(wParam) == CBN_SELCHANGE)
            OnIconSizeChange(page);
        break;
    case IDC_RESTORE_START_MENU_ORDER:
        OnRestoreStartMenuOrder();
        break;
    case IDC_MENU_SPEED_DEFAULT:
        OnMenuSpeedDefault(page);
        break;
    }
}

} // namespace

INT_PTR CALLBACK GeneralPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(page);
    case WM_COMMAND:
        OnCommand(page, wParam);
        return FALSE;
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<INT_PTR>(
            AnswerHotCheckBoxColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    }
    return FALSE;
}

// loading_box.cpp - the "Loading settings" box: reads the twenty-two settings
// into SettingsState and sets the General page's controls from them.
#include "settings/loading_box.h"

#include "resource.h"
#include "settings/general_page_check_boxes.h"
#include "settings/please_wait_box.h"
#include "settings/registry.h"
#include "settings/settings_catalogue.h"
#include "settings/settings_state.h"

namespace {

// Reads one value into the zero-filled buffer and returns whether the read
// succeeded. A failed read (absent value, or one larger than the buffer)
// leaves the buffer zero and the byte count 0, so it parses as absent rather
// than as whatever part of the value the query may have copied.
bool ReadSettingValue(const char *keyPath, const char *valueName, BYTE *buffer, DWORD *size)
{
    ZeroMemory(buffer, REGISTRY_BUFFER_SIZE);
    *size = REGISTRY_BUFFER_SIZE;
    DWORD type;
    if (RegistryGet(HKEY_CURRENT_USER, keyPath, valueName, &type, buffer, size))
        return true;
    ZeroMemory(buffer, REGISTRY_BUFFER_SIZE);
    *size = 0;
    return false;
}

void CheckBoxIf(HWND page, int checkBox, bool checked)
{
    if (checked)
        CheckDlgButton(page, checkBox, BST_CHECKED);
}

void LoadSystemParameter(HWND page, const SystemParameterSetting &setting)
{
    if (setting.form == SPF_ANIMATION_INFO) {
        settingsState.windowAnimation.cbSize = ANIMATION_INFO_SIZE;
        SystemParametersInfoA(setting.getAction, ANIMATION_INFO_SIZE,
                              &settingsState.windowAnimation, 0);
    } else {
        SystemParametersInfoA(setting.getAction, 0, setting.field, 0);
    }
    CheckBoxIf(page, setting.checkBox, *setting.field != 0);
}

void LoadRegistryFlag(HWND page, const RegistryFlagSetting &setting, BYTE *buffer)
{
    DWORD size;
    ReadSettingValue(setting.keyPath, setting.valueName, buffer, &size);
    // A value shorter than a flag is zero-extended by the zero-filled buffer.
    *setting.field = FlagFromBytes(buffer);
    CheckBoxIf(page, setting.checkBox,
               setting.checkedWhenZero ? *setting.field == 0 : *setting.field != 0);
}

// The check boxes, in the page's layout order.
void LoadCheckBoxes(HWND page, BYTE *buffer)
{
    for (int checkBox : GeneralPageCheckBoxes) {
        if (const SystemParameterSetting *parameter = FindSystemParameter(checkBox))
            LoadSystemParameter(page, *parameter);
        else if (const RegistryFlagSetting *flag = FindRegistryFlag(checkBox))
            LoadRegistryFlag(page, *flag, buffer);
    }
}

void LoadMenuSpeed(HWND page, BYTE *buffer)
{
    DWORD size;
    if (ReadSettingValue(DESKTOP_KEY, MENU_SHOW_DELAY_VALUE, buffer, &size))
        settingsState.menuShowDelay = ParseDecimal(buffer, size);
    else
        settingsState.menuShowDelay = MENU_SHOW_DELAY_DEFAULT;

    // The trackbar keeps its thumb within the range; menuShowDelay keeps the
    // value read until the next save.
    SendDlgItemMessageA(page, IDC_MENU_SPEED, TBM_SETRANGE, FALSE,
                        MAKELPARAM(MENU_SHOW_DELAY_MIN, MENU_SHOW_DELAY_MAX));
    SendDlgItemMessageA(page, IDC_MENU_SPEED, TBM_SETPOS, TRUE, settingsState.menuShowDelay);
    SendDlgItemMessageA(page, IDC_MENU_SPEED, TBM_SETLINESIZE, 0, MENU_SPEED_LINE_SIZE);
    SendDlgItemMessageA(page, IDC_MENU_SPEED, TBM_SETPAGESIZE, 0, MENU_SPEED_PAGE_SIZE);
}

void AppendListEntry(HWND page, int list, const char *text)
{
    SendDlgItemMessageA(page, list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

void SelectListEntry(HWND page, int list, int index)
{
    SendDlgItemMessageA(page, list, CB_SETCURSEL, index, 0);
}

void LoadIconColours(HWND page, BYTE *buffer)
{
    DWORD size;
    ReadSettingValue(METRICS_KEY, SHELL_ICON_BPP_VALUE, buffer, &size);
    for (const char *entry : ICON_COLORS_ENTRIES)
        AppendListEntry(page, IDC_ICON_COLORS, entry);

    settingsState.shellIconBpp = ParseDecimal(buffer, size);
    if (settingsState.shellIconBpp == SHELL_ICON_BPP_16_COLOURS)
        SelectListEntry(page, IDC_ICON_COLORS, ICON_COLORS_INDEX_16);
    else if (settingsState.shellIconBpp == SHELL_ICON_BPP_ALL_COLOURS)
        SelectListEntry(page, IDC_ICON_COLORS, ICON_COLORS_INDEX_ALL);
}

void LoadIconSize(HWND page, BYTE *buffer)
{
    DWORD size;
    ReadSettingValue(METRICS_KEY, SHELL_ICON_SIZE_VALUE, buffer, &size);
    settingsState.shellIconSize = ParseDecimal(buffer, size);

    for (const char *entry : ICON_SIZE_ENTRIES)
        AppendListEntry(page, IDC_ICON_SIZE, entry);
    char *text = reinterpret_cast<char *>(buffer);
    for (int iconSize = CUSTOM_ICON_SIZE_MIN; iconSize <= CUSTOM_ICON_SIZE_MAX; ++iconSize) {
        wsprintfA(text, DECIMAL_FORMAT, iconSize);
        AppendListEntry(page, IDC_CUSTOM_ICON_SIZE, text);
    }

    const LONG iconSize = settingsState.shellIconSize;
    if (iconSize == SHELL_ICON_SIZE_STANDARD) {
        SelectListEntry(page, IDC_ICON_SIZE, ICON_SIZE_INDEX_32);
    } else if (iconSize == SHELL_ICON_SIZE_LARGE) {
        SelectListEntry(page, IDC_ICON_SIZE, ICON_SIZE_INDEX_48);
    } else {
        SelectListEntry(page, IDC_ICON_SIZE, ICON_SIZE_INDEX_CUSTOM);
        ShowWindow(GetDlgItem(page, IDC_CUSTOM_ICON_SIZE), SW_SHOW);
    }

    // The custom list stands on the loaded size even while hidden, so that
    // choosing "Custom" later starts from it; a size it does not offer leaves
    // it with no selection.
    SelectListEntry(page, IDC_CUSTOM_ICON_SIZE, CustomIconSizeIndex(iconSize));
}

} // namespace

void LoadSettings(HWND page)
{
    BYTE buffer[REGISTRY_BUFFER_SIZE];
    LoadCheckBoxes(page, buffer);
    LoadMenuSpeed(page, buffer);
    LoadIconColours(page, buffer);
    LoadIconSize(page, buffer);
}

INT_PTR CALLBACK LoadingBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam)
{
    return HandlePleaseWaitBoxMessage(box, message, LoadSettings);
}

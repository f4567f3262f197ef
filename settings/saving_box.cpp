// saving_box.cpp - the "Saving settings" box: writes all twenty-two settings
// from the General page's controls, changed or not, updating SettingsState on
// the way; only an icon value the page cannot show is left as stored.
#include "settings/saving_box.h"

#include "resource.h"
#include "settings/please_wait_box.h"
#include "settings/registry.h"
#include "settings/settings_catalogue.h"
#include "settings/settings_state.h"

namespace {

BOOL CheckedValue(HWND page, int checkBox)
{
    return IsDlgButtonChecked(page, checkBox) == BST_CHECKED ? 1 : 0;
}

bool Broadcasts(const SystemParameterSetting &setting)
{
    return (setting.setFlags & SPIF_SENDCHANGE) != 0;
}

void SaveSystemParameter(HWND page, const SystemParameterSetting &setting)
{
    const BOOL value = CheckedValue(page, setting.checkBox);
    *setting.field = value;
    switch (setting.form) {
    case SPF_VALUE_IN_PVPARAM:
        SystemParametersInfoA(setting.setAction, 0,
                              reinterpret_cast<PVOID>(static_cast<UINT_PTR>(value)),
                              setting.setFlags);
        break;
    case SPF_VALUE_IN_UIPARAM:
        SystemParametersInfoA(setting.setAction, value, nullptr, setting.setFlags);
        break;
    case SPF_ANIMATION_INFO:
        settingsState.windowAnimation.cbSize = ANIMATION_INFO_SIZE;
        SystemParametersInfoA(setting.setAction, ANIMATION_INFO_SIZE,
                              &settingsState.windowAnimation, setting.setFlags);
        break;
    }
}

void SaveRegistryFlag(HWND page, const RegistryFlagSetting &setting)
{
    const BOOL checked = CheckedValue(page, setting.checkBox);
    *setting.field = setting.checkedWhenZero ? !checked : checked;

    BYTE bytes[FLAG_SIZE];
    FlagToBytes(*setting.field, bytes);
    RegistryPut(HKEY_CURRENT_USER, setting.keyPath, setting.valueName, REG_BINARY, bytes,
                FLAG_SIZE);
}

// Writes a decimal text with its length, not counting the terminating zero.
void PutDecimalText(const char *keyPath, const char *valueName, const char *text)
{
    RegistryPut(HKEY_CURRENT_USER, keyPath, valueName, REG_SZ,
                reinterpret_cast<const BYTE *>(text), static_cast<DWORD>(lstrlenA(text)));
}

void SaveMenuSpeed(HWND page, char *text)
{
    // The trackbar answers within its range, 0 to 5000.
    settingsState.menuShowDelay =
        static_cast<LONG>(SendDlgItemMessageA(page, IDC_MENU_SPEED, TBM_GETPOS, 0, 0));
    wsprintfA(text, DECIMAL_FORMAT, settingsState.menuShowDelay);
    PutDecimalText(DESKTOP_KEY, MENU_SHOW_DELAY_VALUE, text);
}

void SaveIconColours(HWND page, char *text)
{
    const LRESULT selected = SendDlgItemMessageA(page, IDC_ICON_COLORS, CB_GETCURSEL, 0, 0);
    // With nothing selected the stored depth is one the list cannot show (32
    // for icons with an alpha channel, or none at all); writing "16" for it
    // would take colours away that the user never asked to change.
    if (selected != ICON_COLORS_INDEX_16 && selected != ICON_COLORS_INDEX_ALL)
        return;
    settingsState.shellIconBpp = selected == ICON_COLORS_INDEX_16 ? SHELL_ICON_BPP_16_COLOURS
                                                                  : SHELL_ICON_BPP_ALL_COLOURS;
    wsprintfA(text, DECIMAL_FORMAT, settingsState.shellIconBpp);
    PutDecimalText(METRICS_KEY, SHELL_ICON_BPP_VALUE, text);
}

void SaveIconSize(HWND page, char *text)
{
    const LRESULT selected = SendDlgItemMessageA(page, IDC_ICON_SIZE, CB_GETCURSEL, 0, 0);
    if (selected == ICON_SIZE_INDEX_CUSTOM) {
        // The custom size is whatever the custom list shows; shellIconSize
        // keeps its value. With no entry chosen the list's text is empty, and
        // an empty text would corrupt the stored size, so it is left as it is.
        GetDlgItemTextA(page, IDC_CUSTOM_ICON_SIZE, text, REGISTRY_BUFFER_SIZE);
        if (text[0] == '\0')
            return;
    } else {
        settingsState.shellIconSize =
            selected == ICON_SIZE_INDEX_48 ? SHELL_ICON_SIZE_LARGE : SHELL_ICON_SIZE_STANDARD;
        wsprintfA(text, DECIMAL_FORMAT, settingsState.shellIconSize);
    }
    PutDecimalText(METRICS_KEY, SHELL_ICON_SIZE_VALUE, text);
}

} // namespace

void SaveSettings(HWND page)
{
    char text[REGISTRY_BUFFER_SIZE];

    for (const SystemParameterSetting &setting : SYSTEM_PARAMETERS) {
        if (!Broadcasts(setting))
            SaveSystemParameter(page, setting);
    }
    for (const RegistryFlagSetting &setting : REGISTRY_FLAGS)
        SaveRegistryFlag(page, setting);
    SaveMenuSpeed(page, text);
    SaveIconColours(page, text);
    SaveIconSize(page, text);

    // The write that broadcasts the change comes last, so that every other
    // program hears of it with every value already in place.
    for (const SystemParameterSetting &setting : SYSTEM_PARAMETERS) {
        if (Broadcasts(setting))
            SaveSystemParameter(page, setting);
    }
}

INT_PTR CALLBACK SavingBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam)
{
    return HandlePleaseWaitBoxMessage(box, message, SaveSettings);
}

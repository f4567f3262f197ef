// settings_catalogue.cpp - the tables of system parameters and registry flags,
// the stored form of a flag and the custom icon-size list's index of a size.
#include "settings/settings_catalogue.h"

#include "resource.h"
#include "settings/settings_state.h"

const char *const ICON_COLORS_ENTRIES[ICON_COLORS_ENTRY_COUNT] = {"16", "All"};
const char *const ICON_SIZE_ENTRIES[ICON_SIZE_ENTRY_COUNT] = {"32", "48", "Custom"};

DWORD FlagFromBytes(const BYTE *bytes)
{
    return static_cast<DWORD>(bytes[0]) | static_cast<DWORD>(bytes[1]) << 8 |
           static_cast<DWORD>(bytes[2]) << 16 | static_cast<DWORD>(bytes[3]) << 24;
}

void FlagToBytes(DWORD flag, BYTE (&bytes)[FLAG_SIZE])
{
    bytes[0] = static_cast<BYTE>(flag);
    bytes[1] = static_cast<BYTE>(flag >> 8);
    bytes[2] = static_cast<BYTE>(flag >> 16);
    bytes[3] = static_cast<BYTE>(flag >> 24);
}

int CustomIconSizeIndex(LONG iconSize)
{
    // Checked before subtracting, so that no stored size can overflow.
    if (iconSize < CUSTOM_ICON_SIZE_MIN || iconSize > CUSTOM_ICON_SIZE_MAX)
        return LIST_NO_SELECTION;
    return iconSize - CUSTOM_ICON_SIZE_MIN;
}

namespace {
const UINT PERSIST = SPIF_UPDATEINIFILE;
const UINT PERSIST_AND_BROADCAST = SPIF_UPDATEINIFILE | SPIF_SENDCHANGE;
} // namespace

const SystemParameterSetting SYSTEM_PARAMETERS[SYSTEM_PARAMETER_COUNT] = {
    {IDC_MENU_ANIMATION, SPI_GETMENUANIMATION, SPI_SETMENUANIMATION, SPF_VALUE_IN_PVPARAM,
     PERSIST, &settingsState.menuAnimation},
    {IDC_COMBOBOX_ANIMATION, SPI_GETCOMBOBOXANIMATION, SPI_SETCOMBOBOXANIMATION,
     SPF_VALUE_IN_PVPARAM, PERSIST, &settingsState.comboBoxAnimation},
    {IDC_LISTBOX_SMOOTH_SCROLLING, SPI_GETLISTBOXSMOOTHSCROLLING, SPI_SETLISTBOXSMOOTHSCROLLING,
     SPF_VALUE_IN_PVPARAM, PERSIST, &settingsState.listBoxSmoothScrolling},
    {IDC_GRADIENT_CAPTIONS, SPI_GETGRADIENTCAPTIONS, SPI_SETGRADIENTCAPTIONS,
     SPF_VALUE_IN_PVPARAM, PERSIST, &settingsState.gradientCaptions},
    {IDC_MENU_UNDERLINES, SPI_GETMENUUNDERLINES, SPI_SETMENUUNDERLINES, SPF_VALUE_IN_PVPARAM,
     PERSIST, &settingsState.menuUnderlines},
    {IDC_ACTIVE_WINDOW_TRACKING, SPI_GETACTIVEWINDOWTRACKING, SPI_SETACTIVEWINDOWTRACKING,
     SPF_VALUE_IN_PVPARAM, PERSIST, &settingsState.activeWindowTracking},
    {IDC_ACTIVE_WINDOW_TRACK_ZORDER, SPI_GETACTIVEWNDTRKZORDER, SPI_SETACTIVEWNDTRKZORDER,
     SPF_VALUE_IN_PVPARAM, PERSIST, &settingsState.activeWindowTrackZOrder},
    {IDC_HOT_TRACKING, SPI_GETHOTTRACKING, SPI_SETHOTTRACKING, SPF_VALUE_IN_PVPARAM, PERSIST,
     &settingsState.hotTracking},
    {IDC_FONT_SMOOTHING, SPI_GETFONTSMOOTHING, SPI_SETFONTSMOOTHING, SPF_VALUE_IN_UIPARAM,
     PERSIST, &settingsState.fontSmoothing},
    {IDC_WINDOW_ANIMATION, SPI_GETANIMATION, SPI_SETANIMATION, SPF_ANIMATION_INFO, PERSIST,
     &settingsState.windowAnimation.iMinAnimate},
    // Written last of all: its broadcast tells other programs that every
    // setting is already in place.
    {IDC_DRAG_FULL_WINDOWS, SPI_GETDRAGFULLWINDOWS, SPI_SETDRAGFULLWINDOWS, SPF_VALUE_IN_UIPARAM,
     PERSIST_AND_BROADCAST, &settingsState.dragFullWindows},
};

const RegistryFlagSetting REGISTRY_FLAGS[REGISTRY_FLAG_COUNT] = {
    {IDC_SMOOTH_SCROLLING, DESKTOP_KEY, SMOOTH_SCROLL_VALUE, &settingsState.smoothScroll, false},
    {IDC_SAVE_WINDOW_SETTINGS, POLICY_KEY, NO_SAVE_SETTINGS_VALUE, &settingsState.noSaveSettings,
     true},
    {IDC_REMOVE_FAVORITES_MENU, POLICY_KEY, NO_FAVORITES_MENU_VALUE,
     &settingsState.noFavoritesMenu, false},
    {IDC_REMOVE_DOCUMENTS_MENU, POLICY_KEY, NO_RECENT_DOCS_MENU_VALUE,
     &settingsState.noRecentDocsMenu, false},
    {IDC_REMOVE_FIND_MENU, POLICY_KEY, NO_FIND_VALUE, &settingsState.noFind, false},
    {IDC_REMOVE_RUN_MENU, POLICY_KEY, NO_RUN_VALUE, &settingsState.noRun, false},
    {IDC_REMOVE_LOGOFF_MENU, POLICY_KEY, NO_LOGOFF_VALUE, &settingsState.noLogoff, false},
    {IDC_NO_CHANGE_START_MENU, POLICY_KEY, NO_CHANGE_START_MENU_VALUE,
     &settingsState.noChangeStartMenu, false},
};

const SystemParameterSetting *FindSystemParameter(int checkBox)
{
    for (const SystemParameterSetting &setting : SYSTEM_PARAMETERS) {
        if (setting.checkBox == checkBox)
            return &setting;
    }
    return nullptr;
}

const RegistryFlagSetting *FindRegistryFlag(int checkBox)
{
    for (const RegistryFlagSetting &setting : REGISTRY_FLAGS) {
        if (setting.checkBox == checkBox)
            return &setting;
    }
    return nullptr;
}

// settings_catalogue.h - where each of the twenty-two settings lives, how it is
// read and written, and which General-page control shows it.
#pragma once

#include "platform/platform.h"

// --- Registry locations (all under HKEY_CURRENT_USER) ----------------------

inline constexpr char DESKTOP_KEY[] = "Control Panel\\Desktop";
inline constexpr char POLICY_KEY[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
inline constexpr char METRICS_KEY[] = "Control Panel\\Desktop\\WindowMetrics";

inline constexpr char SMOOTH_SCROLL_VALUE[] = "SmoothScroll";
inline constexpr char NO_SAVE_SETTINGS_VALUE[] = "NoSaveSettings";
inline constexpr char NO_FAVORITES_MENU_VALUE[] = "NoFavoritesMenu";
inline constexpr char NO_RECENT_DOCS_MENU_VALUE[] = "NoRecentDocsMenu";
inline constexpr char NO_FIND_VALUE[] = "NoFind";
inline constexpr char NO_RUN_VALUE[] = "NoRun";
inline constexpr char NO_LOGOFF_VALUE[] = "NoLogoff";
inline constexpr char NO_CHANGE_START_MENU_VALUE[] = "NoChangeStartMenu";
inline constexpr char MENU_SHOW_DELAY_VALUE[] = "MenuShowDelay";
inline constexpr char SHELL_ICON_BPP_VALUE[] = "Shell Icon BPP";
inline constexpr char SHELL_ICON_SIZE_VALUE[] = "Shell Icon Size";

// The stored custom order of the Start menu's Programs menu, deleted on demand.
inline constexpr char MENU_ORDER_KEY[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Start Menu\\&Programs\\Menu";
inline constexpr char MENU_ORDER_VALUE[] = "Order";

// Decimal texts are formatted and parsed in this form.
inline constexpr char DECIMAL_FORMAT[] = "%d";

// --- Values and control positions ------------------------------------------

enum {
    // A flag is stored as a little-endian 32-bit 0 or 1.
    FLAG_SIZE = 4,

    // ANIMATIONINFO as Windows 98 knows it: cbSize, then iMinAnimate.
    ANIMATION_INFO_SIZE = 8,

    // "Menu speed:" slider, in milliseconds of menu delay.
    MENU_SHOW_DELAY_DEFAULT = 400,
    MENU_SHOW_DELAY_MIN = 0,
    MENU_SHOW_DELAY_MAX = 5000,
    MENU_SPEED_LINE_SIZE = 100,
    MENU_SPEED_PAGE_SIZE = 1000,

    // "Icon colors:" list: "16" stores 4 bits per pixel, "All" stores 16.
    ICON_COLORS_INDEX_16 = 0,
    ICON_COLORS_INDEX_ALL = 1,
    SHELL_ICON_BPP_16_COLOURS = 4,
    SHELL_ICON_BPP_ALL_COLOURS = 16,

    // "Icon size:" list and the custom-size list beside it.
    ICON_SIZE_INDEX_32 = 0,
    ICON_SIZE_INDEX_48 = 1,
    ICON_SIZE_INDEX_CUSTOM = 2,
    SHELL_ICON_SIZE_STANDARD = 32,
    SHELL_ICON_SIZE_LARGE = 48,
    CUSTOM_ICON_SIZE_MIN = 16,
    CUSTOM_ICON_SIZE_MAX = 64,

    // CB_SETCURSEL with this index leaves a list with no entry selected.
    LIST_NO_SELECTION = -1,

    ICON_COLORS_ENTRY_COUNT = 2,
    ICON_SIZE_ENTRY_COUNT = 3
};

static_assert(sizeof(ANIMATIONINFO) == ANIMATION_INFO_SIZE, "ANIMATIONINFO is cbSize and iMinAnimate");

// A flag's stored form: the first FLAG_SIZE bytes of the value as a
// little-endian 32-bit number, whatever the value's registry type.
DWORD FlagFromBytes(const BYTE *bytes);
void FlagToBytes(DWORD flag, BYTE (&bytes)[FLAG_SIZE]);

// Entries of the two fixed lists, in index order.
extern const char *const ICON_COLORS_ENTRIES[ICON_COLORS_ENTRY_COUNT];
extern const char *const ICON_SIZE_ENTRIES[ICON_SIZE_ENTRY_COUNT];

// The custom-size list's index of an icon size, or LIST_NO_SELECTION for a
// size the list does not offer (any stored number may arrive here).
int CustomIconSizeIndex(LONG iconSize);

// --- System parameters -------------------------------------------------------

// How a set action takes its value.
enum SystemParameterForm {
    SPF_VALUE_IN_PVPARAM, // the 0 or 1 itself in pvParam, uiParam 0
    SPF_VALUE_IN_UIPARAM, // the value in uiParam, pvParam null
    SPF_ANIMATION_INFO    // uiParam the structure's size, pvParam its address
};

struct SystemParameterSetting {
    int checkBox;
    UINT getAction;
    UINT setAction;
    SystemParameterForm form;
    UINT setFlags; // fWinIni of the set action
    BOOL *field;   // for the window animation, its iMinAnimate member
};

enum { SYSTEM_PARAMETER_COUNT = 11 };

// In catalogue order, which is also the order of writing; the one whose
// setFlags include SPIF_SENDCHANGE is written after every registry value.
extern const SystemParameterSetting SYSTEM_PARAMETERS[SYSTEM_PARAMETER_COUNT];

// --- Registry flags ------------------------------------------------------------

struct RegistryFlagSetting {
    int checkBox;
    const char *keyPath;
    const char *valueName;
    DWORD *field;
    bool checkedWhenZero; // "Save window settings" shows NoSaveSettings inverted
};

enum { REGISTRY_FLAG_COUNT = 8 };

// In the order of reading and writing.
extern const RegistryFlagSetting REGISTRY_FLAGS[REGISTRY_FLAG_COUNT];

// The catalogue entry a General-page check box shows, or null.
const SystemParameterSetting *FindSystemParameter(int checkBox);
const RegistryFlagSetting *FindRegistryFlag(int checkBox);

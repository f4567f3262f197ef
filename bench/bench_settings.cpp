// bench_settings.cpp - how long one load and one save of the twenty-two
// settings take, through the real "Please wait" boxes and as the bare work,
// next to the same twenty-two platform calls made in a plain loop.
#include "test_settings_fixture.h"

#include "settings/settings_catalogue.h"

#include <cstdio>

namespace {

using namespace settings_test;

const int RUNS = 40;

double Now()
{
    static LARGE_INTEGER frequency = {};
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The registry values in the order the program reads and writes them.
struct RegistryValue {
    const char *key;
    const char *name;
    DWORD type;
};
const RegistryValue REGISTRY_VALUES[] = {
    {DESKTOP_KEY, SMOOTH_SCROLL_VALUE, REG_BINARY},
    {POLICY_KEY, NO_SAVE_SETTINGS_VALUE, REG_BINARY},
    {POLICY_KEY, NO_FAVORITES_MENU_VALUE, REG_BINARY},
    {POLICY_KEY, NO_RECENT_DOCS_MENU_VALUE, REG_BINARY},
    {POLICY_KEY, NO_FIND_VALUE, REG_BINARY},
    {POLICY_KEY, NO_RUN_VALUE, REG_BINARY},
    {POLICY_KEY, NO_LOGOFF_VALUE, REG_BINARY},
    {POLICY_KEY, NO_CHANGE_START_MENU_VALUE, REG_BINARY},
    {DESKTOP_KEY, MENU_SHOW_DELAY_VALUE, REG_SZ},
    {METRICS_KEY, SHELL_ICON_BPP_VALUE, REG_SZ},
    {METRICS_KEY, SHELL_ICON_SIZE_VALUE, REG_SZ},
};

// Eleven gets and eleven open, query and close sequences.
void RawLoad()
{
    for (const SystemParameterSetting &setting : SYSTEM_PARAMETERS) {
        if (setting.form == SPF_ANIMATION_INFO) {
            ANIMATIONINFO info = {sizeof(info), 0};
            SystemParametersInfoA(setting.getAction, sizeof(info), &info, 0);
        } else {
            BOOL value = 0;
            SystemParametersInfoA(setting.getAction, 0, &value, 0);
        }
    }
    for (const RegistryValue &value : REGISTRY_VALUES) {
        BYTE data[1024];
        DWORD size = sizeof(data);
        DWORD type;
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, value.key, 0, KEY_READ, &key) == ERROR_SUCCESS) {
            RegQueryValueExA(key, value.name, nullptr, &type, data, &size);
            RegCloseKey(key);
        }
    }
}

// Eleven sets with the loaded values (the last one broadcasting, as the save
// does) and eleven create, set and close sequences.
void RawSave()
{
    for (const SystemParameterSetting &setting : SYSTEM_PARAMETERS) {
        const BOOL value = *setting.field ? 1 : 0;
        switch (setting.form) {
        case SPF_VALUE_IN_PVPARAM:
            SystemParametersInfoA(setting.setAction, 0,
                                  reinterpret_cast<PVOID>(static_cast<UINT_PTR>(value)),
                                  setting.setFlags);
            break;
        case SPF_VALUE_IN_UIPARAM:
            SystemParametersInfoA(setting.setAction, value, nullptr, setting.setFlags);
            break;
        case SPF_ANIMATION_INFO: {
            ANIMATIONINFO info = {sizeof(info), value};
            SystemParametersInfoA(setting.setAction, sizeof(info), &info, setting.setFlags);
            break;
        }
        }
    }
    const BYTE flag[FLAG_SIZE] = {0, 0, 0, 0};
    const char text[] = "400";
    for (const RegistryValue &value : REGISTRY_VALUES) {
        HKEY key;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, value.key, 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_WRITE, nullptr, &key, nullptr) == ERROR_SUCCESS) {
            if (value.type == REG_SZ)
                RegSetValueExA(key, value.name, 0, REG_SZ, reinterpret_cast<const BYTE *>(text),
                               lstrlenA(text));
            else
                RegSetValueExA(key, value.name, 0, REG_BINARY, flag, sizeof(flag));
            RegCloseKey(key);
        }
    }
}

struct Figures {
    double box;  // through the "Please wait" box
    double work; // the load or save alone
    double raw;  // the same platform calls in a plain loop
};

Figures MeasureLoad(HWND owner)
{
    Figures figures = {};
    for (int run = 0; run < RUNS; ++run) {
        const HWND page = CreateGeneralPage(owner);
        settingsState.pages[PAGE_GENERAL] = page;
        const double start = Now();
        RunLoadingBox(owner);
        figures.box += Now() - start;
        DestroyWindow(page);
    }
    for (int run = 0; run < RUNS; ++run) {
        const HWND page = CreateGeneralPage(owner);
        const double start = Now();
        LoadSettings(page);
        figures.work += Now() - start;
        DestroyWindow(page);
    }
    const double start = Now();
    for (int run = 0; run < RUNS; ++run)
        RawLoad();
    figures.raw = Now() - start;
    return figures;
}

Figures MeasureSave(HWND owner)
{
    Figures figures = {};
    const HWND page = CreateGeneralPage(owner);
    settingsState.pages[PAGE_GENERAL] = page;
    RunLoadingBox(owner);
    for (int run = 0; run < RUNS; ++run) {
        const double start = Now();
        RunSavingBox(owner);
        figures.box += Now() - start;
    }
    for (int run = 0; run < RUNS; ++run) {
        const double start = Now();
        SaveSettings(page);
        figures.work += Now() - start;
    }
    const double start = Now();
    for (int run = 0; run < RUNS; ++run)
        RawSave();
    figures.raw = Now() - start;
    DestroyWindow(page);
    return figures;
}

void Print(const char *what, const Figures &figures)
{
    const double toMicroseconds = 1e6 / RUNS;
    std::printf("%s (average of %d runs)\n", what, RUNS);
    std::printf("  through the box:   %10.1f us   %6.2f x the raw calls\n",
                figures.box * toMicroseconds, figures.box / figures.raw);
    std::printf("  the work alone:    %10.1f us   %6.2f x the raw calls\n",
                figures.work * toMicroseconds, figures.work / figures.raw);
    std::printf("  22 raw calls:      %10.1f us\n", figures.raw * toMicroseconds);
}

} // namespace

int main()
{
    settingsState.instance = GetModuleHandleA(nullptr);
    InitCommonControls();
    const HWND owner = SharedOwner();

    Figures load;
    Figures save;
    {
        // Everything the save writes is put back afterwards: the parameters
        // through the system, then the keys exactly as they were.
        RegistrySandbox sandbox({DESKTOP, METRICS, POLICIES, POLICY});
        ParameterSnapshot parameters;
        load = MeasureLoad(owner);
        save = MeasureSave(owner);
    }
    DestroyWindow(owner);

    Print("Load", load);
    Print("Save", save);
    return 0;
}

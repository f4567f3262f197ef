// test_settings_fixture.h - what the settings tests and the settings benchmark
// share: the twenty-two settings as the tests expect them, savers that put
// back every system parameter and registry value they touch, and a General
// page over which the Loading and Saving boxes run.
#pragma once

#include "support/import_patch.h"
#include "support/test_support.h"

#include "platform/system_library.h"
#include "platform/window_long.h"
#include "resource.h"
#include "settings/loading_box.h"
#include "settings/saving_box.h"
#include "settings/settings_state.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace settings_test {

using namespace test_keys;

// --- System parameters ---------------------------------------------------------

enum ParameterForm { VALUE_IN_PVPARAM, VALUE_IN_UIPARAM, ANIMATION_INFO };

struct Parameter {
    const char *name;
    int checkBox;
    UINT getAction;
    UINT setAction;
    ParameterForm form;
    BOOL *field;
};

inline const Parameter PARAMETERS[] = {
    {"menu animation", IDC_MENU_ANIMATION, SPI_GETMENUANIMATION, SPI_SETMENUANIMATION,
     VALUE_IN_PVPARAM, &settingsState.menuAnimation},
    {"combo box animation", IDC_COMBOBOX_ANIMATION, SPI_GETCOMBOBOXANIMATION,
     SPI_SETCOMBOBOXANIMATION, VALUE_IN_PVPARAM, &settingsState.comboBoxAnimation},
    {"list box smooth scrolling", IDC_LISTBOX_SMOOTH_SCROLLING, SPI_GETLISTBOXSMOOTHSCROLLING,
     SPI_SETLISTBOXSMOOTHSCROLLING, VALUE_IN_PVPARAM, &settingsState.listBoxSmoothScrolling},
    {"gradient captions", IDC_GRADIENT_CAPTIONS, SPI_GETGRADIENTCAPTIONS, SPI_SETGRADIENTCAPTIONS,
     VALUE_IN_PVPARAM, &settingsState.gradientCaptions},
    {"menu underlines", IDC_MENU_UNDERLINES, SPI_GETMENUUNDERLINES, SPI_SETMENUUNDERLINES,
     VALUE_IN_PVPARAM, &settingsState.menuUnderlines},
    {"active window tracking", IDC_ACTIVE_WINDOW_TRACKING, SPI_GETACTIVEWINDOWTRACKING,
     SPI_SETACTIVEWINDOWTRACKING, VALUE_IN_PVPARAM, &settingsState.activeWindowTracking},
    {"active window track Z order", IDC_ACTIVE_WINDOW_TRACK_ZORDER, SPI_GETACTIVEWNDTRKZORDER,
     SPI_SETACTIVEWNDTRKZORDER, VALUE_IN_PVPARAM, &settingsState.activeWindowTrackZOrder},
    {"hot tracking", IDC_HOT_TRACKING, SPI_GETHOTTRACKING, SPI_SETHOTTRACKING, VALUE_IN_PVPARAM,
     &settingsState.hotTracking},
    {"font smoothing", IDC_FONT_SMOOTHING, SPI_GETFONTSMOOTHING, SPI_SETFONTSMOOTHING,
     VALUE_IN_UIPARAM, &settingsState.fontSmoothing},
    {"window animation", IDC_WINDOW_ANIMATION, SPI_GETANIMATION, SPI_SETANIMATION, ANIMATION_INFO,
     &settingsState.windowAnimation.iMinAnimate},
    {"drag full windows", IDC_DRAG_FULL_WINDOWS, SPI_GETDRAGFULLWINDOWS, SPI_SETDRAGFULLWINDOWS,
     VALUE_IN_UIPARAM, &settingsState.dragFullWindows},
};
inline const size_t PARAMETER_COUNT = std::size(PARAMETERS);

inline BOOL GetParameter(const Parameter &parameter)
{
    if (parameter.form == ANIMATION_INFO) {
        ANIMATIONINFO info = {sizeof(info), 0};
        SystemParametersInfoA(parameter.getAction, sizeof(info), &info, 0);
        return info.iMinAnimate;
    }
    BOOL value = 0;
    SystemParametersInfoA(parameter.getAction, 0, &value, 0);
    return value;
}

// Persisted and never broadcast. Persisting keeps Wine's temporary copy of
// the parameter out of play, so another process sees what this one set.
inline void SetParameter(const Parameter &parameter, BOOL value)
{
    switch (parameter.form) {
    case VALUE_IN_PVPARAM:
        SystemParametersInfoA(parameter.setAction, 0,
                              reinterpret_cast<PVOID>(static_cast<UINT_PTR>(value)),
                              SPIF_UPDATEINIFILE);
        break;
    case VALUE_IN_UIPARAM:
        SystemParametersInfoA(parameter.setAction, value, nullptr, SPIF_UPDATEINIFILE);
        break;
    case ANIMATION_INFO: {
        ANIMATIONINFO info = {sizeof(info), value};
        SystemParametersInfoA(parameter.setAction, sizeof(info), &info, SPIF_UPDATEINIFILE);
        break;
    }
    }
}

// Whether the platform keeps a parameter at all: Wine 8 accepts
// SPI_SETANIMATION but keeps nothing, and its SPI_GETANIMATION always answers
// 0. Checks of a parameter's system value are made only where it is kept.
inline bool PlatformKeeps(const Parameter &parameter)
{
    static std::map<UINT, bool> known;
    const auto found = known.find(parameter.getAction);
    if (found != known.end())
        return found->second;
    const BOOL was = GetParameter(parameter);
    SetParameter(parameter, !was);
    const bool kept = (GetParameter(parameter) != 0) == !was;
    SetParameter(parameter, was);
    if (!kept)
        std::printf("note: this system does not keep the %s parameter; its system value "
                    "goes unchecked\n", parameter.name);
    known[parameter.getAction] = kept;
    return kept;
}

// Checks a parameter's system value where the platform keeps it.
inline void ExpectParameter(const Parameter &parameter, BOOL expected)
{
    if (PlatformKeeps(parameter)) {
        EXPECT_EQ(expected, GetParameter(parameter)) << parameter.name;
    }
}

// Reads the eleven parameters when made and writes them back when destroyed.
class ParameterSnapshot {
public:
    ParameterSnapshot()
    {
        for (const Parameter &parameter : PARAMETERS)
            saved.push_back(GetParameter(parameter));
    }
    ~ParameterSnapshot()
    {
        for (size_t i = 0; i < PARAMETER_COUNT; ++i)
            SetParameter(PARAMETERS[i], saved[i]);
    }
    ParameterSnapshot(const ParameterSnapshot &) = delete;
    ParameterSnapshot &operator=(const ParameterSnapshot &) = delete;

private:
    std::vector<BOOL> saved;
};

// A recorded SystemParametersInfoA call in words, for comparing whole lists
// of calls: a pvParam that is a field of SettingsState is named, any other is
// shown as the number it carries.
inline std::string DescribeCall(const SystemParameterCall &call)
{
    std::ostringstream text;
    text << "action " << call.action << ", uiParam " << call.uiParam << ", pvParam ";
    const Parameter *field = nullptr;
    for (const Parameter &parameter : PARAMETERS) {
        if (call.pvParam == parameter.field)
            field = &parameter;
    }
    if (call.pvParam == &settingsState.windowAnimation) {
        text << "windowAnimation {cbSize " << call.animationSize;
        // What a get finds in iMinAnimate is overwritten; only a set passes it.
        if (call.action != SPI_GETANIMATION)
            text << ", iMinAnimate " << call.animationMinimize;
        text << "}";
    } else if (field) {
        text << "&" << field->name;
    } else {
        text << reinterpret_cast<UINT_PTR>(call.pvParam);
    }
    text << ", fWinIni " << call.winIni;
    return text.str();
}

inline std::vector<std::string> DescribeCalls(const std::vector<SystemParameterCall> &calls)
{
    std::vector<std::string> described;
    for (const SystemParameterCall &call : calls)
        described.push_back(DescribeCall(call));
    return described;
}

// --- Registry flags ------------------------------------------------------------

struct Flag {
    const char *key;
    const char *value;
    int checkBox;
    bool inverted; // checked when the value is zero
    DWORD *field;
};

inline const Flag FLAGS[] = {
    {DESKTOP, "SmoothScroll", IDC_SMOOTH_SCROLLING, false, &settingsState.smoothScroll},
    {POLICY, "NoSaveSettings", IDC_SAVE_WINDOW_SETTINGS, true, &settingsState.noSaveSettings},
    {POLICY, "NoFavoritesMenu", IDC_REMOVE_FAVORITES_MENU, false, &settingsState.noFavoritesMenu},
    {POLICY, "NoRecentDocsMenu", IDC_REMOVE_DOCUMENTS_MENU, false, &settingsState.noRecentDocsMenu},
    {POLICY, "NoFind", IDC_REMOVE_FIND_MENU, false, &settingsState.noFind},
    {POLICY, "NoRun", IDC_REMOVE_RUN_MENU, false, &settingsState.noRun},
    {POLICY, "NoLogoff", IDC_REMOVE_LOGOFF_MENU, false, &settingsState.noLogoff},
    {POLICY, "NoChangeStartMenu", IDC_NO_CHANGE_START_MENU, false, &settingsState.noChangeStartMenu},
};
inline const size_t FLAG_COUNT = std::size(FLAGS);

// The nineteen check boxes: the parameters' boxes, then the flags' boxes.
inline std::vector<int> AllCheckBoxes()
{
    std::vector<int> boxes;
    for (const Parameter &parameter : PARAMETERS)
        boxes.push_back(parameter.checkBox);
    for (const Flag &flag : FLAGS)
        boxes.push_back(flag.checkBox);
    return boxes;
}

inline std::vector<BYTE> FlagBytes(DWORD value)
{
    return {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8),
            static_cast<BYTE>(value >> 16), static_cast<BYTE>(value >> 24)};
}

inline void WriteBinary(const char *key, const char *value, const std::vector<BYTE> &bytes)
{
    RegWriteForTest(key, value, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size()));
}

// A text value longer than the program's 1024-byte buffer that starts with
// `start`, so that a reader using a partial copy would see a plausible value.
inline void WriteOversizedText(const char *key, const char *value, const std::string &start)
{
    RegWriteStringForTest(key, value, start + std::string(1100, ' '));
}

inline void ExpectFlagStored(const Flag &flag, DWORD expected)
{
    const RegRead read = RegReadForTest(flag.key, flag.value);
    EXPECT_TRUE(read.found) << flag.value;
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), read.type) << flag.value;
    EXPECT_EQ(FlagBytes(expected), read.data) << flag.value;
}

// The data must be the text with its length. Wine also stores the zero that
// follows the text in the writer's memory, so one trailing zero is allowed.
inline void ExpectTextStored(const char *key, const char *value, const std::string &expected)
{
    const RegRead read = RegReadForTest(key, value);
    ASSERT_TRUE(read.found) << value;
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), read.type) << value;
    EXPECT_EQ(expected, read.Text()) << value;
    const bool exact = read.data.size() == expected.size();
    const bool withZero = read.data.size() == expected.size() + 1 && read.data.back() == 0;
    EXPECT_TRUE(exact || withZero)
        << value << ": " << read.data.size() << " bytes for \"" << expected << "\"";
}

// --- Registry ------------------------------------------------------------------

// Moves a key aside for as long as it lives, then back. Renaming keeps the
// key itself: Wine's system-parameter code holds handles on "Control
// Panel\Desktop" for the life of the process, which a deleted and recreated
// key would leave pointing at nothing.
class KeyMovedAside {
public:
    explicit KeyMovedAside(const char *keyPath) : path(keyPath)
    {
        const std::string name = path.substr(path.rfind('\\') + 1);
        asideName = name + " (moved aside by a test)";
        aside = path.substr(0, path.rfind('\\') + 1) + asideName;
        moved = Rename(path, asideName);
    }
    ~KeyMovedAside()
    {
        if (moved)
            Rename(aside, path.substr(path.rfind('\\') + 1));
    }
    bool Moved() const { return moved; }
    KeyMovedAside(const KeyMovedAside &) = delete;
    KeyMovedAside &operator=(const KeyMovedAside &) = delete;

private:
    std::string path;
    std::string asideName;
    std::string aside;
    bool moved = false;

    // RegRenameKey is newer than the headers' target; look it up.
    static bool Rename(const std::string &from, const std::string &newName)
    {
        LONG(WINAPI * rename)(HKEY, LPCWSTR, LPCWSTR);
        SystemFunction("advapi32.dll", "RegRenameKey", &rename);
        if (!rename)
            return false;
        const std::wstring wideFrom(from.begin(), from.end());
        const std::wstring wideName(newName.begin(), newName.end());
        return rename(HKEY_CURRENT_USER, wideFrom.c_str(), wideName.c_str()) == ERROR_SUCCESS;
    }
};

// Every setting absent or off.
inline void ClearSettings()
{
    for (const Parameter &parameter : PARAMETERS)
        SetParameter(parameter, FALSE);
    RegDeleteValueForTest(DESKTOP, "SmoothScroll");
    RegDeleteValueForTest(DESKTOP, "MenuShowDelay");
    RegDeleteTreeForTest(POLICY);
    RegDeleteValueForTest(METRICS, "Shell Icon BPP");
    RegDeleteValueForTest(METRICS, "Shell Icon Size");
}

// --- Windows -------------------------------------------------------------------

// What the owner window saw of WM_SETTINGCHANGE.
struct BroadcastLog {
    int count = 0;
    WPARAM lastAction = 0;
    std::function<void()> onBroadcast;
};
inline BroadcastLog broadcastLog;

inline LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETTINGCHANGE) {
        ++broadcastLog.count;
        broadcastLog.lastAction = wParam;
        if (broadcastLog.onBroadcast)
            broadcastLog.onBroadcast();
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Stands in for GeneralPageProc, which dresses the controls but takes no part
// in loading or saving.
inline INT_PTR CALLBACK StandInPageProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

inline const char OWNER_CLASS[] = "DialvaneSettingsTestOwner";

inline void RegisterWindowClasses()
{
    WNDCLASSA windowClass = {};
    if (!GetClassInfoA(settingsState.instance, OWNER_CLASS, &windowClass)) {
        windowClass = {};
        windowClass.lpfnWndProc = OwnerProc;
        windowClass.hInstance = settingsState.instance;
        windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = OWNER_CLASS;
        RegisterClassA(&windowClass);
    }
    // The page's template names the hover button class; a plain window is
    // enough for loading and saving.
    windowClass = {};
    if (!GetClassInfoA(settingsState.instance, HOVER_BUTTON_CLASS, &windowClass)) {
        windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = settingsState.instance;
        windowClass.lpszClassName = HOVER_BUTTON_CLASS;
        RegisterClassA(&windowClass);
    }
}

// One owner for the whole program; only the boxes it owns come and go.
inline HWND SharedOwner()
{
    static HWND owner = nullptr;
    if (!owner || !IsWindow(owner)) {
        RegisterWindowClasses();
        owner = CreateWindowExA(0, OWNER_CLASS, "Settings test", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                20, 20, 560, 380, nullptr, nullptr, settingsState.instance, nullptr);
    }
    return owner;
}

inline HWND CreateGeneralPage(HWND owner)
{
    const HWND page = CreateDialogParamA(settingsState.instance, MAKEINTRESOURCE(IDD_GENERAL_PAGE),
                                         owner, StandInPageProc, 0);
    if (page)
        ShowWindow(page, SW_SHOW);
    return page;
}

inline void ResetSettingsState()
{
    const HINSTANCE instance = settingsState.instance;
    settingsState = SettingsState{};
    settingsState.instance = instance;
}

inline INT_PTR RunLoadingBox(HWND owner)
{
    return DialogBoxParamA(settingsState.instance, MAKEINTRESOURCE(IDD_LOADING), owner,
                           LoadingBoxProc, 0);
}

inline INT_PTR RunSavingBox(HWND owner)
{
    return DialogBoxParamA(settingsState.instance, MAKEINTRESOURCE(IDD_SAVING), owner,
                           SavingBoxProc, 0);
}

// --- Fixture ---------------------------------------------------------------

// Settings are switched on in "rounds" by the bits of their position plus
// one: after SETTING_ROUNDS rounds each of the nineteen has shown a pattern of
// its own, so a box wired to the wrong setting cannot go unnoticed.
inline const int SETTING_ROUNDS = 5;

inline bool OnInRound(size_t position, int round)
{
    return (((position + 1) >> round) & 1) != 0;
}


class SettingsBoxes : public testing::Test {
protected:
    // Restored in reverse order: the parameters first, then the exact
    // registry keys over whatever that restore wrote.
    RegistrySandbox sandbox{{DESKTOP, METRICS, POLICIES, POLICY}};
    ParameterSnapshot parameters;
    HWND owner = nullptr;
    HWND page = nullptr;

    void SetUp() override
    {
        broadcastLog = BroadcastLog{};
        owner = SharedOwner();
        ASSERT_NE(nullptr, owner);
        // Found out now, never in the middle of a load or save.
        for (const Parameter &parameter : PARAMETERS)
            PlatformKeeps(parameter);
        ClearSettings();
        ResetSettingsState();
        NewPage();
    }

    void TearDown() override
    {
        broadcastLog = BroadcastLog{};
        if (page)
            DestroyWindow(page);
        page = nullptr;
        settingsState.pages[PAGE_GENERAL] = nullptr;
        PumpPendingMessages();
    }

    // The load fills the page's lists, so every load gets a page of its own.
    void NewPage()
    {
        if (page)
            DestroyWindow(page);
        page = CreateGeneralPage(owner);
        ASSERT_NE(nullptr, page);
        settingsState.pages[PAGE_GENERAL] = page;
    }

    INT_PTR Load() { return RunLoadingBox(owner); }
    INT_PTR Save() { return RunSavingBox(owner); }

    void FreshLoad()
    {
        ResetSettingsState();
        NewPage();
        EXPECT_EQ(0, Load());
    }

    bool Checked(int checkBox) const { return IsDlgButtonChecked(page, checkBox) == BST_CHECKED; }

    std::set<int> CheckedBoxes() const
    {
        std::set<int> checked;
        for (int checkBox : AllCheckBoxes()) {
            if (Checked(checkBox))
                checked.insert(checkBox);
        }
        return checked;
    }

    void CheckOnly(const std::set<int> &checked)
    {
        for (int checkBox : AllCheckBoxes())
            CheckDlgButton(page, checkBox, checked.count(checkBox) ? BST_CHECKED : BST_UNCHECKED);
    }

    // Ticks exactly the boxes that are on in `round`, in the order of
    // AllCheckBoxes().
    void CheckRound(int round)
    {
        const std::vector<int> boxes = AllCheckBoxes();
        std::set<int> ticked;
        for (size_t i = 0; i < boxes.size(); ++i) {
            if (OnInRound(i, round))
                ticked.insert(boxes[i]);
        }
        CheckOnly(ticked);
    }

    LRESULT Send(int control, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return SendDlgItemMessageA(page, control, message, wParam, lParam);
    }

    LRESULT Selection(int list) const { return Send(list, CB_GETCURSEL); }
    LRESULT Thumb() const { return Send(IDC_MENU_SPEED, TBM_GETPOS); }

    bool CustomListShown() const
    {
        return (GetWindowLongPtrA(GetDlgItem(page, IDC_CUSTOM_ICON_SIZE), GWL_STYLE) & WS_VISIBLE) != 0;
    }

    std::string Entry(int list, LRESULT index) const
    {
        char text[64] = {};
        if (Send(list, CB_GETLBTEXTLEN, index) < static_cast<LRESULT>(sizeof(text)))
            Send(list, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
        return text;
    }
};

} // namespace settings_test

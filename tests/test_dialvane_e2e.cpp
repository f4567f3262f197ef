// test_dialvane_e2e.cpp - dialvane.exe run as a separate process and used from
// outside, as a user would: windows found by title, keys and clicks sent,
// the registry and the exit code read afterwards.
#include "support/dialvane_process.h"
#include "support/test_support.h"
#include "test_settings_fixture.h"

#include "resource.h"
#include "settings/settings_state.h"
#include "tooltips/tooltip_text.h"

#include <gtest/gtest.h>
#include <oleacc.h>

#include <string>
#include <vector>

namespace {

using namespace test_keys;

const char APP_DEFAULTS_KEY[] = "Software\\Wine\\AppDefaults\\dialvane.exe";
const char HTTPS_KEY[] = "https";

const char REFUSAL_CAPTION[] = "Get better Windows";
const DWORD START_TIMEOUT_MS = 20000;
const DWORD EXIT_TIMEOUT_MS = 10000;
// Tab presses from OK to the link: Cancel, Apply, About, the tabs, the link.
const int LINK_TAB_STOP = 5;
// The link as a screen reader knows it while it does not have the focus.
const LONG LINK_STATE = STATE_SYSTEM_LINKED | STATE_SYSTEM_FOCUSABLE;
// Long enough for a second Saving box or browser, started by mistake, to show.
const DWORD SECOND_OPENING_MS = 1000;
// Key-downs of a key held until it repeats.
const int HELD_KEY_DOWNS = 3;

// Value of one registry value, for before-and-after comparisons.
std::string Snapshot(const char *key, const char *name)
{
    const RegRead read = RegReadForTest(key, name);
    if (!read.found)
        return "<absent>";
    std::string text = std::to_string(read.type) + ":";
    for (BYTE b : read.data)
        text += std::to_string(b) + ",";
    return text;
}

std::vector<std::string> SnapshotAllValues()
{
    static const std::pair<const char *, const char *> values[] = {
        {DESKTOP, "SmoothScroll"}, {DESKTOP, "MenuShowDelay"}, {POLICY, "NoSaveSettings"},
        {POLICY, "NoFavoritesMenu"}, {POLICY, "NoRecentDocsMenu"}, {POLICY, "NoFind"},
        {POLICY, "NoRun"}, {POLICY, "NoLogoff"}, {POLICY, "NoChangeStartMenu"},
        {METRICS, "Shell Icon BPP"}, {METRICS, "Shell Icon Size"}, {DESKTOP, "DragFullWindows"},
        {DESKTOP, "UserPreferencemask"}, {DESKTOP, "FontSmoothing"},
    };
    std::vector<std::string> all;
    for (const auto &value : values)
        all.push_back(Snapshot(value.first, value.second));
    return all;
}

class DialvaneEndToEnd : public testing::Test {
protected:
    RegistrySandbox sandbox{{DESKTOP, METRICS, POLICIES, "Software\\Wine\\AppDefaults"}};

    void SetUp() override
    {
        ASSERT_FALSE(DialvaneProgramPath().empty()) << "DIALVANE_EXE names the program under test";
        ParkCursor();
    }
};

TEST_F(DialvaneEndToEnd, OlderWindowsIsRefusedWithoutReadingOrWritingAnything)
{
    for (const char *version : {"win95", "nt40"}) {
        SCOPED_TRACE(version);
        RegWriteStringForTest(APP_DEFAULTS_KEY, "Version", version);
        RegDeleteValueForTest(POLICY, "NoRun");
        const std::vector<std::string> before = SnapshotAllValues();

        DialvaneProcess program;
        ASSERT_TRUE(program.Start());
        HWND box = program.WaitForWindow(REFUSAL_CAPTION, START_TIMEOUT_MS);
        ASSERT_TRUE(box);
        char text[128] = "";
        GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));
        EXPECT_STREQ("Sorry, but this program is designed to work on Windows 98 and later", text);
        PumpMessagesFor(300);
        EXPECT_EQ(nullptr, program.Window(DIALVANE_MAIN_TITLE));
        EXPECT_EQ(nullptr, program.Window(DIALVANE_WAIT_TITLE));

        PostMessageA(box, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(program.Exited(EXIT_TIMEOUT_MS));
        EXPECT_EQ(0u, program.ExitCode());
        EXPECT_EQ(before, SnapshotAllValues());
    }
}

// Each system loads the settings and OK writes them back: a policy value the
// page shows unticked comes back as a stored zero.
TEST_F(DialvaneEndToEnd, Windows98MeAnd2000AndXpLoadAndSave)
{
    for (const char *version : {"win98", "winme", "win2k", "winxp"}) {
        SCOPED_TRACE(version);
        RegWriteStringForTest(APP_DEFAULTS_KEY, "Version", version);
        RegDeleteValueForTest(POLICY, "NoRun");
        DialvaneProcess program;
        ASSERT_TRUE(program.Start());
        ASSERT_TRUE(program.WaitUntilLoaded(START_TIMEOUT_MS));
        EXPECT_EQ(nullptr, program.Window(REFUSAL_CAPTION));
        program.Click(program.Control(program.main, IDOK));
        ASSERT_TRUE(program.Exited(EXIT_TIMEOUT_MS));
        EXPECT_EQ(0u, program.ExitCode());
        EXPECT_EQ((std::vector<BYTE>{0, 0, 0, 0}), RegReadForTest(POLICY, "NoRun").data);
    }
}

TEST_F(DialvaneEndToEnd, PageShowsThePreparedStateAndEscapeWritesNothing)
{
    RegWriteDwordForTest(POLICY, "NoRun", 1);
    RegDeleteValueForTest(POLICY, "NoSaveSettings");
    RegDeleteValueForTest(POLICY, "NoFind");
    RegWriteStringForTest(DESKTOP, "MenuShowDelay", "1234");
    RegWriteStringForTest(METRICS, "Shell Icon BPP", "4");
    RegWriteStringForTest(METRICS, "Shell Icon Size", "48");
    BOOL oldDrag = FALSE;
    SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &oldDrag, 0);
    SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, TRUE, nullptr, SPIF_UPDATEINIFILE);
    const std::vector<std::string> before = SnapshotAllValues();

    DialvaneProcess program;
    ASSERT_TRUE(program.Start());
    HWND main = program.WaitUntilLoaded(START_TIMEOUT_MS);
    ASSERT_TRUE(main);
    auto checked = [&](int id) { return SendMessageA(program.Control(main, id), BM_GETCHECK, 0, 0); };
    EXPECT_EQ(BST_CHECKED, checked(IDC_REMOVE_RUN_MENU));
    EXPECT_EQ(BST_CHECKED, checked(IDC_SAVE_WINDOW_SETTINGS));
    EXPECT_EQ(BST_UNCHECKED, checked(IDC_REMOVE_FIND_MENU));
    EXPECT_EQ(BST_CHECKED, checked(IDC_DRAG_FULL_WINDOWS));
    EXPECT_EQ(1234, SendMessageA(program.Control(main, IDC_MENU_SPEED), TBM_GETPOS, 0, 0));
    EXPECT_EQ(0, SendMessageA(program.Control(main, IDC_ICON_COLORS), CB_GETCURSEL, 0, 0));
    EXPECT_EQ(1, SendMessageA(program.Control(main, IDC_ICON_SIZE), CB_GETCURSEL, 0, 0));
    EXPECT_FALSE(IsWindowVisible(program.Control(main, IDC_CUSTOM_ICON_SIZE)));
    SaveScreenshot(CaptureWindow(main), "dialvane_e2e_loaded");

    program.PressKey(VK_ESCAPE);
    ASSERT_TRUE(program.Exited(EXIT_TIMEOUT_MS));
    EXPECT_EQ(0u, program.ExitCode());
    EXPECT_EQ(before, SnapshotAllValues());
    SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, oldDrag, nullptr, SPIF_UPDATEINIFILE);
}

TEST_F(DialvaneEndToEnd, EnterActsAsOkEvenWithTheFocusOnCancel)
{
    RegDeleteValueForTest(POLICY, "NoSaveSettings");
    RegDeleteValueForTest(POLICY, "NoRun");
    RegDeleteValueForTest(DESKTOP, "MenuShowDelay");
    DialvaneProcess program;
    ASSERT_TRUE(program.Start());
    HWND main = program.WaitUntilLoaded(START_TIMEOUT_MS);
    ASSERT_TRUE(main);
    ASSERT_EQ(program.Control(main, IDOK), program.FocusWindow());
    program.PressKey(VK_TAB);
    ASSERT_TRUE(PumpMessagesUntil([&] { return program.FocusWindow() == program.Control(main, IDCANCEL); }, 3000));

    program.PressKey(VK_RETURN);
    ASSERT_TRUE(program.Exited(EXIT_TIMEOUT_MS));
    EXPECT_EQ(0u, program.ExitCode());
    // Every setting was saved, absent ones included.
    const RegRead noSave = RegReadForTest(POLICY, "NoSaveSettings");
    EXPECT_TRUE(noSave.found);
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), noSave.type);
    EXPECT_EQ(std::vector<BYTE>({0, 0, 0, 0}), noSave.data);
    EXPECT_EQ(std::vector<BYTE>({0, 0, 0, 0}), RegReadForTest(POLICY, "NoRun").data);
    EXPECT_EQ("400", RegReadForTest(DESKTOP, "MenuShowDelay").Text());
}

TEST_F(DialvaneEndToEnd, ApplyThenCancelKeepsWhatApplyWrote)
{
    RegWriteDwordForTest(POLICY, "NoFavoritesMenu", 0);
    DialvaneProcess program;
    ASSERT_TRUE(program.Start());
    HWND main = program.WaitUntilLoaded(START_TIMEOUT_MS);
    ASSERT_TRUE(main);
    HWND favorites = program.Control(main, IDC_REMOVE_FAVORITES_MENU);
    SendMessageA(favorites, BM_CLICK, 0, 0);
    ASSERT_EQ(BST_CHECKED, SendMessageA(favorites, BM_GETCHECK, 0, 0));

    program.Click(program.Control(main, IDC_APPLY));
    const std::vector<BYTE> one = {1, 0, 0, 0};
    EXPECT_TRUE(PumpMessagesUntil([&] { return RegReadForTest(POLICY, "NoFavoritesMenu").data == one; },
                                  START_TIMEOUT_MS));
    ASSERT_TRUE(PumpMessagesUntil([&] { return !program.Window(DIALVANE_WAIT_TITLE) && IsWindowEnabled(main); }, 5000));
    EXPECT_TRUE(IsWindowVisible(main)) << "Apply keeps the dialog open";

    program.Click(program.Control(main, IDCANCEL));
    ASSERT_TRUE(program.Exited(EXIT_TIMEOUT_MS));
    EXPECT_EQ(0u, program.ExitCode());
    const RegRead after = RegReadForTest(POLICY, "NoFavoritesMenu");
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), after.type);
    EXPECT_EQ(one, after.data);
}

TEST_F(DialvaneEndToEnd, LinkOpensTheHomePageInTheBrowser)
{
    RegistrySandbox classes(HKEY_CLASSES_ROOT, {HTTPS_KEY});
    const std::string recorder = SiblingPath("url_recorder.exe");
    const std::string record = TestOutputDirectory() + "\\opened_url.txt";
    DeleteFileA(record.c_str());
    const std::string command = "\"" + recorder + "\" \"" + record + "\" \"%1\"";
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CLASSES_ROOT, "https\\shell\\open\\command", 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE *>(command.c_str()),
                   static_cast<DWORD>(command.size() + 1));
    RegCloseKey(key);

    DialvaneProcess program;
    ASSERT_TRUE(program.Start());
    HWND main = program.WaitUntilLoaded(START_TIMEOUT_MS);
    ASSERT_TRUE(main);
    const HWND link = program.Control(main, IDC_HOMEPAGE_LINK);

    std::string opened;
    auto read = [&] {
        FILE *in = fopen(record.c_str(), "rb");
        if (!in)
            return false;
        char buffer[512] = "";
        opened.assign(buffer, fread(buffer, 1, sizeof(buffer) - 1, in));
        fclose(in);
        return !opened.empty();
    };
    // A click, a screen reader's default action, then Space and Enter on the
    // link reached with Tab from OK, and Enter held until it repeats: each
    // opens the page once, and Enter on the link is not OK.
    for (const std::string way : {"click", "screen reader", "Space", "Enter", "held Enter"}) {
        // Back from the browser to the dialog.
        SetForegroundWindow(main);
        PumpMessagesUntil([&] { return program.FocusWindow() != nullptr; }, 3000);
        if (way == "Space") {
            ASSERT_EQ(program.Control(main, IDOK), program.FocusWindow()) << "a click leaves the focus alone";
            for (int tab = 0; tab < LINK_TAB_STOP; ++tab)
                program.PressKey(VK_TAB);
            ASSERT_TRUE(PumpMessagesUntil([&] { return program.FocusWindow() == link; }, 3000));
            EXPECT_EQ(LINK_STATE | STATE_SYSTEM_FOCUSED, ReadAccessible(link).state);
        }
        DeleteFileA(record.c_str());
        opened.clear();
        if (way == "click")
            program.Click(link);
        else if (way == "screen reader")
            EXPECT_EQ(S_OK, DoDefaultAction(link));
        else
            program.PressKey(way == "Space" ? VK_SPACE : VK_RETURN, way == "held Enter" ? HELD_KEY_DOWNS : 1);
        // A second browser, started by mistake right after the first, shows
        // within as long again as the first took (several seconds under
        // emulation).
        const DWORD asked = GetTickCount();
        if (PumpMessagesUntil(read, START_TIMEOUT_MS))
            PumpMessagesFor(SECOND_OPENING_MS + (GetTickCount() - asked));
        read();
        EXPECT_EQ(HOMEPAGE_URL, opened) << way;
    }
    EXPECT_FALSE(program.Exited(0)) << "still running after Enter on the link";
    EXPECT_TRUE(IsWindowVisible(main));

    program.Click(program.Control(main, IDCANCEL));
    ASSERT_TRUE(program.Exited(EXIT_TIMEOUT_MS));
    EXPECT_EQ(0u, program.ExitCode());
}

TEST_F(DialvaneEndToEnd, AboutBoxShowsTheWholeLicenceAndReloadsIt)
{
    HRSRC found = FindResourceA(settingsState.instance, LICENSE_RESOURCE_NAME, LICENSE_RESOURCE_TYPE);
    const std::string license(static_cast<const char *>(LockResource(LoadResource(settingsState.instance, found))),
                              SizeofResource(settingsState.instance, found));

    DialvaneProcess program;
    ASSERT_TRUE(program.Start());
    HWND main = program.WaitUntilLoaded(START_TIMEOUT_MS);
    ASSERT_TRUE(main);
    for (int opening = 0; opening < 2; ++opening) {
        SCOPED_TRACE(opening);
        program.Click(program.Control(main, IDC_ABOUT));
        HWND about = program.WaitForWindow("About", START_TIMEOUT_MS);
        ASSERT_TRUE(about);
        HWND edit = program.Control(about, IDC_LICENSE_TEXT);
        PumpMessagesUntil([&] { return SendMessageA(edit, EM_GETSEL, 0, 0) == 0; }, 3000);

        std::string text(license.size() + 16, '\0');
        text.resize(SendMessageA(edit, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0])));
        EXPECT_EQ(license, text);
        EXPECT_EQ(0, SendMessageA(edit, EM_GETSEL, 0, 0)) << "nothing selected";
        EXPECT_EQ(0, SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0));
        if (opening == 0) {
            // The other process paints in its own time.
            PumpMessagesFor(500);
            SaveScreenshot(CaptureWindow(about), "dialvane_e2e_about");
        }
        SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("spoilt"));

        program.PressKey(VK_ESCAPE);
        ASSERT_TRUE(PumpMessagesUntil([&] { return !program.Window("About"); }, 5000));
    }
    program.Click(program.Control(main, IDCANCEL));
    ASSERT_TRUE(program.Exited(EXIT_TIMEOUT_MS));
    EXPECT_EQ(0u, program.ExitCode());
}

// A downloads folder holding a copy of the program and, under the name of
// each DLL the program loads itself, a DLL of the test's. Wine, told to
// prefer native DLLs, takes a DLL named by bare name from the program's
// folder first, as Windows does for every DLL it does not protect. Not so
// ole32.dll: Windows protects it, while Wine's own input-method support
// takes it by bare name as soon as a dialog has the focus, program or not.
TEST_F(DialvaneEndToEnd, DllsPlantedBesideTheProgramAreNeverLoaded)
{
    const std::string folder = TestOutputDirectory() + "\\downloads";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string copy = folder + "\\dialvane.exe";
    ASSERT_TRUE(CopyFileA(DialvaneProgramPath().c_str(), copy.c_str(), FALSE));
    char overrides[512] = "";
    GetEnvironmentVariableA("WINEDLLOVERRIDES", overrides, sizeof(overrides));
    std::string forced = overrides;
    for (const char *dll : {"comctl32", "oleacc", "oleaut32"}) {
        ASSERT_TRUE(CopyFileA(SiblingPath("planted_library.dll").c_str(), (folder + "\\" + dll + ".dll").c_str(),
                              FALSE));
        forced += std::string(";") + dll + "=n,b";
    }
    SetEnvironmentVariableA("WINEDLLOVERRIDES", forced.c_str());
    DialvaneProcess program;
    const bool started = program.Start(copy);
    SetEnvironmentVariableA("WINEDLLOVERRIDES", overrides);
    ASSERT_TRUE(started);
    HWND main = program.WaitUntilLoaded(START_TIMEOUT_MS);
    ASSERT_TRUE(main);
    EXPECT_EQ("OK", ReadAccessible(program.Control(main, IDOK)).name);
    bool readerLoaded = Emulated32Bit();
    for (const std::string &module : program.LoadedModules()) {
        EXPECT_TRUE(module == copy || _strnicmp(module.c_str(), folder.c_str(), folder.size()) != 0) << module;
        readerLoaded |= module.find("\\oleacc.dll") != std::string::npos;
    }
    EXPECT_TRUE(readerLoaded) << "the screen reader's question loads oleacc.dll from the system folder";
    program.Click(program.Control(main, IDCANCEL));
    EXPECT_TRUE(program.Exited(EXIT_TIMEOUT_MS));
    if (Emulated32Bit())
        GTEST_SKIP() << "SKIPPED: under qemu-user the module list of another 32-bit process reads empty";
}

// What a screen reader is to hear of the program's own controls after
// loading, with OK focused and the mouse away. The description is the tip.
const LONG FOCUSABLE = STATE_SYSTEM_FOCUSABLE;
const LONG PUSH = ROLE_SYSTEM_PUSHBUTTON;
const struct {
    int id;
    AccessibleReading heard;
} OWN_CONTROLS[] = {
    {IDOK, {PUSH, FOCUSABLE | STATE_SYSTEM_FOCUSED, "OK", "", "Press"}},
    {IDCANCEL, {PUSH, FOCUSABLE, "Cancel", "", "Press"}},
    {IDC_APPLY, {PUSH, FOCUSABLE, "Apply", "", "Press"}},
    {IDC_ABOUT, {PUSH, FOCUSABLE, "About", "", "Press"}},
    {IDC_MENU_SPEED_DEFAULT, {PUSH, FOCUSABLE, "Default", "", "Press"}},
    {IDC_RESTORE_START_MENU_ORDER, {PUSH, FOCUSABLE, "Restore start menu order", "", "Press"}},
    {IDC_HOMEPAGE_LINK, {ROLE_SYSTEM_LINK, LINK_STATE, HOMEPAGE_LINK_CAPTION, "", "Jump"}},
};

TEST_F(DialvaneEndToEnd, ScreenReaderHearsEachOwnControlAndPressesApplyOnce)
{
    if (Emulated32Bit())
        GTEST_SKIP() << "SKIPPED: under qemu-user this conversation between two 32-bit processes now and then "
                        "ends in an unhandled exception whose debugger never returns";
    // Each Saving box broadcasts one setting change, to hidden windows too.
    ShowWindow(settings_test::SharedOwner(), SW_HIDE);
    settings_test::broadcastLog = {};
    DialvaneProcess program;
    ASSERT_TRUE(program.Start());
    HWND main = program.WaitUntilLoaded(START_TIMEOUT_MS);
    ASSERT_TRUE(main);
    for (const auto &control : OWN_CONTROLS) {
        SCOPED_TRACE(control.heard.name);
        char tip[TOOLTIP_TEXT_SIZE] = "";
        LoadStringA(settingsState.instance, control.id, tip, sizeof(tip));
        const AccessibleReading heard = ReadAccessible(program.Control(main, control.id));
        EXPECT_EQ(control.heard.role, heard.role);
        EXPECT_EQ(control.heard.state, heard.state);
        EXPECT_EQ(control.heard.name, heard.name);
        EXPECT_EQ(tip, heard.description);
        EXPECT_EQ(control.heard.defaultAction, heard.defaultAction);
    }

    const HWND ok = program.Control(main, IDOK), cancel = program.Control(main, IDCANCEL);
    program.PressKey(VK_TAB);
    ASSERT_TRUE(PumpMessagesUntil([&] { return program.FocusWindow() == cancel; }, 3000));
    EXPECT_EQ(FOCUSABLE, ReadAccessible(ok).state);
    EXPECT_EQ(FOCUSABLE | STATE_SYSTEM_FOCUSED, ReadAccessible(cancel).state);
    const HWND apply = program.Control(main, IDC_APPLY);
    MoveCursorToClientPoint(apply, 4, 4);
    LONG hovered = FOCUSABLE;
    PumpMessagesUntil([&] { return (hovered = ReadAccessible(apply).state) != FOCUSABLE; }, 3000);
    EXPECT_EQ(FOCUSABLE | STATE_SYSTEM_HOTTRACKED, hovered);
    ParkCursor();
    EnableWindow(apply, FALSE);
    EXPECT_EQ(FOCUSABLE | STATE_SYSTEM_UNAVAILABLE, ReadAccessible(apply).state);
    EnableWindow(apply, TRUE);

    EXPECT_EQ(S_OK, DoDefaultAction(apply));
    const int &savingBoxes = settings_test::broadcastLog.count;
    PumpMessagesUntil([&] { return savingBoxes && IsWindowEnabled(main); }, START_TIMEOUT_MS);
    PumpMessagesFor(SECOND_OPENING_MS);
    EXPECT_EQ(1, savingBoxes);
    program.Click(cancel);
    ASSERT_TRUE(program.Exited(EXIT_TIMEOUT_MS));
}

} // namespace

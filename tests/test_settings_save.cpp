// test_settings_save.cpp - the Saving box, run over a real General page
// against the real registry and system parameters.
#include "test_settings_fixture.h"

namespace {

using namespace settings_test;

const char QUERY_HELPER[] = "settings_query_parameter.exe";
const DWORD HELPER_TIMEOUT_MS = 30000;

// Runs the helper next to this test program, which reports one system
// parameter as a newly started process sees it.
int QueryInFreshProcess(UINT getAction)
{
    char ownPath[MAX_PATH];
    GetModuleFileNameA(nullptr, ownPath, MAX_PATH);
    std::string helper(ownPath);
    helper = helper.substr(0, helper.rfind('\\') + 1) + QUERY_HELPER;
    std::string commandLine = "\"" + helper + "\" " + std::to_string(getAction);

    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(helper.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        ADD_FAILURE() << "cannot start " << helper << ", error " << GetLastError();
        return -1;
    }
    // Keep answering messages while the helper runs.
    const bool ended = PumpMessagesUntilSignalled(process.hProcess, HELPER_TIMEOUT_MS);
    DWORD exitCode = static_cast<DWORD>(-1);
    if (ended)
        GetExitCodeProcess(process.hProcess, &exitCode);
    else
        ADD_FAILURE() << helper << " did not end";
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(exitCode);
}

std::set<int> EveryCheckBox()
{
    const std::vector<int> boxes = AllCheckBoxes();
    return std::set<int>(boxes.begin(), boxes.end());
}

TEST_F(SettingsBoxes, SaveAfterLoadWritesAllTwentyTwo)
{
    const std::set<int> onAtLoad = {IDC_MENU_ANIMATION, IDC_HOT_TRACKING, IDC_FONT_SMOOTHING};
    for (const Parameter &parameter : PARAMETERS)
        SetParameter(parameter, onAtLoad.count(parameter.checkBox) ? TRUE : FALSE);
    RegWriteStringForTest(METRICS, "Shell Icon BPP", "4");
    RegWriteStringForTest(METRICS, "Shell Icon Size", "48");
    FreshLoad();

    // Change everything behind the page's back: the save must write every
    // setting, not only those that differ from what it loaded.
    for (const Parameter &parameter : PARAMETERS)
        SetParameter(parameter, onAtLoad.count(parameter.checkBox) ? FALSE : TRUE);
    for (const Flag &flag : FLAGS)
        RegWriteDwordForTest(flag.key, flag.value, 7);
    RegWriteStringForTest(DESKTOP, "MenuShowDelay", "junk");
    RegWriteStringForTest(METRICS, "Shell Icon BPP", "junk");
    RegWriteStringForTest(METRICS, "Shell Icon Size", "junk");

    EXPECT_EQ(0, Save());

    for (const Parameter &parameter : PARAMETERS) {
        const BOOL expected = onAtLoad.count(parameter.checkBox) ? TRUE : FALSE;
        ExpectParameter(parameter, expected);
        EXPECT_EQ(expected, *parameter.field) << parameter.name;
    }
    // Every flag was absent at load, so "Save window settings" was checked
    // and NoSaveSettings is written as zero too ("NoRun" as four zero bytes).
    for (const Flag &flag : FLAGS) {
        ExpectFlagStored(flag, 0);
        EXPECT_EQ(0u, *flag.field) << flag.value;
    }
    ExpectTextStored(DESKTOP, "MenuShowDelay", "400");
    ExpectTextStored(METRICS, "Shell Icon BPP", "4");
    ExpectTextStored(METRICS, "Shell Icon Size", "48");
    EXPECT_EQ(400, settingsState.menuShowDelay);
    EXPECT_EQ(4, settingsState.shellIconBpp);
    EXPECT_EQ(48, settingsState.shellIconSize);
}

// A recorded registry write in words: value name, type and every byte passed.
std::string DescribeWrite(const std::string &name, DWORD type, const std::vector<BYTE> &data)
{
    std::ostringstream text;
    text << name << ", type " << type << ", " << data.size() << " bytes:";
    for (BYTE byte : data)
        text << " " << static_cast<int>(byte);
    return text.str();
}

std::vector<BYTE> TextBytes(const std::string &text)
{
    return std::vector<BYTE>(text.begin(), text.end());
}

// Wine does not keep the window animation and adds the terminating zero to
// a text itself, so the arguments of every write are taken off the calls
// themselves, in the order they are made.
TEST_F(SettingsBoxes, SaveMakesTheExactPlatformCalls)
{
    // The set actions in the order written, as Windows numbers them, and the
    // fWinIni each takes: persisted, and the last also broadcast.
    const struct {
        UINT action;
        ParameterForm form;
        UINT winIni;
    } sets[] = {
        {4099, VALUE_IN_PVPARAM, 1}, {4101, VALUE_IN_PVPARAM, 1}, {4103, VALUE_IN_PVPARAM, 1},
        {4105, VALUE_IN_PVPARAM, 1}, {4107, VALUE_IN_PVPARAM, 1}, {4097, VALUE_IN_PVPARAM, 1},
        {4109, VALUE_IN_PVPARAM, 1}, {4111, VALUE_IN_PVPARAM, 1}, {75, VALUE_IN_UIPARAM, 1},
        {73, ANIMATION_INFO, 1},     {37, VALUE_IN_UIPARAM, 3},
    };
    static_assert(std::size(sets) == std::size(PARAMETERS), "one set for each parameter");
    const UINT ANIMATION_INFO_BYTES = 8;
    const DWORD BINARY = 3, TEXT = 1;

    // The lists and the slider, one line for each round; no colour depth
    // chosen writes none.
    const struct {
        int delay;
        int colours;
        int size;
        int customSize; // chosen in the custom list, or CB_ERR
        const char *delayText;
        const char *bppText;
        const char *sizeText;
    } lists[SETTING_ROUNDS] = {
        {400, CB_ERR, 0, CB_ERR, "400", nullptr, "32"},
        {0, 0, 1, CB_ERR, "0", "4", "48"},
        {5000, 1, 2, 40 - 16, "5000", "16", "40"},
        {1234, 0, 2, 16 - 16, "1234", "4", "16"},
        {100, CB_ERR, CB_ERR, CB_ERR, "100", nullptr, "32"},
    };

    FreshLoad();
    for (int round = 0; round < SETTING_ROUNDS; ++round) {
        SCOPED_TRACE(testing::Message() << "round " << round);
        CheckRound(round);
        Send(IDC_MENU_SPEED, TBM_SETPOS, TRUE, lists[round].delay);
        Send(IDC_ICON_COLORS, CB_SETCURSEL, lists[round].colours);
        Send(IDC_ICON_SIZE, CB_SETCURSEL, lists[round].size);
        Send(IDC_CUSTOM_ICON_SIZE, CB_SETCURSEL, lists[round].customSize);

        SystemParameterRecorder parameters;
        RegistrySetRecorder registry;
        ASSERT_TRUE(parameters.Installed());
        ASSERT_TRUE(registry.Installed());
        EXPECT_EQ(0, Save());

        std::vector<SystemParameterCall> expectedSets;
        for (size_t i = 0; i < std::size(sets); ++i) {
            const UINT value = OnInRound(i, round) ? 1 : 0;
            switch (sets[i].form) {
            case VALUE_IN_PVPARAM:
                expectedSets.push_back({sets[i].action, 0, reinterpret_cast<void *>(static_cast<UINT_PTR>(value)),
                                        sets[i].winIni, 0, 0});
                break;
            case VALUE_IN_UIPARAM:
                expectedSets.push_back({sets[i].action, value, nullptr, sets[i].winIni, 0, 0});
                break;
            case ANIMATION_INFO:
                expectedSets.push_back({sets[i].action, ANIMATION_INFO_BYTES, &settingsState.windowAnimation,
                                        sets[i].winIni, ANIMATION_INFO_BYTES, static_cast<int>(value)});
                break;
            }
        }
        EXPECT_EQ(DescribeCalls(expectedSets), DescribeCalls(parameters.Calls()));
        // The recorders passed every call on as it was made.
        for (size_t i = 0; i < PARAMETER_COUNT; ++i)
            ExpectParameter(PARAMETERS[i], OnInRound(i, round));

        // Flags as exactly four bytes; texts as their characters alone.
        std::vector<std::string> expectedWrites;
        for (size_t i = 0; i < FLAG_COUNT; ++i) {
            const DWORD flag = OnInRound(PARAMETER_COUNT + i, round) != FLAGS[i].inverted ? 1 : 0;
            expectedWrites.push_back(DescribeWrite(FLAGS[i].value, BINARY, FlagBytes(flag)));
            ExpectFlagStored(FLAGS[i], flag);
        }
        expectedWrites.push_back(DescribeWrite("MenuShowDelay", TEXT, TextBytes(lists[round].delayText)));
        if (lists[round].bppText)
            expectedWrites.push_back(DescribeWrite("Shell Icon BPP", TEXT, TextBytes(lists[round].bppText)));
        expectedWrites.push_back(DescribeWrite("Shell Icon Size", TEXT, TextBytes(lists[round].sizeText)));
        std::vector<std::string> writes;
        for (const RegistrySetCall &call : registry.Calls())
            writes.push_back(DescribeWrite(call.valueName, call.type, call.data));
        EXPECT_EQ(expectedWrites, writes);
    }
}

TEST_F(SettingsBoxes, EachBoxWritesItsOwnSetting)
{
    FreshLoad();
    for (int round = 0; round < SETTING_ROUNDS; ++round) {
        SCOPED_TRACE(testing::Message() << "round " << round);
        CheckRound(round);
        EXPECT_EQ(0, Save());

        for (size_t i = 0; i < PARAMETER_COUNT; ++i) {
            const BOOL expected = OnInRound(i, round) ? TRUE : FALSE;
            ExpectParameter(PARAMETERS[i], expected);
            EXPECT_EQ(expected, *PARAMETERS[i].field) << PARAMETERS[i].name;
        }
        // "Save window settings" writes NoSaveSettings inverted: 00 00 00 00
        // when ticked, 01 00 00 00 when not.
        for (size_t i = 0; i < FLAG_COUNT; ++i) {
            const DWORD expected = OnInRound(PARAMETER_COUNT + i, round) != FLAGS[i].inverted ? 1 : 0;
            ExpectFlagStored(FLAGS[i], expected);
            EXPECT_EQ(expected, *FLAGS[i].field) << FLAGS[i].value;
        }
    }
}

TEST_F(SettingsBoxes, SaveWritesTheMenuDelayFromTheSlider)
{
    RegWriteStringForTest(DESKTOP, "MenuShowDelay", "6000");
    FreshLoad();
    ASSERT_EQ(6000, settingsState.menuShowDelay);

    // A stored delay beyond the slider's end is written as the end.
    EXPECT_EQ(0, Save());
    ExpectTextStored(DESKTOP, "MenuShowDelay", "5000");
    EXPECT_EQ(5000, settingsState.menuShowDelay);

    Send(IDC_MENU_SPEED, TBM_SETPOS, TRUE, 0);
    EXPECT_EQ(0, Save());
    ExpectTextStored(DESKTOP, "MenuShowDelay", "0");
    EXPECT_EQ(0, settingsState.menuShowDelay);
}

TEST_F(SettingsBoxes, SaveWritesTheIconColoursOnlyWhenOneIsChosen)
{
    // A depth the list cannot show (32 bits, or none stored) loads with
    // nothing selected and survives the save, while every other value is
    // written: the flags, the menu delay and the icon size.
    RegWriteStringForTest(METRICS, "Shell Icon Size", "48");
    for (const char *stored : {"", "32"}) {
        SCOPED_TRACE(*stored ? stored : "absent");
        if (*stored)
            RegWriteStringForTest(METRICS, "Shell Icon BPP", stored);
        FreshLoad();
        ASSERT_EQ(CB_ERR, Selection(IDC_ICON_COLORS));
        const LONG loaded = settingsState.shellIconBpp;
        RegistrySetRecorder registry;
        ASSERT_TRUE(registry.Installed());
        EXPECT_EQ(0, Save());

        const RegRead read = RegReadForTest(METRICS, "Shell Icon BPP");
        EXPECT_EQ(*stored != '\0', read.found);
        EXPECT_EQ(stored, read.Text());
        EXPECT_EQ(loaded, settingsState.shellIconBpp);
        EXPECT_EQ(nullptr, registry.Find("Shell Icon BPP"));
        EXPECT_EQ(FLAG_COUNT + 2, registry.Calls().size());
    }

    // Chosen, "16" is written as 4 bits and "All" as 16.
    const struct {
        int index;
        const char *text;
        LONG depth;
    } chosen[] = {{0, "4", 4}, {1, "16", 16}};
    for (const auto &choice : chosen) {
        Send(IDC_ICON_COLORS, CB_SETCURSEL, choice.index);
        EXPECT_EQ(0, Save());
        ExpectTextStored(METRICS, "Shell Icon BPP", choice.text);
        EXPECT_EQ(choice.depth, settingsState.shellIconBpp);
    }
}

TEST_F(SettingsBoxes, SaveWritesTheIconSize)
{
    RegWriteStringForTest(METRICS, "Shell Icon Size", "70");
    FreshLoad();
    ASSERT_EQ(2, Selection(IDC_ICON_SIZE));
    ASSERT_EQ(CB_ERR, Selection(IDC_CUSTOM_ICON_SIZE));

    // "Custom" with no size chosen leaves the stored size as it was.
    EXPECT_EQ(0, Save());
    ExpectTextStored(METRICS, "Shell Icon Size", "70");
    EXPECT_EQ(70, settingsState.shellIconSize);

    // A chosen custom size is written as shown; the record keeps its value.
    Send(IDC_CUSTOM_ICON_SIZE, CB_SETCURSEL, 40 - 16);
    EXPECT_EQ(0, Save());
    ExpectTextStored(METRICS, "Shell Icon Size", "40");
    EXPECT_EQ(70, settingsState.shellIconSize);

    Send(IDC_ICON_SIZE, CB_SETCURSEL, 1);
    EXPECT_EQ(0, Save());
    ExpectTextStored(METRICS, "Shell Icon Size", "48");
    EXPECT_EQ(48, settingsState.shellIconSize);

    // No selection at all counts as "32".
    Send(IDC_ICON_SIZE, CB_SETCURSEL, static_cast<WPARAM>(-1));
    EXPECT_EQ(0, Save());
    ExpectTextStored(METRICS, "Shell Icon Size", "32");
    EXPECT_EQ(32, settingsState.shellIconSize);
}

TEST_F(SettingsBoxes, SaveLeavesAnAbsentIconSizeAbsent)
{
    FreshLoad();
    ASSERT_EQ(2, Selection(IDC_ICON_SIZE));
    EXPECT_EQ(0, Save());
    EXPECT_FALSE(RegReadForTest(METRICS, "Shell Icon Size").found);
}

TEST_F(SettingsBoxes, SaveSkipsThePolicyValuesWhenTheirKeyCannotBeCreated)
{
    MakeKeyUncreatable(POLICY);
    FreshLoad();
    CheckOnly(EveryCheckBox());
    Send(IDC_MENU_SPEED, TBM_SETPOS, TRUE, 700);
    Send(IDC_ICON_COLORS, CB_SETCURSEL, 0);
    Send(IDC_ICON_SIZE, CB_SETCURSEL, 1);

    EXPECT_EQ(0, Save());

    EXPECT_FALSE(RegKeyExists(POLICY));
    ExpectFlagStored(FLAGS[0], 1); // SmoothScroll, under the desktop key
    ExpectTextStored(DESKTOP, "MenuShowDelay", "700");
    ExpectTextStored(METRICS, "Shell Icon BPP", "4");
    ExpectTextStored(METRICS, "Shell Icon Size", "48");
    for (const Parameter &parameter : PARAMETERS)
        ExpectParameter(parameter, TRUE);

    // The sandbox puts keys back in place; take the volatile parent away so
    // that it comes back as an ordinary key, able to hold the policy key.
    RegDeleteTreeForTest(POLICIES);
}

// What the registry and the other parameters held when the broadcast came.
struct SystemAtBroadcast {
    std::vector<RegRead> flags;
    RegRead menuShowDelay;
    RegRead shellIconBpp;
    RegRead shellIconSize;
    std::vector<BOOL> parameters; // those the platform keeps, but "drag full windows"
    bool savingBoxPainted = false;
};

SystemAtBroadcast ReadSystemAtBroadcast(HWND owner)
{
    SystemAtBroadcast seen;
    for (const Flag &flag : FLAGS)
        seen.flags.push_back(RegReadForTest(flag.key, flag.value));
    seen.menuShowDelay = RegReadForTest(DESKTOP, "MenuShowDelay");
    seen.shellIconBpp = RegReadForTest(METRICS, "Shell Icon BPP");
    seen.shellIconSize = RegReadForTest(METRICS, "Shell Icon Size");
    for (const Parameter &parameter : PARAMETERS) {
        if (parameter.checkBox != IDC_DRAG_FULL_WINDOWS && PlatformKeeps(parameter))
            seen.parameters.push_back(GetParameter(parameter));
    }
    // The box showing "Saving settings" is on screen while the writes run,
    // its text already painted: read from the label's own surface, without
    // letting anything paint first (the screen itself may lag behind it).
    const HWND box = FindWindowA("#32770", "Please wait");
    if (box && IsWindowVisible(box) && GetWindow(box, GW_OWNER) == owner) {
        const HWND label = GetWindow(box, GW_CHILD);
        char text[64] = {};
        GetWindowTextA(label, text, sizeof(text));
        RECT area;
        GetClientRect(label, &area);
        HDC labelDc = GetDC(label);
        const ScreenImage painted = DrawToImage(area.right, area.bottom, [&](HDC image) {
            BitBlt(image, 0, 0, area.right, area.bottom, labelDc, 0, 0, SRCCOPY);
        });
        ReleaseDC(label, labelDc);
        seen.savingBoxPainted = lstrcmpA(text, "Saving settings") == 0 &&
                                painted.Count(GetSysColor(COLOR_WINDOWTEXT)) > 0 &&
                                painted.Count(GetSysColor(COLOR_BTNFACE)) > 0;
        GetWindowRect(box, &area);
        SaveScreenshot(CaptureScreen(area), "settings_saving_box");
    }
    return seen;
}

TEST_F(SettingsBoxes, SaveBroadcastsOnceWithEveryValueInPlace)
{
    FreshLoad();
    SystemAtBroadcast seen;
    broadcastLog.onBroadcast = [&] { seen = ReadSystemAtBroadcast(owner); };

    struct Round {
        bool ticked;
        int delay;
        int colours;
        int size;
        const char *delayText;
        const char *bppText;
        const char *sizeText;
    };
    const Round rounds[] = {
        {true, 2500, 0, 1, "2500", "4", "48"},
        {false, 0, 1, 0, "0", "16", "32"},
    };
    int broadcasts = 0;
    for (const Round &round : rounds) {
        SCOPED_TRACE(round.ticked ? "every box ticked" : "every box cleared");
        CheckOnly(round.ticked ? EveryCheckBox() : std::set<int>{});
        Send(IDC_MENU_SPEED, TBM_SETPOS, TRUE, round.delay);
        Send(IDC_ICON_COLORS, CB_SETCURSEL, round.colours);
        Send(IDC_ICON_SIZE, CB_SETCURSEL, round.size);
        seen = SystemAtBroadcast{};

        EXPECT_EQ(0, Save());

        ++broadcasts;
        EXPECT_EQ(broadcasts, broadcastLog.count);
        EXPECT_EQ(static_cast<WPARAM>(SPI_SETDRAGFULLWINDOWS), broadcastLog.lastAction);
        EXPECT_TRUE(seen.savingBoxPainted);
        ASSERT_EQ(FLAG_COUNT, seen.flags.size());
        for (size_t i = 0; i < FLAG_COUNT; ++i) {
            const DWORD expected = round.ticked != FLAGS[i].inverted ? 1 : 0;
            EXPECT_EQ(static_cast<DWORD>(REG_BINARY), seen.flags[i].type) << FLAGS[i].value;
            EXPECT_EQ(FlagBytes(expected), seen.flags[i].data) << FLAGS[i].value;
        }
        EXPECT_EQ(round.delayText, seen.menuShowDelay.Text());
        EXPECT_EQ(round.bppText, seen.shellIconBpp.Text());
        EXPECT_EQ(round.sizeText, seen.shellIconSize.Text());
        ASSERT_FALSE(seen.parameters.empty());
        for (BOOL value : seen.parameters)
            EXPECT_EQ(round.ticked ? TRUE : FALSE, value);
    }
}

TEST_F(SettingsBoxes, SavedParametersReadBackInAFreshProcess)
{
    // One parameter for each way a value is passed.
    const std::set<int> probed = {IDC_MENU_ANIMATION, IDC_FONT_SMOOTHING, IDC_WINDOW_ANIMATION,
                                  IDC_DRAG_FULL_WINDOWS};
    FreshLoad();
    for (BOOL ticked : {TRUE, FALSE}) {
        CheckOnly(ticked ? probed : std::set<int>{});
        EXPECT_EQ(0, Save());
        for (const Parameter &parameter : PARAMETERS) {
            if (probed.count(parameter.checkBox) && PlatformKeeps(parameter)) {
                EXPECT_EQ(ticked, QueryInFreshProcess(parameter.getAction))
                    << parameter.name << (ticked ? " ticked" : " cleared");
            }
        }
    }
}

} // namespace

// test_settings_load.cpp - the Loading box, run over a real General page
// against the real registry and system parameters.
#include "test_settings_fixture.h"

#include "settings/general_page_check_boxes.h"

#include <climits>

namespace {

using namespace settings_test;

TEST_F(SettingsBoxes, CheckBoxTableFollowsThePageLayout)
{
    // The template's order is the order of the page's child windows.
    std::vector<int> inLayout;
    for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char className[32];
        GetClassNameA(child, className, sizeof(className));
        const LONG_PTR style = GetWindowLongPtrA(child, GWL_STYLE);
        if (lstrcmpiA(className, "Button") == 0 && (style & BS_TYPEMASK) == BS_AUTOCHECKBOX)
            inLayout.push_back(GetWindowControlId(child));
    }
    EXPECT_EQ(inLayout, std::vector<int>(GeneralPageCheckBoxes,
                                         GeneralPageCheckBoxes + GENERAL_PAGE_CHECK_BOX_COUNT));
}

TEST_F(SettingsBoxes, LoadWithEverythingAbsentAndOff)
{
    EXPECT_EQ(0, Load());

    EXPECT_EQ(std::set<int>{IDC_SAVE_WINDOW_SETTINGS}, CheckedBoxes());

    EXPECT_EQ(0, Send(IDC_MENU_SPEED, TBM_GETRANGEMIN));
    EXPECT_EQ(5000, Send(IDC_MENU_SPEED, TBM_GETRANGEMAX));
    EXPECT_EQ(400, Thumb());
    EXPECT_EQ(100, Send(IDC_MENU_SPEED, TBM_GETLINESIZE));
    EXPECT_EQ(1000, Send(IDC_MENU_SPEED, TBM_GETPAGESIZE));

    ASSERT_EQ(2, Send(IDC_ICON_COLORS, CB_GETCOUNT));
    EXPECT_EQ("16", Entry(IDC_ICON_COLORS, 0));
    EXPECT_EQ("All", Entry(IDC_ICON_COLORS, 1));
    EXPECT_EQ(CB_ERR, Selection(IDC_ICON_COLORS));

    ASSERT_EQ(3, Send(IDC_ICON_SIZE, CB_GETCOUNT));
    EXPECT_EQ("32", Entry(IDC_ICON_SIZE, 0));
    EXPECT_EQ("48", Entry(IDC_ICON_SIZE, 1));
    EXPECT_EQ("Custom", Entry(IDC_ICON_SIZE, 2));
    EXPECT_EQ(2, Selection(IDC_ICON_SIZE));

    ASSERT_EQ(49, Send(IDC_CUSTOM_ICON_SIZE, CB_GETCOUNT));
    for (int index = 0; index < 49; ++index)
        EXPECT_EQ(std::to_string(16 + index), Entry(IDC_CUSTOM_ICON_SIZE, index));
    EXPECT_TRUE(CustomListShown());
    EXPECT_EQ(CB_ERR, Selection(IDC_CUSTOM_ICON_SIZE));

    for (const Parameter &parameter : PARAMETERS)
        EXPECT_EQ(0, *parameter.field) << parameter.name;
    EXPECT_EQ(8u, settingsState.windowAnimation.cbSize);
    for (const Flag &flag : FLAGS)
        EXPECT_EQ(0u, *flag.field) << flag.value;
    EXPECT_EQ(400, settingsState.menuShowDelay);
    EXPECT_EQ(0, settingsState.shellIconBpp);
    EXPECT_EQ(0, settingsState.shellIconSize);

    SaveScreenshot(CaptureWindow(owner), "settings_loaded_absent");
}

TEST_F(SettingsBoxes, LoadWithEverythingOn)
{
    for (const Parameter &parameter : PARAMETERS)
        SetParameter(parameter, TRUE);
    for (const Flag &flag : FLAGS)
        WriteBinary(flag.key, flag.value, FlagBytes(1));
    RegWriteStringForTest(DESKTOP, "MenuShowDelay", "1200");
    RegWriteStringForTest(METRICS, "Shell Icon BPP", "4");
    RegWriteStringForTest(METRICS, "Shell Icon Size", "48");
    FreshLoad();

    std::set<int> expected;
    for (const Parameter &parameter : PARAMETERS) {
        if (PlatformKeeps(parameter))
            expected.insert(parameter.checkBox);
    }
    for (const Flag &flag : FLAGS) {
        if (!flag.inverted)
            expected.insert(flag.checkBox);
    }
    EXPECT_EQ(expected, CheckedBoxes());

    EXPECT_EQ(1200, Thumb());
    EXPECT_EQ(0, Selection(IDC_ICON_COLORS));
    EXPECT_EQ(1, Selection(IDC_ICON_SIZE));
    EXPECT_FALSE(CustomListShown());
    EXPECT_EQ("48", Entry(IDC_CUSTOM_ICON_SIZE, Selection(IDC_CUSTOM_ICON_SIZE)));

    for (const Parameter &parameter : PARAMETERS) {
        if (PlatformKeeps(parameter)) {
            EXPECT_NE(0, *parameter.field) << parameter.name;
        }
    }
    for (const Flag &flag : FLAGS)
        EXPECT_EQ(1u, *flag.field) << flag.value;
    EXPECT_EQ(1200, settingsState.menuShowDelay);
    EXPECT_EQ(4, settingsState.shellIconBpp);
    EXPECT_EQ(48, settingsState.shellIconSize);

    SaveScreenshot(CaptureWindow(owner), "settings_loaded_on");
}

// Wine keeps no window animation, so the arguments of every read are taken
// off the calls themselves: the get actions in the page's layout order, each
// into its own field, the animation with its size in uiParam and in cbSize.
TEST_F(SettingsBoxes, LoadReadsEveryParameterWithTheExactCall)
{
    SystemParameterRecorder recorder;
    ASSERT_TRUE(recorder.Installed());
    FreshLoad();

    // Action numbers as Windows documents them; no field for the animation.
    const struct {
        UINT action;
        BOOL *field;
    } reads[] = {
        {4098, &settingsState.menuAnimation},        {4106, &settingsState.menuUnderlines},
        {4100, &settingsState.comboBoxAnimation},    {4102, &settingsState.listBoxSmoothScrolling},
        {4104, &settingsState.gradientCaptions},     {72, nullptr},
        {4096, &settingsState.activeWindowTracking}, {4108, &settingsState.activeWindowTrackZOrder},
        {4110, &settingsState.hotTracking},          {74, &settingsState.fontSmoothing},
        {38, &settingsState.dragFullWindows},
    };
    const UINT ANIMATION_INFO_BYTES = 8;
    std::vector<SystemParameterCall> expected;
    for (const auto &read : reads) {
        if (read.field) {
            expected.push_back({read.action, 0, read.field, 0, 0, 0});
        } else {
            expected.push_back({read.action, ANIMATION_INFO_BYTES, &settingsState.windowAnimation, 0,
                                ANIMATION_INFO_BYTES, 0});
        }
    }
    EXPECT_EQ(DescribeCalls(expected), DescribeCalls(recorder.Calls()));
}

TEST_F(SettingsBoxes, EachSettingChecksItsOwnBox)
{
    for (int round = 0; round < SETTING_ROUNDS; ++round) {
        SCOPED_TRACE(testing::Message() << "round " << round);
        ClearSettings();
        for (size_t i = 0; i < PARAMETER_COUNT; ++i)
            SetParameter(PARAMETERS[i], OnInRound(i, round));
        for (size_t i = 0; i < FLAG_COUNT; ++i) {
            if (OnInRound(PARAMETER_COUNT + i, round))
                WriteBinary(FLAGS[i].key, FLAGS[i].value, FlagBytes(1));
        }
        FreshLoad();

        for (size_t i = 0; i < PARAMETER_COUNT; ++i) {
            if (!PlatformKeeps(PARAMETERS[i]))
                continue;
            EXPECT_EQ(OnInRound(i, round), Checked(PARAMETERS[i].checkBox)) << PARAMETERS[i].name;
            EXPECT_EQ(OnInRound(i, round), *PARAMETERS[i].field != 0) << PARAMETERS[i].name;
        }
        for (size_t i = 0; i < FLAG_COUNT; ++i) {
            const bool on = OnInRound(PARAMETER_COUNT + i, round);
            EXPECT_EQ(on != FLAGS[i].inverted, Checked(FLAGS[i].checkBox)) << FLAGS[i].value;
            EXPECT_EQ(on ? 1u : 0u, *FLAGS[i].field) << FLAGS[i].value;
        }
    }
}

TEST_F(SettingsBoxes, PolicyFlagsReadInAnyEncodingAndAreRewrittenAsFourBytes)
{
    const DWORD one = 1;
    RegWriteForTest(POLICY, "NoFavoritesMenu", REG_DWORD, &one, sizeof(one));
    WriteBinary(POLICY, "NoRecentDocsMenu", {0x01});
    WriteBinary(POLICY, "NoFind", {0x00, 0x01, 0x00, 0x00});
    // Read one after the other into the same buffer: the short value must
    // not pick up the top byte of the one before it.
    WriteBinary(POLICY, "NoLogoff", {0x00, 0x00, 0x00, 0x01});
    WriteBinary(POLICY, "NoChangeStartMenu", {0x00, 0x00});
    // Longer than the read buffer: reads as absent, whatever its first bytes.
    std::vector<BYTE> oversized(1100, 0x00);
    oversized[0] = 0x01;
    WriteBinary(POLICY, "NoRun", oversized);
    RegWriteForTest(POLICY, "NoSaveSettings", REG_DWORD, &one, sizeof(one));
    FreshLoad();

    EXPECT_TRUE(Checked(IDC_REMOVE_FAVORITES_MENU));
    EXPECT_TRUE(Checked(IDC_REMOVE_DOCUMENTS_MENU));
    EXPECT_TRUE(Checked(IDC_REMOVE_FIND_MENU));
    EXPECT_TRUE(Checked(IDC_REMOVE_LOGOFF_MENU));
    EXPECT_FALSE(Checked(IDC_NO_CHANGE_START_MENU));
    EXPECT_FALSE(Checked(IDC_REMOVE_RUN_MENU));
    EXPECT_FALSE(Checked(IDC_SAVE_WINDOW_SETTINGS));
    EXPECT_EQ(1u, settingsState.noFavoritesMenu);
    EXPECT_EQ(1u, settingsState.noRecentDocsMenu);
    EXPECT_EQ(0x100u, settingsState.noFind);
    EXPECT_EQ(0u, settingsState.noRun);
    EXPECT_EQ(0x01000000u, settingsState.noLogoff);
    EXPECT_EQ(0u, settingsState.noChangeStartMenu);

    // The next save writes each as four bytes of REG_BINARY.
    EXPECT_EQ(0, Save());
    const DWORD expected[] = {0, 1, 1, 1, 1, 0, 1, 0}; // in the order of FLAGS
    for (size_t i = 0; i < FLAG_COUNT; ++i)
        ExpectFlagStored(FLAGS[i], expected[i]);
    EXPECT_EQ(1u, settingsState.noFind);
}

struct StoredText {
    const char *description;
    std::function<void()> store;
};

TEST_F(SettingsBoxes, MenuDelayLoadsFromItsText)
{
    struct Case {
        StoredText stored;
        LONG delay;
        LRESULT thumb;
    };
    // One digit more in memory than is written, so that no zero follows the
    // 1024 bytes for the registry to store with them.
    const std::string digits1024(1025, '9');
    const Case cases[] = {
        {{"absent", [] {}}, 400, 400},
        {{"no digits", [] { RegWriteStringForTest(DESKTOP, "MenuShowDelay", "fast"); }}, 0, 0},
        {{"leading blanks", [] { RegWriteStringForTest(DESKTOP, "MenuShowDelay", " \t 250"); }},
         250, 250},
        {{"above 5000", [] { RegWriteStringForTest(DESKTOP, "MenuShowDelay", "6000"); }}, 6000, 5000},
        {{"negative", [] { RegWriteStringForTest(DESKTOP, "MenuShowDelay", "-5"); }}, -5, 0},
        {{"1024 digits, no terminator",
          [&] { RegWriteForTest(DESKTOP, "MenuShowDelay", REG_SZ, digits1024.data(), 1024); }},
         LONG_MAX, 5000},
        {{"more digits than 32 bits",
          [] { RegWriteStringForTest(DESKTOP, "MenuShowDelay", "4294967696"); }},
         LONG_MAX, 5000},
        {{"longer than the buffer", [] { WriteOversizedText(DESKTOP, "MenuShowDelay", "250"); }},
         400, 400},
    };
    for (const Case &c : cases) {
        ClearSettings();
        c.stored.store();
        FreshLoad();
        EXPECT_EQ(c.delay, settingsState.menuShowDelay) << c.stored.description;
        EXPECT_EQ(c.thumb, Thumb()) << c.stored.description;
    }
}

TEST_F(SettingsBoxes, MenuDelayLoadsAsDefaultWithoutItsKey)
{
    RegWriteStringForTest(DESKTOP, "MenuShowDelay", "250");
    KeyMovedAside desktopAside(DESKTOP);
    ASSERT_TRUE(desktopAside.Moved());
    ASSERT_FALSE(RegKeyExists(DESKTOP));
    FreshLoad();
    EXPECT_EQ(400, settingsState.menuShowDelay);
    EXPECT_EQ(400, Thumb());
    EXPECT_EQ(0u, settingsState.smoothScroll);
}

TEST_F(SettingsBoxes, IconColoursLoadFromTheStoredDepth)
{
    struct Case {
        StoredText stored;
        LONG depth;
        LRESULT selection;
    };
    const Case cases[] = {
        {{"4", [] { RegWriteStringForTest(METRICS, "Shell Icon BPP", "4"); }}, 4, 0},
        {{"16", [] { RegWriteStringForTest(METRICS, "Shell Icon BPP", "16"); }}, 16, 1},
        {{"32", [] { RegWriteStringForTest(METRICS, "Shell Icon BPP", "32"); }}, 32, CB_ERR},
        {{"absent", [] {}}, 0, CB_ERR},
        {{"longer than the buffer", [] { WriteOversizedText(METRICS, "Shell Icon BPP", "16"); }},
         0, CB_ERR},
    };
    for (const Case &c : cases) {
        ClearSettings();
        c.stored.store();
        FreshLoad();
        EXPECT_EQ(c.depth, settingsState.shellIconBpp) << c.stored.description;
        EXPECT_EQ(c.selection, Selection(IDC_ICON_COLORS)) << c.stored.description;
    }
}

TEST_F(SettingsBoxes, IconSizeLoadsFromTheStoredSize)
{
    struct Case {
        StoredText stored;
        LONG size;
        LRESULT selection;
        bool customShown;
        const char *customEntry; // null: no entry selected
    };
    const Case cases[] = {
        {{"32", [] { RegWriteStringForTest(METRICS, "Shell Icon Size", "32"); }}, 32, 0, false, "32"},
        {{"48", [] { RegWriteStringForTest(METRICS, "Shell Icon Size", "48"); }}, 48, 1, false, "48"},
        {{"16", [] { RegWriteStringForTest(METRICS, "Shell Icon Size", "16"); }}, 16, 2, true, "16"},
        {{"64", [] { RegWriteStringForTest(METRICS, "Shell Icon Size", "64"); }}, 64, 2, true, "64"},
        {{"40", [] { RegWriteStringForTest(METRICS, "Shell Icon Size", "40"); }}, 40, 2, true, "40"},
        {{"70", [] { RegWriteStringForTest(METRICS, "Shell Icon Size", "70"); }}, 70, 2, true, nullptr},
        {{"absent", [] {}}, 0, 2, true, nullptr},
        {{"longer than the buffer", [] { WriteOversizedText(METRICS, "Shell Icon Size", "48"); }},
         0, 2, true, nullptr},
    };
    for (const Case &c : cases) {
        ClearSettings();
        c.stored.store();
        FreshLoad();
        EXPECT_EQ(c.size, settingsState.shellIconSize) << c.stored.description;
        EXPECT_EQ(c.selection, Selection(IDC_ICON_SIZE)) << c.stored.description;
        EXPECT_EQ(c.customShown, CustomListShown()) << c.stored.description;
        const LRESULT custom = Selection(IDC_CUSTOM_ICON_SIZE);
        if (c.customEntry) {
            EXPECT_EQ(c.customEntry, Entry(IDC_CUSTOM_ICON_SIZE, custom)) << c.stored.description;
        } else {
            EXPECT_EQ(CB_ERR, custom) << c.stored.description;
        }
    }
}

} // namespace

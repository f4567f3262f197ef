// test_general_page.cpp - the General page with its real neighbours: the
// Loading and Saving boxes, hover buttons, the tooltip popup, hover check
// boxes; and the link label.
#include "support/import_patch.h"
#include "support/test_support.h"

#include "controls/hover_button.h"
#include "controls/hover_check_box.h"
#include "controls/link_label.h"
#include "platform/window_long.h"
#include "resource.h"
#include "settings/general_page.h"
#include "settings/general_page_check_boxes.h"
#include "settings/loading_box.h"
#include "settings/saving_box.h"
#include "settings/settings_state.h"
#include "tooltips/tooltips.h"
#include "tooltips/tooltip_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>

namespace {

using namespace test_keys;


const char HOST_CLASS[] = "DialvaneGeneralPageTestHost";

// The six controls of the page that show tips besides its check boxes.
const int OTHER_TIP_CONTROLS[] = {IDC_MENU_SPEED, IDC_MENU_SPEED_DEFAULT, IDC_ICON_COLORS,
                                  IDC_ICON_SIZE, IDC_CUSTOM_ICON_SIZE, IDC_RESTORE_START_MENU_ORDER};

// The hot check box's own timer: its id and period.
const UINT_PTR CHECK_BOX_TIMER_ID = 12345;
const UINT CHECK_BOX_TIMER_PERIOD_MS = 100;

// Ticks the tooltip popup ignores before it tries to show a tip.
const int TICKS_BEFORE_TIP = 6;

void RegisterClassesOnce()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    ASSERT_TRUE(RegisterHoverButtonClass(settingsState.instance));
    ASSERT_TRUE(RegisterTooltipWindowClass(settingsState.instance));

    WNDCLASSA host = {};
    host.lpfnWndProc = DefWindowProcA;
    host.hInstance = settingsState.instance;
    host.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    host.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    host.lpszClassName = HOST_CLASS;
    ASSERT_TRUE(RegisterClassA(&host));
}

// Records which procedure each check box had when its innermost procedure
// saw WM_DESTROY: installed under every other subclass by a CBT hook, before
// the page dresses its controls.
std::map<HWND, WNDPROC> innermostProc;
std::map<HWND, WNDPROC> procAtDestroy;
std::map<HWND, bool> registeredAtDestroy;
HHOOK creationHook;

LRESULT CALLBACK InnermostSpyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC original = innermostProc[window];
    if (message == WM_DESTROY) {
        procAtDestroy[window] = GetWindowProc(window);
        registeredAtDestroy[window] = FindTooltip(window) != nullptr;
    }
    return CallWindowProcA(original, window, message, wParam, lParam);
}

LRESULT CALLBACK SpyOnButtons(int code, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = CallNextHookEx(creationHook, code, wParam, lParam);
    if (code == HCBT_CREATEWND) {
        // Subclass after creation has finished, from the first message the
        // page sends itself; here the window procedure is already in place.
        HWND window = reinterpret_cast<HWND>(wParam);
        char className[32];
        GetClassNameA(window, className, sizeof(className));
        if (lstrcmpiA(className, "Button") == 0 || lstrcmpiA(className, "Static") == 0)
            innermostProc[window] = SetWindowProc(window, InnermostSpyProc);
    }
    return result;
}

class GeneralPageTest : public testing::Test {
protected:
    RegistrySandbox sandbox{{DESKTOP, METRICS, POLICIES, MENU_ORDER_PARENT}};
    HWND host = nullptr;
    HWND page = nullptr;

    void SetUp() override
    {
        RegisterClassesOnce();
        ASSERT_EQ(1, CreateTooltipWindow());
        host = CreateWindowExA(0, HOST_CLASS, "General page test", WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE,
                               40, 40, 640, 480, nullptr, nullptr, settingsState.instance, nullptr);
        ASSERT_TRUE(host);
    }

    void TearDown() override
    {
        if (host)
            DestroyWindow(host);
        DestroyTooltipWindow();
        hotCheckBox = nullptr;
        hotActive = FALSE;
        ParkCursor();
        PumpPendingMessages();
    }

    // Creates the page inside the host, shows it and loads every setting
    // into it with the real Loading box.
    void CreateAndLoadPage()
    {
        page = CreateDialogParamA(settingsState.instance, MAKEINTRESOURCEA(IDD_GENERAL_PAGE), host,
                                  GeneralPageProc, 0);
        ASSERT_TRUE(page);
        settingsState.pages[PAGE_GENERAL] = page;
        SetWindowPos(page, nullptr, 8, 8, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        ShowWindow(page, SW_SHOW);
        DialogBoxParamA(settingsState.instance, MAKEINTRESOURCEA(IDD_LOADING), host, LoadingBoxProc, 0);
        UpdateWindow(host);
        PumpPendingMessages();
    }

    void Save()
    {
        DialogBoxParamA(settingsState.instance, MAKEINTRESOURCEA(IDD_SAVING), host, SavingBoxProc, 0);
    }

    HWND Item(int id) const { return GetDlgItem(page, id); }

    // A user's click on a hover button: press and release inside it.
    void ClickHoverButton(int id)
    {
        HWND button = Item(id);
        SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    }

    // A user's choice in "Icon size:": the selection, then its notification.
    void ChooseIconSize(int index, WORD notification = CBN_SELCHANGE)
    {
        SendMessageA(Item(IDC_ICON_SIZE), CB_SETCURSEL, index, 0);
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_ICON_SIZE, notification),
                     reinterpret_cast<LPARAM>(Item(IDC_ICON_SIZE)));
    }

    LRESULT CustomListSelection() const
    {
        return SendMessageA(GetDlgItem(page, IDC_CUSTOM_ICON_SIZE), CB_GETCURSEL, 0, 0);
    }
    bool CustomListVisible() const { return IsWindowVisible(GetDlgItem(page, IDC_CUSTOM_ICON_SIZE)) != FALSE; }

    RECT ScreenRectOf(HWND control) const
    {
        RECT r;
        GetWindowRect(control, &r);
        return r;
    }
};

TEST_F(GeneralPageTest, SubclassChainsRunHoverThenTooltipThenButtonAndUnhookOnDestroy)
{
    innermostProc.clear();
    procAtDestroy.clear();
    registeredAtDestroy.clear();
    creationHook = SetWindowsHookExA(WH_CBT, SpyOnButtons, nullptr, GetCurrentThreadId());
    CreateAndLoadPage();
    UnhookWindowsHookEx(creationHook);

    for (int id : GeneralPageCheckBoxes) {
        HWND box = Item(id);
        SCOPED_TRACE(id);
        ASSERT_TRUE(innermostProc.count(box));
        EXPECT_EQ(reinterpret_cast<WNDPROC>(HoverCheckBoxProc), GetWindowProc(box));
        EXPECT_EQ(reinterpret_cast<LONG_PTR>(TooltipSubclassProc), GetWindowUserData(box));
        const TooltipEntry *entry = FindTooltip(box);
        ASSERT_TRUE(entry);
        EXPECT_EQ(reinterpret_cast<WNDPROC>(InnermostSpyProc), entry->previousProc);
        EXPECT_EQ(TTK_STRING_RESOURCE, entry->kind);
    }

    std::vector<HWND> boxes;
    for (int id : GeneralPageCheckBoxes)
        boxes.push_back(Item(id));
    DestroyWindow(page);
    page = nullptr;

    for (HWND box : boxes) {
        ASSERT_TRUE(procAtDestroy.count(box));
        // Both subclass procedures had put back what they replaced before
        // the innermost procedure saw WM_DESTROY.
        EXPECT_EQ(reinterpret_cast<WNDPROC>(InnermostSpyProc), procAtDestroy[box]);
        EXPECT_FALSE(registeredAtDestroy[box]);
    }
    EXPECT_EQ(0u, tooltipState.count);
}

TEST_F(GeneralPageTest, IconSizeChoicesMoveTheCustomList)
{
    struct Step {
        int customPick;       // index picked in the custom list first, or -1 for none
        int choice;           // index chosen in "Icon size:", or -1 for none
        bool listShown;
        LRESULT listSelection;
        WORD notification = CBN_SELCHANGE; // what "Icon size:" reports of the choice
    };
    struct Sequence {
        const char *stored;   // "Shell Icon Size" before the load; null: absent
        std::vector<Step> steps;
    };
    const int CHOOSE_32 = 0, CHOOSE_48 = 1, CHOOSE_CUSTOM = 2, NONE = -1;
    const int PICK_40 = 40 - 16;
    const std::vector<Sequence> sequences = {
        // 32, then "Custom" shows the list on 32; "48" hides it on 48.
        {"32", {{NONE, NONE, false, 32 - 16}, {NONE, CHOOSE_CUSTOM, true, 32 - 16},
                {NONE, CHOOSE_48, false, 48 - 16}}},
        // 40 loads as "Custom" on 40; "32" then "Custom" shows 32, not 40.
        // Only a change of selection counts: "Icon size:" gaining the focus
        // or dropping its list changes nothing.
        {"40", {{NONE, NONE, true, 40 - 16}, {NONE, CHOOSE_32, false, 32 - 16},
                {NONE, CHOOSE_CUSTOM, true, 32 - 16}, {NONE, CHOOSE_48, true, 32 - 16, CBN_SETFOCUS},
                {NONE, CHOOSE_32, true, 32 - 16, CBN_DROPDOWN}}},
        // A size the custom list does not offer: choosing "Custom" again
        // takes away whatever the user picked there, as the load left it.
        {"70", {{NONE, NONE, true, CB_ERR}, {PICK_40, CHOOSE_CUSTOM, true, CB_ERR},
                {NONE, CHOOSE_48, false, 48 - 16}}},
        {nullptr, {{NONE, NONE, true, CB_ERR}, {PICK_40, CHOOSE_CUSTOM, true, CB_ERR}}},
        // Clamped to the smallest 32-bit number.
        {"-99999999999", {{NONE, NONE, true, CB_ERR}, {PICK_40, CHOOSE_CUSTOM, true, CB_ERR}}},
    };
    for (const Sequence &sequence : sequences) {
        if (sequence.stored) {
            RegWriteStringForTest(METRICS, "Shell Icon Size", sequence.stored);
        } else {
            RegDeleteValueForTest(METRICS, "Shell Icon Size");
        }
        CreateAndLoadPage();
        for (const Step &step : sequence.steps) {
            SCOPED_TRACE(std::string("stored ") + (sequence.stored ? sequence.stored : "nothing") +
                         ", pick " + std::to_string(step.customPick) + ", choice " +
                         std::to_string(step.choice) + ", notification " + std::to_string(step.notification));
            if (step.customPick != NONE)
                SendMessageA(Item(IDC_CUSTOM_ICON_SIZE), CB_SETCURSEL, step.customPick, 0);
            if (step.choice != NONE)
                ChooseIconSize(step.choice, step.notification);
            EXPECT_EQ(step.listShown, CustomListVisible());
            EXPECT_EQ(step.listSelection, CustomListSelection());
        }
        DestroyWindow(page);
    }
}

TEST_F(GeneralPageTest, DefaultMovesTheSliderAndIsWrittenOnlyBySave)
{
    RegWriteStringForTest(DESKTOP, "MenuShowDelay", "4000");
    CreateAndLoadPage();
    ASSERT_EQ(4000, SendMessageA(Item(IDC_MENU_SPEED), TBM_GETPOS, 0, 0));

    ClickHoverButton(IDC_MENU_SPEED_DEFAULT);
    EXPECT_EQ(400, SendMessageA(Item(IDC_MENU_SPEED), TBM_GETPOS, 0, 0));
    EXPECT_EQ(400, settingsState.menuShowDelay);
    // The thumb moved on screen too, not only in the slider's records.
    EXPECT_TRUE(SliderThumbAtItsPosition(Item(IDC_MENU_SPEED)));
    // Cancel: the page goes away unsaved and the stored delay stays.
    EXPECT_EQ("4000", RegReadForTest(DESKTOP, "MenuShowDelay").Text());

    Save();
    EXPECT_EQ("400", RegReadForTest(DESKTOP, "MenuShowDelay").Text());
}

TEST_F(GeneralPageTest, RestoreStartMenuOrderDeletesOnlyTheOrderAndNeverCreatesTheKey)
{
    const BYTE order[] = {1, 2, 3, 4};
    RegWriteForTest(MENU_ORDER, "Order", REG_BINARY, order, sizeof(order));
    RegWriteStringForTest(MENU_ORDER, "Other", "kept");
    CreateAndLoadPage();

    ClickHoverButton(IDC_RESTORE_START_MENU_ORDER);
    EXPECT_FALSE(RegReadForTest(MENU_ORDER, "Order").found);
    EXPECT_EQ("kept", RegReadForTest(MENU_ORDER, "Other").Text());

    // A second press finds nothing to delete and changes nothing.
    ClickHoverButton(IDC_RESTORE_START_MENU_ORDER);
    EXPECT_FALSE(RegReadForTest(MENU_ORDER, "Order").found);
    EXPECT_EQ("kept", RegReadForTest(MENU_ORDER, "Other").Text());

    RegDeleteTreeForTest(MENU_ORDER_PARENT);
    ClickHoverButton(IDC_RESTORE_START_MENU_ORDER);
    EXPECT_FALSE(RegKeyExists(MENU_ORDER));
    EXPECT_FALSE(RegKeyExists(MENU_ORDER_PARENT));
}

TEST_F(GeneralPageTest, EveryControlShowsItsOwnStringAsTip)
{
    RegWriteStringForTest(METRICS, "Shell Icon Size", "40"); // shows the custom list
    CreateAndLoadPage();
    ASSERT_TRUE(CustomListVisible());

    std::vector<int> ids(std::begin(GeneralPageCheckBoxes), std::end(GeneralPageCheckBoxes));
    ids.insert(ids.end(), std::begin(OTHER_TIP_CONTROLS), std::end(OTHER_TIP_CONTROLS));
    ASSERT_EQ(25u, ids.size());

    std::set<HWND> seen;
    for (int id : ids) {
        SCOPED_TRACE(id);
        HWND control = Item(id);
        // A key in the control ends whatever tip the last one had, so that
        // the popup does not cover the control under the cursor.
        SendMessageA(control, WM_KEYUP, VK_SHIFT, 0);
        const RECT r = ScreenRectOf(control);
        MoveCursorTo((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        ASSERT_EQ(control, WindowFromPoint(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}));

        // A button-free move starts the delay and the sixth tick shows the tip.
        SendMessageA(control, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
        ASSERT_NE(0u, tooltipState.timer);
        for (int tick = 0; tick < TICKS_BEFORE_TIP; ++tick)
            SendMessageA(tooltipState.popup, WM_TIMER, 1, 0);

        ASSERT_TRUE(tooltipState.shown);
        EXPECT_EQ(control, tooltipState.current);
        EXPECT_TRUE(IsWindowVisible(tooltipState.popup));

        char expected[260] = "";
        ASSERT_GT(LoadStringA(settingsState.instance, id, expected, sizeof(expected)), 0);
        char shown[260] = "";
        ASSERT_EQ(1, GetTooltipText(FindTooltip(control), shown));
        EXPECT_STREQ(expected, shown);
        seen.insert(control);
    }
    EXPECT_EQ(25u, seen.size());
}

// --- Pixels ----------------------------------------------------------------

// A hot-tracking colour of its own for the hot check box tests, apart from
// the selection colour it equals in the classic scheme.
const int HOT_COLOUR_ELEMENT = COLOR_HOTLIGHT;
const COLORREF HOT_TEST_COLOUR = RGB(0x20, 0x90, 0x40);

class HotCheckBoxPixelTest : public GeneralPageTest {
protected:
    ScopedSysColors hotColour{{{HOT_COLOUR_ELEMENT, HOT_TEST_COLOUR}}};

    // Pixels of the hot-tracking colour in a control, as on screen now.
    int HotPixels(HWND control)
    {
        return CaptureClient(control).Count(GetSysColor(COLOR_HOTLIGHT));
    }

    // Pixels of the hot-tracking colour in a control as the screen shows it
    // this moment, without letting a queued paint run first.
    int HotPixelsShownNow(HWND control)
    {
        // Wine puts window drawing on screen when the thread next looks for
        // messages; a peek for one that never comes dispatches nothing.
        MSG none;
        PeekMessageA(&none, control, WM_APP + 0x3FFF, WM_APP + 0x3FFF, PM_NOREMOVE);
        return CaptureScreen(ScreenRectOf(control)).Count(GetSysColor(COLOR_HOTLIGHT));
    }

    void MoveOnto(HWND control)
    {
        const RECT r = ScreenRectOf(control);
        MoveCursorTo(r.left + 20, (r.top + r.bottom) / 2);
        // The move as the control sees it; the real cursor move may already
        // have delivered one, a second changes nothing.
        POINT client = {20, (r.bottom - r.top) / 2};
        SendMessageA(control, WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y));
    }
};

TEST_F(HotCheckBoxPixelTest, HotLabelFollowsTheMouseFromBoxToBoxAndEndsWithinATick)
{
    ASSERT_EQ(HOT_TEST_COLOUR, GetSysColor(COLOR_HOTLIGHT));
    CreateAndLoadPage();
    HWND a = Item(IDC_MENU_ANIMATION);
    HWND b = Item(IDC_MENU_UNDERLINES);
    ASSERT_EQ(0, HotPixels(a));

    MoveOnto(a);
    PumpPendingMessages();
    EXPECT_EQ(a, hotCheckBox);
    EXPECT_TRUE(hotActive);
    const ScreenImage hotA = CaptureClient(a);
    EXPECT_GT(hotA.Count(GetSysColor(COLOR_HOTLIGHT)), 10);
    EXPECT_GT(hotA.Count(GetSysColor(COLOR_BTNFACE)), hotA.width * hotA.height / 2);
    SaveScreenshot(CaptureWindow(page), "general_page_hot_check_box");

    // Straight onto B: A is repainted normal at once, inside B's mouse move,
    // before any paint message is pumped; B turns hot.
    const RECT bRect = ScreenRectOf(b);
    SendMessageA(b, WM_MOUSEMOVE, 0, MAKELPARAM(20, (bRect.bottom - bRect.top) / 2));
    EXPECT_EQ(b, hotCheckBox);
    EXPECT_EQ(0, HotPixelsShownNow(a)) << "A stays hot until a later paint";
    MoveOnto(b);
    PumpPendingMessages();
    EXPECT_EQ(0, HotPixels(a));
    EXPECT_GT(HotPixels(b), 10);

    // The mouse leaves for the page background: B's next tick ends it.
    const RECT pageRect = ScreenRectOf(page);
    MoveCursorTo(pageRect.right - 5, pageRect.bottom - 5);
    SendMessageA(b, WM_TIMER, HOT_CHECK_BOX_TIMER_ID, 0);
    EXPECT_FALSE(hotActive);
    EXPECT_EQ(nullptr, hotCheckBox);
    EXPECT_EQ(0, HotPixels(b));
}

TEST_F(HotCheckBoxPixelTest, OuterLeftColumnAndTopRowCountAsOutsideForTheTimer)
{
    CreateAndLoadPage();
    HWND a = Item(IDC_HOT_TRACKING);
    const RECT r = ScreenRectOf(a);
    const int middleX = (r.left + r.right) / 2, middleY = (r.top + r.bottom) / 2;

    // A move on the outermost column makes the box hot, the next tick ends it.
    MoveCursorTo(r.left, middleY);
    SendMessageA(a, WM_MOUSEMOVE, 0, MAKELPARAM(0, middleY - r.top));
    ASSERT_TRUE(hotActive);
    SendMessageA(a, WM_TIMER, HOT_CHECK_BOX_TIMER_ID, 0);
    EXPECT_FALSE(hotActive);

    MoveCursorTo(middleX, r.top);
    SendMessageA(a, WM_MOUSEMOVE, 0, MAKELPARAM(middleX - r.left, 0));
    ASSERT_TRUE(hotActive);
    SendMessageA(a, WM_TIMER, HOT_CHECK_BOX_TIMER_ID, 0);
    EXPECT_FALSE(hotActive) << "the top row is outside too";

    // One pixel in from both edges is inside; a move with a button held
    // counts like any other.
    MoveCursorTo(r.left + 1, r.top + 1);
    SendMessageA(a, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(1, 1));
    ASSERT_TRUE(hotActive);
    SendMessageA(a, WM_TIMER, HOT_CHECK_BOX_TIMER_ID, 0);
    EXPECT_TRUE(hotActive);
    EXPECT_EQ(a, hotCheckBox);
}

TEST_F(HotCheckBoxPixelTest, OnlyTheHotCheckBoxGetsTheHotColours)
{
    CreateAndLoadPage();
    HWND a = Item(IDC_FONT_SMOOTHING);
    MoveOnto(a);
    HDC dc = GetDC(a);
    EXPECT_EQ(reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE)),
              SendMessageA(page, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(a)));
    EXPECT_EQ(GetSysColor(COLOR_HOTLIGHT), GetTextColor(dc));
    ReleaseDC(a, dc);

    // Any other check box gets the dialog's default colours: the page answers 0.
    HWND other = Item(IDC_DRAG_FULL_WINDOWS);
    dc = GetDC(other);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    EXPECT_EQ(0, GeneralPageProc(page, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                 reinterpret_cast<LPARAM>(other)));
    SendMessageA(page, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(other));
    EXPECT_NE(GetSysColor(COLOR_HOTLIGHT), GetTextColor(dc));
    ReleaseDC(other, dc);
    EXPECT_EQ(0, CaptureClient(other).Count(GetSysColor(COLOR_HOTLIGHT)));

    // And so does the hot one once its hot state has ended.
    ParkCursor();
    SendMessageA(a, WM_TIMER, HOT_CHECK_BOX_TIMER_ID, 0);
    dc = GetDC(a);
    EXPECT_EQ(0, GeneralPageProc(page, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                 reinterpret_cast<LPARAM>(a)));
    ReleaseDC(a, dc);
}

TEST_F(HotCheckBoxPixelTest, OnlyTheHotBoxRunsTheHoverTimerUntilItEndsOrIsDestroyed)
{
    CreateAndLoadPage();
    HWND a = Item(IDC_MENU_ANIMATION);
    HWND b = Item(IDC_MENU_UNDERLINES);
    TimerCallRecorder recorder;
    ASSERT_TRUE(recorder.Installed());
    // The check boxes' timer calls; the tooltip popup's timer runs on the popup.
    auto checkBoxTimers = [&] {
        std::vector<TimerCall> calls;
        for (const TimerCall &call : recorder.Calls())
            if (call.window == a || call.window == b || call.id == CHECK_BOX_TIMER_ID)
                calls.push_back(call);
        recorder.Clear();
        return calls;
    };
    const TimerCall startA = {true, a, CHECK_BOX_TIMER_ID, CHECK_BOX_TIMER_PERIOD_MS};
    const TimerCall startB = {true, b, CHECK_BOX_TIMER_ID, CHECK_BOX_TIMER_PERIOD_MS};
    const TimerCall stopA = {false, a, CHECK_BOX_TIMER_ID, 0};
    const TimerCall stopB = {false, b, CHECK_BOX_TIMER_ID, 0};

    MoveOnto(a);
    EXPECT_EQ(std::vector<TimerCall>{startA}, checkBoxTimers());
    // Straight onto B: A's timer stops before B's starts.
    MoveOnto(b);
    EXPECT_EQ((std::vector<TimerCall>{stopA, startB}), checkBoxTimers());
    // The mouse leaves: B's tick stops B's timer.
    ParkCursor();
    SendMessageA(b, WM_TIMER, HOT_CHECK_BOX_TIMER_ID, 0);
    EXPECT_EQ(std::vector<TimerCall>{stopB}, checkBoxTimers());

    // B hot again, then destroyed: its timer stops with it.
    MoveOnto(b);
    EXPECT_EQ(std::vector<TimerCall>{startB}, checkBoxTimers());
    DestroyWindow(b);
    EXPECT_EQ(std::vector<TimerCall>{stopB}, checkBoxTimers());
    EXPECT_FALSE(hotActive);
}

// --- Link label --------------------------------------------------------------

TEST_F(GeneralPageTest, LinkLabelIsPureBlueUnderlinedWithTheHandCursor)
{
    // The main dialog's label: a SS_NOTIFY static in the dialog's font.
    HWND label = CreateWindowExA(0, "Static", HOMEPAGE_LINK_CAPTION,
                                 WS_CHILD | WS_VISIBLE | SS_NOTIFY | SS_LEFTNOWORDWRAP, 20, 200, 240, 14,
                                 host, reinterpret_cast<HMENU>(IDC_HOMEPAGE_LINK), settingsState.instance, nullptr);
    ASSERT_TRUE(label);
    SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    WNDPROC staticProc = GetWindowProc(label);
    InstallLinkLabel(label);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(LinkLabelProc), GetWindowProc(label));
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(staticProc), GetWindowUserData(label));

    InvalidateRect(host, nullptr, TRUE);
    UpdateWindow(host);
    const ScreenImage image = CaptureClient(label);
    SaveScreenshot(image, "link_label");
    const COLORREF blue = RGB(0, 0, 255);
    RECT textRows = {0, 0, image.width, image.height - 1};
    EXPECT_GT(image.Count(blue, textRows), 20) << "text drawn in pure blue";
    RECT lastRow = {0, image.height - 1, image.width, image.height};
    EXPECT_EQ(image.width, image.Count(blue, lastRow)) << "underline along the whole last row";
    // Transparent: what is not text is the host's background.
    EXPECT_GT(image.Count(GetSysColor(COLOR_BTNFACE)), image.width * image.height / 2);
    // Above the underline: the caption as plain text output at the label's
    // top-left corner, in its font, on the host's background.
    const ScreenImage plainText = DrawToImage(image.width, image.height, [&](HDC dc) {
        RECT all = {0, 0, image.width, image.height};
        FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, blue);
        HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        TextOutA(dc, 0, 0, HOMEPAGE_LINK_CAPTION, lstrlenA(HOMEPAGE_LINK_CAPTION));
        SelectObject(dc, oldFont);
    });
    int unlike = 0;
    for (int y = 0; y < image.height - 1; ++y)
        for (int x = 0; x < image.width; ++x)
            unlike += image.At(x, y) != plainText.At(x, y);
    EXPECT_EQ(0, unlike) << "text pixels unlike the caption drawn at the label's corner";

    RECT r;
    GetWindowRect(label, &r);
    MoveCursorTo(r.left + 5, r.top + 5);
    SendMessageA(label, WM_SETCURSOR, reinterpret_cast<WPARAM>(label), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    HCURSOR hand = LoadCursorA(settingsState.instance, MAKEINTRESOURCEA(IDC_HAND_CURSOR));
    ASSERT_TRUE(hand);
    EXPECT_EQ(hand, GetCursor());
    EXPECT_NE(LoadCursorA(nullptr, IDC_ARROW), GetCursor());

    // Of a longer text the label draws the first KEPT_CHARACTERS only: here
    // all but one of them spaces, then the first "W" of a row of them.
    const int KEPT_CHARACTERS = 99;
    const std::string longText = std::string(KEPT_CHARACTERS - 1, ' ') + std::string(30, 'W');
    SetWindowPos(label, nullptr, 0, 0, 560, 14, SWP_NOMOVE | SWP_NOZORDER);
    SetWindowTextA(label, longText.c_str());
    HDC dc = GetDC(label);
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SIZE kept = {}, oneW = {};
    GetTextExtentPoint32A(dc, longText.c_str(), KEPT_CHARACTERS, &kept);
    GetTextExtentPoint32A(dc, "W", 1, &oneW);
    SelectObject(dc, oldFont);
    ReleaseDC(label, dc);
    RedrawWindow(host, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const ScreenImage cut = CaptureClient(label);
    SaveScreenshot(cut, "link_label_long_text");
    ASSERT_LT(kept.cx + oneW.cx, cut.width);
    int textPixels = 0, rightmost = -1;
    for (int y = 0; y < cut.height - 1; ++y)
        for (int x = 0; x < cut.width; ++x)
            if (cut.At(x, y) == blue) {
                ++textPixels;
                rightmost = std::max(rightmost, x);
            }
    EXPECT_GT(textPixels, 0) << "the last character kept is not drawn";
    EXPECT_LT(rightmost, kept.cx + oneW.cx / 2) << "a character beyond the kept ones is drawn";

    // Painting it many times leaves no GDI object behind.
    GdiLeakProbe probe([&] {
        InvalidateRect(label, nullptr, FALSE);
        UpdateWindow(label);
    });
    const int paints = 1500;
    probe.Run(paints);
    EXPECT_TRUE(probe.Sensitive()) << "the probe cannot see a leak of one object a paint";
    EXPECT_EQ(0, probe.Leaked()) << "GDI objects leaked over " << paints << " paints";

    DestroyWindow(label);
}

} // namespace

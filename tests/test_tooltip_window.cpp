// test_tooltip_window.cpp - the popup's tick machine: the delay, hiding on
// input, placement by kind, keeping the tip on the desktop, the fit test and
// moving between controls and list items.
#include "tooltip_fixture.h"

#include "platform/window_long.h"
#include "resource.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

const int IGNORED_TICKS = 5;

// The control's "own" procedure: records the mouse-button messages it gets.
struct ClickRecord {
    WNDPROC staticProc = nullptr;
    int clicks = 0;
    UINT message = 0;
    LPARAM lParam = 0;
};
ClickRecord clickRecord;

LRESULT CALLBACK RecordClicks(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN) {
        ++clickRecord.clicks;
        clickRecord.message = message;
        clickRecord.lParam = lParam;
    }
    return CallWindowProcA(clickRecord.staticProc, window, message, wParam, lParam);
}

// --- Message sequences -------------------------------------------------------
// What the popup and the control's own procedure (installed before the
// control is registered, so it runs after the tooltip subclass) receive, in
// order, compared step by step with expected tables.

enum SequenceFlags {
    TO_POPUP = 0x1,     // received by the popup; otherwise by the control's own procedure
    CHECK_WPARAM = 0x2, // wParam must match
    CHECK_LPARAM = 0x4, // lParam must match
};

struct SequenceEntry {
    UINT message;
    UINT flags;
    WPARAM wParam;
    LPARAM lParam;
};

// Sent to the control after each step; ends that step in the log.
const UINT SEQUENCE_SEPARATOR = WM_APP + 1;

struct MessageLog {
    WNDPROC controlProc = nullptr;
    WNDPROC popupProc = nullptr;
    bool recording = false;
    std::vector<SequenceEntry> entries;
};
MessageLog messageLog;

// Messages outside the input path: painting, hit testing, the cursor shape.
bool OutsideInputPath(UINT message)
{
    switch (message) {
    case WM_PAINT:
    case WM_NCPAINT:
    case WM_ERASEBKGND:
    case WM_NCHITTEST:
    case WM_SETCURSOR:
    case WM_GETICON:
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
        return true;
    default:
        return false;
    }
}

// Logged with both parameters, to be printed in full when a step differs.
void LogMessage(UINT message, UINT receiver, WPARAM wParam, LPARAM lParam)
{
    if (messageLog.recording && !OutsideInputPath(message))
        messageLog.entries.push_back({message, receiver | CHECK_WPARAM | CHECK_LPARAM, wParam, lParam});
}

LRESULT CALLBACK LogControlMessages(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    LogMessage(message, 0, wParam, lParam);
    if (message == SEQUENCE_SEPARATOR)
        return 0;
    return CallWindowProcA(messageLog.controlProc, window, message, wParam, lParam);
}

LRESULT CALLBACK LogPopupMessages(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    LogMessage(message, TO_POPUP, wParam, lParam);
    return CallWindowProcA(messageLog.popupProc, window, message, wParam, lParam);
}

std::string MessageText(const SequenceEntry &entry)
{
    static const struct {
        UINT message;
        const char *name;
    } names[] = {{WM_KEYDOWN, "WM_KEYDOWN"},         {WM_RBUTTONDOWN, "WM_RBUTTONDOWN"},
                 {WM_LBUTTONDOWN, "WM_LBUTTONDOWN"}, {WM_SHOWWINDOW, "WM_SHOWWINDOW"},
                 {WM_WINDOWPOSCHANGING, "WM_WINDOWPOSCHANGING"},
                 {WM_WINDOWPOSCHANGED, "WM_WINDOWPOSCHANGED"}, {SEQUENCE_SEPARATOR, "separator"}};
    char number[16];
    snprintf(number, sizeof(number), "0x%04x", entry.message);
    std::string name = number;
    for (const auto &known : names)
        if (known.message == entry.message)
            name = known.name;
    return std::string(entry.flags & TO_POPUP ? "popup " : "control ") + name + "(" +
           (entry.flags & CHECK_WPARAM ? std::to_string(entry.wParam) : "*") + ", " +
           (entry.flags & CHECK_LPARAM ? std::to_string(static_cast<short>(LOWORD(entry.lParam))) + "," +
                                             std::to_string(static_cast<short>(HIWORD(entry.lParam)))
                                       : "*") +
           ")";
}

// The log cut at the separators: one list of messages per step.
std::vector<std::vector<SequenceEntry>> LoggedSteps()
{
    std::vector<std::vector<SequenceEntry>> steps(1);
    for (const SequenceEntry &entry : messageLog.entries) {
        if (entry.message == SEQUENCE_SEPARATOR)
            steps.emplace_back();
        else
            steps.back().push_back(entry);
    }
    steps.pop_back(); // after the last separator
    return steps;
}

bool SameMessage(const SequenceEntry &got, const SequenceEntry &expected)
{
    return got.message == expected.message && (got.flags & TO_POPUP) == (expected.flags & TO_POPUP) &&
           (!(expected.flags & CHECK_WPARAM) || got.wParam == expected.wParam) &&
           (!(expected.flags & CHECK_LPARAM) || got.lParam == expected.lParam);
}

// Compares one step with its table and prints both when they differ.
void ExpectSequence(const char *step, const std::vector<SequenceEntry> &got,
                    const std::vector<SequenceEntry> &expected)
{
    bool same = got.size() == expected.size();
    for (size_t i = 0; same && i < got.size(); ++i)
        same = SameMessage(got[i], expected[i]);
    if (same)
        return;
    std::string report;
    for (size_t i = 0; i < std::max(got.size(), expected.size()); ++i) {
        report += "  " + std::to_string(i) + ": got " + (i < got.size() ? MessageText(got[i]) : "nothing") +
                  ", expected " + (i < expected.size() ? MessageText(expected[i]) : "nothing") + "\n";
    }
    ADD_FAILURE() << step << ": message sequence differs\n" << report;
}

} // namespace

class TooltipWindowTest : public TooltipTest {
protected:
    // Size of the tip the popup will make for an entry.
    SIZE ExpectedTipSize(HWND control)
    {
        RECT text = {};
        EXPECT_GT(MeasureTooltipText(FindTooltip(control), &text, nullptr), 0);
        SIZE size = {text.right + TIP_EXTRA_WIDTH, text.bottom + TIP_EXTRA_HEIGHT};
        return size;
    }

    // Runs the full delay for a control and expects the tip on the sixth tick.
    void ShowTipFor(HWND control, int x, int y)
    {
        HoverAndStart(control, x, y);
        Tick(IGNORED_TICKS + 1);
        ASSERT_TRUE(TipVisible()) << "tip on the sixth tick";
        ASSERT_EQ(control, tooltipState.current);
    }

    HWND AddList(int clientWidth, int clientHeight, int count, const std::string &text)
    {
        return AddListBox(20, 150, clientWidth, clientHeight, count, text);
    }

    // Resizes a control so that its client area is exactly `width` wide.
    void SetClientWidth(HWND control, int width)
    {
        RECT window = WindowRect(control), client;
        GetClientRect(control, &client);
        const int frame = (window.right - window.left) - client.right;
        SetWindowPos(control, nullptr, 0, 0, width + frame, window.bottom - window.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        GetClientRect(control, &client);
        ASSERT_EQ(width, client.right);
    }
};

TEST_F(TooltipWindowTest, StringResourceTipShowsOnTheSixthTickBelowTheCursor)
{
    HWND button = Add("BUTTON", "OK", BS_PUSHBUTTON, IDOK, 20, 20, 100, 40);
    ASSERT_EQ(1, RegisterTooltip(TTK_STRING_RESOURCE, button, host));
    HoverAndStart(button, 30, 12);
    for (int tick = 1; tick <= IGNORED_TICKS; ++tick) {
        Tick();
        EXPECT_FALSE(TipVisible()) << "tick " << tick;
        EXPECT_FALSE(tooltipState.shown);
    }
    Tick();
    ASSERT_TRUE(TipVisible());
    EXPECT_TRUE(tooltipState.shown);
    EXPECT_EQ(button, tooltipState.current);
    EXPECT_EQ(TTK_STRING_RESOURCE, tooltipState.currentKind);
    const RECT buttonRect = WindowRect(button);
    EXPECT_RECT_EQ(buttonRect, tooltipState.lastRect);

    POINT cursor;
    GetCursorPos(&cursor);
    const SIZE size = ExpectedTipSize(button);
    const RECT expected = {cursor.x, cursor.y + TIP_CURSOR_DROP, cursor.x + size.cx,
                           cursor.y + TIP_CURSOR_DROP + size.cy};
    const RECT tip = TipRect();
    EXPECT_RECT_EQ(expected, tip);

    // Shown: further ticks keep it while the cursor stays.
    Tick(3);
    EXPECT_TRUE(TipVisible());
}

TEST_F(TooltipWindowTest, RealTimerShowsTheTipAboutSixHundredMillisecondsAfterTheFirstMove)
{
    HWND button = Add("BUTTON", "OK", BS_PUSHBUTTON, IDOK, 20, 20, 100, 40);
    ASSERT_EQ(1, RegisterTooltip(TTK_STRING_RESOURCE, button, host));
    MoveCursorToClientPoint(button, 30, 12);
    ResetIdle();
    const DWORD start = GetTickCount();
    SendMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM(30, 12));
    ASSERT_TRUE(PumpMessagesUntil([this] { return TipVisible(); }, 2000));
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(elapsed, 450u);
    EXPECT_LE(elapsed, 900u);
    EXPECT_EQ(IGNORED_TICKS + 1u, tooltipState.ticks);
}

TEST_F(TooltipWindowTest, KeyOrClickCancelsAPendingTipAndANewOneNeedsTheFullDelay)
{
    HWND button = Add("BUTTON", "OK", BS_PUSHBUTTON, IDOK, 20, 20, 100, 40);
    ASSERT_EQ(1, RegisterTooltip(TTK_STRING_RESOURCE, button, host));
    const UINT inputs[] = {WM_KEYDOWN, WM_KEYUP, WM_CHAR, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
    for (UINT input : inputs) {
        HoverAndStart(button, 30, 12);
        Tick(4);
        timers.Clear();
        SendMessageA(button, input, 0, MAKELPARAM(30, 12));
        ExpectTipTimerStopped("pending tip cancelled");
        EXPECT_EQ(0u, tooltipState.timer) << "message " << input;
        EXPECT_EQ(0u, tooltipState.ticks);
        SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(30, 12)); // let go of a pressed button
        ReleaseCapture();
    }

    HoverAndStart(button, 30, 12);
    Tick(IGNORED_TICKS);
    EXPECT_FALSE(TipVisible()) << "the count started again from the new move";
    Tick();
    EXPECT_TRUE(TipVisible());

    // A button press in the control hides the shown tip.
    timers.Clear();
    SendMessageA(button, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(30, 12));
    ExpectTipTimerStopped("shown tip hidden");
    EXPECT_FALSE(TipVisible());
    EXPECT_FALSE(tooltipState.shown);
    EXPECT_EQ(nullptr, tooltipState.current);
    EXPECT_EQ(0u, tooltipState.timer);
    EXPECT_FALSE(tooltipState.skipMove);
}

TEST_F(TooltipWindowTest, ClickOnTheTipGoesToTheControlAndTheNextMoveIsSkipped)
{
    clickRecord = ClickRecord();
    HWND label = AddStatic("Label", IDC_APPLY, 20, 20, 200, 60);
    clickRecord.staticProc = SetWindowProc(label, RecordClicks);
    ASSERT_EQ(1, RegisterTooltip(TTK_STRING_RESOURCE, label, host));

    // A key while no tip is pending reaches the popup and leaves nothing
    // behind: the click on the tip below is still known to come from the tip.
    MoveCursorToClientPoint(label, 10, 10);
    ResetIdle();
    SendMessageA(label, WM_KEYDOWN, VK_SPACE, 0);
    SendMessageA(label, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
    ASSERT_NE(0u, tooltipState.timer);
    KillTimer(tooltipState.popup, TOOLTIP_TIMER_ID);
    Tick(IGNORED_TICKS + 1);
    ASSERT_TRUE(TipVisible());

    // The tip hangs at the cursor, (10, 10) in the label, moved 20 down: a
    // click at (5, 6) on the tip is at (15, 36) in the label.
    timers.Clear();
    SendMessageA(tooltipState.popup, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 6));
    ExpectTipTimerStopped("click on the tip");

    EXPECT_EQ(1, clickRecord.clicks) << "passed on once, not bounced back again";
    EXPECT_EQ(static_cast<UINT>(WM_LBUTTONDOWN), clickRecord.message);
    EXPECT_EQ(15, static_cast<short>(LOWORD(clickRecord.lParam)));
    EXPECT_EQ(36, static_cast<short>(HIWORD(clickRecord.lParam)));
    EXPECT_FALSE(TipVisible());
    EXPECT_EQ(0u, tooltipState.timer);
    EXPECT_EQ(nullptr, tooltipState.current);
    EXPECT_FALSE(tooltipState.fromControl);
    EXPECT_TRUE(tooltipState.skipMove);

    SendMessageA(label, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
    EXPECT_EQ(0u, tooltipState.timer) << "the move after the click is ignored";
    EXPECT_FALSE(tooltipState.skipMove);
    SendMessageA(label, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
    EXPECT_NE(0u, tooltipState.timer) << "the one after that starts the delay";
}

TEST_F(TooltipWindowTest, InputMessageSequences)
{
    messageLog = MessageLog();
    HWND label = AddStatic("Label", IDC_APPLY, 20, 20, 200, 60);
    messageLog.controlProc = SetWindowProc(label, LogControlMessages);
    ASSERT_EQ(1, RegisterTooltip(TTK_STRING_RESOURCE, label, host));
    messageLog.popupProc = SetWindowProc(tooltipState.popup, LogPopupMessages);
    const auto Record = [label](const std::function<void()> &step) {
        messageLog.recording = true;
        step();
        SendMessageA(label, SEQUENCE_SEPARATOR, 0, 0);
        messageLog.recording = false;
    };

    // A key in the control while a tip is pending: the popup hears of it
    // first and has nothing to hide; then the control gets its key.
    HoverAndStart(label, 10, 10);
    Tick(3);
    Record([label] { SendMessageA(label, WM_KEYDOWN, VK_SPACE, 0); });

    // A button pressed in the control under a shown tip: the tip is hidden
    // before the control sees the press.
    ShowTipFor(label, 10, 10);
    Record([label] { SendMessageA(label, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 10)); });

    // A click on the tip itself: hidden, then passed to the control in the
    // control's coordinates, through the subclass, which shows it to the
    // popup once more before the control's own procedure gets it.
    ShowTipFor(label, 10, 10);
    Record([] { SendMessageA(tooltipState.popup, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 6)); });
    SetWindowProc(tooltipState.popup, messageLog.popupProc);

    const LPARAM inControl = MAKELPARAM(10, 10);
    const LPARAM onTip = MAKELPARAM(5, 6);
    const LPARAM passedOn = MAKELPARAM(15, 36); // (5, 6) on a tip hanging at (10, 30) in the label
    const std::vector<SequenceEntry> hide = {
        {WM_SHOWWINDOW, TO_POPUP | CHECK_WPARAM, FALSE, 0},
        {WM_WINDOWPOSCHANGING, TO_POPUP, 0, 0},
        {WM_WINDOWPOSCHANGED, TO_POPUP, 0, 0},
    };
    const std::vector<SequenceEntry> keyOverPendingTip = {
        {WM_KEYDOWN, TO_POPUP | CHECK_WPARAM, VK_SPACE, 0},
        {WM_KEYDOWN, CHECK_WPARAM, VK_SPACE, 0},
    };
    std::vector<SequenceEntry> buttonOverShownTip = {{WM_RBUTTONDOWN, TO_POPUP | CHECK_LPARAM, 0, inControl}};
    buttonOverShownTip.insert(buttonOverShownTip.end(), hide.begin(), hide.end());
    buttonOverShownTip.push_back({WM_RBUTTONDOWN, CHECK_WPARAM | CHECK_LPARAM, MK_RBUTTON, inControl});
    std::vector<SequenceEntry> clickOnTip = {{WM_LBUTTONDOWN, TO_POPUP | CHECK_LPARAM, 0, onTip}};
    clickOnTip.insert(clickOnTip.end(), hide.begin(), hide.end());
    clickOnTip.push_back({WM_LBUTTONDOWN, TO_POPUP | CHECK_LPARAM, 0, passedOn});
    clickOnTip.push_back({WM_LBUTTONDOWN, CHECK_WPARAM | CHECK_LPARAM, MK_LBUTTON, passedOn});

    const std::vector<std::vector<SequenceEntry>> steps = LoggedSteps();
    ASSERT_EQ(3u, steps.size());
    ExpectSequence("key over a pending tip", steps[0], keyOverPendingTip);
    ExpectSequence("button over a shown tip", steps[1], buttonOverShownTip);
    ExpectSequence("click on the tip", steps[2], clickOnTip);
}

TEST_F(TooltipWindowTest, ARealClickOnTheTipLeavesTheActiveWindowAlone)
{
    clickRecord = ClickRecord();
    HWND label = AddStatic("Label", IDC_APPLY, 20, 20, 200, 60);
    clickRecord.staticProc = SetWindowProc(label, RecordClicks);
    ASSERT_EQ(1, RegisterTooltip(TTK_STRING_RESOURCE, label, host));
    SetForegroundWindow(host);
    PumpPendingMessages();
    HWND active = GetActiveWindow();
    ASSERT_EQ(host, active);
    ShowTipFor(label, 10, 10);

    const RECT tip = TipRect();
    MoveCursorTo(tip.left + 4, tip.top + 4);
    INPUT click[2] = {};
    click[0].type = click[1].type = INPUT_MOUSE;
    click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, click, sizeof(INPUT));
    PumpMessagesUntil([] { return clickRecord.clicks > 0; }, 2000);
    PumpPendingMessages();

    EXPECT_EQ(1, clickRecord.clicks) << "the click went on to the control";
    EXPECT_FALSE(TipVisible());
    EXPECT_NE(tooltipState.popup, GetActiveWindow()) << "the hidden tip must not hold the activation";
    EXPECT_EQ(active, GetActiveWindow());
}

TEST_F(TooltipWindowTest, MessagesToTheTipAndTheCursorOverItChangeNothing)
{
    HWND label = AddStatic("Label", IDC_APPLY, 20, 20, 300, 120);
    ASSERT_EQ(1, RegisterTooltip(TTK_STRING_RESOURCE, label, host));
    ShowTipFor(label, 10, 10);
    SendMessageA(tooltipState.popup, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    SendMessageA(tooltipState.popup, WM_SETCURSOR, 0, 0);
    EXPECT_TRUE(TipVisible());

    // The tip lies inside the label; the cursor on the tip is still in the hit rectangle.
    const RECT tip = TipRect();
    MoveCursorTo(tip.left + 3, tip.top + 3);
    ASSERT_EQ(tooltipState.popup, WindowFromPoint(POINT{tip.left + 3, tip.top + 3}));
    Tick(2);
    EXPECT_TRUE(TipVisible());
    EXPECT_EQ(label, tooltipState.current);
}

TEST_F(TooltipWindowTest, PendingOverAnUnregisteredWindowGoesIdle)
{
    HWND button = Add("BUTTON", "OK", BS_PUSHBUTTON, IDOK, 20, 20, 100, 40);
    ASSERT_EQ(1, RegisterTooltip(TTK_STRING_RESOURCE, button, host));
    HoverAndStart(button, 30, 12);
    MoveCursorToClientPoint(host, 400, 300);
    Tick(IGNORED_TICKS);
    EXPECT_NE(0u, tooltipState.timer);
    timers.Clear();
    Tick();
    ExpectTipTimerStopped("pending over nothing registered");
    EXPECT_FALSE(TipVisible());
    EXPECT_EQ(0u, tooltipState.timer);
    EXPECT_EQ(0u, tooltipState.ticks);
}

TEST_F(TooltipWindowTest, CaptionTipWiderThanTheControlIsCentredOnIt)
{
    // The caption in the large own font never fits, so TTK_CAPTION always shows;
    // the tip itself is in the status font.
    HWND label = AddStatic("Caption text", 1100, 40, 40, 200, 20);
    ASSERT_EQ(1, RegisterTooltip(TTK_CAPTION, label, LargeFontSource()));
    const SIZE size = ExpectedTipSize(label);

    struct Case {
        int widthDelta;  // control width minus tip width
        int heightDelta; // control height minus tip height
        int expectedDx;
        int expectedDy;
    } cases[] = {
        {-7, -7, -3, -3}, // the 50-pixel control under a 57-pixel tip: truncated, not floored
        {-8, -8, -4, -4},
        {10, 9, 0, 4},    // a narrower tip keeps the left edge; still centred vertically
    };
    for (const Case &c : cases) {
        SetWindowPos(label, nullptr, 0, 0, size.cx + c.widthDelta, size.cy + c.heightDelta,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        ShowTipFor(label, 2, 2);
        const RECT control = WindowRect(label);
        const RECT tip = TipRect();
        EXPECT_EQ(control.left + c.expectedDx, tip.left) << "width delta " << c.widthDelta;
        EXPECT_EQ(control.top + c.expectedDy, tip.top) << "height delta " << c.heightDelta;
        EXPECT_EQ(size.cx, tip.right - tip.left);
        EXPECT_EQ(size.cy, tip.bottom - tip.top);
    }
}

TEST_F(TooltipWindowTest, PlacementOfInplaceCaptionListboxItemAndIndentedListboxItemTips)
{
    // TTK_INPLACE_CAPTION: on the control's own text.
    HWND label = AddStatic("In-place caption", 1101, 40, 40, 30, 20);
    ASSERT_EQ(1, RegisterTooltip(TTK_INPLACE_CAPTION, label, host));
    ShowTipFor(label, 2, 2);
    const RECT control = WindowRect(label);
    SIZE size = ExpectedTipSize(label);
    RECT expected = {control.left - 1, control.top + 2, control.left - 1 + size.cx, control.top + 2 + size.cy};
    RECT tip = TipRect();
    EXPECT_RECT_EQ(expected, tip);
    SendMessageA(label, WM_KEYDOWN, VK_ESCAPE, 0);

    // TTK_LISTBOX_ITEM: over the item under the cursor.
    HWND list = AddList(60, 80, 4, "A list item too wide for the box ");
    ASSERT_EQ(1, RegisterTooltip(TTK_LISTBOX_ITEM, list, host));
    const RECT item1 = ItemScreenRect(list, 1);
    MoveCursorTo(item1.left + 5, item1.top + 5);
    size = ExpectedTipSize(list);
    ShowTipFor(list, 6, ITEM_HEIGHT + 6);
    expected = {item1.left - 2, item1.top - 1, item1.left - 2 + size.cx, item1.top - 1 + size.cy};
    tip = TipRect();
    EXPECT_RECT_EQ(expected, tip);
    EXPECT_RECT_EQ(item1, tooltipState.lastRect);
    SendMessageA(list, WM_KEYDOWN, VK_ESCAPE, 0);

    // TTK_INDENTED_LISTBOX_ITEM: 28 pixels into the item, centred on it (the
    // large font is taller than the 16-pixel item).
    HWND indented = AddList(60, 80, 4, "Indented item ");
    SetWindowPos(indented, nullptr, 300, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_EQ(1, RegisterTooltip(TTK_INDENTED_LISTBOX_ITEM, indented, LargeFontSource()));
    const RECT item2 = ItemScreenRect(indented, 2);
    MoveCursorTo(item2.left + 5, item2.top + 5);
    size = ExpectedTipSize(indented);
    ASSERT_GT(size.cy, ITEM_HEIGHT);
    ShowTipFor(indented, 6, 2 * ITEM_HEIGHT + 6);
    const int dy = (ITEM_HEIGHT - size.cy) / 2;
    expected = {item2.left + 28, item2.top + dy, item2.left + 28 + size.cx, item2.top + dy + size.cy};
    tip = TipRect();
    EXPECT_RECT_EQ(expected, tip);
}

TEST_F(TooltipWindowTest, TipIsKeptOnTheDesktop)
{
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    // A control in the bottom-right corner of the screen.
    SetWindowPos(host, nullptr, desktop.right - 200, desktop.bottom - 100, 200, 100,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    HWND button = Add("BUTTON", "OK", BS_PUSHBUTTON, IDOK, 100, 50, 99, 49);
    ASSERT_EQ(1, RegisterTooltip(TTK_STRING_RESOURCE, button, host));
    const SIZE size = ExpectedTipSize(button);
    ShowTipFor(button, 90, 40);
    RECT expected = {desktop.right - size.cx, desktop.bottom - size.cy, desktop.right, desktop.bottom};
    RECT tip = TipRect();
    EXPECT_RECT_EQ(expected, tip);
    SendMessageA(button, WM_KEYDOWN, VK_ESCAPE, 0);

    // A tip wider than the desktop starts at its left edge.
    const std::string wide(200, 'W');
    HWND label = AddStatic(wide.c_str(), 1102, 0, 0, 60, 20);
    ASSERT_EQ(1, RegisterTooltip(TTK_CURSOR_CAPTION, label, host));
    const SIZE wideSize = ExpectedTipSize(label);
    ASSERT_GT(wideSize.cx, desktop.right - desktop.left);
    ShowTipFor(label, 30, 5);
    tip = TipRect();
    EXPECT_EQ(desktop.left, tip.left);
    EXPECT_EQ(wideSize.cx, tip.right - tip.left);
    POINT cursor;
    GetCursorPos(&cursor);
    EXPECT_EQ(cursor.y + TIP_CURSOR_DROP, tip.top);

    // A caption tip taller than its control, centred on a control at the top
    // edge of the screen, would start above the desktop: it is moved down
    // and keeps its place across.
    HWND flat = AddStatic("Caption", 1104, 100, 0, 60, 4);
    ASSERT_EQ(1, RegisterTooltip(TTK_CAPTION, flat, LargeFontSource()));
    const RECT hostRect = WindowRect(host);
    SetWindowPos(host, nullptr, hostRect.left, hostRect.top - WindowRect(flat).top + desktop.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    const RECT flatRect = WindowRect(flat);
    ASSERT_EQ(desktop.top, flatRect.top);
    const SIZE flatSize = ExpectedTipSize(flat);
    ASSERT_GT(flatSize.cy, 2 * (flatRect.bottom - flatRect.top)) << "the tip overhangs the control";
    ShowTipFor(flat, 5, 2);
    tip = TipRect();
    EXPECT_EQ(desktop.top, tip.top);
    EXPECT_EQ(flatRect.left, tip.left);
    EXPECT_EQ(flatSize.cy, tip.bottom - tip.top);
}

TEST_F(TooltipWindowTest, FitTestAtExactlyTheClientWidthAndOnePixelWider)
{
    struct Case {
        int kind;
        int widening;
    } cases[] = {{TTK_CAPTION, 0}, {TTK_INPLACE_CAPTION, 0}, {TTK_LISTBOX_ITEM, 3}, {TTK_INDENTED_LISTBOX_ITEM, 32}};
    for (const Case &c : cases) {
        const bool isList = c.kind == TTK_LISTBOX_ITEM || c.kind == TTK_INDENTED_LISTBOX_ITEM;
        HWND control = isList ? AddList(200, 80, 2, "Fitting item ") : AddStatic("Fitting caption", 1103, 40, 40, 200, 20);
        ASSERT_EQ(1, RegisterTooltip(c.kind, control, host));
        char text[TOOLTIP_TEXT_SIZE];
        if (isList) {
            const RECT item0 = ItemScreenRect(control, 0);
            MoveCursorTo(item0.left + 5, item0.top + 5);
        }
        GetTooltipText(FindTooltip(control), text);
        const int needed = TextSize(text, DialogFont()).cx + c.widening;

        SetClientWidth(control, needed);
        HoverAndStart(control, 5, 5);
        Tick(IGNORED_TICKS + 3);
        EXPECT_FALSE(TipVisible()) << "kind " << c.kind << ": fits exactly";
        EXPECT_NE(0u, tooltipState.timer) << "still pending, tried on every tick";

        SetClientWidth(control, needed - 1);
        Tick();
        EXPECT_TRUE(TipVisible()) << "kind " << c.kind << ": one pixel too narrow";
        SendMessageA(control, WM_KEYDOWN, VK_ESCAPE, 0);
        DestroyWindow(control);
    }

    // TTK_CURSOR_CAPTION and TTK_STRING_RESOURCE tips explain rather than
    // complete the control's text: shown on the sixth tick with room to spare.
    for (int kind : {TTK_CURSOR_CAPTION, TTK_STRING_RESOURCE}) {
        HWND control = AddStatic("Fitting caption", IDOK, 40, 40, 200, 20);
        ASSERT_EQ(1, RegisterTooltip(kind, control, host));
        char text[TOOLTIP_TEXT_SIZE];
        ASSERT_EQ(1, GetTooltipText(FindTooltip(control), text));
        SetClientWidth(control, TextSize(text, DialogFont()).cx + 40);
        HoverAndStart(control, 5, 5);
        Tick(IGNORED_TICKS);
        EXPECT_FALSE(TipVisible()) << "kind " << kind;
        Tick();
        EXPECT_TRUE(TipVisible()) << "kind " << kind << ": shown although the text fits";
        SendMessageA(control, WM_KEYDOWN, VK_ESCAPE, 0);
        DestroyWindow(control);
    }
}

TEST_F(TooltipWindowTest, MovingToANeighbourShowsItsTipOneTickAfterTheHide)
{
    HWND left = AddStatic("Left", IDOK, 20, 20, 100, 40);
    HWND right = AddStatic("Right", IDCANCEL, 120, 20, 100, 40);
    ASSERT_EQ(1, RegisterTooltip(TTK_STRING_RESOURCE, left, host));
    ASSERT_EQ(1, RegisterTooltip(TTK_STRING_RESOURCE, right, host));
    ShowTipFor(left, 50, 10);

    MoveCursorToClientPoint(right, 50, 10);
    timers.Clear();
    Tick();
    EXPECT_TRUE(timers.Calls().empty()) << "the timer keeps running";
    EXPECT_FALSE(TipVisible()) << "hidden on the next tick";
    EXPECT_NE(0u, tooltipState.timer) << "the timer keeps running over a registered control";
    EXPECT_EQ(nullptr, tooltipState.current);
    EXPECT_TRUE(IsRectEmpty(&tooltipState.lastRect));
    Tick();
    EXPECT_TRUE(TipVisible()) << "no new delay for the neighbour";
    EXPECT_EQ(right, tooltipState.current);

    // Leaving for an unregistered window stops the timer.
    MoveCursorToClientPoint(host, 400, 300);
    timers.Clear();
    Tick();
    ExpectTipTimerStopped("shown tip left for nothing registered");
    EXPECT_FALSE(TipVisible());
    EXPECT_EQ(0u, tooltipState.timer);
    EXPECT_EQ(0u, tooltipState.ticks);
}

TEST_F(TooltipWindowTest, MovingToTheNextListItemHidesThenShowsItsTip)
{
    HWND list = AddList(60, 80, 4, "A list item too wide for the box ");
    ASSERT_EQ(1, RegisterTooltip(TTK_LISTBOX_ITEM, list, host));
    const RECT item0 = ItemScreenRect(list, 0);
    const RECT item1 = ItemScreenRect(list, 1);
    MoveCursorTo(item0.left + 5, item0.top + 5);
    ShowTipFor(list, 5, 5);
    EXPECT_RECT_EQ(item0, tooltipState.lastRect);

    MoveCursorTo(item1.left + 5, item1.top + 5);
    Tick();
    EXPECT_FALSE(TipVisible());
    Tick();
    EXPECT_TRUE(TipVisible());
    EXPECT_RECT_EQ(item1, tooltipState.lastRect);
    EXPECT_EQ(item1.top - 1, TipRect().top);
}

TEST_F(TooltipWindowTest, ControlLeavingTheRegistryUnderAShownTipHidesItOnTheNextTick)
{
    // Once still on screen under the cursor but no longer registered, once
    // destroyed.
    for (bool destroy : {false, true}) {
        HWND label = AddStatic("Label", IDOK, 20, 20, 100, 40);
        ASSERT_EQ(1, RegisterTooltip(TTK_STRING_RESOURCE, label, host));
        ShowTipFor(label, 10, 10);
        if (destroy)
            DestroyWindow(label);
        else
            ASSERT_EQ(1, UnregisterTooltip(label));
        Tick();
        EXPECT_FALSE(TipVisible()) << "destroyed: " << destroy;
        EXPECT_FALSE(tooltipState.shown);
        EXPECT_EQ(nullptr, tooltipState.current);
        EXPECT_EQ(0u, tooltipState.timer) << "nothing registered under the cursor now";
        if (!destroy)
            DestroyWindow(label);
    }
}

TEST_F(TooltipWindowTest, ANewPopupStartsIdleWhateverTheOldOneWasDoing)
{
    HWND label = AddStatic("Label", IDOK, 20, 20, 200, 60);
    // The popup goes while a tip is shown, and once while a move is to be
    // skipped after a click on the tip.
    for (bool clickFirst : {false, true}) {
        ASSERT_EQ(1, RegisterTooltip(TTK_STRING_RESOURCE, label, host));
        ShowTipFor(label, 10, 10);
        if (clickFirst)
            SendMessageA(tooltipState.popup, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 6));
        ASSERT_EQ(1, UnregisterTooltip(label));
        DestroyTooltipWindow();
        ASSERT_EQ(1, CreateTooltipWindow());
        ASSERT_EQ(1, RegisterTooltip(TTK_STRING_RESOURCE, label, host));

        // The cursor still rests on the label. The first plain move starts
        // the new popup's timer, and its tip needs the full delay.
        timers.Clear();
        SendMessageA(label, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
        ASSERT_EQ(1u, timers.Calls().size()) << "click first: " << clickFirst;
        EXPECT_TRUE(timers.Calls()[0].set);
        EXPECT_EQ(tooltipState.popup, timers.Calls()[0].window);
        KillTimer(tooltipState.popup, TOOLTIP_TIMER_ID);
        Tick(IGNORED_TICKS);
        EXPECT_FALSE(TipVisible()) << "click first: " << clickFirst;
        Tick();
        EXPECT_TRUE(TipVisible()) << "click first: " << clickFirst;
        EXPECT_EQ(label, tooltipState.current);
        SendMessageA(label, WM_KEYDOWN, VK_ESCAPE, 0);
        ASSERT_EQ(1, UnregisterTooltip(label));
    }
}

TEST_F(TooltipWindowTest, UnknownKindOrNoTextNeverShowsATip)
{
    const int NO_STRING_ID = 4242; // no string-table entry has this id
    struct Case {
        int kind;
        const char *caption;
        int id;
    } cases[] = {
        {0, "Unknown kind", IDOK},
        {7, "Unknown kind", IDOK},
        {TTK_STRING_RESOURCE, "No string", NO_STRING_ID}, // shown whatever the fit, but there is nothing to show
        {TTK_CURSOR_CAPTION, "", IDOK},
    };
    for (const Case &c : cases) {
        HWND label = AddStatic(c.caption, c.id, 20, 20, 100, 40);
        ASSERT_EQ(1, RegisterTooltip(c.kind, label, host)) << "kind " << c.kind;
        HoverAndStart(label, 10, 10);
        Tick(IGNORED_TICKS + 5);
        EXPECT_FALSE(TipVisible()) << "kind " << c.kind << ", id " << c.id;
        EXPECT_FALSE(tooltipState.shown);
        EXPECT_NE(0u, tooltipState.timer) << "the attempt is repeated while over the control";
        ResetIdle();
        DestroyWindow(label);
    }
}

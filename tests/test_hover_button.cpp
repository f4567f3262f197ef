// test_hover_button.cpp - behaviour of hover buttons in a real dialog, driven
// with real messages, the real cursor and real mouse buttons.
#include "test_hover_button_fixture.h"
#include "test_resource_ids.h"

#include "platform/global_memory.h"

#include <oleacc.h>

namespace {

const LPARAM SPACE_KEY_DATA = 0x00390001; // repeat 1, scan code of the space bar
const LPARAM SPACE_KEY_UP_DATA = static_cast<LPARAM>(0xC0390001u);
// Hover ticks between two frames of an animated hover strip, and enough
// ticks to see such a repaint come and go twice.
const int TICKS_PER_ANIMATION_FRAME = 4;
const int HOVER_TICKS_TO_SEND = 2 * TICKS_PER_ANIMATION_FRAME;
const int NESTED_BUTTON_ID = 301;

bool PressMouse()
{
    SendMouseButton(MOUSEEVENTF_LEFTDOWN);
    return PumpMessagesUntil([] { return hoverButtonGlobals.captureActive != 0; },
                             INPUT_TIMEOUT_MS);
}

bool ReleaseMouse()
{
    SendMouseButton(MOUSEEVENTF_LEFTUP);
    return PumpMessagesUntil([] { return hoverButtonGlobals.captureActive == 0; },
                             INPUT_TIMEOUT_MS);
}

// A whole mouse click at a screen point; true when the button reported it.
bool ClickAt(POINT point)
{
    const size_t before = recordedClicks.size();
    MoveCursorTo(point.x, point.y);
    if (!PressMouse() || !ReleaseMouse())
        return false;
    return recordedClicks.size() == before + 1;
}

void SendTicks(HWND button, int count)
{
    for (int i = 0; i < count; ++i)
        SendMessageA(button, WM_TIMER, EXPECTED_HOVER_TIMER_ID, 0);
}

// The windows whose client objects announced a state change, as screen readers hear of it.
std::vector<HWND> stateChangesAnnounced;

void CALLBACK RecordStateChange(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD, DWORD)
{
    if (object == OBJID_CLIENT && child == CHILDID_SELF)
        stateChangesAnnounced.push_back(window);
}

} // namespace

TEST(HoverButtonClass, IsRegisteredOnceWithItsClassAttributes)
{
    RegisterHoverButtonClassOnce();
    WNDCLASSA info = {};
    ASSERT_TRUE(GetClassInfoA(settingsState.instance, HOVER_BUTTON_CLASS, &info));
    EXPECT_EQ(0u, info.style);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(HoverButtonWndProc), info.lpfnWndProc);
    EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), info.hCursor);
    EXPECT_EQ(reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1)),
              info.hbrBackground);
    EXPECT_EQ(0, info.cbWndExtra);
    EXPECT_EQ(0, info.cbClsExtra);
    EXPECT_EQ(nullptr, info.hIcon);
    EXPECT_EQ(nullptr, info.lpszMenuName);
    // The class exists now, so a second registration fails as start-up expects.
    EXPECT_EQ(0, RegisterHoverButtonClass(settingsState.instance));
}

TEST_F(HoverDialogTest, FreshButtonNeitherHoversNorShowsAGlyphUntilConfigured)
{
    HWND fresh = CreateWindowExA(0, HOVER_BUTTON_CLASS, "Fresh", WS_CHILD | WS_VISIBLE, 250,
                                 10, 60, 22, dialog, nullptr, settingsState.instance, nullptr);
    ASSERT_NE(nullptr, fresh);
    const HoverButtonState *state = StateOf(fresh);
    ASSERT_NE(nullptr, state);
    EXPECT_EQ(0, state->toggleMode);
    EXPECT_EQ(0, state->hoverId);
    EXPECT_EQ(nullptr, state->glyphBitmap);
    EXPECT_EQ(nullptr, state->hoverBitmap);

    const POINT centre = WindowCentre(fresh);
    MoveCursorTo(centre.x, centre.y);
    PumpMessagesFor(QUIET_PUMP_MS);
    EXPECT_EQ(0u, hoverButtonGlobals.hoverTimer);

    // The program's own configuration switches hover tracking on.
    ConfigureHoverButton(fresh, 0, 0, 1, 1);
    MoveCursorTo(centre.x + 1, centre.y);
    EXPECT_TRUE(PumpMessagesUntil([&] { return Hovering(fresh); }, INPUT_TIMEOUT_MS));
    DestroyWindow(fresh);
}

TEST_F(HoverDialogTest, CreationFailsWhenTheStateBlockCannotBeAllocated)
{
    FailGlobalAllocationAfter(1);
    HWND failed = CreateWindowExA(0, HOVER_BUTTON_CLASS, "None", WS_CHILD, 0, 0, 50, 20, dialog,
                                  nullptr, settingsState.instance, nullptr);
    FailGlobalAllocationAfter(0);
    EXPECT_EQ(nullptr, failed);
    if (failed)
        DestroyWindow(failed);
}

TEST_F(HoverDialogTest, HoverStartsOnAMoveAndStopsOnTheTickAfterTheCursorLeaves)
{
    TimerCallRecorder timers;
    ASSERT_TRUE(timers.Installed());
    const POINT centre = WindowCentre(alpha);
    ASSERT_TRUE(MoveCursorAndWaitForHover(alpha, centre.x, centre.y));

    // Ticks with the cursor inside keep the hover.
    SendTicks(alpha, 2);
    EXPECT_TRUE(Hovering(alpha));

    const POINT away = DialogBackground();
    MoveCursorTo(away.x, away.y);
    UpdateWindow(alpha);
    SendTicks(alpha, 1);
    EXPECT_EQ(0u, hoverButtonGlobals.hoverTimer);
    EXPECT_EQ(0, hoverButtonGlobals.hoverTicks);
    EXPECT_TRUE(HasPendingPaint(alpha)) << "the unhovered look is not requested";
    const std::vector<TimerCall> startThenStop = {
        {true, alpha, EXPECTED_HOVER_TIMER_ID, EXPECTED_TIMER_PERIOD_MS},
        {false, alpha, EXPECTED_HOVER_TIMER_ID, 0}};
    EXPECT_EQ(startThenStop, timers.Calls());

    // And the real timer does the same on its own.
    ASSERT_TRUE(MoveCursorAndWaitForHover(alpha, centre.x, centre.y));
    MoveCursorTo(away.x, away.y);
    EXPECT_TRUE(PumpMessagesUntil([] { return hoverButtonGlobals.hoverTimer == 0; },
                                  INPUT_TIMEOUT_MS));
}

TEST_F(HoverDialogTest, OutermostLeftColumnAndTopRowCountAsOutsideForTheTimer)
{
    const RECT bounds = ScreenRect(alpha);
    const POINT centre = WindowCentre(alpha);
    const POINT edges[] = {{bounds.left, centre.y}, {centre.x, bounds.top}};
    for (const POINT &edge : edges) {
        SCOPED_TRACE(testing::Message() << "cursor at " << edge.x << "," << edge.y);
        // A mouse move there starts hovering...
        ASSERT_TRUE(MoveCursorAndWaitForHover(alpha, edge.x, edge.y));
        // ...but the next tick ends it.
        SendTicks(alpha, 1);
        EXPECT_EQ(0u, hoverButtonGlobals.hoverTimer);

        // WM_ENABLE starts nothing there.
        EnableWindow(alpha, FALSE);
        EnableWindow(alpha, TRUE);
        EXPECT_EQ(0u, hoverButtonGlobals.hoverTimer);
    }

    // One pixel further in is inside.
    ASSERT_TRUE(MoveCursorAndWaitForHover(alpha, bounds.left + 1, bounds.top + 1));
    SendTicks(alpha, 1);
    EXPECT_TRUE(Hovering(alpha));
}

TEST_F(HoverDialogTest, EnablingAButtonUnderTheCursorStartsHoveringWithoutAMove)
{
    EnableWindow(alpha, FALSE);
    const POINT centre = WindowCentre(alpha);
    MoveCursorTo(centre.x, centre.y); // a disabled button gets no mouse moves
    PumpMessagesFor(QUIET_PUMP_MS);
    ASSERT_EQ(0u, hoverButtonGlobals.hoverTimer);

    EnableWindow(alpha, TRUE);
    EXPECT_TRUE(Hovering(alpha));
}

TEST_F(HoverDialogTest, TheSharedTimerMovesToTheNeighbourOnlyAfterTheFirstButtonsTick)
{
    const POINT alphaCentre = WindowCentre(alpha);
    ASSERT_TRUE(MoveCursorAndWaitForHover(alpha, alphaCentre.x, alphaCentre.y));

    // Straight onto Beta: Alpha's timer still runs, so Beta starts none.
    const POINT betaCentre = WindowCentre(beta);
    MoveCursorTo(betaCentre.x, betaCentre.y);
    EXPECT_TRUE(Hovering(alpha));

    SendTicks(alpha, 1);
    EXPECT_EQ(0u, hoverButtonGlobals.hoverTimer);
    EXPECT_FALSE(Hovering(beta)) << "Beta lit up without a further mouse move";

    // The next move over Beta starts Beta's hover.
    EXPECT_TRUE(MoveCursorAndWaitForHover(beta, betaCentre.x + 2, betaCentre.y));

    // With the real timer, a mouse that keeps moving lights Beta up soon.
    const POINT alphaAgain = WindowCentre(alpha);
    MoveCursorTo(alphaAgain.x, alphaAgain.y);
    int step = 0;
    const bool moved = PumpMessagesUntil(
        [&] {
            MoveCursorTo(alphaAgain.x + (++step % 3), alphaAgain.y);
            return Hovering(alpha);
        },
        INPUT_TIMEOUT_MS);
    EXPECT_TRUE(moved);
}

TEST_F(HoverDialogTest, PressTracksTheMouseAndOnlyAReleaseInsideClicks)
{
    const POINT centre = WindowCentre(alpha);
    ASSERT_TRUE(MoveCursorAndWaitForHover(alpha, centre.x, centre.y));
    DcCallRecorder dcs;
    ASSERT_TRUE(dcs.Installed());
    ASSERT_TRUE(PressMouse());
    EXPECT_EQ(alpha, GetCapture());
    EXPECT_EQ(alpha, GetFocus());
    EXPECT_EQ(0u, hoverButtonGlobals.hoverTimer) << "a press ends hovering";
    EXPECT_EQ(1, hoverButtonGlobals.pressedInside);
    EXPECT_EQ(LOOK_PUSHED, LookOnScreen(alpha));
    // The hovered button, pressed, shows its caption in the normal colour.
    EXPECT_EQ(0, CaptureClient(alpha).Count(GetSysColor(COLOR_HOTLIGHT)));

    // Out to the left (negative client x): the raised look comes back at once.
    const RECT bounds = ScreenRect(alpha);
    MoveCursorTo(bounds.left - 5, centre.y);
    EXPECT_TRUE(PumpMessagesUntil([] { return hoverButtonGlobals.pressedInside == 0; },
                                  INPUT_TIMEOUT_MS));
    EXPECT_EQ(LOOK_RAISED, LookOnScreen(alpha));
    EXPECT_EQ(0u, hoverButtonGlobals.hoverTimer) << "no hover while pressed";

    // Back in: pushed again; onto the first column right of the button
    // (Beta's, but the press holds the mouse): raised; back in: pushed.
    for (const POINT &step : {centre, POINT{bounds.right, centre.y}, centre}) {
        const int inside = step.x < bounds.right ? 1 : 0;
        MoveCursorTo(step.x, step.y);
        EXPECT_TRUE(PumpMessagesUntil(
            [&] { return hoverButtonGlobals.pressedInside == inside; }, INPUT_TIMEOUT_MS))
            << "cursor at " << step.x << "," << step.y;
        EXPECT_EQ(inside ? LOOK_PUSHED : LOOK_RAISED, LookOnScreen(alpha));
    }

    // Released on the first row below the button: outside, no click.
    MoveCursorTo(centre.x, bounds.bottom);
    ASSERT_TRUE(ReleaseMouse());
    PumpMessagesFor(QUIET_PUMP_MS);
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_TRUE(recordedClicks.empty());
    EXPECT_EQ(LOOK_RAISED, LookOnScreen(alpha));
    // Every look drawn during the press gave its device context back.
    EXPECT_EQ(0, dcs.Unreleased());

    // Pressed and released inside: one click, like a standard button's.
    ASSERT_TRUE(ClickAt(centre));
    ASSERT_EQ(1u, recordedClicks.size());
    EXPECT_EQ(ID_ALPHA, recordedClicks[0].id);
    EXPECT_EQ(BN_CLICKED, recordedClicks[0].code);
    EXPECT_EQ(alpha, recordedClicks[0].from);
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_EQ(0, hoverButtonGlobals.pressedInside);
    EXPECT_EQ(LOOK_RAISED, LookOnScreen(alpha));
}

TEST_F(HoverDialogTest, SpaceBarPressesAndClicksWhereverTheMouseIs)
{
    SetFocus(alpha);
    PumpPendingMessages();
    // The cursor stays parked far from the button.
    SendMessageA(alpha, WM_KEYDOWN, VK_SPACE, SPACE_KEY_DATA);
    EXPECT_EQ(1, hoverButtonGlobals.captureActive);
    EXPECT_EQ(0, hoverButtonGlobals.keyboardPress);
    EXPECT_EQ(LOOK_PUSHED, LookOnScreen(alpha));
    SendMessageA(alpha, WM_KEYUP, VK_SPACE, SPACE_KEY_UP_DATA);
    ASSERT_EQ(1u, recordedClicks.size());
    EXPECT_EQ(ID_ALPHA, recordedClicks[0].id);
    EXPECT_EQ(0, hoverButtonGlobals.captureActive);
    EXPECT_EQ(0, hoverButtonGlobals.keyboardPress);
    EXPECT_EQ(nullptr, GetCapture());

    // The key-down does not take the focus: a space sent to a button without
    // it leaves the focus where it was.
    SetFocus(edit);
    SendMessageA(beta, WM_KEYDOWN, VK_SPACE, SPACE_KEY_DATA);
    EXPECT_EQ(edit, GetFocus());
    SendMessageA(beta, WM_KEYUP, VK_SPACE, SPACE_KEY_UP_DATA);
    ASSERT_EQ(2u, recordedClicks.size());
    EXPECT_EQ(ID_BETA, recordedClicks[1].id);

    // Other keys do nothing; Enter and Escape are the dialog's business.
    for (WPARAM key : {static_cast<WPARAM>(VK_RETURN), static_cast<WPARAM>(VK_ESCAPE),
                       static_cast<WPARAM>('A')}) {
        SendMessageA(alpha, WM_KEYDOWN, key, 0);
        SendMessageA(alpha, WM_KEYUP, key, 0);
    }
    EXPECT_EQ(0, hoverButtonGlobals.captureActive);
    EXPECT_EQ(2u, recordedClicks.size());
}

TEST_F(HoverDialogTest, SpaceKeysOutsideAKeyboardPressLeaveTheMousePressAlone)
{
    const POINT centre = WindowCentre(beta);
    const POINT below = {centre.x, ScreenRect(beta).bottom + 3};

    // A space key-up with no press under way: the next mouse press still
    // gives the unfocused button the focus, and a release outside is no click.
    SendMessageA(beta, WM_KEYUP, VK_SPACE, SPACE_KEY_UP_DATA);
    EXPECT_EQ(0, hoverButtonGlobals.keyboardPress);
    MoveCursorTo(centre.x, centre.y);
    ASSERT_TRUE(PressMouse());
    EXPECT_EQ(beta, GetFocus());
    MoveCursorTo(below.x, below.y);
    ASSERT_TRUE(ReleaseMouse());
    EXPECT_TRUE(recordedClicks.empty());

    // A space key-down while the mouse holds a press, dragged off the
    // button, starts nothing: the button stays raised, and the mouse release
    // outside is still no click.
    MoveCursorTo(centre.x, centre.y);
    ASSERT_TRUE(PressMouse());
    MoveCursorTo(below.x, below.y);
    ASSERT_EQ(LOOK_RAISED, LookOnScreen(beta));
    SendMessageA(beta, WM_KEYDOWN, VK_SPACE, SPACE_KEY_DATA);
    EXPECT_EQ(0, hoverButtonGlobals.keyboardPress);
    EXPECT_EQ(LOOK_RAISED, LookOnScreen(beta));
    ASSERT_TRUE(ReleaseMouse());
    EXPECT_TRUE(recordedClicks.empty());
    EXPECT_EQ(nullptr, GetCapture());
}

TEST_F(HoverDialogTest, APressStopsTheHoverTimerOfTheButtonTheMouseCameFrom)
{
    const POINT alphaCentre = WindowCentre(alpha);
    const POINT betaCentre = WindowCentre(beta);
    {
        // Alpha's timer runs, but none of its ticks arrives before the press.
        HeldTicks held(alpha);
        ASSERT_TRUE(held.Installed());
        ASSERT_TRUE(MoveCursorAndWaitForHover(alpha, alphaCentre.x, alphaCentre.y));
        ASSERT_GT(CaptureClient(alpha).Count(GetSysColor(COLOR_HOTLIGHT)), 0);
        MoveCursorTo(betaCentre.x, betaCentre.y);
        ASSERT_TRUE(Hovering(alpha));

        TimerCallRecorder timers;
        ASSERT_TRUE(timers.Installed());
        ASSERT_TRUE(PressMouse());
        const std::vector<TimerCall> stopAlpha = {
            {false, alpha, EXPECTED_HOVER_TIMER_ID, 0}};
        EXPECT_EQ(stopAlpha, timers.Calls());
        EXPECT_EQ(0u, hoverButtonGlobals.hoverTimer);
        // Alpha, drawn hot a moment ago, is drawn normal again.
        EXPECT_EQ(0, CaptureClient(alpha).Count(GetSysColor(COLOR_HOTLIGHT)));
    }
    ASSERT_TRUE(ReleaseMouse());

    // Beta now hovers on its own timer, and no late tick of Alpha's ends that.
    ASSERT_TRUE(MoveCursorAndWaitForHover(beta, betaCentre.x + 1, betaCentre.y));
    PumpMessagesFor(QUIET_PUMP_MS);
    EXPECT_TRUE(Hovering(beta));
}

TEST_F(HoverDialogTest, FocusByTabRepaintsButFocusFromTheButtonsOwnPressDoesNot)
{
    UpdateWindow(alpha);
    ASSERT_FALSE(HasPendingPaint(alpha));
    MSG tab = {edit, WM_KEYDOWN, VK_TAB, 0x000F0001, 0, {0, 0}};
    IsDialogMessageA(dialog, &tab);
    ASSERT_EQ(alpha, GetFocus());
    EXPECT_TRUE(HasPendingPaint(alpha)) << "tabbing onto the button does not repaint it";

    // A mouse press on Beta, which has no focus: the focus moves with it and
    // the pushed look stays, focus rectangle included, with no repaint after.
    PumpPendingMessages();
    const POINT centre = WindowCentre(beta);
    MoveCursorTo(centre.x, centre.y);
    ASSERT_TRUE(PressMouse());
    EXPECT_EQ(beta, GetFocus());
    EXPECT_EQ(1, hoverButtonGlobals.focusRepaint);
    EXPECT_FALSE(HasPendingPaint(beta));
    PumpMessagesFor(QUIET_PUMP_MS);
    EXPECT_EQ(LOOK_PUSHED, LookOnScreen(beta));
    ReleaseMouse();
}

TEST_F(HoverDialogTest, LosingTheFocusOrTheCaptureDuringAPressEndsItWithoutAClick)
{
    const POINT centre = WindowCentre(alpha);
    const POINT betaCentre = WindowCentre(beta);
    for (bool focusLost : {true, false}) {
        SCOPED_TRACE(focusLost ? "focus lost" : "capture taken");
        MoveCursorTo(centre.x, centre.y);
        ASSERT_TRUE(PressMouse());
        ASSERT_EQ(alpha, GetCapture());

        if (focusLost) {
            SetFocus(edit);
            EXPECT_EQ(nullptr, GetCapture());
        } else {
            // Another window takes the mouse, as a popup that captures it would.
            SetCapture(dialog);
        }
        EXPECT_EQ(0, hoverButtonGlobals.captureActive);
        EXPECT_EQ(0, hoverButtonGlobals.pressedInside);
        EXPECT_EQ(LOOK_RAISED, LookOnScreen(alpha));
        if (!focusLost)
            ReleaseCapture();

        // The press no longer holds back hovering anywhere. Alpha, still under
        // the cursor, may hover again first: Windows and Wine 10 send a window
        // that gives the capture back with the cursor over it a mouse move,
        // Wine 8 sends none (two bare child windows show it: a press on one,
        // then SetFocus to an edit). A hovering button hands the hover on only
        // after its tick finds the cursor gone, so the cursor leaves it first.
        ParkCursor();
        ASSERT_TRUE(PumpMessagesUntil([] { return hoverButtonGlobals.hoverTimer == 0; }, INPUT_TIMEOUT_MS));
        EXPECT_TRUE(MoveCursorAndWaitForHover(beta, betaCentre.x, betaCentre.y));
        EXPECT_GT(CaptureClient(beta).Count(GetSysColor(COLOR_HOTLIGHT)), 0);

        // The mouse is released over the button: the press is already over.
        MoveCursorTo(centre.x, centre.y);
        SendMouseButton(MOUSEEVENTF_LEFTUP);
        ASSERT_TRUE(PumpMessagesUntil([] { return (GetKeyState(VK_LBUTTON) & 0x8000) == 0; },
                                      INPUT_TIMEOUT_MS));
        EXPECT_TRUE(recordedClicks.empty());
        EXPECT_EQ(LOOK_RAISED, LookOnScreen(alpha));
    }
}

TEST_F(HoverDialogTest, ToggleButtonFlipsBeforeItsClickIsReported)
{
    EXPECT_EQ(BST_UNCHECKED, SendMessageA(toggle, BM_GETCHECK, 0, 0));
    const POINT centre = WindowCentre(toggle);
    ASSERT_TRUE(ClickAt(centre));
    EXPECT_EQ(BST_CHECKED, recordedClicks.back().checkDuringClick);
    EXPECT_EQ(BST_CHECKED, SendMessageA(toggle, BM_GETCHECK, 0, 0));
    // The released look of a checked button is the latched look.
    ParkCursor();
    EXPECT_EQ(LOOK_CHECKED, LookOnScreen(toggle));

    // Pressed, it shows pushed; dragged off, latched again; released off it,
    // it stays checked and reports nothing.
    MoveCursorTo(centre.x, centre.y);
    ASSERT_TRUE(PressMouse());
    EXPECT_EQ(LOOK_PUSHED, LookOnScreen(toggle));
    MoveCursorTo(centre.x, ScreenRect(toggle).bottom + 3);
    ASSERT_TRUE(PumpMessagesUntil([] { return hoverButtonGlobals.pressedInside == 0; },
                                  INPUT_TIMEOUT_MS));
    EXPECT_EQ(LOOK_CHECKED, LookOnScreen(toggle));
    ASSERT_TRUE(ReleaseMouse());
    EXPECT_EQ(1u, recordedClicks.size());
    EXPECT_EQ(BST_CHECKED, SendMessageA(toggle, BM_GETCHECK, 0, 0));

    ASSERT_TRUE(ClickAt(centre));
    EXPECT_EQ(BST_UNCHECKED, recordedClicks.back().checkDuringClick);
    ParkCursor();
    EXPECT_EQ(LOOK_RAISED, LookOnScreen(toggle));
}

TEST_F(HoverDialogTest, ToggleKeysAndCheckMessagesChangeTheStateWithoutNotifying)
{
    struct Step {
        UINT message;
        WPARAM wParam;
        int checkedAfter;
    };
    const Step steps[] = {
        {WM_CHAR, '+', 1},
        {WM_CHAR, '-', 0},
        {WM_CHAR, '=', 1},
        {WM_CHAR, 'x', 1},
        {BM_SETCHECK, BST_INDETERMINATE, 0},
        {BM_SETCHECK, BST_CHECKED, 1},
        {BM_SETCHECK, BST_UNCHECKED, 0},
    };
    for (const Step &step : steps) {
        SCOPED_TRACE(testing::Message() << "message " << step.message << " wParam "
                                        << step.wParam);
        UpdateWindow(toggle);
        SendMessageA(toggle, step.message, step.wParam, 0);
        EXPECT_EQ(step.checkedAfter, StateOf(toggle)->checked);
        EXPECT_EQ(step.checkedAfter, SendMessageA(toggle, BM_GETCHECK, 0, 0));
        // The button repaints itself in its new look.
        EXPECT_EQ(step.checkedAfter ? LOOK_CHECKED : LOOK_RAISED, LookOnScreen(toggle));
    }
    EXPECT_TRUE(recordedClicks.empty());

    // SetHoverButtonCheck keeps the value as given; a click flips it to 0.
    SetHoverButtonCheck(toggle, 7);
    EXPECT_EQ(7, StateOf(toggle)->checked);
    EXPECT_EQ(BST_CHECKED, SendMessageA(toggle, BM_GETCHECK, 0, 0));
    ASSERT_TRUE(ClickAt(WindowCentre(toggle)));
    EXPECT_EQ(0, StateOf(toggle)->checked);

    // Configured back as a push button, it forgets its check.
    SetHoverButtonCheck(toggle, 1);
    ConfigureHoverButton(toggle, HOVER_PUSH_MODE, 0, 1, 1);
    EXPECT_EQ(0, StateOf(toggle)->checked);

    // A checkable mode other than HOVER_TOGGLE_MODE takes BM_SETCHECK but not
    // the keys, and clicks do not flip it.
    ConfigureHoverButton(toggle, HOVER_TOGGLE_MODE + 1, 0, 1, 1);
    SendMessageA(toggle, WM_CHAR, '+', 0);
    EXPECT_EQ(0, StateOf(toggle)->checked);
    SendMessageA(toggle, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(1, StateOf(toggle)->checked);
    ASSERT_TRUE(ClickAt(WindowCentre(toggle)));
    EXPECT_EQ(1, StateOf(toggle)->checked);
}

TEST_F(HoverDialogTest, PushButtonIgnoresEveryCheckRequest)
{
    SendMessageA(alpha, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(alpha, WM_CHAR, '+', 0);
    SetHoverButtonCheck(alpha, 1);
    EXPECT_EQ(0, StateOf(alpha)->checked);
    EXPECT_EQ(BST_UNCHECKED, SendMessageA(alpha, BM_GETCHECK, 0, 0));
    ASSERT_TRUE(ClickAt(WindowCentre(alpha)));
    EXPECT_EQ(0, StateOf(alpha)->checked);
    EXPECT_EQ(BST_UNCHECKED, recordedClicks.back().checkDuringClick);
}

TEST_F(HoverDialogTest, SetFontKeepsTheFontButNeverRepaints)
{
    HFONT font = static_cast<HFONT>(GetStockObject(ANSI_VAR_FONT));
    UpdateWindow(alpha);
    SendMessageA(alpha, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    EXPECT_EQ(font, StateOf(alpha)->captionFont);
    EXPECT_FALSE(HasPendingPaint(alpha));
}

TEST_F(HoverDialogTest, ConfigureKeepsTheFrameCountOfARepeatedHoverStrip)
{
    ConfigureHoverButton(alpha, 0, 0, IDB_TEST_HOVER_STRIP, 3);
    HoverButtonState *state = StateOf(alpha);
    EXPECT_EQ(3, state->frameCount);
    const HBITMAP strip = state->hoverBitmap;
    ASSERT_NE(nullptr, strip);

    ConfigureHoverButton(alpha, 0, 0, IDB_TEST_HOVER_STRIP, 5);
    EXPECT_EQ(3, state->frameCount);
    EXPECT_EQ(strip, state->hoverBitmap);

    // A new glyph id replaces (and deletes) the old glyph bitmap.
    ConfigureHoverButton(alpha, 0, IDB_TEST_GLYPH_STRIP, IDB_TEST_HOVER_STRIP, 3);
    const HBITMAP glyph = state->glyphBitmap;
    ASSERT_NE(nullptr, glyph);
    // The button shows its new glyph (red in the test strip) by itself.
    EXPECT_TRUE(CaptureClient(alpha).Contains(RGB(0xFF, 0, 0))) << "configured, not repainted";
    ConfigureHoverButton(alpha, 0, IDB_TEST_BLACK_KEY, IDB_TEST_HOVER_STRIP, 3);
    EXPECT_NE(nullptr, state->glyphBitmap);
    EXPECT_EQ(0u, GetObjectType(glyph)) << "the old glyph bitmap was not deleted";

    // Only the low 16 bits of an id name the resource.
    ConfigureHoverButton(alpha, 0, 0x10000 | IDB_TEST_GLYPH_STRIP, IDB_TEST_HOVER_STRIP, 3);
    EXPECT_NE(nullptr, state->glyphBitmap);

    // A missing strip leaves no bitmap but still turns hover tracking on.
    ConfigureHoverButton(alpha, 0, 0, IDB_TEST_MISSING, 2);
    EXPECT_EQ(nullptr, state->hoverBitmap);
    EXPECT_EQ(nullptr, state->glyphBitmap);
    EXPECT_EQ(IDB_TEST_MISSING, state->hoverId);
    EXPECT_EQ(2, state->frameCount);
    EXPECT_EQ(0u, GetObjectType(strip)) << "the old hover strip was not deleted";

    // The program's own configuration: no bitmaps, hover tracking, one frame.
    ConfigureHoverButton(alpha, 0, 0, 1, 1);
    EXPECT_EQ(nullptr, state->hoverBitmap);
    EXPECT_EQ(1, state->hoverId);
    EXPECT_EQ(1, state->frameCount);
}

TEST_F(HoverDialogTest, ConfigureAndCheckLeaveOtherWindowsAlone)
{
    ConfigureHoverButton(nullptr, HOVER_TOGGLE_MODE, 0, 1, 1);
    SetHoverButtonCheck(nullptr, 1);
    ConfigureHoverButton(edit, HOVER_TOGGLE_MODE, IDB_TEST_GLYPH_STRIP, 1, 1);
    SetHoverButtonCheck(edit, 1);
    EXPECT_EQ(0, GetWindowUserData(edit));
    EXPECT_EQ(0, StateOf(alpha)->toggleMode);
}

TEST_F(HoverDialogTest, HoverTicksRepaintOnlyAnAnimatedStripOncePerFrameOfTicks)
{
    const POINT centre = WindowCentre(alpha);
    ASSERT_TRUE(MoveCursorAndWaitForHover(alpha, centre.x, centre.y));
    for (int tick = 1; tick <= HOVER_TICKS_TO_SEND; ++tick) {
        UpdateWindow(alpha);
        SendTicks(alpha, 1);
        EXPECT_FALSE(HasPendingPaint(alpha)) << "one frame, yet tick " << tick << " repaints";
    }

    ConfigureHoverButton(alpha, 0, 0, IDB_TEST_HOVER_STRIP, 3);
    hoverButtonGlobals.hoverTicks = 0;
    for (int tick = 1; tick <= HOVER_TICKS_TO_SEND; ++tick) {
        UpdateWindow(alpha);
        SendTicks(alpha, 1);
        EXPECT_EQ(tick % TICKS_PER_ANIMATION_FRAME == 0, HasPendingPaint(alpha)) << "tick " << tick;
    }
    EXPECT_EQ(0, hoverButtonGlobals.hoverTicks);
}

// --- The click that opens a modal box with a hover button of its own ------

struct NestedRun {
    bool pressClearedOnEntry = false;
    bool innerHovered = false;
    bool innerPressed = false;
    int innerClicks = 0;
};
NestedRun nestedRun;

INT_PTR CALLBACK NestedDialogProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        SetWindowPos(box, HWND_TOP, 400, 300, 0, 0, SWP_NOSIZE);
        ConfigureHoverButton(GetDlgItem(box, NESTED_BUTTON_ID), 0, 0, 1, 1);
        PostMessageA(box, WM_APP, 0, 0);
        return TRUE;
    case WM_APP: {
        // Runs inside the box's modal loop, itself inside the outer click.
        HWND inner = GetDlgItem(box, NESTED_BUTTON_ID);
        nestedRun.pressClearedOnEntry =
            !hoverButtonGlobals.captureActive && !hoverButtonGlobals.keyboardPress;
        const POINT centre = WindowCentre(inner);
        nestedRun.innerHovered = MoveCursorAndWaitForHover(inner, centre.x, centre.y);
        SendMouseButton(MOUSEEVENTF_LEFTDOWN);
        nestedRun.innerPressed = PumpMessagesUntil(
            [&] { return GetCapture() == inner && hoverButtonGlobals.pressedInside; },
            INPUT_TIMEOUT_MS);
        SendMouseButton(MOUSEEVENTF_LEFTUP);
        PumpMessagesUntil([] { return nestedRun.innerClicks > 0; }, INPUT_TIMEOUT_MS);
        EndDialog(box, 0);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == NESTED_BUTTON_ID)
            ++nestedRun.innerClicks;
        return TRUE;
    }
    return FALSE;
}

void OpenNestedBox(HWND owner, int id)
{
    if (id != ID_ALPHA)
        return;
    MemoryDialogTemplate layout(WS_POPUP | WS_VISIBLE | WS_CAPTION | DS_MODALFRAME, 0, 0, 80, 40,
                                "Nested");
    layout.AddControl(HOVER_BUTTON_CLASS, "Close", NESTED_BUTTON_ID,
                      WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 10, 50, 14);
    DialogBoxIndirectParamA(settingsState.instance, layout.Get(), owner, NestedDialogProc, 0);
}

TEST_F(HoverDialogTest, HoverButtonsOfAModalBoxOpenedByAClickHoverAndClickNormally)
{
    nestedRun = NestedRun();
    clickAction = OpenNestedBox;
    // By mouse...
    ASSERT_TRUE(ClickAt(WindowCentre(alpha)));
    EXPECT_TRUE(nestedRun.pressClearedOnEntry);
    EXPECT_TRUE(nestedRun.innerHovered);
    EXPECT_TRUE(nestedRun.innerPressed);
    EXPECT_EQ(1, nestedRun.innerClicks);

    // ...and by the space bar.
    nestedRun = NestedRun();
    SetFocus(alpha);
    SendMessageA(alpha, WM_KEYDOWN, VK_SPACE, SPACE_KEY_DATA);
    SendMessageA(alpha, WM_KEYUP, VK_SPACE, SPACE_KEY_UP_DATA);
    EXPECT_TRUE(nestedRun.pressClearedOnEntry);
    EXPECT_TRUE(nestedRun.innerHovered);
    EXPECT_EQ(1, nestedRun.innerClicks);
}

TEST_F(HoverDialogTest, DestroyingAButtonFreesItsBitmapsAndTheSharedTimer)
{
    MemoryDialogTemplate layout(WS_POPUP | WS_VISIBLE | WS_CAPTION, 0, 0, 80, 40, "Doomed");
    layout.AddControl(HOVER_BUTTON_CLASS, "Doomed", ID_ALPHA, WS_CHILD | WS_VISIBLE, 10, 10, 50,
                      14);
    HWND doomedBox = CreateDialogIndirectParamA(settingsState.instance, layout.Get(), nullptr,
                                                RecordingDialogProc, 0);
    ASSERT_NE(nullptr, doomedBox);
    SetWindowPos(doomedBox, HWND_TOP, 400, 300, 0, 0, SWP_NOSIZE);
    HWND doomed = GetDlgItem(doomedBox, ID_ALPHA);
    ConfigureHoverButton(doomed, 0, 0, 1, 1);
    PumpPendingMessages();

    // Destroying a button that does not hold the timer leaves the hover alone.
    const POINT alphaCentre = WindowCentre(alpha);
    ASSERT_TRUE(MoveCursorAndWaitForHover(alpha, alphaCentre.x, alphaCentre.y));
    HWND bystander = CreateWindowExA(0, HOVER_BUTTON_CLASS, "", WS_CHILD, 0, 0, 10, 10, dialog,
                                     nullptr, settingsState.instance, nullptr);
    ConfigureHoverButton(bystander, 0, IDB_TEST_GLYPH_STRIP, IDB_TEST_HOVER_STRIP, 3);
    const HBITMAP bystanderBitmaps[] = {StateOf(bystander)->glyphBitmap,
                                        StateOf(bystander)->hoverBitmap};
    DestroyWindow(bystander);
    EXPECT_TRUE(Hovering(alpha));
    // Its bitmaps went with it.
    for (HBITMAP bitmap : bystanderBitmaps) {
        EXPECT_NE(nullptr, bitmap);
        EXPECT_EQ(0u, GetObjectType(bitmap)) << "bitmap left behind by a destroyed button";
    }
    MoveCursorTo(DialogBackground().x, DialogBackground().y);
    SendTicks(alpha, 1);
    ASSERT_EQ(0u, hoverButtonGlobals.hoverTimer);

    // The box goes away (closed by the keyboard, say) under a resting mouse.
    const POINT doomedCentre = WindowCentre(doomed);
    ASSERT_TRUE(MoveCursorAndWaitForHover(doomed, doomedCentre.x, doomedCentre.y));
    SendTicks(doomed, 2); // half-way to an animation frame
    TimerCallRecorder timers;
    ASSERT_TRUE(timers.Installed());
    DestroyWindow(doomedBox);
    EXPECT_EQ(0u, hoverButtonGlobals.hoverTimer);
    EXPECT_EQ(nullptr, hoverButtonGlobals.hoverTimerWindow);
    const std::vector<TimerCall> stopDoomed = {{false, doomed, EXPECTED_HOVER_TIMER_ID, 0}};
    EXPECT_EQ(stopDoomed, timers.Calls());

    // Every other button still hovers, and counts its animation ticks afresh.
    HeldTicks held(alpha);
    ASSERT_TRUE(held.Installed());
    ConfigureHoverButton(alpha, 0, 0, IDB_TEST_HOVER_STRIP, 3);
    ASSERT_TRUE(MoveCursorAndWaitForHover(alpha, alphaCentre.x, alphaCentre.y));
    for (int tick = 1; tick <= TICKS_PER_ANIMATION_FRAME; ++tick) {
        UpdateWindow(alpha);
        SendTicks(alpha, 1);
        EXPECT_EQ(tick == TICKS_PER_ANIMATION_FRAME, HasPendingPaint(alpha)) << "tick " << tick;
    }
}

TEST_F(HoverDialogTest, ScreenReaderPressesAToggleAsAClickDoesAndHearsItsState)
{
    const LONG FOCUSED = STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED;
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_STATECHANGE, EVENT_OBJECT_STATECHANGE, nullptr,
                                         RecordStateChange, GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    stateChangesAnnounced.clear();
    SetWindowTextA(toggle, "&Toggle && Co");
    const AccessibleReading before = ReadAccessible(toggle);
    EXPECT_EQ(ROLE_SYSTEM_CHECKBUTTON, before.role);
    EXPECT_EQ("Toggle & Co", before.name);
    EXPECT_EQ(S_OK, DoDefaultAction(toggle));
    EXPECT_TRUE(recordedClicks.empty()) << "the click waits in the button's queue";
    ASSERT_TRUE(PumpMessagesUntil([] { return !recordedClicks.empty(); }, INPUT_TIMEOUT_MS));
    EXPECT_EQ(ID_TOGGLE, recordedClicks[0].id);
    EXPECT_EQ(BST_CHECKED, recordedClicks[0].checkDuringClick);
    EXPECT_EQ(FOCUSED | STATE_SYSTEM_PRESSED, ReadAccessible(toggle).state);
    PumpPendingMessages();
    EXPECT_EQ(std::vector<HWND>{toggle}, stateChangesAnnounced);
    UnhookWinEvent(hook);
    SetWindowTextA(toggle, "Toggle");
    // Under a modal box, whose owner is disabled, nothing beneath takes
    // clicks; nor does a hidden button, which a reader hears is invisible.
    EnableWindow(dialog, FALSE);
    EXPECT_EQ(E_FAIL, DoDefaultAction(toggle));
    EnableWindow(dialog, TRUE);
    ShowWindow(toggle, SW_HIDE);
    EXPECT_EQ(STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_PRESSED | STATE_SYSTEM_INVISIBLE, ReadAccessible(toggle).state);
    EXPECT_EQ(E_FAIL, DoDefaultAction(toggle));
    ShowWindow(toggle, SW_SHOW);
    // Up from the button's client object is the button's own window object,
    // not a client object again, where a reader walking up would loop: on
    // Windows its role is a window's, under Wine it gives none.
    IAccessible *client = AccessibleObjectOf(toggle);
    ASSERT_TRUE(client);
    IDispatch *parent = nullptr;
    EXPECT_EQ(S_OK, client->get_accParent(&parent));
    EXPECT_EQ(toggle, WindowOfAccessibleObject(parent));
    IAccessible *up = nullptr;
    VARIANT role = {};
    if (parent && SUCCEEDED(parent->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void **>(&up)))) {
        up->get_accRole(AccessibleSelf(), &role);
        up->Release();
    }
    EXPECT_TRUE(role.vt == VT_EMPTY || role.lVal == ROLE_SYSTEM_WINDOW) << "parent's role " << role.lVal;
    if (parent)
        parent->Release();
    client->Release();
    MoveCursorTo(WindowCentre(alpha).x, WindowCentre(alpha).y);
    ASSERT_TRUE(PressMouse());
    EXPECT_EQ(FOCUSED | STATE_SYSTEM_PRESSED, ReadAccessible(alpha).state);
    ASSERT_TRUE(ReleaseMouse());
}

TEST_F(HoverDialogTest, AnObjectKeptPastItsButtonAnswersDisconnected)
{
    HWND doomed = CreateWindowExA(0, HOVER_BUTTON_CLASS, "Doomed", WS_CHILD, 0, 0, 10, 10, dialog, nullptr,
                                  settingsState.instance, nullptr);
    IAccessible *kept = AccessibleObjectOf(doomed);
    ASSERT_TRUE(kept);
    DestroyWindow(doomed);
    BSTR name = nullptr;
    EXPECT_EQ(RPC_E_DISCONNECTED, kept->get_accName(AccessibleSelf(), &name));
    EXPECT_EQ(nullptr, name);
    EXPECT_EQ(RPC_E_DISCONNECTED, kept->accDoDefaultAction(AccessibleSelf()));
    EXPECT_EQ(0u, kept->Release()) << "references left on the object";

    // Windows 98 gives a destroyed window's handle to the next window made,
    // likeliest a hover button of the same thread (the About box opened
    // again): the object kept still answers disconnected, and a fresh one
    // reads the new button.
    const KeptPastItsControl scene = KeepObjectPastItsControl([&](const char *caption) {
        return CreateWindowExA(0, HOVER_BUTTON_CLASS, caption, WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, dialog, nullptr,
                               settingsState.instance, nullptr);
    });
    ASSERT_TRUE(scene.kept);
    EXPECT_TRUE(scene.sameHandle) << "the new button took the handle";
    EXPECT_EQ(RPC_E_DISCONNECTED, scene.kept->get_accName(AccessibleSelf(), &name));
    EXPECT_EQ(RPC_E_DISCONNECTED, scene.kept->accDoDefaultAction(AccessibleSelf()));
    EXPECT_EQ("Successor", ReadAccessible(scene.successor).name);
    scene.kept->Release();
    DestroyWindow(scene.successor);
}

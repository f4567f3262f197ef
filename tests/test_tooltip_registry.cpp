// test_tooltip_registry.cpp - registering controls for tips: the popup's part,
// the contiguous block of entries, unhooking on destruction, and what the
// subclass procedure does with moves and input.
#include "tooltip_fixture.h"

#include "platform/global_memory.h"
#include "platform/window_long.h"
#include "resource.h"

#include <vector>

namespace {

// A control's "own" procedure installed before registration: records what it
// sees of the tooltip machinery when messages reach it.
struct OwnProcRecord {
    WNDPROC buttonProc = nullptr;
    bool sawDestroy = false;
    bool registeredAtDestroy = true;
    WNDPROC procAtDestroy = nullptr;
    UINT_PTR timerAtKey = 1;
    int keys = 0;
};
OwnProcRecord own;

const LRESULT OWN_KEY_RESULT = 4321;

LRESULT CALLBACK OwnProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        own.sawDestroy = true;
        own.registeredAtDestroy = FindTooltip(window) != nullptr;
        own.procAtDestroy = GetWindowProc(window);
    } else if (message == WM_KEYDOWN) {
        ++own.keys;
        own.timerAtKey = tooltipState.timer;
        return OWN_KEY_RESULT;
    }
    return CallWindowProcA(own.buttonProc, window, message, wParam, lParam);
}

std::vector<HWND> RegistryOrder()
{
    std::vector<HWND> controls;
    for (UINT i = 0; i < tooltipState.count; ++i)
        controls.push_back(tooltipState.entries[i].control);
    return controls;
}

SIZE_T BlockEntries()
{
    return GlobalSize(tooltipState.entries) / sizeof(TooltipEntry);
}

// A font source that, asked for its font, registers another control first:
// the registry block grows while the outer registration is under way.
struct NestedRegistration {
    WNDPROC staticProc = nullptr;
    HWND control = nullptr; // registered from inside WM_GETFONT
    HFONT font = nullptr;   // the answer to WM_GETFONT
};
NestedRegistration nested;

LRESULT CALLBACK RegisterWhileAskedForFont(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_GETFONT) {
        if (nested.control) {
            HWND control = nested.control;
            nested.control = nullptr;
            RegisterTooltip(TTK_CAPTION, control, nullptr);
        }
        return reinterpret_cast<LRESULT>(nested.font);
    }
    return CallWindowProcA(nested.staticProc, window, message, wParam, lParam);
}

} // namespace

class TooltipRegistryTest : public TooltipTest {
protected:
    HWND Button(int id) { return Add("BUTTON", "Button", BS_PUSHBUTTON, id, 10, 10 + 30 * (id % 10), 80, 24); }
};

TEST_F(TooltipRegistryTest, RefusedWithoutPopupAndControlKeepsItsProcedure)
{
    HWND button = Button(IDOK);
    const WNDPROC before = GetWindowProc(button);
    DestroyTooltipWindow();
    EXPECT_EQ(0, RegisterTooltip(TTK_STRING_RESOURCE, button, host));
    EXPECT_EQ(before, GetWindowProc(button));
    EXPECT_EQ(0u, tooltipState.count);
    EXPECT_EQ(nullptr, tooltipState.entries);
    EXPECT_EQ(0, UnregisterTooltip(button));

    // A popup that cannot be made (no window class) is reported and leaves
    // registration refused.
    ASSERT_TRUE(UnregisterClassA(TOOLTIP_WINDOW_CLASS, settingsState.instance));
    EXPECT_EQ(0, CreateTooltipWindow());
    EXPECT_EQ(nullptr, tooltipState.popup);
    EXPECT_EQ(0, RegisterTooltip(TTK_STRING_RESOURCE, button, host));
    EXPECT_EQ(before, GetWindowProc(button));
    ASSERT_NE(0, RegisterTooltipWindowClass(settingsState.instance));

    // A popup created afterwards makes registration work.
    ASSERT_EQ(1, CreateTooltipWindow());
    EXPECT_EQ(1, RegisterTooltip(TTK_STRING_RESOURCE, button, host));
    EXPECT_EQ(reinterpret_cast<WNDPROC>(TooltipSubclassProc), GetWindowProc(button));
}

TEST_F(TooltipRegistryTest, NullControlIsRefused)
{
    // An entry for no window would match "nothing under the cursor".
    EXPECT_EQ(0, RegisterTooltip(TTK_STRING_RESOURCE, nullptr, host));
    EXPECT_EQ(0u, tooltipState.count);
    EXPECT_EQ(nullptr, tooltipState.entries);
    EXPECT_EQ(nullptr, FindTooltip(nullptr));
}

TEST_F(TooltipRegistryTest, FontSourceThatRegistersAnotherControlMeanwhile)
{
    nested = NestedRegistration();
    HWND outer = Button(3300);
    HWND inner = Button(3301);
    HWND source = AddStatic("", 3302, 0, 0, 1, 1);
    nested.staticProc = SetWindowProc(source, RegisterWhileAskedForFont);
    nested.font = DialogFont();
    for (int round = 0; round < 2; ++round) {
        // Once into an empty registry, once into one that already has entries.
        nested.control = inner;
        ASSERT_EQ(1, RegisterTooltip(TTK_STRING_RESOURCE, outer, source)) << "round " << round;
        EXPECT_EQ(nullptr, nested.control) << "the font source was asked";
        EXPECT_EQ(BlockEntries(), tooltipState.count);
        const TooltipEntry *innerEntry = FindTooltip(inner);
        ASSERT_NE(nullptr, innerEntry);
        EXPECT_EQ(TTK_CAPTION, innerEntry->kind);
        EXPECT_EQ(nullptr, innerEntry->font);
        const TooltipEntry *outerEntry = FindTooltip(outer);
        ASSERT_NE(nullptr, outerEntry);
        EXPECT_EQ(TTK_STRING_RESOURCE, outerEntry->kind);
        EXPECT_EQ(nested.font, outerEntry->font);
        EXPECT_EQ(reinterpret_cast<WNDPROC>(TooltipSubclassProc), GetWindowProc(outer));
        EXPECT_EQ(1, UnregisterTooltip(outer));
        EXPECT_EQ(1, UnregisterTooltip(inner));
        ASSERT_EQ(1, RegisterTooltip(TTK_CAPTION, Button(3303 + round), nullptr));
    }
    SetWindowProc(source, nested.staticProc);
}

TEST_F(TooltipRegistryTest, PopupClassAndCreatingThePopupTwice)
{
    WNDCLASSA windowClass = {};
    ASSERT_TRUE(GetClassInfoA(settingsState.instance, "ControlToolTipWndClass", &windowClass));
    EXPECT_EQ(static_cast<UINT>(CS_SAVEBITS), windowClass.style);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(TooltipWndProc), windowClass.lpfnWndProc);
    EXPECT_EQ(0, windowClass.cbClsExtra);
    EXPECT_EQ(0, windowClass.cbWndExtra);
    EXPECT_EQ(nullptr, windowClass.hIcon);
    EXPECT_EQ(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)), windowClass.hCursor);
    EXPECT_EQ(reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_INFOBK + 1)), windowClass.hbrBackground);
    EXPECT_EQ(nullptr, windowClass.lpszMenuName);

    HWND popup = tooltipState.popup;
    EXPECT_EQ(1, CreateTooltipWindow());
    EXPECT_EQ(popup, tooltipState.popup);
    char className[64] = "";
    GetClassNameA(popup, className, sizeof(className));
    EXPECT_STREQ("ControlToolTipWndClass", className);
    EXPECT_FALSE(IsWindowVisible(popup));
    EXPECT_EQ(static_cast<LONG_PTR>(WS_EX_TOOLWINDOW | WS_EX_TOPMOST),
              GetWindowLongPtrA(popup, GWL_EXSTYLE) & (WS_EX_TOOLWINDOW | WS_EX_TOPMOST));
}

TEST_F(TooltipRegistryTest, SecondRegistrationIsRefusedAndFirstKept)
{
    HWND button = Button(IDOK);
    ASSERT_EQ(1, RegisterTooltip(TTK_STRING_RESOURCE, button, host));
    EXPECT_EQ(0, RegisterTooltip(TTK_CAPTION, button, nullptr));
    ASSERT_EQ(1u, tooltipState.count);
    const TooltipEntry *entry = FindTooltip(button);
    ASSERT_NE(nullptr, entry);
    EXPECT_EQ(TTK_STRING_RESOURCE, entry->kind);
    EXPECT_EQ(DialogFont(), entry->font);
    EXPECT_NE(nullptr, entry->font);
}

TEST_F(TooltipRegistryTest, RemovalMovesTheLastEntryIntoTheGap)
{
    struct Case {
        int removed; // index into A, B, C
        std::vector<int> left;
    } cases[] = {{0, {2, 1}}, {2, {0, 1}}, {1, {0, 2}}};
    for (const Case &c : cases) {
        // Three classes, so that each control has a procedure of its own to get back.
        HWND controls[3] = {Button(1001), AddStatic("B", 1002, 100, 10, 80, 24),
                            Add("EDIT", "C", 0, 1003, 100, 40, 80, 24)};
        WNDPROC original[3];
        for (int i = 0; i < 3; ++i) {
            original[i] = GetWindowProc(controls[i]);
            ASSERT_EQ(1, RegisterTooltip(TTK_STRING_RESOURCE, controls[i], host));
        }
        EXPECT_EQ(1, UnregisterTooltip(controls[c.removed]));
        std::vector<HWND> expected;
        for (int i : c.left)
            expected.push_back(controls[i]);
        EXPECT_EQ(expected, RegistryOrder()) << "removing entry " << c.removed;
        EXPECT_EQ(2u, BlockEntries()) << "the block shrinks with the registry";
        EXPECT_EQ(original[c.removed], GetWindowProc(controls[c.removed]));
        EXPECT_EQ(nullptr, FindTooltip(controls[c.removed]));
        EXPECT_EQ(0, UnregisterTooltip(controls[c.removed])) << "already gone";
        for (HWND control : controls)
            DestroyWindow(control);
        EXPECT_EQ(0u, tooltipState.count) << "destroyed controls leave the registry";
    }
}

TEST_F(TooltipRegistryTest, BlockGrowsAndShrinksEntryByEntryAndIsFreedWhenEmpty)
{
    GlobalMemoryRecorder blocks;
    ASSERT_TRUE(blocks.Installed());
    std::vector<HWND> buttons;
    for (int i = 0; i < 12; ++i) {
        buttons.push_back(Button(2000 + i));
        ASSERT_EQ(1, RegisterTooltip(i % 6 + 1, buttons.back(), i % 2 ? host : nullptr));
        EXPECT_EQ(buttons.size(), tooltipState.count);
        EXPECT_EQ(buttons.size(), BlockEntries());
    }
    EXPECT_EQ(buttons, RegistryOrder()) << "entries stay in registration order";
    for (int i = 0; i < 12; ++i) {
        const TooltipEntry *entry = FindTooltip(buttons[i]);
        ASSERT_NE(nullptr, entry);
        EXPECT_EQ(i % 6 + 1, entry->kind);
        EXPECT_EQ(i % 2 ? DialogFont() : nullptr, entry->font);
    }
    // Always removing the last one keeps the others in place.
    while (buttons.size() > 1) {
        ASSERT_EQ(1, UnregisterTooltip(buttons.back()));
        buttons.pop_back();
        EXPECT_EQ(buttons, RegistryOrder());
        EXPECT_EQ(buttons.size(), BlockEntries());
    }
    EXPECT_EQ(1u, blocks.Held());
    ASSERT_EQ(1, UnregisterTooltip(buttons[0]));
    EXPECT_EQ(0u, blocks.Held()) << "the last removal frees the block";
    EXPECT_EQ(nullptr, tooltipState.entries);
    EXPECT_EQ(0u, tooltipState.count);
    EXPECT_EQ(nullptr, FindTooltip(buttons[0]));
    EXPECT_EQ(nullptr, FindTooltip(host));
}

TEST_F(TooltipRegistryTest, FailedAllocationLeavesRegistryAndControlAlone)
{
    HWND a = Button(3001);
    HWND b = Button(3002);
    const WNDPROC procA = GetWindowProc(a);
    const WNDPROC procB = GetWindowProc(b);

    FailGlobalAllocationAfter(1); // the first block
    EXPECT_EQ(0, RegisterTooltip(TTK_CAPTION, a, host));
    EXPECT_EQ(procA, GetWindowProc(a));
    EXPECT_EQ(nullptr, tooltipState.entries);
    EXPECT_EQ(0u, tooltipState.count);

    ASSERT_EQ(1, RegisterTooltip(TTK_CAPTION, a, host));
    TooltipEntry *block = tooltipState.entries;
    FailGlobalAllocationAfter(1); // growing it
    EXPECT_EQ(0, RegisterTooltip(TTK_CAPTION, b, host));
    EXPECT_EQ(procB, GetWindowProc(b));
    EXPECT_EQ(block, tooltipState.entries);
    EXPECT_EQ(std::vector<HWND>{a}, RegistryOrder());

    ASSERT_EQ(1, RegisterTooltip(TTK_CAPTION, b, host));
    FailGlobalAllocationAfter(1); // shrinking it: the removal still happens
    EXPECT_EQ(1, UnregisterTooltip(a));
    EXPECT_EQ(std::vector<HWND>{b}, RegistryOrder());
    EXPECT_EQ(2u, BlockEntries()) << "the larger block is kept";
    EXPECT_EQ(procA, GetWindowProc(a));
    EXPECT_NE(nullptr, FindTooltip(b));
}

TEST_F(TooltipRegistryTest, DestroyedControlLeavesBeforeItsOwnProcedureSeesDestroy)
{
    own = OwnProcRecord();
    HWND button = Button(IDOK);
    own.buttonProc = SetWindowProc(button, OwnProc);
    ASSERT_EQ(1, RegisterTooltip(TTK_STRING_RESOURCE, button, host));
    DestroyWindow(button);
    EXPECT_TRUE(own.sawDestroy);
    EXPECT_FALSE(own.registeredAtDestroy);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(OwnProc), own.procAtDestroy) << "previous procedure put back first";
    EXPECT_EQ(0u, tooltipState.count);
}

TEST_F(TooltipRegistryTest, OrphanedSubclassHandsMessagesToTheDefaultProcedure)
{
    HWND box = Add("BUTTON", "Box", BS_AUTOCHECKBOX, 3100, 10, 10, 80, 20);
    const WNDPROC buttonProc = GetWindowProc(box);
    SendMessageA(box, BM_SETCHECK, BST_CHECKED, 0);
    GlobalMemoryRecorder blocks;
    ASSERT_TRUE(blocks.Installed());
    ASSERT_EQ(1, RegisterTooltip(TTK_CAPTION, box, host));
    EXPECT_EQ(BST_CHECKED, SendMessageA(box, BM_GETCHECK, 0, 0)) << "registered: chained to the button";

    // Discarding the registry under a live control must not loop back into
    // the subclass procedure.
    HWND popup = tooltipState.popup;
    DestroyTooltipWindow();
    EXPECT_FALSE(IsWindow(popup));
    EXPECT_EQ(0u, blocks.Held()) << "the registry's block goes with the popup";
    EXPECT_EQ(nullptr, tooltipState.entries);
    EXPECT_EQ(0u, tooltipState.count);
    EXPECT_EQ(0, SendMessageA(box, BM_GETCHECK, 0, 0)) << "the default procedure knows no check state";
    SendMessageA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Other"));
    char text[16] = "";
    GetWindowTextA(box, text, sizeof(text));
    EXPECT_STREQ("Other", text);
    SetWindowProc(box, buttonProc);
}

TEST_F(TooltipRegistryTest, KeyReachesThePopupFirstThenTheControlsOwnProcedure)
{
    own = OwnProcRecord();
    HWND button = Button(IDOK);
    HWND other = Button(3200); // not registered
    own.buttonProc = SetWindowProc(button, OwnProc);
    ASSERT_EQ(1, RegisterTooltip(TTK_STRING_RESOURCE, button, host));

    HoverAndStart(button, 5, 5);
    Tick(3);
    SendMessageA(other, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_NE(0u, tooltipState.timer) << "a key in an unregistered control changes nothing";
    EXPECT_EQ(3u, tooltipState.ticks);

    EXPECT_EQ(OWN_KEY_RESULT, SendMessageA(button, WM_KEYDOWN, VK_SPACE, 0));
    EXPECT_EQ(1, own.keys);
    EXPECT_EQ(0u, own.timerAtKey) << "the pending tip was cancelled before the control saw the key";
    EXPECT_EQ(0u, tooltipState.ticks);
    EXPECT_FALSE(tooltipState.fromControl);
    EXPECT_FALSE(tooltipState.skipMove) << "input from a control sets nothing to skip";
}

TEST_F(TooltipRegistryTest, OnlyPlainMovesStartTheTimerAndOnlyOnce)
{
    HWND button = Button(IDOK);
    ASSERT_EQ(1, RegisterTooltip(TTK_STRING_RESOURCE, button, host));
    ResetIdle();
    timers.Clear();
    for (WPARAM keys : {MK_LBUTTON, MK_RBUTTON, MK_SHIFT, MK_CONTROL, MK_SHIFT | MK_CONTROL}) {
        SendMessageA(button, WM_MOUSEMOVE, keys, MAKELPARAM(5, 5));
        EXPECT_EQ(0u, tooltipState.timer) << "key state " << keys;
    }
    EXPECT_TRUE(timers.Calls().empty());

    // The popup's timer 1 ticking every 100 ms, delivered to the popup.
    SendMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    const UINT_PTR timer = tooltipState.timer;
    EXPECT_NE(0u, timer);
    ASSERT_EQ(1u, timers.Calls().size());
    const TimerCall started = timers.Calls()[0];
    EXPECT_TRUE(started.set);
    EXPECT_EQ(tooltipState.popup, started.window);
    EXPECT_EQ(static_cast<UINT_PTR>(TOOLTIP_TIMER_ID), started.id);
    EXPECT_EQ(100u, started.period);

    KillTimer(tooltipState.popup, TOOLTIP_TIMER_ID);
    Tick(2);
    timers.Clear();
    SendMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM(6, 6));
    SendMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM(7, 7));
    EXPECT_TRUE(timers.Calls().empty()) << "later moves do not start the timer again";
    EXPECT_EQ(timer, tooltipState.timer);
    EXPECT_EQ(2u, tooltipState.ticks) << "later moves do not restart the count";
    KillTimer(tooltipState.popup, TOOLTIP_TIMER_ID);
}

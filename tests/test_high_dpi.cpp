// test_high_dpi.cpp - dialvane.exe on a display of 96, 120 or 144 DPI, seen
// from outside: the process is DPI aware, its main dialog grows with the
// DPI, and what the program draws itself (the hovered button with its focus
// rectangle, the hot check box, the link's underline, the tooltip, the About
// box) is saved as screenshots and checked where no eye is needed.
//
// tools/high-dpi-test.sh runs this program once per DPI, each time with the
// Wine prefix set to that DPI. DIALVANE_DPI names the DPI of the run, and
// DIALVANE_DPI_REFERENCE a file in which the 96-DPI run leaves the main
// dialog's size for the later runs to compare with. This program carries the
// same manifest as dialvane.exe, so it, too, measures in real pixels.
#include "support/dialvane_process.h"
#include "support/test_support.h"
#include "support/visual_constants.h"

#include "controls/link_label.h"
#include "platform/system_library.h"
#include "resource.h"
#include "tooltips/tooltip_text.h"
#include "tooltips/tooltips.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const int BASE_DPI = 96;
const DWORD START_TIMEOUT_MS = 20000;
const DWORD EXIT_TIMEOUT_MS = 10000;
// Hover colours come with the next 100 ms tick; a tip after six of them.
const DWORD HOVER_TIMEOUT_MS = 3000;
// A remote thread that has not answered by then never will.
const DWORD REMOTE_CALL_TIMEOUT_MS = 10000;
const DWORD NO_ANSWER = 0xFFFFFFFF;
// What GetAwarenessFromDpiAwarenessContext answers for system awareness.
const int DPI_SYSTEM_AWARE = 1;
// How far the measured growth may stray from the DPI ratio: dialog units
// follow the dialog font, whose size is rounded to whole pixels (8 points
// are 11 pixels at 96 DPI but 13, not 13.3, at 120).
const double SCALE_TOLERANCE = 0.12;

// Runs a user32 function that takes one pointer-sized argument on a new
// thread inside `process` and returns its result, or NO_ANSWER. System DLLs
// are mapped at the same address in every process of one architecture, so
// the function's address here is its address there. A thread's start routine
// takes exactly one argument, so a WINAPI function of one argument leaves the
// stack as the thread expects on both architectures (a function of none would
// not on i686). Under qemu-user no thread can be started in another process:
// qemu kills that process, whatever it runs (a segmentation fault, or
// "assertion failed: (IOPL(dc) == iopl)"), so there the question is not asked.
DWORD AskProcess(HANDLE process, const char *user32Function, void *argument)
{
    FARPROC function;
    SystemFunction("user32.dll", user32Function, &function);
    if (!function)
        return NO_ANSWER;
    HANDLE thread = CreateRemoteThread(process, nullptr, 0, reinterpret_cast<LPTHREAD_START_ROUTINE>(function),
                                       argument, 0, nullptr);
    if (!thread)
        return NO_ANSWER;
    DWORD answer = NO_ANSWER;
    if (PumpMessagesUntil([&] { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; },
                          REMOTE_CALL_TIMEOUT_MS))
        GetExitCodeThread(thread, &answer);
    CloseHandle(thread);
    return answer;
}

// The DPI awareness `process` runs with: a new thread of it starts with the
// process's awareness, which setting its own returns (as a context whose
// awareness this process can read); the thread then ends.
int ProcessDpiAwareness(HANDLE process)
{
    int(WINAPI * awarenessOf)(ULONG_PTR);
    SystemFunction("user32.dll", "GetAwarenessFromDpiAwarenessContext", &awarenessOf);
    const DWORD previous = AskProcess(process, "SetThreadDpiAwarenessContext", DPI_AWARENESS_CONTEXT_SYSTEM_AWARE);
    return awarenessOf && previous != NO_ANSWER ? awarenessOf(previous) : -1;
}

RECT ScreenRectOf(HWND window)
{
    RECT r = {};
    GetWindowRect(window, &r);
    return r;
}

POINT CentreOf(const RECT &r)
{
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// Pixels of one row, from column `left` to column `right` inclusive, that
// differ from `colour`.
int RowPixelsOtherThan(const ScreenImage &image, int y, int left, int right, COLORREF colour)
{
    int count = 0;
    for (int x = left; x <= right; ++x)
        count += image.At(x, y) != colour;
    return count;
}

// The size of a tip for `text` in the system's status font at this DPI.
SIZE ExpectedTipSize(const char *text)
{
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = CLASSIC_NONCLIENTMETRICS_SIZE;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, CLASSIC_NONCLIENTMETRICS_SIZE, &metrics, 0);
    HFONT font = CreateFontIndirectA(&metrics.lfStatusFont);
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, font);
    RECT measured = {};
    DrawTextA(screen, text, -1, &measured, DT_CALCRECT);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    DeleteObject(font);
    return SIZE{measured.right + TIP_EXTRA_WIDTH, measured.bottom + TIP_EXTRA_HEIGHT};
}

INT_PTR CALLBACK DoNothingDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

// The main dialog's template as this platform shows it at this DPI with none
// of the program's code: created by this process, of the same architecture,
// with a procedure that does nothing and its hover buttons as plain windows,
// then shown. `client` is the size it gets, `units` the size its own font's
// dialog units give it. Wine's 32-bit side makes the font and lays the dialog
// out at the real DPI, but once the dialog is shown shrinks its window back
// to 96 DPI's size, and then nothing drawn in it is where its windows are.
struct BareTemplate {
    SIZE client;
    SIZE units;
    bool Scaled() const { return client.cx == units.cx && client.cy == units.cy; }
};

BareTemplate ShowBareTemplate()
{
    HINSTANCE self = GetModuleHandleA(nullptr);
    WNDCLASSA plain = {};
    plain.lpfnWndProc = DefWindowProcA;
    plain.hInstance = self;
    plain.lpszClassName = HOVER_BUTTON_CLASS;
    RegisterClassA(&plain);
    HWND bare = CreateDialogParamA(self, MAKEINTRESOURCEA(IDD_MAIN), nullptr, DoNothingDialogProc, 0);
    ShowWindow(bare, SW_SHOW);
    const auto *resource = static_cast<const DLGTEMPLATE *>(
        LockResource(LoadResource(self, FindResourceA(self, MAKEINTRESOURCEA(IDD_MAIN), RT_DIALOG))));
    RECT client = {}, units = {0, 0, resource->cx, resource->cy};
    GetClientRect(bare, &client);
    MapDialogRect(bare, &units);
    DestroyWindow(bare);
    UnregisterClassA(HOVER_BUTTON_CLASS, self);
    return BareTemplate{{client.right, client.bottom}, {units.right, units.bottom}};
}

const char UNSCALED_PLATFORM[] = "SKIPPED: this platform shows the main dialog's bare template at 96 DPI's "
                                 "window size (see MainDialogGrowsWithTheDpi), so no picture of it can be "
                                 "checked at this DPI";

class HighDpi : public testing::Test {
protected:
    void SetUp() override
    {
        const char *dpiText = getenv("DIALVANE_DPI");
        ASSERT_NE(nullptr, dpiText) << "DIALVANE_DPI names the DPI of the prefix "
                                       "(tools/high-dpi-test.sh sets it)";
        dpi = atoi(dpiText);
        ASSERT_FALSE(DialvaneProgramPath().empty()) << "DIALVANE_EXE names the program under test";
        ParkCursor();
        bareTemplate = ShowBareTemplate();
        ASSERT_TRUE(program.Start());
        main = program.WaitUntilLoaded(START_TIMEOUT_MS);
        ASSERT_TRUE(main);
    }

    void TearDown() override
    {
        if (!main)
            return;
        ParkCursor();
        program.Click(program.Control(main, IDCANCEL));
        EXPECT_TRUE(program.Exited(EXIT_TIMEOUT_MS));
    }

    std::string ShotName(const char *what) const
    {
        return "high_dpi_" + std::to_string(dpi) + "_" + what;
    }

    // Rests the cursor on the middle of `window` and returns the first
    // capture of it that holds `colour`, or an empty image.
    ScreenImage HoverUntilShown(HWND window, COLORREF colour)
    {
        const RECT area = ScreenRectOf(window);
        const POINT middle = CentreOf(area);
        MoveCursorTo(middle.x, middle.y);
        ScreenImage shot;
        const bool shown = PumpMessagesUntil([&] {
            shot = CaptureScreen(area);
            return shot.Contains(colour);
        }, HOVER_TIMEOUT_MS);
        return shown ? shot : ScreenImage();
    }

    int dpi = 0;
    BareTemplate bareTemplate = {};
    DialvaneProcess program;
    HWND main = nullptr;
};

TEST_F(HighDpi, RunsAtTheDisplaysDpiAsADpiAwareProcess)
{
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(dpi, GetDeviceCaps(screen, LOGPIXELSY)) << "the prefix is not set to this DPI";
    ReleaseDC(nullptr, screen);
    if (Emulated32Bit())
        GTEST_SKIP() << "SKIPPED: qemu-user aborts a process in which another starts a thread, so "
                        "the program's DPI awareness cannot be asked under emulation";
    // Unaware, it would be drawn at 96 DPI and stretched by the system.
    EXPECT_EQ(DPI_SYSTEM_AWARE, ProcessDpiAwareness(program.process.hProcess));
}

TEST_F(HighDpi, MainDialogGrowsWithTheDpi)
{
    ParkCursor();
    PumpMessagesFor(300); // the other process paints in its own time
    SaveScreenshot(CaptureWindow(main), ShotName("main_dialog"));
    RECT client = {};
    GetClientRect(main, &client);

    const SIZE bare = bareTemplate.client;
    printf("main dialog client %ldx%ld; bare template %ldx%ld, its font's units %ldx%ld; at %d DPI\n",
           client.right, client.bottom, bare.cx, bare.cy, bareTemplate.units.cx, bareTemplate.units.cy, dpi);

    const char *reference = getenv("DIALVANE_DPI_REFERENCE");
    ASSERT_NE(nullptr, reference) << "DIALVANE_DPI_REFERENCE names the 96-DPI size file";
    if (dpi == BASE_DPI) {
        FILE *out = fopen(reference, "w");
        ASSERT_NE(nullptr, out) << reference;
        fprintf(out, "%ld %ld %ld %ld\n", client.right, client.bottom, bare.cx, bare.cy);
        fclose(out);
        return;
    }
    FILE *in = fopen(reference, "r");
    ASSERT_NE(nullptr, in) << reference << ": run at 96 DPI first";
    long width = 0, height = 0, bareWidth = 0, bareHeight = 0;
    const int read = fscanf(in, "%ld %ld %ld %ld", &width, &height, &bareWidth, &bareHeight);
    fclose(in);
    ASSERT_EQ(4, read);
    ASSERT_TRUE(width > 0 && height > 0 && bareWidth > 0 && bareHeight > 0);
    // The program grows as the platform grows its bare template; where the
    // platform lays that out by its font, with the DPI. The 64-bit side does.
    const double bareGrowth[] = {static_cast<double>(bare.cx) / bareWidth, static_cast<double>(bare.cy) / bareHeight};
    if (bareTemplate.Scaled() || sizeof(void *) == sizeof(ULONGLONG)) {
        const double dpiGrowth = static_cast<double>(dpi) / BASE_DPI;
        EXPECT_TRUE(bareTemplate.Scaled());
        EXPECT_NEAR(dpiGrowth, bareGrowth[0], SCALE_TOLERANCE);
        EXPECT_NEAR(dpiGrowth, bareGrowth[1], SCALE_TOLERANCE);
    }
    EXPECT_NEAR(bareGrowth[0], static_cast<double>(client.right) / width, SCALE_TOLERANCE)
        << client.right << " pixels wide against " << width << " at 96 DPI";
    EXPECT_NEAR(bareGrowth[1], static_cast<double>(client.bottom) / height, SCALE_TOLERANCE)
        << client.bottom << " pixels high against " << height << " at 96 DPI";
}

TEST_F(HighDpi, HoveredButtonShowsItsHotCaptionInsideTheFocusRectangle)
{
    if (!bareTemplate.Scaled())
        GTEST_SKIP() << UNSCALED_PLATFORM;
    HWND ok = program.Control(main, IDOK);
    HWND apply = program.Control(main, IDC_APPLY);
    ASSERT_EQ(ok, program.FocusWindow());
    const ScreenImage hovered = HoverUntilShown(ok, GetSysColor(COLOR_HOTLIGHT));
    ASSERT_GT(hovered.width, 0) << "the caption never took the hot-tracking colour";
    SaveScreenshot(hovered, ShotName("hovered_button"));
    const ScreenImage idle = CaptureScreen(ScreenRectOf(apply));
    ASSERT_EQ(hovered.width, idle.width);
    ASSERT_EQ(hovered.height, idle.height);

    // The dotted focus rectangle: every other pixel of its top and bottom
    // rows, nothing on the rows just outside it, and none on the button
    // without the focus.
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const int left = FOCUS_INSET;
    const int right = hovered.width - 1 - FOCUS_INSET;
    const int length = right - left + 1;
    for (int y : {FOCUS_INSET, hovered.height - 1 - FOCUS_INSET}) {
        SCOPED_TRACE(testing::Message() << "row " << y);
        EXPECT_NEAR(length / 2, RowPixelsOtherThan(hovered, y, left, right, face), 1);
        EXPECT_EQ(0, RowPixelsOtherThan(idle, y, left, right, face));
    }
    // Between the rectangle's sides.
    EXPECT_EQ(0, RowPixelsOtherThan(hovered, FOCUS_INSET - 1, left + 1, right - 1, face));
    EXPECT_EQ(0, RowPixelsOtherThan(hovered, FOCUS_INSET + 1, left + 1, right - 1, face));
}

TEST_F(HighDpi, CheckBoxUnderTheMouseTurnsHot)
{
    if (!bareTemplate.Scaled())
        GTEST_SKIP() << UNSCALED_PLATFORM;
    HWND box = program.Control(main, IDC_MENU_ANIMATION);
    const ScreenImage hot = HoverUntilShown(box, GetSysColor(COLOR_HOTLIGHT));
    ASSERT_GT(hot.width, 0) << "the label never took the hot-tracking colour";
    SaveScreenshot(hot, ShotName("hot_check_box"));
}

TEST_F(HighDpi, LinkIsUnderlinedAlongItsLastRow)
{
    if (!bareTemplate.Scaled())
        GTEST_SKIP() << UNSCALED_PLATFORM;
    HWND link = program.Control(main, IDC_HOMEPAGE_LINK);
    ParkCursor();
    PumpMessagesFor(300);
    const ScreenImage shot = CaptureScreen(ScreenRectOf(link));
    SaveScreenshot(shot, ShotName("link"));
    ASSERT_GT(shot.height, 2);
    const int last = shot.height - 1;
    RECT underline = {0, last, shot.width, last + 1};
    EXPECT_EQ(shot.width, shot.Count(LINK_COLOR, underline)) << "the underline runs the full width";
    RECT text = {0, 0, shot.width, last - 1};
    EXPECT_GT(shot.Count(LINK_COLOR, text), 0) << "blue text above the underline";
    RECT above = {0, last - 1, shot.width, last};
    EXPECT_LT(shot.Count(LINK_COLOR, above), shot.width) << "the underline is one row";
}

TEST_F(HighDpi, TooltipShowsBelowTheCursorSizedForItsFont)
{
    if (!bareTemplate.Scaled())
        GTEST_SKIP() << UNSCALED_PLATFORM;
    HWND apply = program.Control(main, IDC_APPLY);
    const POINT middle = CentreOf(ScreenRectOf(apply));
    MoveCursorTo(middle.x, middle.y);
    // The tip is the program's one visible top-level window without a title.
    HWND tip = program.WaitForWindow("", HOVER_TIMEOUT_MS);
    ASSERT_TRUE(tip) << "no tip shown";
    char className[sizeof(TOOLTIP_WINDOW_CLASS) + 1] = "";
    GetClassNameA(tip, className, sizeof(className));
    ASSERT_STREQ(TOOLTIP_WINDOW_CLASS, className);
    PumpMessagesFor(200);
    const RECT tipRect = ScreenRectOf(tip);
    SaveScreenshot(CaptureScreen(tipRect), ShotName("tooltip"));
    const RECT buttonRect = ScreenRectOf(apply);
    RECT both;
    UnionRect(&both, &tipRect, &buttonRect);
    SaveScreenshot(CaptureScreen(both), ShotName("tooltip_and_button"));
    // Below the pointer's shape: 20 pixels under a 32-pixel cursor, and
    // further under the taller cursor of a higher DPI.
    const int cursorHeight = GetSystemMetrics(SM_CYCURSOR);
    EXPECT_EQ(middle.y + MulDiv(TIP_CURSOR_DROP, cursorHeight, STANDARD_CURSOR_HEIGHT), tipRect.top)
        << "cursor height " << cursorHeight;
    EXPECT_EQ(middle.x, tipRect.left);

    char text[TOOLTIP_TEXT_SIZE] = "";
    LoadStringA(GetModuleHandleA(nullptr), IDC_APPLY, text, TOOLTIP_TEXT_SIZE);
    const SIZE expected = ExpectedTipSize(text);
    EXPECT_EQ(expected.cx, tipRect.right - tipRect.left);
    EXPECT_EQ(expected.cy, tipRect.bottom - tipRect.top);
}

TEST_F(HighDpi, AboutBoxOpens)
{
    program.Click(program.Control(main, IDC_ABOUT));
    HWND about = program.WaitForWindow("About", START_TIMEOUT_MS);
    ASSERT_TRUE(about);
    PumpMessagesFor(500);
    SaveScreenshot(CaptureWindow(about), ShotName("about_box"));
    program.PressKey(VK_ESCAPE);
    EXPECT_TRUE(PumpMessagesUntil([&] { return !program.Window("About"); }, EXIT_TIMEOUT_MS));
}

} // namespace

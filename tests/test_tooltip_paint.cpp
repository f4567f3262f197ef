// test_tooltip_paint.cpp - the painted tip read back from the screen: frame,
// background and text colours, the text inset and several lines of text.
#include "tooltip_fixture.h"

#include "resource.h"

namespace {

const int IGNORED_TICKS = 5;
const int TEXT_LEFT = 4; // 3 pixels of inset plus the one-pixel shift
const int TEXT_TOP = 1;

// Distinct colours for the three system colours the tip uses, so that the
// frame, the text and the background cannot be mistaken for one another.
const int TIP_COLOUR_ELEMENTS[] = {COLOR_BTNTEXT, COLOR_INFOTEXT, COLOR_INFOBK};
const COLORREF TIP_TEST_COLOURS[] = {RGB(0, 0, 160), RGB(170, 0, 0), RGB(255, 255, 200)};

} // namespace

class TooltipPaintTest : public TooltipTest {
protected:
    void SetUp() override
    {
        for (int i = 0; i < 3; ++i)
            savedColours[i] = GetSysColor(TIP_COLOUR_ELEMENTS[i]);
        SetSysColors(3, TIP_COLOUR_ELEMENTS, TIP_TEST_COLOURS);
        TooltipTest::SetUp();
    }

    void TearDown() override
    {
        TooltipTest::TearDown();
        SetSysColors(3, TIP_COLOUR_ELEMENTS, savedColours);
    }

    HWND ShowStringTip(int id)
    {
        HWND label = AddStatic("Label", id, 20, 20, 200, 60);
        EXPECT_EQ(1, RegisterTooltip(TTK_STRING_RESOURCE, label, host));
        HoverAndStart(label, 10, 10);
        Tick(IGNORED_TICKS + 1);
        EXPECT_TRUE(IsWindowVisible(tooltipState.popup));
        return label;
    }

    // Rows of the tip's text area that hold at least one text-coloured pixel.
    static std::vector<bool> TextRows(const ScreenImage &tip, COLORREF text)
    {
        std::vector<bool> rows(tip.height, false);
        for (int y = 0; y < tip.height; ++y) {
            RECT row = {1, y, tip.width - 1, y + 1};
            rows[y] = tip.Count(text, row) > 0;
        }
        return rows;
    }

    // SetSysColors may store the colours; the stored values come back too.
    RegistrySandbox colours{{"Control Panel\\Colors"}};
    COLORREF savedColours[3] = {};
};

TEST_F(TooltipPaintTest, FrameBackgroundAndTextColours)
{
    ASSERT_EQ(TIP_TEST_COLOURS[1], GetSysColor(COLOR_INFOTEXT));
    ShowStringTip(IDOK);
    const ScreenImage tip = CaptureWindow(tooltipState.popup);
    ASSERT_GT(tip.width, 10);
    const COLORREF frame = GetSysColor(COLOR_BTNTEXT);
    const COLORREF text = GetSysColor(COLOR_INFOTEXT);
    const COLORREF background = GetSysColor(COLOR_INFOBK);

    const RECT top = {0, 0, tip.width, 1}, bottom = {0, tip.height - 1, tip.width, tip.height};
    const RECT left = {0, 0, 1, tip.height}, right = {tip.width - 1, 0, tip.width, tip.height};
    EXPECT_EQ(tip.width, tip.Count(frame, top));
    EXPECT_EQ(tip.width, tip.Count(frame, bottom));
    EXPECT_EQ(tip.height, tip.Count(frame, left));
    EXPECT_EQ(tip.height, tip.Count(frame, right));

    const RECT inside = {1, 1, tip.width - 1, tip.height - 1};
    const int area = (tip.width - 2) * (tip.height - 2);
    EXPECT_GT(tip.Count(text, inside), 10) << "text drawn in COLOR_INFOTEXT";
    EXPECT_GT(tip.Count(background, inside), area / 2) << "background in COLOR_INFOBK";
    EXPECT_EQ(0, tip.Count(frame, inside)) << "no frame colour inside";

    // The text keeps its inset: nothing left of column 4 or above row 1.
    const RECT leftMargin = {1, 1, TEXT_LEFT, tip.height - 1};
    EXPECT_EQ(0, tip.Count(text, leftMargin));
    EXPECT_EQ(tip.height - 2, tip.Count(background, RECT{1, 1, 2, tip.height - 1})) << "column 1 is background";

    SaveScreenshot(tip, "tooltip_single_line");
}

TEST_F(TooltipPaintTest, LineBreaksDrawSeveralLines)
{
    HWND label = ShowStringTip(IDC_ACTIVE_WINDOW_TRACKING); // three lines
    const int lineHeight = TextSize("Ag", nullptr).cy;
    const ScreenImage tip = CaptureWindow(tooltipState.popup);
    EXPECT_EQ(3 * lineHeight + 3, tip.height);
    const std::vector<bool> rows = TextRows(tip, GetSysColor(COLOR_INFOTEXT));
    for (int line = 0; line < 3; ++line) {
        bool any = false;
        for (int y = TEXT_TOP + line * lineHeight; y < TEXT_TOP + (line + 1) * lineHeight; ++y)
            any = any || rows[y];
        EXPECT_TRUE(any) << "line " << line << " has text";
    }
    SaveScreenshot(tip, "tooltip_three_lines");

    // The whole scene, tip over its control, for a person to look at.
    RECT scene = WindowRect(label);
    const RECT tipRect = TipRect();
    UnionRect(&scene, &scene, &tipRect);
    InflateRect(&scene, 20, 20);
    SaveScreenshot(CaptureScreen(scene), "tooltip_scene");
}

TEST_F(TooltipPaintTest, HidingGivesBackWhatWasBeneath)
{
    HWND label = AddStatic("Label", IDOK, 20, 20, 200, 60);
    ASSERT_EQ(1, RegisterTooltip(TTK_STRING_RESOURCE, label, host));
    PumpMessagesFor(50);
    RECT below = WindowRect(host);
    const ScreenImage before = CaptureScreen(below);
    HoverAndStart(label, 10, 10);
    Tick(IGNORED_TICKS + 1);
    ASSERT_TRUE(IsWindowVisible(tooltipState.popup));
    PumpMessagesFor(50);
    EXPECT_NE(before.pixels, CaptureScreen(below).pixels) << "the tip is on screen";
    SendMessageA(label, WM_KEYDOWN, VK_ESCAPE, 0);
    PumpMessagesFor(50);
    EXPECT_EQ(before.pixels, CaptureScreen(below).pixels) << "the tip left no trace";
}

// test_tooltip_paint.cpp - the painted tip read back from the screen: frame,
// background and text colours, the text inset and several lines of text.
#include "tooltip_fixture.h"

#include "resource.h"

#include <string>

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

    // The tip as it would look with `text` painted in `font` (the status font
    // when null): background, then the text at its inset, no frame.
    static ScreenImage ExpectedTip(int width, int height, const char *text, HFONT font)
    {
        return DrawToImage(width, height, [&](HDC dc) {
            RECT all = {0, 0, width, height};
            FillRect(dc, &all, GetSysColorBrush(COLOR_INFOBK));
            HFONT statusFont = font ? nullptr : CreateStatusFont();
            HGDIOBJ old = SelectObject(dc, font ? font : statusFont);
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
            RECT textRect = {TEXT_LEFT, TEXT_TOP, width - 2, height + 1};
            DrawTextA(dc, text, -1, &textRect, 0);
            SelectObject(dc, old);
            if (statusFont)
                DeleteObject(statusFont);
        });
    }

    // Pixels inside the frame where exactly one of the two images has the
    // text colour.
    static int TextPixelsDiffering(const ScreenImage &a, const ScreenImage &b)
    {
        const COLORREF text = GetSysColor(COLOR_INFOTEXT);
        int differing = 0;
        for (int y = 1; y < a.height - 1; ++y)
            for (int x = 1; x < a.width - 1; ++x)
                differing += (a.At(x, y) == text) != (b.At(x, y) == text);
        return differing;
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
    EXPECT_EQ(3 * lineHeight + TIP_EXTRA_HEIGHT, tip.height);
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

TEST_F(TooltipPaintTest, EachKindPaintsInItsFont)
{
    // The entry's own font is far larger than the status font.
    HWND fonts = LargeFontSource();
    struct Case {
        int kind;
        bool entryFont;
    } cases[] = {{TTK_CAPTION, false},     {TTK_INPLACE_CAPTION, true}, {TTK_LISTBOX_ITEM, true},
                 {TTK_CURSOR_CAPTION, false}, {TTK_STRING_RESOURCE, false}, {TTK_INDENTED_LISTBOX_ITEM, true}};
    for (const Case &c : cases) {
        const bool isList = c.kind == TTK_LISTBOX_ITEM || c.kind == TTK_INDENTED_LISTBOX_ITEM;
        // Too narrow for its text in the large font, so every kind shows.
        HWND control = isList ? AddListBox(20, 150, 60, 80, 3, "Wide list item ")
                              : AddStatic("Wide caption", IDOK, 20, 20, 40, 20);
        ASSERT_EQ(1, RegisterTooltip(c.kind, control, fonts));
        HoverAndStart(control, 5, 5);
        Tick(IGNORED_TICKS + 1);
        ASSERT_TRUE(IsWindowVisible(tooltipState.popup)) << "kind " << c.kind;
        char text[TOOLTIP_TEXT_SIZE];
        ASSERT_EQ(1, GetTooltipText(FindTooltip(control), text));

        const ScreenImage tip = CaptureWindow(tooltipState.popup);
        const ScreenImage inLarge = ExpectedTip(tip.width, tip.height, text, largeFont);
        const ScreenImage inStatus = ExpectedTip(tip.width, tip.height, text, nullptr);
        ASSERT_GT(TextPixelsDiffering(inLarge, inStatus), 50) << "the two fonts must look different";
        EXPECT_EQ(0, TextPixelsDiffering(tip, c.entryFont ? inLarge : inStatus))
            << "kind " << c.kind << " painted in the " << (c.entryFont ? "entry's" : "status") << " font";
        SendMessageA(control, WM_KEYDOWN, VK_ESCAPE, 0);
        DestroyWindow(control);
    }
}

TEST_F(TooltipPaintTest, TextStaysThreePixelsInFromTheRightEdge)
{
    // A caption that grows while its tip is shown is painted into the tip
    // measured for the old one, and cut at the text's right inset.
    HWND label = AddStatic("WWWW", 1200, 20, 20, 200, 60);
    ASSERT_EQ(1, RegisterTooltip(TTK_CURSOR_CAPTION, label, host));
    HoverAndStart(label, 10, 10);
    Tick(IGNORED_TICKS + 1);
    ASSERT_TRUE(IsWindowVisible(tooltipState.popup));
    SetWindowTextA(label, std::string(60, 'W').c_str());
    InvalidateRect(tooltipState.popup, nullptr, TRUE);
    const ScreenImage tip = CaptureWindow(tooltipState.popup);

    const COLORREF text = GetSysColor(COLOR_INFOTEXT);
    const int lastInside = tip.width - 2; // the column left of the frame
    const RECT beforeInset = {lastInside - 3, 1, lastInside, tip.height - 1};
    const RECT inset = {lastInside, 1, lastInside + 1, tip.height - 1};
    EXPECT_GT(tip.Count(text, beforeInset), 0) << "the text runs up to its right edge";
    EXPECT_EQ(0, tip.Count(text, inset)) << "and no further";
    EXPECT_EQ(tip.height, tip.Count(GetSysColor(COLOR_BTNTEXT), RECT{tip.width - 1, 0, tip.width, tip.height}))
        << "the frame is whole";
    SaveScreenshot(tip, "tooltip_text_cut_at_the_right");
}

TEST_F(TooltipPaintTest, ManyPaintsAndMeasuringTicksLeakNoGdiObjects)
{
    // Every paint of a shown tip makes and deletes a status font.
    HWND label = ShowStringTip(IDOK);
    GdiLeakProbe paints([] {
        InvalidateRect(tooltipState.popup, nullptr, TRUE);
        UpdateWindow(tooltipState.popup);
    });
    const int rounds = 1000;
    paints.Run(rounds);
    EXPECT_TRUE(paints.Sensitive());
    EXPECT_EQ(0, paints.Leaked()) << "GDI objects leaked over " << rounds << " paints";
    SendMessageA(label, WM_KEYDOWN, VK_ESCAPE, 0);

    // So does every tick that measures a caption that fits and needs no tip.
    HWND fitting = AddStatic("Fits", 1201, 20, 100, 200, 20);
    ASSERT_EQ(1, RegisterTooltip(TTK_CAPTION, fitting, host));
    HoverAndStart(fitting, 5, 5);
    Tick(IGNORED_TICKS);
    GdiLeakProbe ticks([this] { Tick(); });
    ticks.Run(rounds);
    EXPECT_FALSE(IsWindowVisible(tooltipState.popup));
    EXPECT_NE(0u, tooltipState.timer) << "still pending: every tick measured again";
    EXPECT_TRUE(ticks.Sensitive());
    EXPECT_EQ(0, ticks.Leaked()) << "GDI objects leaked over " << rounds << " measuring ticks";
}

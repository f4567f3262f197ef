// test_hover_button_paint.cpp - what hover buttons look like on screen: caption
// colours, font, centring and length, which button is drawn hovered, the
// embossed disabled state, the pushed shift, the focus rectangle, glyphs with
// their key colour, placement and colour mapping, hover-strip frames and the
// embossed disabled glyph with its mask; that painting shows without an
// off-screen bitmap, leaks no GDI objects and deletes no device context with
// its objects still selected.
#include "support/visual_constants.h"
#include "test_hover_button_fixture.h"
#include "test_resource_ids.h"

#include <cstdio>
#include <functional>
#include <set>
#include <string>
#include <utility>

namespace {

using PixelSet = std::set<std::pair<int, int>>;

// The caption area: inside the frame and the focus rectangle.
const int CAPTION_INSET = 4;

// Image sizes of the test bitmaps (see tests/bitmaps).
const int GLYPH_WIDTH = 12;
const int GLYPH_HEIGHT = 10;
const int STRIP_FRAME_SIZE = 8;
const int BLACK_KEY_IMAGE_SIZE = 6;

// Paints `look` straight into the button's window and reads it back, without
// letting any queued message repaint it in between.
ScreenImage PaintAndCapture(HWND button, int look, int hovered)
{
    HDC dc = GetDC(button);
    PaintHoverButton(button, dc, look, StateOf(button), hovered);
    ReleaseDC(button, dc);
    // Wine shows window drawing on screen when the thread next looks for
    // messages and finds none; a peek for a message that never comes does
    // that without dispatching anything that could repaint the button.
    MSG none;
    PeekMessageA(&none, button, WM_APP + 0x3FFF, WM_APP + 0x3FFF, PM_NOREMOVE);
    RECT client;
    GetClientRect(button, &client);
    MapWindowPoints(button, nullptr, reinterpret_cast<POINT *>(&client), 2);
    return CaptureScreen(client);
}

PixelSet PixelsOf(const ScreenImage &image, COLORREF colour, int inset = CAPTION_INSET)
{
    PixelSet found;
    for (int y = inset; y < image.height - inset; ++y)
        for (int x = inset; x < image.width - inset; ++x)
            if (image.At(x, y) == colour)
                found.insert({x, y});
    return found;
}

PixelSet Shifted(const PixelSet &pixels, int dx, int dy)
{
    PixelSet moved;
    for (const auto &p : pixels)
        moved.insert({p.first + dx, p.second + dy});
    return moved;
}

COLORREF Sys(int index)
{
    return GetSysColor(index);
}

// Longest wait between two looks at a condition while pumping for a dialog.
const DWORD DIALOG_PUMP_POLL_MS = 10;

// Pumps messages the way the owner of a modeless dialog does, so that real
// Tab keys move the focus, until `done` answers true or the time is up.
bool PumpDialogMessagesUntil(HWND dialog, const std::function<bool()> &done)
{
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!IsDialogMessageA(dialog, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
        if (done())
            return true;
        if (GetTickCount() - start >= INPUT_TIMEOUT_MS)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, DIALOG_PUMP_POLL_MS, QS_ALLINPUT);
    }
}

// A real key press and release, through the system's input queue.
void PressKey(WORD key)
{
    INPUT keys[2] = {};
    keys[0].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = key;
    keys[1] = keys[0];
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, keys, sizeof(INPUT));
}

class HoverButtonPaintTest : public HoverDialogTest {
protected:
    RECT Client(HWND button) const
    {
        RECT client;
        GetClientRect(button, &client);
        return client;
    }

    POINT GlyphOrigin(HWND button, int width, int height, int shift) const
    {
        const RECT client = Client(button);
        return {(client.right - width) / 2 + shift, (client.bottom - height) / 2 + shift};
    }

    void HoverOver(HWND button)
    {
        const POINT centre = WindowCentre(button);
        ASSERT_TRUE(MoveCursorAndWaitForHover(button, centre.x, centre.y));
        PumpPendingMessages();
    }
};

} // namespace

TEST_F(HoverButtonPaintTest, CaptionIsHotWhileHoveredAndNormalOtherwise)
{
    // A hot-tracking colour of its own, apart from the selection colour it
    // equals in the classic scheme.
    ScopedSysColors colours({{COLOR_HOTLIGHT, RGB(0x20, 0x90, 0x40)}});
    const ScreenImage normal = CaptureClient(alpha);
    SaveScreenshot(CaptureWindow(dialog), "hover_button_normal");
    const PixelSet text = PixelsOf(normal, Sys(COLOR_BTNTEXT));
    ASSERT_FALSE(text.empty());
    EXPECT_TRUE(PixelsOf(normal, Sys(COLOR_HOTLIGHT)).empty());

    HoverOver(alpha);
    const ScreenImage hot = CaptureClient(alpha);
    SaveScreenshot(CaptureWindow(dialog), "hover_button_hovered");
    EXPECT_EQ(text, PixelsOf(hot, Sys(COLOR_HOTLIGHT))) << "hovered caption not in COLOR_HOTLIGHT";
    EXPECT_TRUE(PixelsOf(hot, Sys(COLOR_BTNTEXT)).empty());

    // The timer still runs, but the cursor has just left the window: normal.
    const RECT bounds = ScreenRect(alpha);
    MoveCursorTo(bounds.left - 1, (bounds.top + bounds.bottom) / 2);
    const ScreenImage left = PaintAndCapture(alpha, LOOK_RAISED, 1);
    EXPECT_EQ(text, PixelsOf(left, Sys(COLOR_BTNTEXT)));
    EXPECT_TRUE(PixelsOf(left, Sys(COLOR_HOTLIGHT)).empty());

    // Without a hover strip id there is no hover colouring, even for a
    // hovered paint with the cursor over the button.
    ConfigureHoverButton(alpha, HOVER_PUSH_MODE, 0, 0, 0);
    const POINT centre = WindowCentre(alpha);
    MoveCursorTo(centre.x, centre.y);
    const ScreenImage untracked = PaintAndCapture(alpha, LOOK_RAISED, 1);
    EXPECT_EQ(text, PixelsOf(untracked, Sys(COLOR_BTNTEXT)));
    EXPECT_TRUE(PixelsOf(untracked, Sys(COLOR_HOTLIGHT)).empty());
}

TEST_F(HoverButtonPaintTest, CursorOnTheLeftColumnShowsHotUntilTheNextTick)
{
    const RECT bounds = ScreenRect(alpha);
    ASSERT_TRUE(MoveCursorAndWaitForHover(alpha, bounds.left, (bounds.top + bounds.bottom) / 2));
    PumpPendingMessages();
    EXPECT_FALSE(PixelsOf(CaptureClient(alpha), Sys(COLOR_HOTLIGHT)).empty());
    SendMessageA(alpha, WM_TIMER, EXPECTED_HOVER_TIMER_ID, 0);
    const ScreenImage after = CaptureClient(alpha);
    EXPECT_TRUE(PixelsOf(after, Sys(COLOR_HOTLIGHT)).empty());
    EXPECT_FALSE(PixelsOf(after, Sys(COLOR_BTNTEXT)).empty());
}

TEST_F(HoverButtonPaintTest, NeighbourTabbedToOnTheFirstButtonsTimerIsNeverLeftHot)
{
    const COLORREF hot = Sys(COLOR_HOTLIGHT);
    SetFocus(alpha);
    PumpPendingMessages();
    const POINT alphaCentre = WindowCentre(alpha);
    const POINT betaCentre = WindowCentre(beta);
    {
        // Alpha's timer runs on, but its ticks wait until the mouse has gone.
        HeldTicks held(alpha);
        ASSERT_TRUE(held.Installed());
        ASSERT_TRUE(MoveCursorAndWaitForHover(alpha, alphaCentre.x, alphaCentre.y));
        ASSERT_FALSE(PixelsOf(CaptureClient(alpha), hot).empty());
        MoveCursorTo(betaCentre.x, betaCentre.y);
        ASSERT_TRUE(Hovering(alpha));

        // Tab: the focus moves to Beta, which repaints with the cursor over it
        // while the hover timer is still Alpha's.
        PressKey(VK_TAB);
        ASSERT_TRUE(PumpDialogMessagesUntil(dialog, [&] { return GetFocus() == beta; }));
        const ScreenImage focused = CaptureClient(beta);
        SaveScreenshot(CaptureWindow(dialog), "hover_button_tabbed_neighbour");
        ASSERT_TRUE(Hovering(alpha));
        EXPECT_TRUE(PixelsOf(focused, hot).empty()) << "Beta drawn hot on Alpha's timer";
        EXPECT_FALSE(PixelsOf(focused, Sys(COLOR_BTNTEXT)).empty());
    }

    // The mouse leaves; Alpha's next real tick ends its hover.
    const POINT away = DialogBackground();
    MoveCursorTo(away.x, away.y);
    ASSERT_TRUE(PumpMessagesUntil([] { return hoverButtonGlobals.hoverTimer == 0; },
                                  INPUT_TIMEOUT_MS));
    EXPECT_TRUE(PixelsOf(CaptureClient(beta), hot).empty()) << "Beta left hot for good";
    EXPECT_TRUE(PixelsOf(CaptureClient(alpha), hot).empty());

    // Beta lights up once the hover timer is its own.
    ASSERT_TRUE(MoveCursorAndWaitForHover(beta, betaCentre.x, betaCentre.y));
    EXPECT_FALSE(PixelsOf(CaptureClient(beta), hot).empty());
}

TEST_F(HoverButtonPaintTest, DisabledCaptionIsEmbossedAndNeverHot)
{
    // A grey text colour of its own, apart from the shadow colour it
    // equals in the classic scheme.
    ScopedSysColors colours({{COLOR_GRAYTEXT, RGB(0x90, 0x30, 0x60)}});
    EnableWindow(alpha, FALSE);
    const ScreenImage disabled = CaptureClient(alpha);
    SaveScreenshot(CaptureWindow(dialog), "hover_button_disabled");
    const PixelSet grey = PixelsOf(disabled, Sys(COLOR_GRAYTEXT));
    const PixelSet light = PixelsOf(disabled, Sys(COLOR_BTNHIGHLIGHT));
    ASSERT_FALSE(grey.empty());
    ASSERT_FALSE(light.empty());
    // Every visible highlight pixel is a copy one pixel right and down of a
    // caption pixel, which itself is drawn grey on top.
    for (const auto &p : light)
        EXPECT_TRUE(grey.count({p.first - 1, p.second - 1}))
            << "highlight at " << p.first << "," << p.second << " has no grey pixel up-left";
    // And below and right of every grey pixel something was drawn: its
    // highlight copy, or more caption (the font may be smoothed, so the
    // pixel can be a blend).
    for (const auto &p : Shifted(grey, 1, 1))
        EXPECT_NE(Sys(COLOR_BTNFACE), disabled.At(p.first, p.second))
            << "no highlight copy at " << p.first << "," << p.second;
    EXPECT_TRUE(PixelsOf(disabled, Sys(COLOR_BTNTEXT)).empty());

    // Even with the cursor over it and asked to draw hovered.
    const POINT centre = WindowCentre(alpha);
    MoveCursorTo(centre.x, centre.y);
    const ScreenImage hovered = PaintAndCapture(alpha, LOOK_RAISED, 1);
    EXPECT_TRUE(PixelsOf(hovered, Sys(COLOR_HOTLIGHT)).empty());
    EXPECT_EQ(grey, PixelsOf(hovered, Sys(COLOR_GRAYTEXT)));
}

TEST_F(HoverButtonPaintTest, PushedAndCheckedLooksShiftTheCaptionRightAndDown)
{
    const PixelSet raised = PixelsOf(PaintAndCapture(alpha, LOOK_RAISED, 0), Sys(COLOR_BTNTEXT));
    ASSERT_FALSE(raised.empty());
    const ScreenImage pushed = PaintAndCapture(alpha, LOOK_PUSHED, 0);
    SaveScreenshot(CaptureScreen(ScreenRect(alpha)), "hover_button_pushed");
    EXPECT_EQ(Shifted(raised, 1, 1), PixelsOf(pushed, Sys(COLOR_BTNTEXT)));
    EXPECT_TRUE(RingMatches(pushed, ReferenceFrame(pushed.width, pushed.height, LOOK_PUSHED)));
    const ScreenImage checked = PaintAndCapture(alpha, LOOK_CHECKED, 0);
    EXPECT_EQ(Shifted(raised, 1, 1), PixelsOf(checked, Sys(COLOR_BTNTEXT)));
    EXPECT_TRUE(RingMatches(checked, ReferenceFrame(checked.width, checked.height, LOOK_CHECKED)));
}

TEST_F(HoverButtonPaintTest, CaptionIsCentredTextInTheButtonsFontCutTo126Characters)
{
    const int KEPT_CHARACTERS = 126;
    const std::string longCaption = std::string(KEPT_CHARACTERS, 'i') + "WWWW";
    HFONT dialogFont = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    HFONT otherFont = static_cast<HFONT>(GetStockObject(ANSI_VAR_FONT));
    const struct {
        const char *caption;
        HFONT font;
    } cases[] = {{"Alpha", dialogFont}, {"&Restore", otherFont}, {longCaption.c_str(), dialogFont}};
    // Wide enough for the long caption; drawn into memory, never shown.
    HWND wide = CreateWindowExA(0, HOVER_BUTTON_CLASS, "", WS_CHILD, 0, 0, 1200, 24, dialog,
                                nullptr, settingsState.instance, nullptr);
    ASSERT_NE(nullptr, wide);
    ConfigurePlainHoverButton(wide);
    RECT client;
    GetClientRect(wide, &client);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.caption);
        SetWindowTextA(wide, c.caption);
        SendMessageA(wide, WM_SETFONT, reinterpret_cast<WPARAM>(c.font), FALSE);
        const ScreenImage shown = DrawToImage(client.right, client.bottom, [&](HDC dc) {
            PaintHoverButton(wide, dc, LOOK_RAISED, StateOf(wide), 0);
        });
        const std::string kept = std::string(c.caption).substr(0, KEPT_CHARACTERS);
        const ScreenImage expected = DrawToImage(client.right, client.bottom, [&](HDC dc) {
            RECT all = client;
            DrawFrameControl(dc, &all, DFC_BUTTON, DFCS_BUTTONPUSH);
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, Sys(COLOR_BTNTEXT));
            HGDIOBJ oldFont = SelectObject(dc, c.font);
            DrawTextA(dc, kept.c_str(), -1, &all, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
            SelectObject(dc, oldFont);
        });
        int differing = 0;
        for (size_t i = 0; i < shown.pixels.size(); ++i)
            differing += shown.pixels[i] != expected.pixels[i];
        EXPECT_EQ(0, differing) << "pixels unlike centred text in the button's font";
    }
    DestroyWindow(wide);
}

TEST_F(HoverButtonPaintTest, FocusRectangleStaysFocusInsetInsideTheUnshiftedClientArea)
{
    for (int look : {LOOK_RAISED, LOOK_PUSHED, LOOK_CHECKED}) {
        SCOPED_TRACE(testing::Message() << "look " << look);
        SetFocus(edit);
        PumpPendingMessages();
        const ScreenImage plain = PaintAndCapture(alpha, look, 0);
        SetFocus(alpha);
        PumpPendingMessages();
        const ScreenImage focused = PaintAndCapture(alpha, look, 0);
        if (look == LOOK_PUSHED)
            SaveScreenshot(CaptureScreen(ScreenRect(alpha)), "hover_button_pushed_focused");

        const int right = focused.width - 1 - FOCUS_INSET;
        const int bottom = focused.height - 1 - FOCUS_INSET;
        int sides[4] = {0, 0, 0, 0}; // left, top, right, bottom
        int elsewhere = 0;
        for (int y = 0; y < focused.height; ++y)
            for (int x = 0; x < focused.width; ++x) {
                if (focused.At(x, y) == plain.At(x, y))
                    continue;
                const bool rows = y >= FOCUS_INSET && y <= bottom;
                const bool columns = x >= FOCUS_INSET && x <= right;
                if (x == FOCUS_INSET && rows)
                    ++sides[0];
                else if (y == FOCUS_INSET && columns)
                    ++sides[1];
                else if (x == right && rows)
                    ++sides[2];
                else if (y == bottom && columns)
                    ++sides[3];
                else
                    ++elsewhere;
            }
        EXPECT_EQ(0, elsewhere) << "focus drawing outside the inset rectangle";
        for (int side : sides)
            EXPECT_GT(side, 0);
    }
}

TEST_F(HoverButtonPaintTest, GlyphIsCentredWithItsKeyColourLeftOutAndGreysMapped)
{
    ConfigureHoverButton(alpha, 0, IDB_TEST_GLYPH_STRIP, 1, 1);
    // Classic colours, then colours that tell every mapping apart.
    const COLORREF custom[] = {RGB(0x10, 0x20, 0x90), RGB(0x30, 0x70, 0x30),
                               RGB(0xD0, 0xB0, 0x90), RGB(0xF0, 0xF0, 0x40)};
    for (int scheme = 0; scheme < 2; ++scheme) {
        SCOPED_TRACE(scheme ? "custom colours" : "current colours");
        ScopedSysColors colours(scheme ? std::initializer_list<std::pair<int, COLORREF>>{
                                             {COLOR_BTNTEXT, custom[0]},
                                             {COLOR_BTNSHADOW, custom[1]},
                                             {COLOR_BTNFACE, custom[2]},
                                             {COLOR_BTNHIGHLIGHT, custom[3]}}
                                       : std::initializer_list<std::pair<int, COLORREF>>{});
        for (int look : {LOOK_RAISED, LOOK_PUSHED}) {
            SCOPED_TRACE(testing::Message() << "look " << look);
            const ScreenImage shown = PaintAndCapture(alpha, look, 0);
            if (scheme == 1 && look == LOOK_RAISED)
                SaveScreenshot(shown, "hover_button_glyph_custom_colours");
            const POINT at = GlyphOrigin(alpha, GLYPH_WIDTH, GLYPH_HEIGHT, look ? 1 : 0);
            auto pixel = [&](int c, int r) { return shown.At(at.x + c, at.y + r); };
            EXPECT_EQ(Sys(COLOR_BTNFACE), pixel(0, 0)) << "key colour drawn";
            EXPECT_EQ(Sys(COLOR_BTNFACE), pixel(4, 5)) << "inner key colour drawn";
            EXPECT_EQ(Sys(COLOR_BTNTEXT), pixel(1, 1));
            EXPECT_EQ(Sys(COLOR_BTNSHADOW), pixel(2, 2)) << "0x808080";
            EXPECT_EQ(Sys(COLOR_BTNSHADOW), pixel(6, 2)) << "0x7F7F7F";
            EXPECT_EQ(Sys(COLOR_BTNFACE), pixel(2, 3));
            EXPECT_EQ(Sys(COLOR_BTNHIGHLIGHT), pixel(6, 3));
            EXPECT_EQ(RGB(0xFF, 0x00, 0x00), pixel(2, 4)) << "other colours stay";
            EXPECT_EQ(Sys(COLOR_BTNTEXT), pixel(GLYPH_WIDTH - 2, GLYPH_HEIGHT - 2));
            // Nothing of the disabled image is drawn, and no caption either.
            EXPECT_EQ(0, shown.Count(RGB(0xFF, 0x00, 0xFF)));
            EXPECT_EQ(8 * 2 - 4, shown.Count(RGB(0xFF, 0x00, 0x00)));
        }
    }
}

TEST_F(HoverButtonPaintTest, BlackKeyColourIsTransparentToo)
{
    ConfigureHoverButton(alpha, 0, IDB_TEST_BLACK_KEY, 1, 1);
    const ScreenImage shown = PaintAndCapture(alpha, LOOK_RAISED, 0);
    const POINT at = GlyphOrigin(alpha, BLACK_KEY_IMAGE_SIZE, BLACK_KEY_IMAGE_SIZE, 0);
    EXPECT_EQ(Sys(COLOR_BTNFACE), shown.At(at.x, at.y));
    EXPECT_EQ(Sys(COLOR_BTNHIGHLIGHT), shown.At(at.x + 1, at.y + 1));
    EXPECT_EQ(RGB(0xFF, 0, 0), shown.At(at.x + 2, at.y + 2));
    EXPECT_TRUE(PixelsOf(shown, Sys(COLOR_BTNTEXT)).empty()) << "black key drawn as text colour";
}

TEST_F(HoverButtonPaintTest, HoverStripShowsFramesInTurnAndOtherPaintsRestart)
{
    ConfigureHoverButton(alpha, 0, IDB_TEST_GLYPH_STRIP, IDB_TEST_HOVER_STRIP, 3);
    ConfigureHoverButton(beta, 0, IDB_TEST_GLYPH_STRIP, 1, 1);
    PaintAndCapture(alpha, LOOK_RAISED, 0); // not hovered: restarts the frames
    ASSERT_EQ(0, hoverButtonGlobals.glyphFrame);
    HoverOver(alpha);
    hoverButtonGlobals.glyphFrame = 0; // the hover's own repaint showed frame 0

    const POINT at = GlyphOrigin(alpha, STRIP_FRAME_SIZE, STRIP_FRAME_SIZE, 0);
    const COLORREF blocks[] = {RGB(0xFF, 0, 0), RGB(0, 0xFF, 0), RGB(0, 0, 0xFF),
                               RGB(0xFF, 0, 0)};
    for (int paint = 0; paint < 4; ++paint) {
        SCOPED_TRACE(testing::Message() << "hovered paint " << paint);
        const ScreenImage shown = PaintAndCapture(alpha, LOOK_RAISED, 1);
        EXPECT_EQ(blocks[paint], shown.At(at.x + 3, at.y + 3));
        // White is this strip's key colour: left out, not turned into highlight.
        EXPECT_EQ(Sys(COLOR_BTNFACE), shown.At(at.x, at.y));
        EXPECT_EQ(Sys(COLOR_BTNFACE), shown.At(at.x + 6, at.y + 1));
        EXPECT_EQ(Sys(COLOR_BTNTEXT), shown.At(at.x + 7, at.y + 7));
    }
    EXPECT_EQ(1, hoverButtonGlobals.glyphFrame);

    // A glyph paint of another button that is not hovered starts over.
    PaintAndCapture(beta, LOOK_RAISED, 0);
    EXPECT_EQ(0, hoverButtonGlobals.glyphFrame);
    EXPECT_EQ(blocks[0], PaintAndCapture(alpha, LOOK_RAISED, 1).At(at.x + 3, at.y + 3));

    // With frame count 0 the first half of the strip is drawn.
    ConfigureHoverButton(alpha, 0, IDB_TEST_GLYPH_STRIP, 0, 0);
    ConfigureHoverButton(alpha, 0, IDB_TEST_GLYPH_STRIP, IDB_TEST_HOVER_STRIP, 0);
    const int half = 3 * STRIP_FRAME_SIZE / 2;
    const POINT halfAt = GlyphOrigin(alpha, half, STRIP_FRAME_SIZE, 0);
    const ScreenImage firstHalf = PaintAndCapture(alpha, LOOK_RAISED, 1);
    EXPECT_EQ(blocks[0], firstHalf.At(halfAt.x + 3, halfAt.y + 3));
    EXPECT_EQ(blocks[1], firstHalf.At(halfAt.x + 10, halfAt.y + 3));
    EXPECT_EQ(Sys(COLOR_BTNFACE), firstHalf.At(halfAt.x + half, halfAt.y + 3));
    EXPECT_EQ(0, firstHalf.Count(blocks[2]));
    // A negative frame count draws the same.
    ConfigureHoverButton(alpha, 0, IDB_TEST_GLYPH_STRIP, 0, 0);
    ConfigureHoverButton(alpha, 0, IDB_TEST_GLYPH_STRIP, IDB_TEST_HOVER_STRIP, -2);
    EXPECT_EQ(firstHalf.pixels, PaintAndCapture(alpha, LOOK_RAISED, 1).pixels);
    EXPECT_EQ(0, hoverButtonGlobals.glyphFrame);

    // Five frames of the 24-pixel strip are 4 pixels wide each; the last 4
    // columns are never drawn, and the sixth paint starts over.
    ConfigureHoverButton(alpha, 0, IDB_TEST_GLYPH_STRIP, 0, 0);
    ConfigureHoverButton(alpha, 0, IDB_TEST_GLYPH_STRIP, IDB_TEST_HOVER_STRIP, 5);
    const int narrow = 3 * STRIP_FRAME_SIZE / 5;
    const POINT narrowAt = GlyphOrigin(alpha, narrow, STRIP_FRAME_SIZE, 0);
    const struct {
        int column; // inside the frame, on the row of the blocks
        COLORREF colour;
    } narrowFrames[] = {{2, blocks[0]}, {0, blocks[0]}, {2, blocks[1]},
                        {0, blocks[1]}, {2, blocks[2]}, {2, blocks[0]}};
    for (const auto &frame : narrowFrames) {
        const ScreenImage shown = PaintAndCapture(alpha, LOOK_RAISED, 1);
        EXPECT_EQ(frame.colour, shown.At(narrowAt.x + frame.column, narrowAt.y + 3));
        EXPECT_EQ(Sys(COLOR_BTNFACE), shown.At(narrowAt.x + narrow, narrowAt.y + 3));
    }

    // Hovered without a hover strip id: the glyph strip's first image, even
    // with a frame count, and the frames start over.
    ConfigureHoverButton(alpha, 0, IDB_TEST_GLYPH_STRIP, 0, 3);
    hoverButtonGlobals.glyphFrame = 1;
    const ScreenImage plainGlyph = PaintAndCapture(alpha, LOOK_RAISED, 0);
    hoverButtonGlobals.glyphFrame = 1;
    EXPECT_EQ(plainGlyph.pixels, PaintAndCapture(alpha, LOOK_RAISED, 1).pixels);
    EXPECT_EQ(0, hoverButtonGlobals.glyphFrame);

    // The key is the strip's top-left pixel in every frame: with the glyph
    // strip as a two-frame hover strip, the first frame leaves its magenta
    // corner out, the second draws its white corner in the highlight colour.
    ConfigureHoverButton(alpha, 0, IDB_TEST_GLYPH_STRIP, IDB_TEST_GLYPH_STRIP, 2);
    const POINT imageAt = GlyphOrigin(alpha, GLYPH_WIDTH, GLYPH_HEIGHT, 0);
    const ScreenImage first = PaintAndCapture(alpha, LOOK_RAISED, 1);
    EXPECT_EQ(Sys(COLOR_BTNFACE), first.At(imageAt.x, imageAt.y));
    EXPECT_EQ(Sys(COLOR_BTNTEXT), first.At(imageAt.x + 1, imageAt.y + 1));
    const ScreenImage second = PaintAndCapture(alpha, LOOK_RAISED, 1);
    EXPECT_EQ(Sys(COLOR_BTNHIGHLIGHT), second.At(imageAt.x, imageAt.y));
    EXPECT_EQ(Sys(COLOR_BTNTEXT), second.At(imageAt.x + 2, imageAt.y + 2));
}

TEST_F(HoverButtonPaintTest, GlyphIsCentredOrStartsAtTheCornerOfASmallerButton)
{
    // A text colour no frame pixel has: the glyph's first text-coloured
    // pixel, its (1, 1), shows where the glyph was placed.
    ScopedSysColors colours({{COLOR_BTNTEXT, RGB(0x10, 0x20, 0x90)}});
    const struct {
        int width, height, look;
        POINT at;
    } cases[] = {
        // One pixel too small: (11 - 12) / 2 truncates to 0, then the push adds 1.
        {GLYPH_WIDTH - 1, GLYPH_HEIGHT - 1, LOOK_RAISED, {0, 0}},
        {GLYPH_WIDTH - 1, GLYPH_HEIGHT - 1, LOOK_PUSHED, {1, 1}},
        // Four pixels too small: still outside after the push, so kept at 0.
        {GLYPH_WIDTH - 4, GLYPH_HEIGHT - 4, LOOK_RAISED, {0, 0}},
        {GLYPH_WIDTH - 4, GLYPH_HEIGHT - 4, LOOK_CHECKED, {0, 0}},
        // Room to spare: centred, and the checked look moves it like the pushed.
        {GLYPH_WIDTH + 10, GLYPH_HEIGHT + 6, LOOK_RAISED, {5, 3}},
        {GLYPH_WIDTH + 10, GLYPH_HEIGHT + 6, LOOK_CHECKED, {6, 4}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " look " << c.look);
        HWND tiny = CreateWindowExA(0, HOVER_BUTTON_CLASS, "", WS_CHILD | WS_VISIBLE, 250, 10,
                                    c.width, c.height, dialog, nullptr, settingsState.instance,
                                    nullptr);
        ASSERT_NE(nullptr, tiny);
        ConfigureHoverButton(tiny, HOVER_PUSH_MODE, IDB_TEST_GLYPH_STRIP, 1, 1);
        const ScreenImage shown = PaintAndCapture(tiny, c.look, 0);
        DestroyWindow(tiny);
        POINT first = {-1, -1};
        for (int y = 0; y < shown.height && first.x < 0; ++y)
            for (int x = 0; x < shown.width && first.x < 0; ++x)
                if (shown.At(x, y) == Sys(COLOR_BTNTEXT))
                    first = {x, y};
        EXPECT_EQ(c.at.x + 1, first.x);
        EXPECT_EQ(c.at.y + 1, first.y);
    }
}

TEST(HoverButtonGlyphCopy, OnlyExactBlackWhiteAndGreysTakeSystemColours)
{
    // One row of source pixels: the key first, then each mapped colour and
    // a near miss of each, which keeps its own colour.
    const COLORREF key = RGB(0x12, 0x34, 0x56);
    const COLORREF background = RGB(0x01, 0x02, 0x03);
    ScopedSysColors colours({{COLOR_BTNTEXT, RGB(0x10, 0x20, 0x90)},
                             {COLOR_BTNSHADOW, RGB(0x30, 0x70, 0x30)},
                             {COLOR_BTNFACE, RGB(0xD0, 0xB0, 0x90)},
                             {COLOR_BTNHIGHLIGHT, RGB(0xF0, 0xF0, 0x40)}});
    const struct {
        COLORREF pixel;
        COLORREF drawn;
    } row[] = {
        {key, background},
        {RGB(0, 0, 0), Sys(COLOR_BTNTEXT)},
        {RGB(0x80, 0x80, 0x80), Sys(COLOR_BTNSHADOW)},
        {RGB(0x7F, 0x7F, 0x7F), Sys(COLOR_BTNSHADOW)},
        {RGB(0xC0, 0xC0, 0xC0), Sys(COLOR_BTNFACE)},
        {RGB(0xFF, 0xFF, 0xFF), Sys(COLOR_BTNHIGHLIGHT)},
        {RGB(0, 0, 1), RGB(0, 0, 1)},
        {RGB(0x81, 0x80, 0x80), RGB(0x81, 0x80, 0x80)},
        {RGB(0xC0, 0xC0, 0xC1), RGB(0xC0, 0xC0, 0xC1)},
        {RGB(0xDF, 0xDF, 0xDF), RGB(0xDF, 0xDF, 0xDF)},
        {RGB(0xFF, 0x00, 0xFF), RGB(0xFF, 0x00, 0xFF)},
        {key, background},
    };
    const int width = static_cast<int>(sizeof(row) / sizeof(row[0]));
    const ScreenImage copied = DrawToImage(width, 1, [&](HDC target) {
        for (int x = 0; x < width; ++x)
            SetPixel(target, x, 0, background);
        HDC source = CreateCompatibleDC(target);
        HBITMAP strip = CreateCompatibleBitmap(target, width, 1);
        HGDIOBJ oldStrip = SelectObject(source, strip);
        for (int x = 0; x < width; ++x)
            SetPixel(source, x, 0, row[x].pixel);
        DrawButtonGlyph(target, 0, 0, source, nullptr, 0, 0, width, 1);
        SelectObject(source, oldStrip);
        DeleteObject(strip);
        DeleteDC(source);
    });
    for (int x = 0; x < width; ++x)
        EXPECT_EQ(row[x].drawn, copied.At(x, 0)) << "source pixel " << std::hex << row[x].pixel;
}

TEST_F(HoverButtonPaintTest, HoveredButtonWhoseStripFailedShowsNoGlyph)
{
    ConfigureHoverButton(alpha, 0, IDB_TEST_GLYPH_STRIP, IDB_TEST_MISSING, 3);
    HoverOver(alpha);
    const ScreenImage shown = PaintAndCapture(alpha, LOOK_RAISED, 1);
    const RECT inside = {CAPTION_INSET, CAPTION_INSET, shown.width - CAPTION_INSET,
                         shown.height - CAPTION_INSET};
    const int area = (inside.right - inside.left) * (inside.bottom - inside.top);
    EXPECT_EQ(area, shown.Count(Sys(COLOR_BTNFACE), inside));
    EXPECT_TRUE(RingMatches(shown, ReferenceFrame(shown.width, shown.height, LOOK_RAISED)));
}

TEST_F(HoverButtonPaintTest, DisabledGlyphIsTheEmbossedShapeOfTheSecondImage)
{
    ConfigureHoverButton(alpha, 0, IDB_TEST_GLYPH_STRIP, 1, 1);
    EnableWindow(alpha, FALSE);
    const ScreenImage shown = CaptureClient(alpha);
    SaveScreenshot(CaptureWindow(dialog), "hover_button_disabled_glyph");
    const POINT at = GlyphOrigin(alpha, GLYPH_WIDTH, GLYPH_HEIGHT, 0);
    auto pixel = [&](int c, int r) { return shown.At(at.x + c, at.y + r); };
    // The square at (2..5, 2..5) and the bar at (8..9, 3..4), grey on top...
    for (int r = 2; r <= 5; ++r)
        for (int c = 2; c <= 5; ++c)
            EXPECT_EQ(Sys(COLOR_GRAYTEXT), pixel(c, r)) << c << "," << r;
    EXPECT_EQ(Sys(COLOR_GRAYTEXT), pixel(8, 3)) << "red part of the image not greyed";
    EXPECT_EQ(Sys(COLOR_GRAYTEXT), pixel(9, 4));
    // ...over the highlight copy one pixel right and down.
    EXPECT_EQ(Sys(COLOR_BTNHIGHLIGHT), pixel(6, 3));
    EXPECT_EQ(Sys(COLOR_BTNHIGHLIGHT), pixel(6, 6));
    EXPECT_EQ(Sys(COLOR_BTNHIGHLIGHT), pixel(3, 6));
    EXPECT_EQ(Sys(COLOR_BTNHIGHLIGHT), pixel(10, 5));
    EXPECT_EQ(Sys(COLOR_BTNFACE), pixel(1, 1));
    EXPECT_EQ(Sys(COLOR_BTNFACE), pixel(7, 7));
    // No colour of either image is copied.
    EXPECT_EQ(0, shown.Count(RGB(0xFF, 0, 0)));
    EXPECT_TRUE(PixelsOf(shown, Sys(COLOR_BTNTEXT)).empty());
    const RECT inside = {CAPTION_INSET, CAPTION_INSET, shown.width - CAPTION_INSET,
                         shown.height - CAPTION_INSET};
    EXPECT_EQ(4 * 4 + 2 * 2, shown.Count(Sys(COLOR_GRAYTEXT), inside));

    // Disabled while it hovers, its hover timer still running, the button
    // shows the same disabled glyph, not one made from its hover strip.
    EnableWindow(alpha, TRUE);
    ConfigureHoverButton(alpha, 0, IDB_TEST_GLYPH_STRIP, IDB_TEST_HOVER_STRIP, 3);
    HoverOver(alpha);
    EnableWindow(alpha, FALSE);
    ASSERT_TRUE(Hovering(alpha));
    EXPECT_EQ(shown.pixels, CaptureClient(alpha).pixels);

    // The mask's bits are rows of whole 16-bit words: a 6-pixel image takes
    // 2 bytes a row, a 24-pixel frame 4. Nothing is pumped while recording,
    // so only these two paints allocate.
    const POINT centre = WindowCentre(alpha);
    MoveCursorTo(centre.x, centre.y);
    GlobalMemoryRecorder memory;
    ASSERT_TRUE(memory.Installed());
    ConfigureHoverButton(alpha, 0, IDB_TEST_BLACK_KEY, 1, 1);
    PaintAndCapture(alpha, LOOK_RAISED, 0);
    ConfigureHoverButton(alpha, 0, IDB_TEST_GLYPH_STRIP, IDB_TEST_HOVER_STRIP, 1);
    PaintAndCapture(alpha, LOOK_RAISED, 1);
    const std::vector<SIZE_T> maskBytes = {2 * BLACK_KEY_IMAGE_SIZE, 4 * STRIP_FRAME_SIZE};
    EXPECT_EQ(maskBytes, memory.Allocations());
}

TEST_F(HoverButtonPaintTest, PaintsShowWithoutAnOffScreenBitmapAndThousandsLeakNoGdiObjects)
{
    // A full GDI heap refuses the off-screen device context or bitmap: the
    // button is drawn straight onto the window, as it is otherwise.
    GdiRefusal refusal;
    ASSERT_TRUE(refusal.Installed());
    const ScreenImage drawn = PaintAndCapture(alpha, LOOK_RAISED, 0);
    for (const GdiRefusal::Call call : {GdiRefusal::MEMORY_DC, GdiRefusal::BITMAP}) {
        BlackenClient(alpha);
        GdiRefusal::refuseNext = call;
        const ScreenImage shot = PaintAndCapture(alpha, LOOK_RAISED, 0);
        EXPECT_EQ(drawn.pixels, shot.pixels) << "refused call " << call;
        SaveScreenshot(shot, "hover_button_drawn_on_screen_" + std::to_string(call));
    }
    EXPECT_EQ(2, GdiRefusal::refused);

    ConfigureHoverButton(beta, 0, IDB_TEST_GLYPH_STRIP, IDB_TEST_HOVER_STRIP, 3);
    EnableWindow(toggle, FALSE);
    ConfigureHoverButton(toggle, 0, IDB_TEST_GLYPH_STRIP, 1, 1);
    HoverOver(beta);
    HDC alphaDc = GetDC(alpha);
    HDC betaDc = GetDC(beta);
    HDC toggleDc = GetDC(toggle);
    int round = 0;
    DcCallRecorder dcs;
    ASSERT_TRUE(dcs.Installed());
    GdiLeakProbe probe([&] {
        const int look = round % 3;
        // The caption's paint, the round's first, goes without an off-screen
        // bitmap in two rounds of three.
        GdiRefusal::refuseNext = static_cast<GdiRefusal::Call>(round % 3);
        PaintHoverButton(alpha, alphaDc, look, StateOf(alpha), round & 1); // caption
        PaintHoverButton(beta, betaDc, look, StateOf(beta), 1);             // hover strip
        PaintHoverButton(beta, betaDc, look, StateOf(beta), 0);             // glyph
        PaintHoverButton(toggle, toggleDc, look, StateOf(toggle), 0);       // disabled glyph
        ++round;
    });
    const int rounds = 1500;
    probe.Run(rounds);
    ReleaseDC(alpha, alphaDc);
    ReleaseDC(beta, betaDc);
    ReleaseDC(toggle, toggleDc);
    EXPECT_TRUE(probe.Sensitive()) << "the probe cannot see a leak of one object a paint";
    EXPECT_EQ(0, probe.Leaked()) << "GDI objects leaked over " << 4 * rounds << " paints";
    // Every memory device context went with nothing of the paint selected.
    EXPECT_GT(dcs.Deleted(), 0);
    EXPECT_EQ(0, dcs.DeletedWithObjectSelected());
}

// test_hover_button_rules.cpp - the hover button's drawing rules on their own:
// frame state per look, caption colour, frame selection in a strip, glyph
// placement, colour mapping and mask row size.
#include "controls/hover_button_paint.h"

#include <gtest/gtest.h>

TEST(HoverButtonRules, EachLookHasItsFrameAndShift)
{
    EXPECT_EQ(static_cast<UINT>(DFCS_BUTTONPUSH), FrameStateForLook(LOOK_RAISED));
    EXPECT_EQ(static_cast<UINT>(DFCS_BUTTONPUSH | DFCS_PUSHED), FrameStateForLook(LOOK_PUSHED));
    EXPECT_EQ(static_cast<UINT>(DFCS_BUTTONPUSH | DFCS_CHECKED), FrameStateForLook(LOOK_CHECKED));
    EXPECT_EQ(0, ContentShiftForLook(LOOK_RAISED));
    EXPECT_EQ(1, ContentShiftForLook(LOOK_PUSHED));
    EXPECT_EQ(1, ContentShiftForLook(LOOK_CHECKED));
}

TEST(HoverButtonRules, CaptionIsHotOnlyWhenHoveredWithHoverTracking)
{
    EXPECT_EQ(COLOR_HOTLIGHT, CaptionColourIndex(1, 1));
    EXPECT_EQ(COLOR_HOTLIGHT, CaptionColourIndex(5, 3001));
    EXPECT_EQ(COLOR_BTNTEXT, CaptionColourIndex(0, 1));
    EXPECT_EQ(COLOR_BTNTEXT, CaptionColourIndex(1, 0));
}

TEST(HoverButtonRules, HoveredStripStepsThroughFramesAndWraps)
{
    int counter = 0;
    const int expectedX[] = {0, 10, 20, 0, 10};
    for (int x : expectedX) {
        const GlyphFrame frame = SelectGlyphFrame(31, 1, 7, 3, &counter);
        EXPECT_EQ(10, frame.width) << "31 / 3 in whole pixels";
        EXPECT_EQ(x, frame.sourceX);
    }
    EXPECT_EQ(2, counter);

    // Not hovered, no hover strip or no frames: the first of two images, and
    // the counter starts over.
    const struct {
        int hovered, hoverId, frameCount;
    } others[] = {{0, 7, 3}, {1, 0, 3}, {1, 7, 0}, {1, 7, -2}};
    for (const auto &other : others) {
        counter = 2;
        const GlyphFrame frame =
            SelectGlyphFrame(25, other.hovered, other.hoverId, other.frameCount, &counter);
        EXPECT_EQ(12, frame.width) << "25 / 2: the odd column is never drawn";
        EXPECT_EQ(0, frame.sourceX);
        EXPECT_EQ(0, counter);
    }

    // One frame: always the whole strip.
    counter = 0;
    EXPECT_EQ(0, SelectGlyphFrame(16, 1, 7, 1, &counter).sourceX);
    EXPECT_EQ(0, SelectGlyphFrame(16, 1, 7, 1, &counter).sourceX);
    EXPECT_EQ(16, SelectGlyphFrame(16, 1, 7, 1, &counter).width);
}

TEST(HoverButtonRules, GlyphIsCentredShiftedWhenDownAndKeptInside)
{
    const struct {
        int clientW, clientH, glyphW, glyphH, look, x, y;
    } cases[] = {
        {75, 23, 16, 16, LOOK_RAISED, 29, 3},
        {75, 23, 16, 16, LOOK_PUSHED, 30, 4},
        {75, 23, 16, 16, LOOK_CHECKED, 30, 4},
        {10, 8, 30, 20, LOOK_RAISED, 0, 0},  // larger than the button
        {10, 8, 30, 20, LOOK_PUSHED, 0, 0},  // still negative after the shift
        {10, 8, 11, 9, LOOK_RAISED, 0, 0},   // -1 / 2 truncates to 0
        {10, 8, 11, 9, LOOK_PUSHED, 1, 1},
        {10, 8, 13, 8, LOOK_PUSHED, 0, 1},   // -3 / 2 = -1, +1 = 0
    };
    for (const auto &c : cases) {
        const POINT at = PlaceGlyph(c.clientW, c.clientH, c.glyphW, c.glyphH, c.look);
        EXPECT_EQ(c.x, at.x) << c.clientW << "x" << c.clientH << " glyph " << c.glyphW << "x"
                             << c.glyphH << " look " << c.look;
        EXPECT_EQ(c.y, at.y) << c.clientW << "x" << c.clientH << " glyph " << c.glyphW << "x"
                             << c.glyphH << " look " << c.look;
    }
}

TEST(HoverButtonRules, GlyphGreysAndBlackWhiteBecomeSystemColours)
{
    const struct {
        COLORREF pixel;
        int sysColour; // -1: kept as it is
    } cases[] = {
        {RGB(0, 0, 0), COLOR_BTNTEXT},
        {RGB(0x80, 0x80, 0x80), COLOR_BTNSHADOW},
        {RGB(0x7F, 0x7F, 0x7F), COLOR_BTNSHADOW},
        {RGB(0xC0, 0xC0, 0xC0), COLOR_BTNFACE},
        {RGB(0xFF, 0xFF, 0xFF), COLOR_BTNHIGHLIGHT},
        {RGB(0x81, 0x80, 0x80), -1},
        {RGB(0xFF, 0, 0xFF), -1},
        {RGB(0, 0, 1), -1},
        {RGB(0xDF, 0xDF, 0xDF), -1},
    };
    for (const auto &c : cases) {
        const COLORREF expected = c.sysColour < 0 ? c.pixel : GetSysColor(c.sysColour);
        EXPECT_EQ(expected, MapGlyphColour(c.pixel)) << std::hex << c.pixel;
    }
}

TEST(HoverButtonRules, MaskRowsAreWholeSixteenBitWords)
{
    const int widths[] = {1, 8, 9, 16, 17, 24, 32, 33};
    const int bytes[] = {2, 2, 2, 2, 4, 4, 4, 6};
    for (size_t i = 0; i < sizeof(widths) / sizeof(widths[0]); ++i)
        EXPECT_EQ(bytes[i], MaskRowBytes(widths[i])) << "width " << widths[i];
}

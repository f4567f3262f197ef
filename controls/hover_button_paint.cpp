// hover_button_paint.cpp - drawing a hover button off-screen and copying it to
// the window in one step, so that each new look appears whole.
#include "controls/hover_button_paint.h"

#include "controls/hover_hit_test.h"
#include "platform/global_memory.h"
#include "platform/off_screen.h"

namespace {

// The caption buffer holds at most this many characters plus the zero.
const int CAPTION_BUFFER_SIZE = 127;
const UINT CAPTION_FORMAT = DT_SINGLELINE | DT_VCENTER | DT_CENTER;
// The focus rectangle sits this far inside the client rectangle.
const int FOCUS_INSET = 3;
// The embossed highlight copy of disabled content is offset by this much.
const int EMBOSS_OFFSET = 1;
// The pushed and checked looks move the content right and down by this much.
const int PRESSED_CONTENT_SHIFT = 1;
// A glyph strip holds the normal image and the disabled image.
const int GLYPH_STRIP_IMAGES = 2;
const int DISABLED_IMAGE_INDEX = 1;

// Glyph colours that are replaced by the matching system colour.
const COLORREF GLYPH_BLACK = RGB(0x00, 0x00, 0x00);
const COLORREF GLYPH_DARK_GREY = RGB(0x80, 0x80, 0x80);
const COLORREF GLYPH_DARK_GREY_ALT = RGB(0x7F, 0x7F, 0x7F);
const COLORREF GLYPH_LIGHT_GREY = RGB(0xC0, 0xC0, 0xC0);
const COLORREF GLYPH_WHITE = RGB(0xFF, 0xFF, 0xFF);
const COLORREF MASK_DRAWN = RGB(0x00, 0x00, 0x00);

// DrawFrameControl state (DFC_BUTTON) for a look.
UINT FrameStateForLook(int look)
{
    switch (look) {
    case LOOK_PUSHED:
        return DFCS_BUTTONPUSH | DFCS_PUSHED;
    case LOOK_CHECKED:
        return DFCS_BUTTONPUSH | DFCS_CHECKED;
    default:
        return DFCS_BUTTONPUSH;
    }
}

// How far the content (caption, glyph) moves right and down for a look.
int ContentShiftForLook(int look)
{
    return look == LOOK_RAISED ? 0 : PRESSED_CONTENT_SHIFT;
}

// System colour index of an enabled button's caption.
int CaptionColourIndex(bool hovered, int hoverId)
{
    return (hovered && hoverId) ? COLOR_HOTLIGHT : COLOR_BTNTEXT;
}

// Which image of a strip to draw. Hovered buttons with a hover strip step
// through its frames using the shared frame counter; everything else draws
// the first of the strip's GLYPH_STRIP_IMAGES images and resets the counter.
struct GlyphFrame {
    int width;   // image width
    int sourceX; // left edge of the image inside the strip
};

GlyphFrame SelectGlyphFrame(int stripWidth, bool hovered, int hoverId, int frameCount,
                            int *frameCounter)
{
    GlyphFrame frame;
    // A negative count is treated like 0: it would otherwise give negative
    // image widths and a counter that never wraps.
    if (hovered && hoverId && frameCount > 0) {
        frame.width = stripWidth / frameCount;
        frame.sourceX = *frameCounter * frame.width;
        if (++*frameCounter >= frameCount)
            *frameCounter = 0;
    } else {
        frame.width = stripWidth / GLYPH_STRIP_IMAGES;
        frame.sourceX = 0;
        *frameCounter = 0;
    }
    return frame;
}

// Top-left corner of a glyph image centred on a client area, moved by the
// look's shift and kept inside the area's top-left edge.
POINT PlaceGlyph(int clientWidth, int clientHeight, int glyphWidth, int glyphHeight, int look)
{
    // C++ division truncates toward zero, as the placement wants.
    POINT at = {(clientWidth - glyphWidth) / 2, (clientHeight - glyphHeight) / 2};
    const int shift = ContentShiftForLook(look);
    at.x += shift;
    at.y += shift;
    if (at.x < 0)
        at.x = 0;
    if (at.y < 0)
        at.y = 0;
    return at;
}

// The colour a glyph pixel is drawn in (transparency is decided before).
COLORREF MapGlyphColour(COLORREF pixel)
{
    switch (pixel) {
    case GLYPH_BLACK:
        return GetSysColor(COLOR_BTNTEXT);
    case GLYPH_DARK_GREY:
    case GLYPH_DARK_GREY_ALT:
        return GetSysColor(COLOR_BTNSHADOW);
    case GLYPH_LIGHT_GREY:
        return GetSysColor(COLOR_BTNFACE);
    case GLYPH_WHITE:
        return GetSysColor(COLOR_BTNHIGHLIGHT);
    default:
        return pixel;
    }
}

// Bytes per row of a monochrome mask `width` pixels wide: whole 16-bit words.
int MaskRowBytes(int width)
{
    const int bytes = (width + 7) / 8;
    return (bytes + 1) / 2 * 2;
}

void DrawCaption(HWND window, HDC dc, const RECT &content, const HoverButtonState *state,
                 bool hovered, bool enabled)
{
    char caption[CAPTION_BUFFER_SIZE];
    GetWindowTextA(window, caption, CAPTION_BUFFER_SIZE);

    const int oldMode = SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = nullptr;
    if (state->captionFont)
        oldFont = SelectObject(dc, state->captionFont);

    COLORREF oldColour;
    RECT area = content;
    if (enabled) {
        oldColour = SetTextColor(dc, GetSysColor(CaptionColourIndex(hovered, state->hoverId)));
        DrawTextA(dc, caption, -1, &area, CAPTION_FORMAT);
    } else {
        RECT emboss = content;
        OffsetRect(&emboss, EMBOSS_OFFSET, EMBOSS_OFFSET);
        oldColour = SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawTextA(dc, caption, -1, &emboss, CAPTION_FORMAT);
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        DrawTextA(dc, caption, -1, &area, CAPTION_FORMAT);
    }

    if (oldFont)
        SelectObject(dc, oldFont);
    SetBkMode(dc, oldMode);
    SetTextColor(dc, oldColour);
}

// The disabled mask: black where the strip's second image is not white.
// Returns none when its bits cannot be allocated.
HBITMAP CreateDisabledMask(HDC target, HDC source, int width, int height)
{
    const SIZE_T bytes = static_cast<SIZE_T>(MaskRowBytes(width)) * height;
    HGLOBAL bits = AllocateGlobal(GPTR, bytes);
    if (!bits)
        return nullptr;
    HBITMAP mask = CreateBitmap(width, height, 1, 1, bits);
    GlobalFree(bits);
    if (!mask)
        return nullptr;

    // A colour-to-monochrome copy turns the source's background colour (white)
    // into 1 and every other colour into 0.
    HDC maskDc = CreateCompatibleDC(target);
    HGDIOBJ oldMask = SelectObject(maskDc, mask);
    BitBlt(maskDc, 0, 0, width, height, source, width * DISABLED_IMAGE_INDEX, 0, SRCCOPY);
    SelectObject(maskDc, oldMask);
    DeleteDC(maskDc);
    return mask;
}

void DrawGlyph(HDC target, const RECT &client, int look, HoverButtonState *state, bool hovered,
               bool enabled)
{
    HBITMAP strip = (hovered && state->hoverId) ? state->hoverBitmap : state->glyphBitmap;
    BITMAP info;
    if (!strip || !GetObjectA(strip, sizeof(info), &info))
        return;

    const GlyphFrame frame = SelectGlyphFrame(info.bmWidth, hovered, state->hoverId,
                                              state->frameCount, &hoverButtonGlobals.glyphFrame);
    const int height = info.bmHeight;
    HDC source = CreateCompatibleDC(target);
    HGDIOBJ oldStrip = SelectObject(source, strip);

    HBITMAP mask = nullptr;
    if (!enabled)
        mask = CreateDisabledMask(target, source, frame.width, height);

    const POINT at = PlaceGlyph(client.right, client.bottom, frame.width, height, look);
    if (enabled) {
        DrawButtonGlyph(target, at.x, at.y, source, nullptr, 0, frame.sourceX, frame.width,
                        height);
    } else if (mask) {
        DrawButtonGlyph(target, at.x + EMBOSS_OFFSET, at.y + EMBOSS_OFFSET, nullptr, mask,
                        GetSysColor(COLOR_BTNHIGHLIGHT), 0, frame.width, height);
        DrawButtonGlyph(target, at.x, at.y, nullptr, mask, GetSysColor(COLOR_GRAYTEXT), 0,
                        frame.width, height);
        DeleteObject(mask);
    }

    SelectObject(source, oldStrip);
    DeleteDC(source);
}

} // namespace

void DrawButtonGlyph(HDC target, int x, int y, HDC source, HBITMAP mask, COLORREF colour,
                     int sourceX, int width, int height)
{
    if (mask) {
        HDC scratch = CreateCompatibleDC(target);
        HGDIOBJ oldMask = SelectObject(scratch, mask);
        for (int row = 0; row < height; ++row)
            for (int column = 0; column < width; ++column)
                if (GetPixel(scratch, column, row) == MASK_DRAWN)
                    SetPixel(target, x + column, y + row, colour);
        SelectObject(scratch, oldMask);
        DeleteDC(scratch);
    } else if (source) {
        const COLORREF key = GetPixel(source, 0, 0);
        for (int row = 0; row < height; ++row) {
            for (int column = 0; column < width; ++column) {
                const COLORREF pixel = GetPixel(source, sourceX + column, row);
                if (pixel != key)
                    SetPixel(target, x + column, y + row, MapGlyphColour(pixel));
            }
        }
    }
}

void PaintHoverButton(HWND window, HDC target, int look, HoverButtonState *state, int hovered)
{
    if (!state)
        return;
    const bool drawnHovered = hovered && CursorOverWindowRect(window);

    RECT client;
    GetClientRect(window, &client);
    RECT content = client;

    DrawOffScreen(target, client, [&](HDC surface) {
        RECT frame = client;
        DrawFrameControl(surface, &frame, DFC_BUTTON, FrameStateForLook(look));
        const int shift = ContentShiftForLook(look);
        OffsetRect(&content, shift, shift);

        const bool enabled = IsWindowEnabled(window) != FALSE;
        if (!state->glyphBitmap)
            DrawCaption(window, surface, content, state, drawnHovered, enabled);
        else
            DrawGlyph(surface, client, look, state, drawnHovered, enabled);

        if (GetFocus() == window) {
            RECT focus = client;
            InflateRect(&focus, -FOCUS_INSET, -FOCUS_INSET);
            DrawFocusRect(surface, &focus);
        }
    });
}

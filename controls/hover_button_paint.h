// hover_button_paint.h - drawing a hover button: its frame, caption or glyph,
// the embossed disabled state and the focus rectangle, plus the small drawing
// rules behind them as plain functions.
#pragma once

#include "controls/hover_button_state.h"

// Draws the whole button off-screen and copies it to `target` at (0, 0) in
// one step. `look` is a ButtonLook; a hovered button is drawn hovered only
// while the cursor lies over its window rectangle. No state, nothing drawn.
void PaintHoverButton(HWND window, HDC target, int look, HoverButtonState *state, int hovered);

// Draws one width x height glyph image at (x, y) of `target`. With a mask
// (which wins over a source) the mask's black pixels are painted in `colour`;
// otherwise, with a source, the image at `sourceX` of the source is copied
// with the glyph colour mapping, leaving out pixels equal to the source's
// top-left pixel. With neither, nothing.
void DrawButtonGlyph(HDC target, int x, int y, HDC source, HBITMAP mask, COLORREF colour,
                     int sourceX, int width, int height);

// --- Drawing rules -------------------------------------------------------

// DrawFrameControl state (DFC_BUTTON) for a look.
UINT FrameStateForLook(int look);

// How far the content (caption, glyph) moves right and down for a look.
int ContentShiftForLook(int look);

// System colour index of an enabled button's caption.
int CaptionColourIndex(int hovered, int hoverId);

// Which image of a strip to draw. Hovered buttons with a hover strip step
// through its frames using the shared frame counter; everything else draws
// the first of two images and resets the counter.
struct GlyphFrame {
    int width;   // image width
    int sourceX; // left edge of the image inside the strip
};
GlyphFrame SelectGlyphFrame(int stripWidth, int hovered, int hoverId, int frameCount,
                            int *frameCounter);

// Top-left corner of a glyph image centred on a client area, moved by the
// look's shift and kept inside the area's top-left edge.
POINT PlaceGlyph(int clientWidth, int clientHeight, int glyphWidth, int glyphHeight, int look);

// The colour a glyph pixel is drawn in (transparency is decided before).
COLORREF MapGlyphColour(COLORREF pixel);

// Bytes per row of a monochrome mask `width` pixels wide: whole 16-bit words.
int MaskRowBytes(int width);

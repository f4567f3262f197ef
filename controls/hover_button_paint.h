// hover_button_paint.h - drawing a hover button: its frame, caption or glyph,
// the embossed disabled state and the focus rectangle.
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

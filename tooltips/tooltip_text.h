// tooltip_text.h - what a registered control's tip says, how large it is and
// where on screen it stays up, by the control's kind; and the status font.
#pragma once

#include "tooltips/tooltips.h"

// Every tip text buffer holds this many characters, the terminating NUL included.
enum { TOOLTIP_TEXT_SIZE = 260 };

// The font of status bars and tooltips, from the system's non-client metrics.
// The caller deletes it; null when it cannot be made.
HFONT CreateStatusFont();

// Draws `text` (DrawTextA's length and format; DT_CALCRECT measures it) in
// the tip's font: the entry's own for TTK_INPLACE_CAPTION, TTK_LISTBOX_ITEM
// and TTK_INDENTED_LISTBOX_ITEM, whose tips lie exactly over the control's
// text, and the status font for every other kind. Without that font the
// device context's current one is used. The device context's font is put
// back before it returns.
void DrawTipText(HDC dc, const TooltipEntry &entry, const char *text, int length, RECT *rect, UINT format);

// Fills `buffer` (TOOLTIP_TEXT_SIZE characters) with the tip text. 1 when a
// text was produced (possibly empty for window-text kinds), 0 when the buffer
// was emptied because there is none.
int GetTooltipText(const TooltipEntry *entry, char *buffer);

// Length of the tip text, 0 when there is none (both rectangles untouched).
// tipRect must come in empty and gets (0, 0, width, height) in the tip's font;
// ownFontRect (may be null) gets the same in the entry's font if it has one.
int MeasureTooltipText(const TooltipEntry *entry, RECT *tipRect, RECT *ownFontRect);

// The screen rectangle within which a shown tip stays up. 1 with rect set,
// 0 with rect emptied (unknown kind, no list item under the cursor, no window).
int GetTooltipHitRect(HWND control, int kind, RECT *rect);

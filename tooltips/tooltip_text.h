// tooltip_text.h - what a registered control's tip says, how large it is and
// where on screen it stays up, by the control's kind; and the status font.
#pragma once

#include "tooltips/tooltips.h"

// Every tip text buffer holds this many characters, the terminating NUL included.
enum { TOOLTIP_TEXT_SIZE = 260 };

// Kinds 2, 3 and 6 draw their tip in the entry's own font, so that it can lie
// exactly over the control's text; every other kind uses the status font.
bool TooltipUsesEntryFont(int kind);

// The font of status bars and tooltips, from the system's non-client metrics.
// The caller deletes it; null when it cannot be made.
HFONT CreateStatusFont();

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

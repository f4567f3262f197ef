// tooltip_text.cpp - the text, font, measured size and hit rectangle of a
// registered control's tip, looked up afresh on every call.
#include "tooltips/tooltip_text.h"

#include "platform/global_memory.h"
#include "platform/window_long.h"
#include "settings/settings_state.h"

namespace {

bool IsListKind(int kind)
{
    return kind == TTK_LISTBOX_ITEM || kind == TTK_INDENTED_LISTBOX_ITEM;
}

bool IsWindowRectKind(int kind)
{
    return kind == TTK_CAPTION || kind == TTK_INPLACE_CAPTION || kind == TTK_CURSOR_CAPTION ||
           kind == TTK_STRING_RESOURCE;
}

// The list item under the cursor: its index and its screen rectangle. Every
// item is examined in index order, scrolled into view or not.
bool FindListItemUnderCursor(HWND list, int *index, RECT *itemRect)
{
    POINT cursor;
    GetCursorPos(&cursor);
    const LRESULT itemCount = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < itemCount; ++i) {
        RECT client = {};
        SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&client));
        POINT topLeft = {client.left, client.top};
        POINT bottomRight = {client.right, client.bottom};
        ClientToScreen(list, &topLeft);
        ClientToScreen(list, &bottomRight);
        RECT screen = {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
        if (PtInRect(&screen, cursor)) {
            *index = static_cast<int>(i);
            *itemRect = screen;
            return true;
        }
    }
    return false;
}

// An owner-drawn list box without LBS_HASSTRINGS keeps a number per item,
// and LB_GETTEXT copies that number's bytes: nothing to read as text.
bool ListHasStrings(HWND list)
{
    const LONG_PTR style = GetWindowLongPtrA(list, GWL_STYLE);
    return !(style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) || (style & LBS_HASSTRINGS);
}

// Copies a list item's text into a TOOLTIP_TEXT_SIZE buffer. LB_GETTEXT has
// no limit, so an item longer than the buffer is fetched whole into a buffer
// of its own size and cut to fit.
bool GetListItemText(HWND list, int index, char *buffer)
{
    if (!ListHasStrings(list))
        return false;
    const LRESULT length = SendMessageA(list, LB_GETTEXTLEN, index, 0);
    if (length < 0)
        return false;
    if (length < TOOLTIP_TEXT_SIZE)
        return SendMessageA(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(buffer)) >= 0;

    char *whole = static_cast<char *>(AllocateGlobal(GPTR, static_cast<SIZE_T>(length) + 1));
    if (!whole)
        return false;
    const bool copied = SendMessageA(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(whole)) >= 0;
    if (copied)
        lstrcpynA(buffer, whole, TOOLTIP_TEXT_SIZE);
    GlobalFree(whole);
    return copied;
}

// Measures `text` in the font currently selected into `dc`, in the same
// format the tip is painted with (line breaks honoured, "&" prefixes).
void MeasureText(HDC dc, const char *text, int length, RECT *rect)
{
    DrawTextA(dc, text, length, rect, DT_CALCRECT);
}

bool UsesEntryFont(int kind)
{
    return kind == TTK_INPLACE_CAPTION || IsListKind(kind);
}

} // namespace

HFONT CreateStatusFont()
{
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = CLASSIC_NONCLIENTMETRICS_SIZE;
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, CLASSIC_NONCLIENTMETRICS_SIZE, &metrics, 0))
        return nullptr;
    return CreateFontIndirectA(&metrics.lfStatusFont);
}

void DrawTipText(HDC dc, const TooltipEntry &entry, const char *text, int length, RECT *rect, UINT format)
{
    // The status font is made for this one drawing; the entry's is borrowed.
    HFONT statusFont = nullptr;
    HFONT font = entry.font;
    if (!UsesEntryFont(entry.kind)) {
        statusFont = CreateStatusFont();
        font = statusFont;
    }
    HGDIOBJ previousFont = font ? SelectObject(dc, font) : nullptr;
    DrawTextA(dc, text, length, rect, format);
    if (previousFont)
        SelectObject(dc, previousFont);
    if (statusFont)
        DeleteObject(statusFont);
}

int GetTooltipText(const TooltipEntry *entry, char *buffer)
{
    buffer[0] = '\0';
    switch (entry->kind) {
    case TTK_CAPTION:
    case TTK_INPLACE_CAPTION:
    case TTK_CURSOR_CAPTION:
        GetWindowTextA(entry->control, buffer, TOOLTIP_TEXT_SIZE);
        return 1;
    case TTK_STRING_RESOURCE: {
        const UINT stringId = static_cast<UINT>(GetWindowControlId(entry->control));
        if (LoadStringA(settingsState.instance, stringId, buffer, TOOLTIP_TEXT_SIZE) > 0)
            return 1;
        buffer[0] = '\0';
        return 0;
    }
    case TTK_LISTBOX_ITEM:
    case TTK_INDENTED_LISTBOX_ITEM: {
        int index;
        RECT item;
        if (FindListItemUnderCursor(entry->control, &index, &item) && GetListItemText(entry->control, index, buffer))
            return 1;
        buffer[0] = '\0';
        return 0;
    }
    default:
        return 0;
    }
}

int MeasureTooltipText(const TooltipEntry *entry, RECT *tipRect, RECT *ownFontRect)
{
    char text[TOOLTIP_TEXT_SIZE];
    GetTooltipText(entry, text);
    const int length = lstrlenA(text);
    if (length == 0)
        return 0;

    HDC dc = GetDC(entry->control);
    DrawTipText(dc, *entry, text, length, tipRect, DT_CALCRECT);
    if (ownFontRect && entry->font) {
        HGDIOBJ before = SelectObject(dc, entry->font);
        SetRectEmpty(ownFontRect);
        MeasureText(dc, text, length, ownFontRect);
        SelectObject(dc, before);
    }

    ReleaseDC(entry->control, dc);
    return length;
}

int GetTooltipHitRect(HWND control, int kind, RECT *rect)
{
    if (IsWindowRectKind(kind)) {
        // A control destroyed under a shown tip has no rectangle any more.
        if (GetWindowRect(control, rect))
            return 1;
        SetRectEmpty(rect);
        return 0;
    }
    if (IsListKind(kind)) {
        int index;
        RECT item;
        RECT list;
        if (!FindListItemUnderCursor(control, &index, &item) || !GetWindowRect(control, &list)) {
            SetRectEmpty(rect);
            return 0;
        }
        IntersectRect(rect, &item, &list);
        return 1;
    }
    SetRectEmpty(rect);
    return 0;
}

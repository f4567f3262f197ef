// link_label.cpp - the main dialog's link to the home page.
#include "controls/link_label.h"

#include "controls/accessible_control.h"
#include "controls/subclass.h"
#include "resource.h"
#include "settings/settings_state.h"

namespace {

// Longest caption drawn, including the terminating zero.
enum { LINK_TEXT_CAPACITY = 100 };
// What a screen reader says a click on the link does.
const char JUMP_ACTION[] = "Jump";

void OnPaint(HWND label)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(label, &paint);

    const COLORREF oldColor = SetTextColor(dc, LINK_COLOR);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0));
    HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
    const int oldMode = SetBkMode(dc, TRANSPARENT);

    char text[LINK_TEXT_CAPACITY];
    const int length = GetWindowTextA(label, text, LINK_TEXT_CAPACITY);
    TextOutA(dc, 0, 0, text, length);

    // The underline runs along the last row of the client area: drawing is
    // clipped to the client rectangle, so the row below it would never show.
    RECT client;
    GetClientRect(label, &client);
    HPEN pen = CreatePen(PS_SOLID, 1, LINK_COLOR);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    MoveToEx(dc, 0, client.bottom - 1, nullptr);
    LineTo(dc, client.right, client.bottom - 1);
    SelectObject(dc, oldPen);
    DeleteObject(pen);

    SetBkMode(dc, oldMode);
    if (oldFont)
        SelectObject(dc, oldFont);
    SetTextColor(dc, oldColor);
    EndPaint(label, &paint);
}

void OnSetCursor()
{
    SetCursor(LoadCursorA(settingsState.instance, MAKEINTRESOURCEA(IDC_HAND_CURSOR)));
}

// The label as a screen reader is to know it: a link whose caption is drawn
// as it is, "&" and all.
void DescribeLinkLabel(HWND, AccessibleFacts *facts)
{
    facts->role = ROLE_SYSTEM_LINK;
    facts->state = STATE_SYSTEM_LINKED;
    facts->defaultAction = JUMP_ACTION;
    facts->captionHasPrefix = false;
}

LRESULT OnGetObject(HWND label, WPARAM wParam, LPARAM lParam)
{
    LRESULT object;
    if (AnswerGetObject(label, DescribeLinkLabel, wParam, lParam, &object))
        return object;
    return PassToSubclassedProc(label, WM_GETOBJECT, wParam, lParam);
}

} // namespace

LRESULT CALLBACK LinkLabelProc(HWND label, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        OnPaint(label);
        return 0;
    case WM_SETCURSOR:
        OnSetCursor();
        return 0;
    case WM_GETOBJECT:
        return OnGetObject(label, wParam, lParam);
    default:
        return PassToSubclassedProc(label, message, wParam, lParam);
    }
}

void InstallLinkLabel(HWND label)
{
    InstallUserDataSubclass(label, LinkLabelProc);
}

// link_label.cpp - the main dialog's link to the home page.
#include "controls/link_label.h"

#include "controls/accessible_control.h"
#include "controls/subclass.h"
#include "platform/off_screen.h"
#include "resource.h"
#include "settings/settings_state.h"

#include <cmath>
#include <utility>

namespace {

// Longest caption drawn, including the terminating zero.
enum { LINK_TEXT_CAPACITY = 100 };
// What a screen reader says a click on the link does.
const char JUMP_ACTION[] = "Jump";

// Text is readable at this contrast ratio against its background or more.
const double READABLE_CONTRAST = 4.5;

// Relative luminance of a colour (WCAG 2): each sRGB channel made linear,
// weighted by how bright the eye finds it.
double LinearChannel(BYTE value)
{
    const double c = value / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double RelativeLuminance(COLORREF colour)
{
    return 0.2126 * LinearChannel(GetRValue(colour)) + 0.7152 * LinearChannel(GetGValue(colour)) +
           0.0722 * LinearChannel(GetBValue(colour));
}

bool ReadableOn(COLORREF text, COLORREF background)
{
    double lighter = RelativeLuminance(text), darker = RelativeLuminance(background);
    if (lighter < darker)
        std::swap(lighter, darker);
    return lighter + 0.05 >= READABLE_CONTRAST * (darker + 0.05);
}

// Pure blue wherever it can be read on the dialog's face, as in the classic
// scheme; on a dark face (High Contrast Black) the scheme's own hyperlink
// colour, or its button text colour when even that cannot be read. Taken
// from the system colours at each paint, so a change of scheme shows at once.
COLORREF LinkColour()
{
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    if (ReadableOn(LINK_COLOR, face))
        return LINK_COLOR;
    const COLORREF hyperlink = GetSysColor(COLOR_HOTLIGHT);
    if (ReadableOn(hyperlink, face))
        return hyperlink;
    return GetSysColor(COLOR_BTNTEXT);
}

// The focus rectangle shows while the label has the focus, unless the
// window hides keyboard cues because it is being used with the mouse.
bool ShowsFocus(HWND label)
{
    return GetFocus() == label && !(SendMessageA(label, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS);
}

// The label's background, as its dialog paints static controls.
void FillBackground(HWND label, HDC dc, const RECT &client)
{
    HBRUSH brush = reinterpret_cast<HBRUSH>(
        SendMessageA(GetParent(label), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(label)));
    FillRect(dc, &client, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
}

void DrawLink(HWND label, HDC dc, const RECT &client)
{
    FillBackground(label, dc, client);
    const COLORREF colour = LinkColour();
    const COLORREF oldColor = SetTextColor(dc, colour);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0));
    HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
    const int oldMode = SetBkMode(dc, TRANSPARENT);

    char text[LINK_TEXT_CAPACITY];
    const int length = GetWindowTextA(label, text, LINK_TEXT_CAPACITY);
    // The focus rectangle goes first, so that the text and the underline
    // drawn over it stay whole.
    if (ShowsFocus(label)) {
        SIZE extent = {};
        GetTextExtentPoint32A(dc, text, length, &extent);
        // One column clear of the last letter, where the label has room.
        RECT focus = client;
        if (extent.cx + 1 < focus.right)
            focus.right = extent.cx + 1;
        DrawFocusRect(dc, &focus);
    }
    TextOutA(dc, 0, 0, text, length);

    // The underline runs along the last row of the client area: drawing is
    // clipped to the client rectangle, so the row below it would never show.
    HPEN pen = CreatePen(PS_SOLID, 1, colour);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    MoveToEx(dc, 0, client.bottom - 1, nullptr);
    LineTo(dc, client.right, client.bottom - 1);
    SelectObject(dc, oldPen);
    DeleteObject(pen);

    SetBkMode(dc, oldMode);
    if (oldFont)
        SelectObject(dc, oldFont);
    SetTextColor(dc, oldColor);
}

// Drawn off screen and copied in one step, so that the focus rectangle comes
// and goes without the text flickering.
void OnPaint(HWND label)
{
    PAINTSTRUCT paint;
    HDC screen = BeginPaint(label, &paint);
    RECT client;
    GetClientRect(label, &client);
    DrawOffScreen(screen, client, [&](HDC dc) { DrawLink(label, dc, client); });
    EndPaint(label, &paint);
}

void OnSetCursor()
{
    SetCursor(LoadCursorA(settingsState.instance, MAKEINTRESOURCEA(IDC_HAND_CURSOR)));
}

// The focus rectangle comes or goes, the window shows or hides its keyboard
// cues, or the colours the link is drawn in change: the whole label is
// painted again over itself, nothing erased first.
LRESULT OnLookChange(HWND label, UINT message, WPARAM wParam, LPARAM lParam)
{
    InvalidateRect(label, nullptr, FALSE);
    return PassToSubclassedProc(label, message, wParam, lParam);
}

// Enter is the link's own while it has the focus, not the dialog's OK.
LRESULT OnGetDlgCode(HWND label, WPARAM wParam, LPARAM lParam)
{
    LRESULT code = PassToSubclassedProc(label, WM_GETDLGCODE, wParam, lParam);
    const MSG *message = reinterpret_cast<const MSG *>(lParam);
    if (message && message->message == WM_KEYDOWN && message->wParam == VK_RETURN)
        code |= DLGC_WANTMESSAGE;
    return code;
}

// Space and Enter follow the link as a click does: the dialog gets the
// label's click notification. A key held down follows it once.
LRESULT OnKeyDown(HWND label, WPARAM wParam, LPARAM lParam)
{
    const LPARAM KEY_WAS_DOWN = 0x40000000;
    if ((wParam == VK_SPACE || wParam == VK_RETURN) && !(lParam & KEY_WAS_DOWN)) {
        SendMessageA(GetParent(label), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(label), STN_CLICKED),
                     reinterpret_cast<LPARAM>(label));
        return 0;
    }
    return PassToSubclassedProc(label, WM_KEYDOWN, wParam, lParam);
}

// The label as a screen reader is to know it: a link that takes the focus,
// whose caption is drawn as it is, "&" and all.
void DescribeLinkLabel(HWND label, AccessibleFacts *facts)
{
    facts->role = ROLE_SYSTEM_LINK;
    facts->state = STATE_SYSTEM_LINKED | STATE_SYSTEM_FOCUSABLE;
    if (GetFocus() == label)
        facts->state |= STATE_SYSTEM_FOCUSED;
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

// The last message the label's subclass sees, which unhooks itself here: no
// object a reader kept may outlive the label.
LRESULT OnDestroy(HWND label, WPARAM wParam, LPARAM lParam)
{
    DisconnectAccessibleObjects(label);
    return PassToSubclassedProc(label, WM_DESTROY, wParam, lParam);
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
    case WM_GETDLGCODE:
        return OnGetDlgCode(label, wParam, lParam);
    case WM_KEYDOWN:
        return OnKeyDown(label, wParam, lParam);
    case WM_DESTROY:
        return OnDestroy(label, wParam, lParam);
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_UPDATEUISTATE:
    case WM_SYSCOLORCHANGE:
        return OnLookChange(label, message, wParam, lParam);
    default:
        return PassToSubclassedProc(label, message, wParam, lParam);
    }
}

void InstallLinkLabel(HWND label)
{
    InstallUserDataSubclass(label, LinkLabelProc);
}

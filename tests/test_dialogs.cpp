// test_dialogs.cpp - creates every dialog of the program from its template,
// with stand-in dialog procedures and a stand-in hover button class, checks
// what the dialog manager made of each template and saves a screenshot of it.
#include "support/dialog_template.h"
#include "support/test_support.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const char STAND_IN_HOVER_CLASS[] = "QCWButtonWndClass";
const char HOST_CLASS[] = "DialogTestHostWndClass";

// Room around a page inside its host window, in pixels.
const int HOST_MARGIN = 8;
// Time for the X server to map and draw a newly shown window.
const DWORD SETTLE_MS = 200;

HMODULE Self() { return GetModuleHandleA(nullptr); }

// --- Stand-ins ---------------------------------------------------------------

// Paints the stand-in hover button: a raised frame around its caption, in
// its dialog's font.
void PaintStandInButton(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT area;
    GetClientRect(window, &area);
    FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(dc, &area, EDGE_RAISED, BF_RECT);

    HFONT font = reinterpret_cast<HFONT>(SendMessageA(GetParent(window), WM_GETFONT, 0, 0));
    HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
    char caption[128] = "";
    GetWindowTextA(window, caption, sizeof(caption));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    DrawTextA(dc, caption, -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (oldFont)
        SelectObject(dc, oldFont);
    EndPaint(window, &paint);
}

LRESULT CALLBACK StandInButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        PaintStandInButton(window);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

INT_PTR CALLBACK StandInDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

class Dialogs : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        WNDCLASSA button = {};
        button.lpfnWndProc = StandInButtonProc;
        button.hInstance = Self();
        button.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        button.lpszClassName = STAND_IN_HOVER_CLASS;
        RegisterClassA(&button);

        WNDCLASSA host = {};
        host.lpfnWndProc = DefWindowProcA;
        host.hInstance = Self();
        host.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        host.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
        host.lpszClassName = HOST_CLASS;
        RegisterClassA(&host);
    }

    void SetUp() override
    {
        WNDCLASSA info;
        ASSERT_TRUE(GetClassInfoA(Self(), STAND_IN_HOVER_CLASS, &info));
        ASSERT_TRUE(GetClassInfoA(Self(), HOST_CLASS, &info));
        ParkCursor();
    }

    void TearDown() override
    {
        for (HWND window : created)
            if (IsWindow(window))
                DestroyWindow(window);
        PumpPendingMessages();
    }

    HWND Create(int templateId, HWND parent)
    {
        HWND dialog = CreateDialogParamA(Self(), MAKEINTRESOURCEA(templateId), parent,
                                         StandInDialogProc, 0);
        if (dialog)
            created.push_back(dialog);
        return dialog;
    }

    // A visible top-level window whose client area holds a page of the given
    // size with a margin around it.
    HWND CreateHost(int pageWidth, int pageHeight)
    {
        RECT frame = {0, 0, pageWidth + 2 * HOST_MARGIN, pageHeight + 2 * HOST_MARGIN};
        // No caption and no activation: Wine hands captioned or activated
        // windows to the window manager, and without one it waits two
        // seconds for each of them to be hidden.
        const DWORD style = WS_POPUP | WS_BORDER;
        AdjustWindowRect(&frame, style, FALSE);
        HWND host = CreateWindowA(HOST_CLASS, "Page host", style, 20, 20,
                                  frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                  nullptr, Self(), nullptr);
        if (host) {
            created.push_back(host);
            ShowWindow(host, SW_SHOWNOACTIVATE);
        }
        return host;
    }

    std::vector<HWND> created;
};

// --- Helpers -----------------------------------------------------------------

DialogTemplate TemplateOf(int templateId)
{
    DialogTemplate dialog;
    std::string error;
    const std::vector<BYTE> bytes = ResourceBytes(Self(), MAKEINTRESOURCEA(templateId), RT_DIALOG);
    EXPECT_TRUE(ParseDialogTemplate(bytes, &dialog, &error)) << templateId << ": " << error;
    return dialog;
}

// The window class a template item names, as GetClassNameA reports it.
std::string ClassNameOf(const TemplateName &name)
{
    if (!name.isOrdinal)
        return name.text;
    switch (name.ordinal) {
    case 0x80: return "Button";
    case 0x81: return "Edit";
    case 0x82: return "Static";
    case 0x83: return "ListBox";
    case 0x84: return "ScrollBar";
    case 0x85: return "ComboBox";
    }
    return "ordinal " + std::to_string(name.ordinal);
}

// A template rectangle in pixels. Like the dialog manager, maps the position
// and the size each on its own, so rounding never moves the far edge.
RECT DialogUnitsToPixels(HWND dialog, int x, int y, int cx, int cy)
{
    RECT units = {x, y, cx, cy};
    MapDialogRect(dialog, &units);
    const RECT area = {units.left, units.top, units.left + units.right, units.top + units.bottom};
    return area;
}

RECT ClientRectOf(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    return client;
}

// The child's window rectangle in its parent's client coordinates.
RECT RectInParent(HWND child)
{
    RECT area;
    GetWindowRect(child, &area);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT *>(&area), 2);
    return area;
}

std::vector<HWND> ChildrenOf(HWND parent)
{
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

std::string TextOf(HWND window)
{
    char text[256] = "";
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

// Every item of the template became one child window, in template order, with
// the item's id, class, text, visibility and rectangle.
void ExpectControlsFollowTemplate(HWND dialog, const DialogTemplate &tmpl)
{
    const std::vector<HWND> children = ChildrenOf(dialog);
    ASSERT_EQ(tmpl.items.size(), children.size());
    for (size_t i = 0; i < children.size(); ++i) {
        const DialogItem &item = tmpl.items[i];
        HWND child = children[i];
        SCOPED_TRACE("control " + std::to_string(i) + " (id " + std::to_string(item.id) + ")");
        EXPECT_EQ(item.id, LOWORD(GetDlgCtrlID(child)));
        if (item.id != 0xFFFF) {
            EXPECT_EQ(child, GetDlgItem(dialog, item.id));
        }
        char className[64] = "";
        GetClassNameA(child, className, sizeof(className));
        EXPECT_EQ(0, lstrcmpiA(ClassNameOf(item.className).c_str(), className))
            << "class " << className << ", expected " << ClassNameOf(item.className);
        EXPECT_EQ(item.style & WS_VISIBLE, GetWindowLongPtrA(child, GWL_STYLE) & WS_VISIBLE);

        const bool isComboBox = ClassNameOf(item.className) == "ComboBox";
        if (!isComboBox) {
            EXPECT_EQ(item.text.text, TextOf(child));
        }
        const RECT expected = DialogUnitsToPixels(dialog, item.x, item.y, item.cx, item.cy);
        const RECT actual = RectInParent(child);
        EXPECT_EQ(expected.left, actual.left);
        EXPECT_EQ(expected.top, actual.top);
        EXPECT_EQ(expected.right, actual.right);
        // A drop-down list's template height includes its dropped list.
        if (isComboBox) {
            EXPECT_LE(actual.bottom, expected.bottom);
        } else {
            EXPECT_EQ(expected.bottom, actual.bottom);
        }
    }
}

void ExpectClientSizeInDialogUnits(HWND dialog, int cx, int cy)
{
    const RECT expected = DialogUnitsToPixels(dialog, 0, 0, cx, cy);
    const RECT client = ClientRectOf(dialog);
    EXPECT_EQ(expected.right, client.right);
    EXPECT_EQ(expected.bottom, client.bottom);
}

std::string LicenceText()
{
    const std::vector<BYTE> bytes = ResourceBytes(Self(), "LICENSE", "TEXT");
    return std::string(bytes.begin(), bytes.end());
}

void Screenshot(HWND window, const char *name)
{
    PumpMessagesFor(SETTLE_MS);
    const ScreenImage image = CaptureWindow(window);
    EXPECT_GT(image.width, 0);
    EXPECT_FALSE(SaveScreenshot(image, name).empty()) << name;
}

// Places a page over the tab control's display area the way the main dialog
// does: the tab control's offset from the dialog's outer rectangle plus the
// display area of the still empty tab control, then inserts the one tab.
void PlacePageInMainDialog(HWND mainDialog, HWND page)
{
    HWND tabs = GetDlgItem(mainDialog, IDC_PAGE_TABS);
    RECT dialogRect, tabRect;
    GetWindowRect(mainDialog, &dialogRect);
    GetWindowRect(tabs, &tabRect);
    RECT display = ClientRectOf(tabs);
    SendMessageA(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
    const RECT size = ClientRectOf(page);
    MoveWindow(page, display.left + tabRect.left - dialogRect.left,
               display.top + tabRect.top - dialogRect.top, size.right, size.bottom, FALSE);

    char label[] = "General";
    TCITEMA tab = {};
    tab.mask = TCIF_TEXT;
    tab.pszText = label;
    SendMessageA(tabs, TCM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&tab));
}

} // namespace

// --- Tests -------------------------------------------------------------------

TEST_F(Dialogs, BoxesAppearAtCreationWithEveryControlOfTheirTemplates)
{
    const struct {
        int id;
        const char *name;
        const char *screenshot;
    } boxes[] = {{IDD_ABOUT, "IDD_ABOUT", "dialog_about"},
                 {IDD_LOADING, "IDD_LOADING", "dialog_loading"},
                 {IDD_SAVING, "IDD_SAVING", "dialog_saving"}};
    for (const auto &box : boxes) {
        SCOPED_TRACE(box.name);
        const DialogTemplate tmpl = TemplateOf(box.id);
        HWND dialog = Create(box.id, nullptr);
        ASSERT_NE(nullptr, dialog);
        EXPECT_TRUE(IsWindowVisible(dialog)) << "shown at creation";
        EXPECT_EQ(tmpl.title, TextOf(dialog));
        ExpectClientSizeInDialogUnits(dialog, tmpl.cx, tmpl.cy);
        ExpectControlsFollowTemplate(dialog, tmpl);

        // Centred on the screen.
        RECT frame;
        GetWindowRect(dialog, &frame);
        const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
        EXPECT_NEAR(screenWidth - frame.right, frame.left, 1);

        if (box.id == IDD_ABOUT)
            SetDlgItemTextA(dialog, IDC_LICENSE_TEXT, LicenceText().c_str());
        Screenshot(dialog, box.screenshot);
        DestroyWindow(dialog);
    }
}

TEST_F(Dialogs, PagesAreHiddenControlParentsOfTheirTemplateSize)
{
    const struct {
        int id;
        const char *name;
        const char *screenshot;
    } pages[] = {{IDD_GENERAL_PAGE, "IDD_GENERAL_PAGE", "dialog_general_page"},
                 {IDD_SECOND_PAGE, "IDD_SECOND_PAGE", "dialog_second_page"}};
    for (const auto &page : pages) {
        SCOPED_TRACE(page.name);
        const DialogTemplate tmpl = TemplateOf(page.id);
        HWND host = CreateHost(0, 0);
        ASSERT_NE(nullptr, host);
        HWND dialog = Create(page.id, host);
        ASSERT_NE(nullptr, dialog);
        EXPECT_FALSE(IsWindowVisible(dialog)) << "hidden at creation";
        EXPECT_EQ(host, GetParent(dialog));
        EXPECT_TRUE(GetWindowLongPtrA(dialog, GWL_EXSTYLE) & WS_EX_CONTROLPARENT)
            << "its controls take part in the parent's keyboard navigation";
        ExpectClientSizeInDialogUnits(dialog, tmpl.cx, tmpl.cy);
        ExpectControlsFollowTemplate(dialog, tmpl);

        // Grow the host around the page, then show both.
        const RECT size = ClientRectOf(dialog);
        RECT frame = {0, 0, size.right + 2 * HOST_MARGIN, size.bottom + 2 * HOST_MARGIN};
        AdjustWindowRect(&frame, GetWindowLongA(host, GWL_STYLE), FALSE);
        SetWindowPos(host, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        MoveWindow(dialog, HOST_MARGIN, HOST_MARGIN, size.right, size.bottom, FALSE);
        ShowWindow(dialog, SW_SHOW);
        Screenshot(host, page.screenshot);
        DestroyWindow(host);
    }
}

TEST_F(Dialogs, CustomIconSizeBoxStartsHiddenBesideTheIconSizeBox)
{
    HWND host = CreateHost(0, 0);
    HWND page = Create(IDD_GENERAL_PAGE, host);
    ASSERT_NE(nullptr, page);
    ShowWindow(page, SW_SHOW);
    HWND custom = GetDlgItem(page, IDC_CUSTOM_ICON_SIZE);
    HWND standard = GetDlgItem(page, IDC_ICON_SIZE);
    ASSERT_NE(nullptr, custom);
    ASSERT_NE(nullptr, standard);
    EXPECT_FALSE(IsWindowVisible(custom));
    EXPECT_TRUE(IsWindowVisible(standard));
    // Shown, it sits on the same line, to the right of the icon-size box.
    const RECT customRect = RectInParent(custom);
    const RECT standardRect = RectInParent(standard);
    EXPECT_EQ(standardRect.top, customRect.top);
    EXPECT_GE(customRect.left, standardRect.right);
}

TEST_F(Dialogs, MainDialogStartsHiddenAndTabsThroughItsPageAsOneSequence)
{
    const DialogTemplate tmpl = TemplateOf(IDD_MAIN);
    HWND mainDialog = Create(IDD_MAIN, nullptr);
    ASSERT_NE(nullptr, mainDialog);
    EXPECT_FALSE(IsWindowVisible(mainDialog)) << "the main dialog shows itself";
    EXPECT_EQ(tmpl.title, TextOf(mainDialog));
    EXPECT_FALSE(GetWindowLongPtrA(mainDialog, GWL_STYLE) & WS_SYSMENU);
    ExpectClientSizeInDialogUnits(mainDialog, tmpl.cx, tmpl.cy);
    ExpectControlsFollowTemplate(mainDialog, tmpl);

    HWND page = Create(IDD_GENERAL_PAGE, mainDialog);
    ASSERT_NE(nullptr, page);
    PlacePageInMainDialog(mainDialog, page);
    ExpectClientSizeInDialogUnits(page, 333, 192);
    ShowWindow(page, SW_SHOW);
    ShowWindow(mainDialog, SW_SHOW);

    // From OK forwards through the main dialog's tab stops, then into the
    // page (created after the template's controls), skipping the hidden
    // custom icon-size list.
    const int expectedOrder[] = {
        IDOK, IDCANCEL, IDC_APPLY, IDC_ABOUT, IDC_PAGE_TABS, IDC_HOMEPAGE_LINK,
        IDC_MENU_ANIMATION, IDC_MENU_UNDERLINES, IDC_COMBOBOX_ANIMATION, IDC_LISTBOX_SMOOTH_SCROLLING,
        IDC_GRADIENT_CAPTIONS, IDC_WINDOW_ANIMATION, IDC_ACTIVE_WINDOW_TRACKING,
        IDC_ACTIVE_WINDOW_TRACK_ZORDER, IDC_HOT_TRACKING, IDC_FONT_SMOOTHING, IDC_DRAG_FULL_WINDOWS,
        IDC_SMOOTH_SCROLLING, IDC_SAVE_WINDOW_SETTINGS, IDC_MENU_SPEED, IDC_MENU_SPEED_DEFAULT,
        IDC_ICON_COLORS, IDC_ICON_SIZE, IDC_REMOVE_FAVORITES_MENU, IDC_REMOVE_DOCUMENTS_MENU,
        IDC_REMOVE_FIND_MENU, IDC_REMOVE_RUN_MENU, IDC_REMOVE_LOGOFF_MENU, IDC_NO_CHANGE_START_MENU,
        IDC_RESTORE_START_MENU_ORDER};
    std::vector<int> order;
    HWND first = GetDlgItem(mainDialog, IDOK);
    HWND control = first;
    do {
        order.push_back(GetDlgCtrlID(control));
        control = GetNextDlgTabItem(mainDialog, control, FALSE);
    } while (control && control != first && order.size() < 100);
    EXPECT_EQ(std::vector<int>(std::begin(expectedOrder), std::end(expectedOrder)), order);
    // Backwards from OK, the last tab stop of the page comes first.
    EXPECT_EQ(GetDlgItem(page, IDC_RESTORE_START_MENU_ORDER),
              GetNextDlgTabItem(mainDialog, first, TRUE));

    Screenshot(mainDialog, "dialog_main");
}

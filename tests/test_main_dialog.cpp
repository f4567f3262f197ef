// test_main_dialog.cpp - the main dialog, the About box and start-up, run
// inside the test process so that their windows can be examined directly.
#include "support/import_patch.h"
#include "support/test_support.h"

#include "app/about_box.h"
#include "app/main_dialog.h"
#include "app/startup.h"
#include "controls/hover_button.h"
#include "controls/hover_button_state.h"
#include "controls/link_label.h"
#include "platform/global_memory.h"
#include "platform/window_long.h"
#include "resource.h"
#include "settings/settings_state.h"
#include "tooltips/tooltips.h"

#include <gtest/gtest.h>
#include <oleacc.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

using namespace test_keys;

const char TOOLTIP_CLASS[] = "ControlToolTipWndClass";

void RegisterProgramClasses()
{
    WNDCLASSA existing;
    if (!GetClassInfoA(settingsState.instance, HOVER_BUTTON_CLASS, &existing)) {
        ASSERT_TRUE(RegisterHoverButtonClass(settingsState.instance));
    }
    if (!GetClassInfoA(settingsState.instance, TOOLTIP_CLASS, &existing)) {
        ASSERT_TRUE(RegisterTooltipWindowClass(settingsState.instance));
    }
}

void UnregisterProgramClasses()
{
    UnregisterClassA(HOVER_BUTTON_CLASS, settingsState.instance);
    UnregisterClassA(TOOLTIP_CLASS, settingsState.instance);
}

std::string LicenseResourceText()
{
    HRSRC found = FindResourceA(settingsState.instance, LICENSE_RESOURCE_NAME, LICENSE_RESOURCE_TYPE);
    const char *data = static_cast<const char *>(LockResource(LoadResource(settingsState.instance, found)));
    return std::string(data, SizeofResource(settingsState.instance, found));
}

std::string WindowText(HWND window)
{
    std::string text(GetWindowTextLengthA(window) + 1, '\0');
    text.resize(GetWindowTextA(window, &text[0], static_cast<int>(text.size())));
    return text;
}

// Keyboard input as the dialog manager of a modal loop would see it.
void SendKeyToDialog(HWND dialog, UINT vk)
{
    MSG msg = {};
    msg.hwnd = GetFocus();
    msg.message = WM_KEYDOWN;
    msg.wParam = vk;
    msg.lParam = 1;
    if (!IsDialogMessageA(dialog, &msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    msg.message = WM_KEYUP;
    msg.lParam = 0xC0000001;
    IsDialogMessageA(dialog, &msg);
}

// The main dialog run modeless, so that the test keeps the message loop: the
// deferred load still runs through the real Loading box.
// The tab control's display area, through its own rectangle adjustment, in
// screen coordinates.
RECT TabDisplayAreaOnScreen(HWND tabs)
{
    RECT display;
    GetClientRect(tabs, &display);
    SendMessageA(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
    MapWindowPoints(tabs, nullptr, reinterpret_cast<POINT *>(&display), 2);
    return display;
}

// Where a page of the main dialog belongs, in screen coordinates: the display
// area of the tab control before its tab was inserted, moved by the tab
// control's offset from the dialog's outer window rectangle, in the dialog's
// client area. An empty tab control of the same size and font stands in for
// the real one as it was then.
POINT PageOriginOnScreen(HWND dialog)
{
    HWND tabs = GetDlgItem(dialog, IDC_PAGE_TABS);
    RECT dialogRect, tabsRect;
    GetWindowRect(dialog, &dialogRect);
    GetWindowRect(tabs, &tabsRect);
    HWND empty = CreateWindowExA(0, WC_TABCONTROLA, "", static_cast<DWORD>(GetWindowLongPtrA(tabs, GWL_STYLE)) & ~WS_VISIBLE,
                                 0, 0, tabsRect.right - tabsRect.left, tabsRect.bottom - tabsRect.top, dialog,
                                 nullptr, settingsState.instance, nullptr);
    SendMessageA(empty, WM_SETFONT, SendMessageA(tabs, WM_GETFONT, 0, 0), FALSE);
    RECT display;
    GetClientRect(empty, &display);
    SendMessageA(empty, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
    DestroyWindow(empty);
    POINT origin = {display.left + tabsRect.left - dialogRect.left, display.top + tabsRect.top - dialogRect.top};
    ClientToScreen(dialog, &origin);
    return origin;
}

// Refuses to create the General page and passes every other dialog on.
decltype(&CreateDialogParamA) realCreateDialogParamA;
HWND WINAPI CreateDialogWithoutGeneralPage(HINSTANCE instance, LPCSTR name, HWND parent, DLGPROC procedure,
                                           LPARAM parameter)
{
    if (name == MAKEINTRESOURCEA(IDD_GENERAL_PAGE))
        return nullptr;
    return realCreateDialogParamA(instance, name, parent, procedure, parameter);
}

class MainDialogTest : public testing::Test {
protected:
    RegistrySandbox sandbox{{DESKTOP, METRICS, POLICIES}};
    HWND dialog = nullptr;
    bool withTooltips = true;

    void SetUp() override
    {
        RegisterProgramClasses();
        currentPage = 0;
        RegWriteStringForTest(METRICS, "Shell Icon Size", "32");
    }

    void OpenMainDialog()
    {
        if (withTooltips) {
            ASSERT_EQ(1, CreateTooltipWindow());
        }
        dialog = CreateDialogParamA(settingsState.instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr,
                                    MainDialogProc, 0);
        ASSERT_TRUE(dialog);
        // The load runs from the posted deferred step, inside this pump.
        ASSERT_TRUE(PumpMessagesUntil([&] {
            return IsWindowVisible(dialog) && SendMessageA(GetDlgItem(settingsState.pages[PAGE_GENERAL], IDC_ICON_SIZE),
                                                           CB_GETCOUNT, 0, 0) > 0;
        }, 10000));
    }

    void TearDown() override
    {
        if (dialog)
            DestroyWindow(dialog);
        DestroyTooltipWindow();
        settingsState.pages[PAGE_GENERAL] = settingsState.pages[PAGE_SECOND] = nullptr;
        ParkCursor();
        PumpPendingMessages();
    }

    HWND Page() const { return settingsState.pages[PAGE_GENERAL]; }
};

TEST_F(MainDialogTest, TabWalksTheDialogAndThePageAsOneSequence)
{
    OpenMainDialog();
    struct Stop {
        bool onPage;
        int id;
    };
    const std::vector<Stop> expected = {
        {false, IDOK}, {false, IDCANCEL}, {false, IDC_APPLY}, {false, IDC_ABOUT}, {false, IDC_PAGE_TABS},
        {false, IDC_HOMEPAGE_LINK},
        {true, IDC_MENU_ANIMATION}, {true, IDC_MENU_UNDERLINES}, {true, IDC_COMBOBOX_ANIMATION},
        {true, IDC_LISTBOX_SMOOTH_SCROLLING}, {true, IDC_GRADIENT_CAPTIONS}, {true, IDC_WINDOW_ANIMATION},
        {true, IDC_ACTIVE_WINDOW_TRACKING}, {true, IDC_ACTIVE_WINDOW_TRACK_ZORDER}, {true, IDC_HOT_TRACKING},
        {true, IDC_FONT_SMOOTHING}, {true, IDC_DRAG_FULL_WINDOWS}, {true, IDC_SMOOTH_SCROLLING},
        {true, IDC_SAVE_WINDOW_SETTINGS}, {true, IDC_MENU_SPEED}, {true, IDC_MENU_SPEED_DEFAULT},
        {true, IDC_ICON_COLORS}, {true, IDC_ICON_SIZE}, {true, IDC_REMOVE_FAVORITES_MENU},
        {true, IDC_REMOVE_DOCUMENTS_MENU}, {true, IDC_REMOVE_FIND_MENU}, {true, IDC_REMOVE_RUN_MENU},
        {true, IDC_REMOVE_LOGOFF_MENU}, {true, IDC_NO_CHANGE_START_MENU}, {true, IDC_RESTORE_START_MENU_ORDER},
        {false, IDOK},
    };
    SetForegroundWindow(dialog);
    ASSERT_EQ(GetDlgItem(dialog, IDOK), GetFocus()) << "the first tab stop has the focus";
    for (size_t i = 1; i < expected.size(); ++i) {
        SendKeyToDialog(dialog, VK_TAB);
        HWND focus = GetFocus();
        HWND owner = expected[i].onPage ? Page() : dialog;
        EXPECT_EQ(GetDlgItem(owner, expected[i].id), focus)
            << "stop " << i << ": expected id " << expected[i].id << ", focus is on id " << GetDlgCtrlID(focus);
    }
}

TEST_F(MainDialogTest, PagesShareTheTabDisplayAreaAndOnlyTheGeneralPageShows)
{
    OpenMainDialog();
    HWND tabs = GetDlgItem(dialog, IDC_PAGE_TABS);
    EXPECT_EQ(1, SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0));
    char text[32] = "";
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof(text);
    SendMessageA(tabs, TCM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_STREQ("General", text);

    HWND general = settingsState.pages[PAGE_GENERAL];
    HWND second = settingsState.pages[PAGE_SECOND];
    ASSERT_TRUE(general && second);
    EXPECT_EQ(dialog, GetParent(general));
    EXPECT_EQ(dialog, GetParent(second));
    EXPECT_TRUE(IsWindowVisible(general));
    EXPECT_FALSE(IsWindowVisible(second));

    RECT generalRect, secondRect;
    GetWindowRect(general, &generalRect);
    GetWindowRect(second, &secondRect);
    EXPECT_TRUE(EqualRect(&generalRect, &secondRect));

    // The page starts where the layout rule puts it, which is inside the
    // display area of the tab control as it is now, with its tab. The rule
    // promises nothing about the far edges: at Windows' metrics the page
    // ends a pixel past the display area's right edge.
    const RECT display = TabDisplayAreaOnScreen(tabs);
    EXPECT_TRUE(PtInRect(&display, POINT{generalRect.left, generalRect.top}))
        << "page (" << generalRect.left << "," << generalRect.top << ")-(" << generalRect.right << ","
        << generalRect.bottom << "), display area (" << display.left << "," << display.top << ")-("
        << display.right << "," << display.bottom << ")";
    const POINT origin = PageOriginOnScreen(dialog);
    EXPECT_EQ(origin.x, generalRect.left);
    EXPECT_EQ(origin.y, generalRect.top);
    // The page keeps its template size.
    RECT templateSize = {0, 0, 333, 192};
    MapDialogRect(general, &templateSize);
    EXPECT_EQ(templateSize.right, generalRect.right - generalRect.left);
    EXPECT_EQ(templateSize.bottom, generalRect.bottom - generalRect.top);
    SaveScreenshot(CaptureWindow(dialog), "main_dialog_in_process");
}

// Every layout and picture of the suite is taken at the metrics Windows
// gives the templates' "MS Sans Serif": its bitmap face, 6 x 13 base units at
// 96 DPI. A prefix without Wine's Windows fonts falls back to a Linux font.
TEST_F(MainDialogTest, DialogFontHasWindowsMetrics)
{
    OpenMainDialog();
    RECT units = {0, 0, 4, 8};
    MapDialogRect(dialog, &units);
    char face[LF_FACESIZE] = "";
    HDC dc = GetDC(dialog);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0)));
    GetTextFaceA(dc, sizeof(face), face);
    SelectObject(dc, old);
    ReleaseDC(dialog, dc);
    const char *cause = " (Wine's Windows fonts of package fonts-wine are missing from the prefix's "
                        "C:\\windows\\Fonts; tools/wine-session.sh copies them in)";
    EXPECT_STREQ("MS Sans Serif", face) << cause;
    EXPECT_EQ(6, units.right) << "base unit width" << cause;
    EXPECT_EQ(13, units.bottom) << "base unit height" << cause;
}

// The link's underline runs across the whole label, so a caption much
// shorter than the label would leave it running on alone like a stray rule;
// one that is longer would be cut.
TEST_F(MainDialogTest, LinkCaptionFillsItsLabel)
{
    const int MOST_UNDERLINE_PAST_TEXT = 8;
    OpenMainDialog();
    HWND link = GetDlgItem(dialog, IDC_HOMEPAGE_LINK);
    RECT client;
    GetClientRect(link, &client);
    HDC dc = GetDC(link);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(link, WM_GETFONT, 0, 0)));
    SIZE text = {};
    GetTextExtentPoint32A(dc, HOMEPAGE_LINK_CAPTION, lstrlenA(HOMEPAGE_LINK_CAPTION), &text);
    SelectObject(dc, old);
    ReleaseDC(link, dc);
    EXPECT_LE(text.cx, client.right) << "the caption is cut";
    EXPECT_LE(client.right - text.cx, MOST_UNDERLINE_PAST_TEXT) << "label " << client.right << ", text " << text.cx;
}

// WCAG 2 relative luminance of a colour.
double Luminance(COLORREF c)
{
    auto linear = [](int v) { return v <= 10 ? v / 255.0 / 12.92 : pow((v / 255.0 + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(GetRValue(c)) + 0.7152 * linear(GetGValue(c)) + 0.0722 * linear(GetBValue(c));
}

// Schemes as button face, text and hyperlink colours, and the colour each
// draws the link in. High Contrast's hyperlink colours are Windows 10's.
const struct {
    const char *name;
    COLORREF face, text, hyperlink, link;
} LINK_SCHEMES[] = {
    {"classic", RGB(192, 192, 192), RGB(0, 0, 0), RGB(0, 0, 128), RGB(0, 0, 255)},
    {"High Contrast White", RGB(255, 255, 255), RGB(0, 0, 0), RGB(0, 0, 159), RGB(0, 0, 255)},
    {"High Contrast Black", RGB(0, 0, 0), RGB(255, 255, 255), RGB(255, 255, 0), RGB(255, 255, 0)},
    {"black with a dark hyperlink colour", RGB(0, 0, 0), RGB(255, 255, 255), RGB(0, 0, 128), RGB(255, 255, 255)},
};

TEST_F(MainDialogTest, LinkStaysReadableInEveryColourScheme)
{
    OpenMainDialog();
    HWND link = GetDlgItem(dialog, IDC_HOMEPAGE_LINK);
    for (const auto &scheme : LINK_SCHEMES) {
        SCOPED_TRACE(scheme.name);
        ScopedSysColors colours({{COLOR_BTNFACE, scheme.face}, {COLOR_BTNTEXT, scheme.text},
                                 {COLOR_WINDOWTEXT, scheme.text}, {COLOR_HOTLIGHT, scheme.hyperlink}});
        PumpPendingMessages();
        const ScreenImage shot = CaptureClient(link);
        // Above the text's end: background; the underline: the text's colour.
        const COLORREF background = shot.At(shot.width - 1, 0), text = shot.At(0, shot.height - 1);
        EXPECT_EQ(scheme.link, text);
        EXPECT_EQ(shot.width * shot.height, shot.Count(background) + shot.Count(text));
        const double lit = Luminance(text) + 0.05, ground = Luminance(background) + 0.05;
        EXPECT_GE(std::max(lit, ground) / std::min(lit, ground), 4.5);
        SaveScreenshot(CaptureWindow(dialog), std::string("main_dialog_") + scheme.name);
    }
    ValidateRect(link, nullptr);
    SendMessageA(dialog, WM_SYSCOLORCHANGE, 0, 0);
    EXPECT_TRUE(GetUpdateRect(link, nullptr, FALSE)) << "a change of scheme reaches the link";

    // A full GDI heap refuses the off-screen device context or bitmap: the
    // link is drawn straight onto the label, as it is otherwise.
    GdiRefusal refusal;
    ASSERT_TRUE(refusal.Installed());
    const ScreenImage drawn = CaptureClient(link);
    for (const GdiRefusal::Call call : {GdiRefusal::MEMORY_DC, GdiRefusal::BITMAP}) {
        BlackenClient(link);
        GdiRefusal::refuseNext = call;
        InvalidateRect(link, nullptr, FALSE);
        const ScreenImage shot = CaptureClient(link);
        EXPECT_EQ(drawn.pixels, shot.pixels) << "refused call " << call;
        SaveScreenshot(shot, "main_dialog_link_drawn_on_screen_" + std::to_string(call));
    }
    EXPECT_EQ(2, GdiRefusal::refused);
}

TEST_F(MainDialogTest, WithoutTheGeneralPageTheSecondPageIsPlacedEmpty)
{
    ImportPatch patch("user32.dll", "CreateDialogParamA", CreateDialogWithoutGeneralPage, &realCreateDialogParamA);
    ASSERT_TRUE(patch.Installed());
    ASSERT_EQ(1, CreateTooltipWindow());
    dialog = CreateDialogParamA(settingsState.instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialogProc, 0);
    ASSERT_TRUE(dialog);
    // The load, with no page to fill, runs from the deferred step.
    ASSERT_TRUE(PumpMessagesUntil([&] { return IsWindowVisible(dialog) && IsWindowEnabled(dialog); }, 10000));

    EXPECT_EQ(nullptr, settingsState.pages[PAGE_GENERAL]);
    HWND second = settingsState.pages[PAGE_SECOND];
    ASSERT_TRUE(second);
    EXPECT_FALSE(IsWindowVisible(second));
    // Sized by a General page that does not exist: nothing.
    RECT secondRect;
    GetWindowRect(second, &secondRect);
    const POINT origin = PageOriginOnScreen(dialog);
    EXPECT_EQ(origin.x, secondRect.left);
    EXPECT_EQ(origin.y, secondRect.top);
    EXPECT_EQ(0, secondRect.right - secondRect.left);
    EXPECT_EQ(0, secondRect.bottom - secondRect.top);
}

TEST_F(MainDialogTest, TabSwitchShowsOnlyThePageBehindTheChosenTab)
{
    OpenMainDialog();
    HWND tabs = GetDlgItem(dialog, IDC_PAGE_TABS);
    HWND general = settingsState.pages[PAGE_GENERAL];
    HWND second = settingsState.pages[PAGE_SECOND];
    // The program inserts one tab; a second stands for the page that no tab
    // leads to, a third for a tab with no page behind it.
    for (const char *text : {"Second", "Third"}) {
        char label[16];
        lstrcpyA(label, text);
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = label;
        SendMessageA(tabs, TCM_INSERTITEMA, SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0),
                     reinterpret_cast<LPARAM>(&item));
    }
    const struct {
        int tab;
        UINT code;
        int from;
        bool generalShown;
        bool secondShown;
    } steps[] = {
        {1, static_cast<UINT>(TCN_SELCHANGING), IDC_PAGE_TABS, true, false}, // not yet changed
        {1, static_cast<UINT>(TCN_SELCHANGE), IDC_APPLY, true, false},       // not from the tabs
        {1, static_cast<UINT>(TCN_SELCHANGE), IDC_PAGE_TABS, false, true},
        {2, static_cast<UINT>(TCN_SELCHANGE), IDC_PAGE_TABS, false, true},   // no page behind it
        {0, static_cast<UINT>(TCN_SELCHANGE), IDC_PAGE_TABS, true, false},
    };
    for (const auto &step : steps) {
        SCOPED_TRACE(testing::Message() << "tab " << step.tab << ", code " << static_cast<int>(step.code)
                                        << ", from " << step.from);
        SendMessageA(tabs, TCM_SETCURSEL, step.tab, 0);
        NMHDR header = {tabs, static_cast<UINT_PTR>(step.from), step.code};
        SendMessageA(dialog, WM_NOTIFY, step.from, reinterpret_cast<LPARAM>(&header));
        EXPECT_EQ(step.generalShown, IsWindowVisible(general) != FALSE);
        EXPECT_EQ(step.secondShown, IsWindowVisible(second) != FALSE);
    }
}

// Reports Windows 95 through GetVersionExA, and records the message boxes
// shown instead of showing them.
decltype(&GetVersionExA) realGetVersionExA;
DWORD versionSizeAsked;
BOOL WINAPI ReportWindows95(OSVERSIONINFOA *version)
{
    versionSizeAsked = version->dwOSVersionInfoSize;
    const BOOL result = realGetVersionExA(version);
    version->dwMajorVersion = 4;
    version->dwMinorVersion = 0;
    version->dwPlatformId = VER_PLATFORM_WIN32_WINDOWS;
    return result;
}

struct MessageBoxCall {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
};
std::vector<MessageBoxCall> messageBoxes;
decltype(&MessageBoxA) realMessageBoxA; // never called: no box is shown
int WINAPI RecordMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    messageBoxes.push_back({owner, text ? text : "", caption ? caption : "", type});
    return IDOK;
}

TEST_F(MainDialogTest, OlderWindowsGetsOneInformationBoxAndNoPage)
{
    ImportPatch version("kernel32.dll", "GetVersionExA", ReportWindows95, &realGetVersionExA);
    ImportPatch messageBox("user32.dll", "MessageBoxA", RecordMessageBox, &realMessageBoxA);
    ASSERT_TRUE(version.Installed());
    ASSERT_TRUE(messageBox.Installed());
    versionSizeAsked = 0;
    messageBoxes.clear();
    ASSERT_EQ(1, CreateTooltipWindow());

    EXPECT_EQ(0, DialogBoxParamA(settingsState.instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialogProc, 0));

    EXPECT_EQ(sizeof(OSVERSIONINFOA), versionSizeAsked);
    ASSERT_EQ(1u, messageBoxes.size());
    EXPECT_EQ(GetDesktopWindow(), messageBoxes[0].owner);
    EXPECT_EQ("Sorry, but this program is designed to work on Windows 98 and later", messageBoxes[0].text);
    EXPECT_EQ("Get better Windows", messageBoxes[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONINFORMATION), messageBoxes[0].type);
    EXPECT_EQ(nullptr, settingsState.pages[PAGE_GENERAL]);
    EXPECT_EQ(nullptr, settingsState.pages[PAGE_SECOND]);
    EXPECT_EQ(0u, tooltipState.count) << "nothing was registered for tips";
}

// A push button with a text caption and hover colouring: no glyph strip, the
// hover strip 1 of one frame, which the module holds no bitmap for.
void ExpectPlainHoverButton(const HoverButtonState &state, const char *name)
{
    EXPECT_EQ(0, state.toggleMode) << name;
    EXPECT_EQ(0, state.glyphId) << name;
    EXPECT_EQ(1, state.hoverId) << name;
    EXPECT_EQ(1, state.frameCount) << name;
    EXPECT_EQ(nullptr, state.glyphBitmap) << name;
    EXPECT_EQ(nullptr, state.hoverBitmap) << name;
}

TEST_F(MainDialogTest, EveryButtonOfTheDialogAndThePageIsAPlainHoverButton)
{
    OpenMainDialog();
    const struct {
        bool onPage;
        int id;
        const char *name;
    } buttons[] = {{false, IDOK, "OK"}, {false, IDCANCEL, "Cancel"}, {false, IDC_APPLY, "Apply"},
                   {false, IDC_ABOUT, "About"}, {true, IDC_RESTORE_START_MENU_ORDER, "Restore start menu order"},
                   {true, IDC_MENU_SPEED_DEFAULT, "Default"}};
    for (const auto &button : buttons) {
        const HoverButtonState *state =
            GetWindowUserPointer<HoverButtonState>(GetDlgItem(button.onPage ? Page() : dialog, button.id));
        ASSERT_TRUE(state) << button.name;
        ExpectPlainHoverButton(*state, button.name);
    }
}

TEST_F(MainDialogTest, CommandButtonsAndLinkAreRegisteredForTheirTips)
{
    OpenMainDialog();
    const HFONT dialogFont = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    ASSERT_TRUE(dialogFont);
    for (int id : {IDOK, IDCANCEL, IDC_APPLY, IDC_ABOUT, IDC_HOMEPAGE_LINK}) {
        SCOPED_TRACE(id);
        const TooltipEntry *entry = FindTooltip(GetDlgItem(dialog, id));
        ASSERT_TRUE(entry);
        EXPECT_EQ(TTK_STRING_RESOURCE, entry->kind);
        EXPECT_EQ(dialogFont, entry->font) << "the dialog is the font source";
    }
    // The page's controls and the dialog's five.
    EXPECT_EQ(30u, tooltipState.count);
}

// Stands innermost on the link label, under LinkLabelProc, to see which
// procedure the label has by the time WM_DESTROY reaches the bottom.
WNDPROC staticProc;
WNDPROC labelProcAtDestroy;
bool labelRegisteredAtDestroy;

LRESULT CALLBACK InnermostLabelSpy(HWND label, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        labelProcAtDestroy = GetWindowProc(label);
        labelRegisteredAtDestroy = FindTooltip(label) != nullptr;
    }
    return CallWindowProcA(staticProc, label, message, wParam, lParam);
}

TEST_F(MainDialogTest, LinkLabelChainRunsTooltipThenLinkThenStaticAndUnhooksOnDestroy)
{
    OpenMainDialog();
    HWND plainStatic = CreateWindowExA(0, "Static", "", WS_CHILD, 0, 0, 1, 1, dialog, nullptr,
                                       settingsState.instance, nullptr);
    staticProc = GetWindowProc(plainStatic);
    DestroyWindow(plainStatic);

    HWND label = GetDlgItem(dialog, IDC_HOMEPAGE_LINK);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(TooltipSubclassProc), GetWindowProc(label));
    const TooltipEntry *entry = FindTooltip(label);
    ASSERT_TRUE(entry);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(LinkLabelProc), entry->previousProc);
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(staticProc), GetWindowUserData(label));

    // An object a reader keeps dies with its label, whatever window takes
    // the label's handle next.
    const KeptPastItsControl scene = KeepObjectPastItsControl([&](const char *caption) {
        HWND made = CreateWindowExA(0, "Static", caption, WS_CHILD | WS_VISIBLE | SS_NOTIFY, 0, 0, 10, 10, dialog,
                                    nullptr, settingsState.instance, nullptr);
        InstallLinkLabel(made);
        return made;
    });
    ASSERT_TRUE(scene.kept);
    EXPECT_TRUE(scene.sameHandle) << "the new label took the handle";
    BSTR name = nullptr;
    EXPECT_EQ(RPC_E_DISCONNECTED, scene.kept->get_accName(AccessibleSelf(), &name));
    EXPECT_EQ("Successor", ReadAccessible(scene.successor).name);
    scene.kept->Release();

    SetWindowUserData(label, reinterpret_cast<LONG_PTR>(InnermostLabelSpy));
    labelProcAtDestroy = nullptr;
    labelRegisteredAtDestroy = true;
    DestroyWindow(dialog);
    dialog = nullptr;
    EXPECT_EQ(reinterpret_cast<WNDPROC>(InnermostLabelSpy), labelProcAtDestroy)
        << "both subclasses had unhooked before the static control saw WM_DESTROY";
    EXPECT_FALSE(labelRegisteredAtDestroy);
    EXPECT_EQ(0u, tooltipState.count) << "every control of the dialog left the tooltip registry";
}

// Answers WM_QUERYUISTATE under LinkLabelProc as Windows does once told to
// hide focus cues; Wine 8 always answers 0, cues shown.
LRESULT uiState;
LRESULT CALLBACK UiStateStandIn(HWND label, UINT message, WPARAM wParam, LPARAM lParam)
{
    return message == WM_QUERYUISTATE ? uiState : CallWindowProcA(staticProc, label, message, wParam, lParam);
}

// Nothing but the focus rectangle can show on the link's top row, above the
// text: only while the link has the focus and the dialog shows focus cues.
TEST_F(MainDialogTest, LinkShowsItsFocusOnlyWhileFocusedWithKeyboardCues)
{
    OpenMainDialog();
    SetForegroundWindow(dialog);
    HWND link = GetDlgItem(dialog, IDC_HOMEPAGE_LINK);
    staticProc = reinterpret_cast<WNDPROC>(GetWindowUserData(link));
    SetWindowUserData(link, reinterpret_cast<LONG_PTR>(UiStateStandIn));
    auto focusShown = [&](LRESULT state) {
        if (state != uiState)
            SendMessageA(link, WM_UPDATEUISTATE, MAKEWPARAM(state ? UIS_SET : UIS_CLEAR, UISF_HIDEFOCUS), 0);
        uiState = state;
        UpdateWindow(link);
        const ScreenImage shot = CaptureClient(link);
        return shot.Count(GetSysColor(COLOR_BTNFACE), RECT{0, 0, shot.width, 1}) < shot.width;
    };
    EXPECT_FALSE(focusShown(0));
    SetFocus(link);
    EXPECT_TRUE(focusShown(0));
    SaveScreenshot(CaptureWindow(dialog), "main_dialog_link_focused");
    EXPECT_FALSE(focusShown(UISF_HIDEFOCUS)) << "keyboard cues hidden";
    EXPECT_TRUE(focusShown(0));
    SetFocus(GetDlgItem(dialog, IDOK));
    EXPECT_FALSE(focusShown(0));
}

// At the moment the Loading box is created, the main dialog must be on
// screen with nothing of it left to paint.
HWND dialogUnderTest;
int loadingBoxesSeen;
int unpaintedWindowsAtLoad;
int okCaptionPixelsAtLoad;
HHOOK loadingHook;

BOOL CALLBACK CountUnpainted(HWND window, LPARAM)
{
    RECT update;
    if (IsWindowVisible(window) && GetUpdateRect(window, &update, FALSE))
        ++unpaintedWindowsAtLoad;
    return TRUE;
}

LRESULT CALLBACK WatchForLoadingBox(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND) {
        const CBT_CREATEWNDA *create = reinterpret_cast<const CBT_CREATEWNDA *>(lParam);
        HWND window = reinterpret_cast<HWND>(wParam);
        if (create->lpcs->hwndParent == dialogUnderTest && create->lpcs->lpszName &&
            !IS_INTRESOURCE(create->lpcs->lpszName) && lstrcmpA(create->lpcs->lpszName, "Please wait") == 0 &&
            window != dialogUnderTest) {
            ++loadingBoxesSeen;
            if (!IsWindowVisible(dialogUnderTest))
                ++unpaintedWindowsAtLoad;
            CountUnpainted(dialogUnderTest, 0);
            EnumChildWindows(dialogUnderTest, CountUnpainted, 0);
            okCaptionPixelsAtLoad =
                CaptureClient(GetDlgItem(dialogUnderTest, IDOK)).Count(GetSysColor(COLOR_BTNTEXT));
        }
    }
    return CallNextHookEx(loadingHook, code, wParam, lParam);
}

TEST_F(MainDialogTest, LoadingBoxStartsOnlyOnceTheDialogIsFullyPaintedAndRedrawsWhatItSets)
{
    // Far from where the slider stood when the dialog was first painted.
    RegWriteStringForTest(DESKTOP, "MenuShowDelay", "4000");
    ASSERT_EQ(1, CreateTooltipWindow());
    loadingBoxesSeen = unpaintedWindowsAtLoad = okCaptionPixelsAtLoad = 0;
    loadingHook = SetWindowsHookExA(WH_CBT, WatchForLoadingBox, nullptr, GetCurrentThreadId());
    dialog = CreateDialogParamA(settingsState.instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialogProc, 0);
    dialogUnderTest = dialog;
    EXPECT_FALSE(IsWindowVisible(dialog)) << "hidden until the deferred step";
    PumpMessagesUntil([] { return loadingBoxesSeen > 0; }, 10000);
    UnhookWindowsHookEx(loadingHook);
    PumpMessagesFor(200);

    EXPECT_EQ(1, loadingBoxesSeen);
    EXPECT_EQ(0, unpaintedWindowsAtLoad);
    EXPECT_GT(okCaptionPixelsAtLoad, 5) << "the OK caption is on screen";

    // The slider, painted before the load, moved its thumb to the delay read.
    ASSERT_TRUE(PumpMessagesUntil([&] { return IsWindowEnabled(dialog) != FALSE; }, 10000));
    HWND slider = GetDlgItem(Page(), IDC_MENU_SPEED);
    EXPECT_EQ(4000, SendMessageA(slider, TBM_GETPOS, 0, 0));
    EXPECT_TRUE(SliderThumbAtItsPosition(slider));
}

// Looks at the About box from inside its modal loop, one step per timer
// tick, so that the keys posted to it pass through its dialog manager.
struct AboutVisit {
    int step = 0;
    std::string text;
    DWORD selection = 0xFFFFFFFF;
    LRESULT firstLine = -1;
    bool focusOnText = false;
    bool stillOpenAfterEnter = false;
    bool readOnly = false;
    bool closed = false;
    HoverButtonState closeButton = {};
};
AboutVisit visit;
UINT_PTR aboutTimer;

void CALLBACK StepThroughAboutBox(HWND, UINT, UINT_PTR, DWORD)
{
    HWND about = FindWindowA(nullptr, "About");
    if (!about || !IsWindowVisible(about))
        return;
    HWND edit = GetDlgItem(about, IDC_LICENSE_TEXT);
    switch (visit.step++) {
    case 0:
        visit.text = WindowText(edit);
        visit.selection = static_cast<DWORD>(SendMessageA(edit, EM_GETSEL, 0, 0));
        visit.firstLine = SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0);
        visit.focusOnText = GetFocus() == edit;
        visit.readOnly = (GetWindowLongPtrA(edit, GWL_STYLE) & ES_READONLY) != 0;
        if (const HoverButtonState *close = GetWindowUserPointer<HoverButtonState>(GetDlgItem(about, IDCANCEL)))
            visit.closeButton = *close;
        // Spoil the text: the next opening must load it afresh.
        SetWindowTextA(edit, "spoilt");
        PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 1);
        PostMessageA(edit, WM_KEYUP, VK_RETURN, 0xC0000001);
        break;
    default:
        visit.stillOpenAfterEnter = true;
        KillTimer(nullptr, aboutTimer);
        PostMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 1);
        visit.closed = true;
        break;
    }
}

// Room past each block the box asks for: a licence copied without its
// terminating zero runs on into the recorder's marker there.
const SIZE_T PADDING_BYTES = 16;

TEST_F(MainDialogTest, AboutBoxShowsTheWholeLicenceUnselectedEachTimeItOpens)
{
    OpenMainDialog();
    const std::string license = LicenseResourceText();
    for (int opening = 0; opening < 2; ++opening) {
        SCOPED_TRACE(opening);
        visit = AboutVisit();
        aboutTimer = SetTimer(nullptr, 0, 100, StepThroughAboutBox);
        {
            GlobalMemoryRecorder memory(PADDING_BYTES);
            ASSERT_TRUE(memory.Installed());
            SendMessageA(dialog, WM_COMMAND, IDC_ABOUT, 0);
            EXPECT_FALSE(memory.Allocations().empty());
            EXPECT_EQ(0u, memory.Held()) << "block(s) of the box left allocated";
        }
        KillTimer(nullptr, aboutTimer);
        ASSERT_TRUE(visit.closed);
        EXPECT_EQ(license, visit.text);
        EXPECT_EQ(0u, visit.selection) << "caret at the start, nothing selected";
        EXPECT_EQ(0, visit.firstLine);
        EXPECT_TRUE(visit.focusOnText);
        EXPECT_TRUE(visit.readOnly);
        EXPECT_TRUE(visit.stillOpenAfterEnter);
        EXPECT_FALSE(FindWindowA(nullptr, "About"));
        ExpectPlainHoverButton(visit.closeButton, "Close");
    }
}

// Fails the first allocation the About box makes in its own set-up: the
// buttons' blocks are allocated before the box receives WM_INITDIALOG.
HHOOK allocationHook;
LRESULT CALLBACK FailAllocationInAboutSetUp(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT *call = reinterpret_cast<const CWPSTRUCT *>(lParam);
    if (code == HC_ACTION && call->message == WM_INITDIALOG && GetDlgItem(call->hwnd, IDC_LICENSE_TEXT))
        FailGlobalAllocationAfter(1);
    return CallNextHookEx(allocationHook, code, wParam, lParam);
}

// Access violations raised on this thread, caught or not: the platform
// swallows those of a dialog's set-up, so they would go unseen otherwise.
LONG accessViolations;
LONG CALLBACK CountAccessViolations(EXCEPTION_POINTERS *exception)
{
    if (exception->ExceptionRecord->ExceptionCode == EXCEPTION_ACCESS_VIOLATION)
        ++accessViolations;
    return EXCEPTION_CONTINUE_SEARCH;
}

TEST_F(MainDialogTest, AboutBoxOpensEmptyWhenTheLicenceCannotBeCopied)
{
    visit = AboutVisit();
    accessViolations = 0;
    void *handler = AddVectoredExceptionHandler(1, CountAccessViolations);
    allocationHook = SetWindowsHookExA(WH_CALLWNDPROC, FailAllocationInAboutSetUp, nullptr, GetCurrentThreadId());
    aboutTimer = SetTimer(nullptr, 0, 100, StepThroughAboutBox);
    DialogBoxParamA(settingsState.instance, MAKEINTRESOURCEA(IDD_ABOUT), nullptr, AboutBoxProc, 0);
    KillTimer(nullptr, aboutTimer);
    UnhookWindowsHookEx(allocationHook);
    RemoveVectoredExceptionHandler(handler);
    FailGlobalAllocationAfter(0);

    EXPECT_EQ(0, accessViolations);
    ASSERT_TRUE(visit.closed);
    EXPECT_EQ("", visit.text);
    EXPECT_TRUE(visit.stillOpenAfterEnter);
    EXPECT_FALSE(FindWindowA(nullptr, "About"));
}

TEST_F(MainDialogTest, WithoutTooltipPopupTheDialogStillLoadsAndSaves)
{
    withTooltips = false;
    RegDeleteValueForTest(DESKTOP, "MenuShowDelay");
    OpenMainDialog();
    HWND ok = GetDlgItem(dialog, IDOK);
    EXPECT_EQ(nullptr, FindTooltip(ok));
    EXPECT_EQ(reinterpret_cast<WNDPROC>(HoverButtonWndProc), GetWindowProc(ok));
    EXPECT_EQ(400, SendMessageA(GetDlgItem(Page(), IDC_MENU_SPEED), TBM_GETPOS, 0, 0));

    SendMessageA(GetDlgItem(dialog, IDC_APPLY), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    SendMessageA(GetDlgItem(dialog, IDC_APPLY), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    EXPECT_EQ("400", RegReadForTest(DESKTOP, "MenuShowDelay").Text());
    EXPECT_TRUE(IsWindowVisible(dialog)) << "Apply keeps the dialog open";
}

TEST_F(MainDialogTest, VersionCheckAcceptsWindows98AndLaterOnly)
{
    struct Case {
        DWORD major, minor;
        bool accepted;
    };
    const Case cases[] = {{3, 95, false}, {4, 0, false}, {4, 9, false}, {4, 10, true},
                          {4, 90, true},  {5, 0, true},  {6, 1, true},  {10, 0, true}};
    for (const Case &c : cases) {
        OSVERSIONINFOA version = {};
        version.dwOSVersionInfoSize = sizeof(version);
        version.dwMajorVersion = c.major;
        version.dwMinorVersion = c.minor;
        EXPECT_EQ(c.accepted, IsSupportedWindowsVersion(version)) << c.major << "." << c.minor;
    }
}

// Counts the windows start-up creates.
int windowsCreated;
HHOOK countingHook;
LRESULT CALLBACK CountCreations(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND)
        ++windowsCreated;
    return CallNextHookEx(countingHook, code, wParam, lParam);
}

LRESULT CALLBACK ImpostorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST(StartupTest, ATakenClassNameEndsStartupQuietlyWithExitCodeZero)
{
    for (const char *taken : {HOVER_BUTTON_CLASS, TOOLTIP_CLASS}) {
        SCOPED_TRACE(taken);
        UnregisterProgramClasses();
        WNDCLASSA impostor = {};
        impostor.lpfnWndProc = ImpostorProc;
        impostor.hInstance = settingsState.instance;
        impostor.lpszClassName = taken;
        ASSERT_TRUE(RegisterClassA(&impostor));

        windowsCreated = 0;
        countingHook = SetWindowsHookExA(WH_CBT, CountCreations, nullptr, GetCurrentThreadId());
        EXPECT_EQ(0, RunDialvane(settingsState.instance));
        UnhookWindowsHookEx(countingHook);
        EXPECT_EQ(0, windowsCreated);
        EXPECT_EQ(nullptr, tooltipState.popup);
        UnregisterProgramClasses();
    }
}

// What start-up had built by the time the main dialog had loaded, seen from
// inside the dialog's modal loop, which Cancel then ends.
struct StartupVisit {
    bool seen = false;
    HWND main = nullptr;
    HWND popup = nullptr;
    std::string popupClass;
    bool okHasTip = false;
};
StartupVisit startupVisit;

void CALLBACK LookAtRunningProgram(HWND, UINT, UINT_PTR, DWORD)
{
    HWND main = FindWindowA(nullptr, "Dialvane Version 1.2");
    DWORD process = 0;
    GetWindowThreadProcessId(main, &process);
    HWND page = settingsState.pages[PAGE_GENERAL];
    if (startupVisit.seen || !main || process != GetCurrentProcessId() || !IsWindowVisible(main) ||
        !IsWindowEnabled(main) || !page || SendDlgItemMessageA(page, IDC_ICON_SIZE, CB_GETCOUNT, 0, 0) <= 0)
        return;
    startupVisit.seen = true;
    startupVisit.main = main;
    startupVisit.popup = tooltipState.popup;
    char className[64] = "";
    GetClassNameA(tooltipState.popup, className, sizeof(className));
    startupVisit.popupClass = className;
    startupVisit.okHasTip = FindTooltip(GetDlgItem(main, IDOK)) != nullptr;
    PostMessageA(main, WM_COMMAND, IDCANCEL, 0);
}

TEST(StartupTest, RunsTheDialogWithTipsAndTakesTheTipPopupDownAfterwards)
{
    RegistrySandbox sandbox{{DESKTOP, METRICS, POLICIES}};
    UnregisterProgramClasses();
    startupVisit = StartupVisit();
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, LookAtRunningProgram);
    EXPECT_EQ(0, RunDialvane(settingsState.instance));
    KillTimer(nullptr, timer);
    settingsState.pages[PAGE_GENERAL] = settingsState.pages[PAGE_SECOND] = nullptr;

    ASSERT_TRUE(startupVisit.seen);
    EXPECT_TRUE(startupVisit.popup);
    EXPECT_EQ(TOOLTIP_CLASS, startupVisit.popupClass);
    EXPECT_TRUE(startupVisit.okHasTip);
    EXPECT_FALSE(IsWindow(startupVisit.main));
    EXPECT_FALSE(IsWindow(startupVisit.popup)) << "the popup outlives the dialog only until start-up ends";
    EXPECT_EQ(nullptr, tooltipState.popup);
    EXPECT_EQ(0u, tooltipState.count);

    // Windows' own DLLs load further DLLs by bare name, from the program's
    // folder first unless start-up has taken it out of the search. (Not
    // Wine's input-method code: its delay load of ole32 ignores that.)
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(SiblingPath("planted_library.dll").c_str()));
    EXPECT_EQ(nullptr, LoadLibraryA("planted_library.dll")) << "loaded from beside the program";
}

} // namespace

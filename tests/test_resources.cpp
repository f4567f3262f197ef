// test_resources.cpp - reads the compiled resources back through the system's
// loaders: the six dialog templates byte by byte against tables of what each
// must hold, the tooltip strings, the licence text, the cursor and icon, the
// version block, and the same resources inside dialvane.exe.
#include "support/dialog_template.h"
#include "support/test_support.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <set>

namespace {

// --- Expected templates ------------------------------------------------------
// Ids, styles and rectangles are written as plain numbers rather than through
// resource.h, so that a wrong identifier in the header is caught as well.

// A control class as the template stores it: a predefined class by ordinal,
// any other by name.
struct ClassRef {
    WORD ordinal; // 0 when stored by name
    const char *name;
};
const ClassRef CLASS_BUTTON = {0x80, "BUTTON"};
const ClassRef CLASS_EDIT = {0x81, "EDIT"};
const ClassRef CLASS_STATIC = {0x82, "STATIC"};
const ClassRef CLASS_COMBOBOX = {0x85, "COMBOBOX"};
const ClassRef CLASS_HOVER = {0, "QCWButtonWndClass"};
const ClassRef CLASS_TAB = {0, "SysTabControl32"};
const ClassRef CLASS_TRACKBAR = {0, "msctls_trackbar32"};

// Style words, each spelled out and pinned to the number the template must hold.
const DWORD HOVER = 0x50010000;
static_assert(HOVER == (WS_CHILD | WS_VISIBLE | WS_TABSTOP), "hover button style");
const DWORD CHECK = 0x50010003;
static_assert(CHECK == (WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX), "check box");
const DWORD LABEL = 0x50020000;
static_assert(LABEL == (WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT), "label");
const DWORD CENTERED = 0x50020001;
static_assert(CENTERED == (WS_CHILD | WS_VISIBLE | WS_GROUP | SS_CENTER), "centred label");
const DWORD RIGHT_LABEL = 0x50020002;
static_assert(RIGHT_LABEL == (WS_CHILD | WS_VISIBLE | WS_GROUP | SS_RIGHT), "right label");
const DWORD GROUP_BOX = 0x50000007;
static_assert(GROUP_BOX == (WS_CHILD | WS_VISIBLE | BS_GROUPBOX), "group box");
const DWORD DROP_LIST = 0x50210003;
static_assert(DROP_LIST == (WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST),
              "drop-down list");
const DWORD HIDDEN_DROP_LIST = 0x40210003;
static_assert(HIDDEN_DROP_LIST == (WS_CHILD | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST),
              "hidden drop-down list");
const DWORD ENTRY = 0x50810080;
static_assert(ENTRY == (WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL),
              "entry field");
const DWORD TAB_STYLE = 0x50010040;
static_assert(TAB_STYLE == (WS_CHILD | WS_VISIBLE | WS_TABSTOP | TCS_HOTTRACK), "tab control");
const DWORD LINK_STYLE = 0x5003010C;
static_assert(LINK_STYLE == (WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | SS_NOTIFY | SS_LEFTNOWORDWRAP),
              "link label");
const DWORD LICENSE_STYLE = 0x50A11844;
static_assert(LICENSE_STYLE == (WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_TABSTOP |
                                ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY | ES_WANTRETURN),
              "licence box");
const DWORD SLIDER = 0x50010018;
static_assert(SLIDER == (WS_CHILD | WS_VISIBLE | WS_TABSTOP | TBS_HORZ | TBS_BOTH | TBS_NOTICKS),
              "slider");
const DWORD PUSH = 0x50010000;
static_assert(PUSH == (WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON), "push button");

const DWORD MAIN_DIALOG_STYLE = 0x80C008C0;
static_assert(MAIN_DIALOG_STYLE ==
                  (WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_CENTER | DS_SETFONT),
              "main dialog");
const DWORD BOX_STYLE = 0x90C008C0;
static_assert(BOX_STYLE ==
                  (WS_POPUP | WS_VISIBLE | WS_CAPTION | DS_MODALFRAME | DS_CENTER | DS_SETFONT),
              "modal box");
const DWORD PAGE_STYLE = 0x40000440;
static_assert(PAGE_STYLE == (WS_CHILD | DS_CONTROL | DS_SETFONT), "page");

const int NO_ID = -1;
const char RIGHTS_NOTICE[] = "Copyright (C) 2026 The Dialvane developers";

struct ExpectedControl {
    int id;
    ClassRef cls;
    DWORD style;
    const char *text;
    short x, y, cx, cy;
};

struct ExpectedTemplate {
    int id;
    const char *title;
    WORD pointSize;
    DWORD style;
    short cx, cy;
    std::vector<ExpectedControl> controls;
};

const ExpectedTemplate &MainDialog()
{
    static const ExpectedTemplate dialog = {
        101, "Dialvane Version 1.2", 8, MAIN_DIALOG_STYLE, 412, 233,
        {
            {1, CLASS_HOVER, HOVER, "OK", 356, 17, 50, 14},
            {2, CLASS_HOVER, HOVER, "Cancel", 356, 33, 50, 14},
            {1002, CLASS_HOVER, HOVER, "Apply", 356, 49, 50, 14},
            {1003, CLASS_HOVER, HOVER, "About", 356, 72, 50, 14},
            {1047, CLASS_TAB, TAB_STYLE, "Tab1", 4, 4, 340, 212},
            {1033, CLASS_STATIC, LINK_STYLE, HOMEPAGE_LINK_CAPTION, 252, 220, 156, 8},
        }};
    return dialog;
}

const ExpectedTemplate &AboutBox()
{
    static const ExpectedTemplate dialog = {
        102, "About", 8, BOX_STYLE, 260, 213,
        {
            {1005, CLASS_EDIT, LICENSE_STYLE, "", 4, 76, 248, 112},
            {NO_ID, CLASS_STATIC, LABEL, "License:", 4, 64, 28, 8},
            {NO_ID, CLASS_STATIC, CENTERED,
             "This program is designerd to tweak some of Windows 98 features.", 4, 44, 252, 16},
            {NO_ID, CLASS_STATIC, CENTERED, "Version 1.2", 4, 16, 252, 8},
            {NO_ID, CLASS_STATIC, CENTERED, "Dialvane", 4, 4, 252, 8},
            {NO_ID, CLASS_STATIC, CENTERED, RIGHTS_NOTICE, 4, 28, 252, 8},
            {2, CLASS_HOVER, HOVER, "Close", 104, 195, 50, 14},
        }};
    return dialog;
}

const ExpectedTemplate &GeneralPage()
{
    static const ExpectedTemplate dialog = {
        109, "", 8, PAGE_STYLE, 333, 192,
        {
            {1009, CLASS_BUTTON, CHECK, "Menu animation", 8, 16, 66, 10},
            {1013, CLASS_BUTTON, CHECK, "Menu underlines", 8, 28, 68, 10},
            {1010, CLASS_BUTTON, CHECK, "Combobox animation", 8, 40, 81, 10},
            {1011, CLASS_BUTTON, CHECK, "Listbox smooth scrolling", 8, 52, 90, 10},
            {1012, CLASS_BUTTON, CHECK, "Gradient captions", 8, 64, 71, 10},
            {1020, CLASS_BUTTON, CHECK, "Window animation", 8, 76, 74, 10},
            {1001, CLASS_BUTTON, CHECK, "Active window tracking", 8, 88, 89, 10},
            {1014, CLASS_BUTTON, CHECK, "Active window track Z order", 20, 100, 105, 10},
            {1015, CLASS_BUTTON, CHECK, "Hot tracking", 8, 112, 55, 10},
            {1018, CLASS_BUTTON, CHECK, "Font smoothing", 8, 124, 64, 10},
            {1019, CLASS_BUTTON, CHECK, "Drag full windows", 8, 136, 71, 10},
            {1025, CLASS_BUTTON, CHECK, "Smooth scrolling", 8, 148, 67, 10},
            {1027, CLASS_BUTTON, CHECK, "Save window settings", 8, 160, 85, 10},
            {NO_ID, CLASS_STATIC, LABEL, "Menu speed:", 128, 18, 42, 8},
            {1063, CLASS_TRACKBAR, SLIDER, "Slider1", 172, 16, 80, 11},
            {1062, CLASS_HOVER, HOVER, "Default", 252, 16, 32, 14},
            {NO_ID, CLASS_STATIC, LABEL, "Icon colors:", 128, 34, 38, 8},
            {1016, CLASS_COMBOBOX, DROP_LIST, "", 180, 33, 40, 52},
            {NO_ID, CLASS_STATIC, LABEL, "Icon size:", 128, 50, 31, 8},
            {1024, CLASS_COMBOBOX, DROP_LIST, "", 180, 48, 40, 52},
            {NO_ID, CLASS_BUTTON, GROUP_BOX, "Start menu", 128, 68, 120, 104},
            {1021, CLASS_BUTTON, CHECK, "Remove Favorites menu", 136, 80, 93, 10},
            {1022, CLASS_BUTTON, CHECK, "Remove Documents menu", 136, 92, 100, 10},
            {1023, CLASS_BUTTON, CHECK, "Remove Find menu", 136, 104, 77, 10},
            {1028, CLASS_BUTTON, CHECK, "Remove Run menu", 136, 116, 77, 10},
            {1029, CLASS_BUTTON, CHECK, "Remove LogOff menu", 136, 128, 85, 10},
            {1030, CLASS_BUTTON, CHECK, "No changing of start menu", 136, 140, 99, 10},
            {1061, CLASS_HOVER, HOVER, "Restore start menu order", 136, 152, 106, 14},
            {NO_ID, CLASS_STATIC, LABEL, "Fast", 176, 4, 20, 8},
            {NO_ID, CLASS_STATIC, RIGHT_LABEL, "Slow", 220, 4, 28, 8},
            {1017, CLASS_COMBOBOX, HIDDEN_DROP_LIST, "", 224, 48, 40, 136},
        }};
    return dialog;
}

const ExpectedTemplate &SecondPage()
{
    static const ExpectedTemplate dialog = {
        110, "", 8, PAGE_STYLE, 332, 192,
        {
            {NO_ID, CLASS_STATIC, LABEL, "Toolbar background bitmap:", 12, 34, 90, 8},
            {NO_ID, CLASS_STATIC, LABEL, "Window title:", 12, 18, 42, 8},
            {1064, CLASS_EDIT, ENTRY, "", 104, 16, 212, 14},
            {NO_ID, CLASS_BUTTON, GROUP_BOX, "Explorer visual settings", 4, 4, 320, 48},
            {1065, CLASS_EDIT, ENTRY, "", 104, 32, 160, 14},
            {1067, CLASS_BUTTON, PUSH, "Browse", 266, 32, 50, 14},
        }};
    return dialog;
}

const ExpectedTemplate &LoadingBox()
{
    static const ExpectedTemplate dialog = {
        111, "Please wait", 14, BOX_STYLE, 80, 26,
        {{NO_ID, CLASS_STATIC, LABEL, "Loading settings", 14, 8, 52, 8}}};
    return dialog;
}

const ExpectedTemplate &SavingBox()
{
    static const ExpectedTemplate dialog = {
        112, "Please wait", 14, BOX_STYLE, 80, 26,
        {{NO_ID, CLASS_STATIC, LABEL, "Saving settings", 14, 8, 52, 8}}};
    return dialog;
}

std::vector<const ExpectedTemplate *> AllTemplates()
{
    return {&MainDialog(), &AboutBox(), &GeneralPage(), &SecondPage(), &LoadingBox(),
            &SavingBox()};
}

// --- Expected strings --------------------------------------------------------

const char ICON_SIZE_TIP[] =
    "Using this setting you can change icon size.\nWindows uses 32 as standart icon size\n"
    "and 48 as large icon size. Using this program you\ncan set icon size to any value between "
    "16 and 64.";

struct ExpectedString {
    UINT id;
    const char *text;
};

const ExpectedString TOOLTIP_STRINGS[] = {
    {1, "Saves changes and closes program"},
    {2, "Closes program without saving changes"},
    {1001, "Makes the active window \"track\" the mouse.\nWhatever window the mouse is over "
           "becomes\nthe active window."},
    {1002, "Applies (saves) changes but does not closes program"},
    {1003, "Displays program information and usage licence"},
    {1009, "If menu animation is enabled, menus will slide open.\nIf disabled, menus pop up "
           "fully formed\n(just as in previous versions)."},
    {1010, "If enabled, combo boxes slide open instead of pop open."},
    {1011, "If enabled, list boxes use the smooth-scrolling effect."},
    {1012, "If enabled, the background color of window\ntitle bars blends from the right to the "
           "left color."},
    {1013, "If menu underlines are enabled, the menu shortcut\nunderlines are always drawn. "
           "Otherwise, they\nare only drawn when the menu is\nactivated through the keyboard."},
    {1014, "If active window z-order tracking is enabled,\nthe active window will be brought to "
           "the top of the z-order."},
    {1015, "If hot tracking is enabled, the system hot tracks\nand displays tooltips for "
           "non-client area\nbuttons and menu bar items."},
    {1016, "Changing this setting you can set to display icons\nin 16 colors or in all possible "
           "colors."},
    {1017, ICON_SIZE_TIP},
    {1018, "Indicates whether the font smoothing feature is enabled.\nThis feature uses font "
           "anti-aliasing\nto make font curves appear smoother by painting pixels\nat different "
           "gray levels."},
    {1019, "Sets dragging of full windows either on or off."},
    {1020, "If enabled, indicates that minimize, maximize and\nrestore animation is enabled. "
           "Otherwise, those\nanimations are disabled."},
    {1021, "If checked, removes Favorites menu item from Start menu."},
    {1022, "If checked, removes Documents menu item from Start menu."},
    {1023, "If checked, removes Find menu item from Start menu."},
    {1024, ICON_SIZE_TIP},
    {1025, "This setting enables or disables animated window scrolling."},
    {1027, "If checked, remembers Explorer window settings at exit."},
    {1028, "If checked, removes Run menu item from Start menu."},
    {1029, "If checked, removes LogOff menu item from Start menu."},
    {1030, "If checked, disables ability to drag and drop start menu items."},
    {1033, "Sends your browser to my homepage."},
    {1061, "Restores default start menu order\n(items are sorted alphabetically)."},
    {1062, "Sets Windows default setting for menu speed."},
    {1063, "Controls the speed at which menus automatically\nopen when you move the mouse over "
           "them. If you\nmove slider to left position then menus opens imediately."},
};
const size_t TOOLTIP_STRING_COUNT = sizeof(TOOLTIP_STRINGS) / sizeof(TOOLTIP_STRINGS[0]);
const size_t EXPECTED_TOOLTIP_COUNT = 30;
const int LONGEST_TOOLTIP = 182;
const int TOOLTIP_BUFFER = 260;

bool HasTooltipString(UINT id)
{
    for (const ExpectedString &entry : TOOLTIP_STRINGS)
        if (entry.id == id)
            return true;
    return false;
}

// --- Helpers -----------------------------------------------------------------

HMODULE Self() { return GetModuleHandleA(nullptr); }

std::string Describe(const TemplateName &name)
{
    if (!name.present)
        return "(none)";
    if (name.isOrdinal)
        return "ordinal " + std::to_string(name.ordinal);
    return "\"" + name.text + "\"";
}

std::string Describe(const ClassRef &cls)
{
    return cls.ordinal ? "ordinal " + std::to_string(cls.ordinal) + " (" + cls.name + ")"
                       : "\"" + std::string(cls.name) + "\"";
}

bool Matches(const TemplateName &name, const ClassRef &cls)
{
    if (cls.ordinal)
        return name.present && name.isOrdinal && name.ordinal == cls.ordinal;
    // windres stores class names in upper case; window classes are looked up
    // without regard to case, so the dialog manager finds them all the same.
    return name.present && !name.isOrdinal && lstrcmpiA(name.text.c_str(), cls.name) == 0;
}

std::string ReadWholeFile(const std::string &path)
{
    std::string content;
    FILE *in = fopen(path.c_str(), "rb");
    if (!in)
        return content;
    char buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof(buffer), in)) > 0)
        content.append(buffer, got);
    fclose(in);
    return content;
}

std::string ModuleFileName(HMODULE module)
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(module, path, MAX_PATH);
    return path;
}

// Reads a pixel of a bottom-up 1-bit-per-pixel bitmap of the given width.
int MonochromeBit(const BYTE *rows, int width, int height, int x, int y)
{
    const int stride = ((width + 31) / 32) * 4;
    const BYTE byte = rows[(height - 1 - y) * stride + x / 8];
    return (byte >> (7 - x % 8)) & 1;
}

} // namespace

// --- Templates ---------------------------------------------------------------

TEST(DialogTemplates, EveryTemplateHoldsExactlyItsTable)
{
    for (const ExpectedTemplate *expected : AllTemplates()) {
        SCOPED_TRACE("template " + std::to_string(expected->id));
        const std::vector<BYTE> bytes =
            ResourceBytes(Self(), MAKEINTRESOURCEA(expected->id), RT_DIALOG);
        ASSERT_FALSE(bytes.empty()) << "no RT_DIALOG resource";

        DialogTemplate dialog;
        std::string error;
        ASSERT_TRUE(ParseDialogTemplate(bytes, &dialog, &error)) << error;

        EXPECT_EQ(expected->style, dialog.style)
            << std::hex << "style 0x" << dialog.style << ", expected 0x" << expected->style;
        EXPECT_EQ(0u, dialog.exStyle);
        EXPECT_EQ(0, dialog.x);
        EXPECT_EQ(0, dialog.y);
        EXPECT_EQ(expected->cx, dialog.cx);
        EXPECT_EQ(expected->cy, dialog.cy);
        EXPECT_FALSE(dialog.menu.present) << "menu " << Describe(dialog.menu);
        EXPECT_FALSE(dialog.className.present) << "class " << Describe(dialog.className);
        EXPECT_EQ(expected->title, dialog.title);
        ASSERT_TRUE(dialog.hasFont);
        EXPECT_EQ(expected->pointSize, dialog.pointSize);
        EXPECT_EQ("MS Sans Serif", dialog.face);
        ASSERT_EQ(expected->controls.size(), dialog.itemCount);
        ASSERT_EQ(expected->controls.size(), dialog.items.size());
        // Nothing but alignment padding may follow the last item.
        EXPECT_LE(bytes.size() - dialog.bytesUsed, 3u);

        for (size_t i = 0; i < dialog.items.size(); ++i) {
            const ExpectedControl &want = expected->controls[i];
            const DialogItem &got = dialog.items[i];
            SCOPED_TRACE("control " + std::to_string(i) + " (id " + std::to_string(want.id) +
                         ", \"" + want.text + "\")");
            EXPECT_EQ(static_cast<WORD>(want.id), got.id);
            EXPECT_TRUE(Matches(got.className, want.cls))
                << "class " << Describe(got.className) << ", expected " << Describe(want.cls);
            EXPECT_EQ(want.style, got.style)
                << std::hex << "style 0x" << got.style << ", expected 0x" << want.style;
            EXPECT_EQ(0u, got.exStyle);
            EXPECT_EQ(want.x, got.x);
            EXPECT_EQ(want.y, got.y);
            EXPECT_EQ(want.cx, got.cx);
            EXPECT_EQ(want.cy, got.cy);
            EXPECT_FALSE(got.text.isOrdinal) << "text " << Describe(got.text);
            EXPECT_EQ(want.text, got.text.text);
            EXPECT_EQ(0, got.creationDataSize);
        }
    }
}

TEST(DialogTemplates, LinkCaptionInvitesToTheHomePageAndEndsWithItsAddress)
{
    const std::string caption = HOMEPAGE_LINK_CAPTION;
    const std::string url = HOMEPAGE_URL;
    ASSERT_GT(caption.size(), url.size());
    EXPECT_EQ(url, caption.substr(caption.size() - url.size()));
    EXPECT_EQ(0u, url.find("http"));
}

// --- Strings -----------------------------------------------------------------

TEST(TooltipStrings, EachControlFindsItsTextInATooltipBuffer)
{
    ASSERT_EQ(EXPECTED_TOOLTIP_COUNT, TOOLTIP_STRING_COUNT);
    int longest = 0;
    for (const ExpectedString &entry : TOOLTIP_STRINGS) {
        SCOPED_TRACE("string " + std::to_string(entry.id));
        char text[TOOLTIP_BUFFER];
        memset(text, 'x', sizeof(text));
        const int length = LoadStringA(Self(), entry.id, text, TOOLTIP_BUFFER);
        EXPECT_EQ(static_cast<int>(strlen(entry.text)), length);
        EXPECT_STREQ(entry.text, text);
        longest = std::max(longest, length);
    }
    EXPECT_EQ(LONGEST_TOOLTIP, longest);
}

TEST(TooltipStrings, BothIconSizeBoxesShareOneText)
{
    char custom[TOOLTIP_BUFFER];
    char standard[TOOLTIP_BUFFER];
    ASSERT_GT(LoadStringA(Self(), 1017, custom, TOOLTIP_BUFFER), 0);
    ASSERT_GT(LoadStringA(Self(), 1024, standard, TOOLTIP_BUFFER), 0);
    EXPECT_STREQ(custom, standard);
}

TEST(TooltipStrings, ActiveTrackingTextQuotesTrackAndBreaksWithLineFeedsOnly)
{
    char text[TOOLTIP_BUFFER];
    ASSERT_GT(LoadStringA(Self(), 1001, text, TOOLTIP_BUFFER), 0);
    EXPECT_NE(nullptr, strstr(text, "\"track\""));
    for (const ExpectedString &entry : TOOLTIP_STRINGS) {
        LoadStringA(Self(), entry.id, text, TOOLTIP_BUFFER);
        EXPECT_EQ(nullptr, strchr(text, '\r')) << "string " << entry.id;
    }
}

TEST(TooltipStrings, NoOtherControlOfTheTemplatesHasAText)
{
    std::set<UINT> ids;
    for (const ExpectedTemplate *expected : AllTemplates())
        for (const ExpectedControl &control : expected->controls)
            ids.insert(static_cast<WORD>(control.id)); // -1 is looked up as 0xFFFF
    // Neighbours of the ids in use, in the same string blocks and beyond.
    for (UINT id : {0u, 3u, 15u, 16u, 1000u, 1004u, 1006u, 1007u, 1008u, 1026u, 1031u, 1032u,
                    1034u, 1046u, 1048u, 1060u, 1066u, 1068u, 65534u})
        ids.insert(id);

    int withText = 0;
    for (UINT id : ids) {
        char text[TOOLTIP_BUFFER] = "";
        const int length = LoadStringA(Self(), id, text, TOOLTIP_BUFFER);
        if (HasTooltipString(id)) {
            ++withText;
            continue;
        }
        EXPECT_EQ(0, length) << "string " << id << " is \"" << text << "\"";
    }
    EXPECT_EQ(static_cast<int>(EXPECTED_TOOLTIP_COUNT), withText)
        << "every tooltip string belongs to a control of the templates";
}

// --- Licence -----------------------------------------------------------------

TEST(LicenceText, IsTheSourceFileInCrLfAsciiWithoutATerminatingZero)
{
    HRSRC found = FindResourceA(Self(), LICENSE_RESOURCE_NAME, LICENSE_RESOURCE_TYPE);
    ASSERT_NE(nullptr, found);
    const std::vector<BYTE> bytes = ResourceBytes(Self(), "LICENSE", "TEXT");
    ASSERT_FALSE(bytes.empty());
    const std::string text(bytes.begin(), bytes.end());

    const std::string source = ReadWholeFile(WindowsPathFromUnix(DIALVANE_LICENSE_FILE));
    ASSERT_FALSE(source.empty()) << "cannot read " << DIALVANE_LICENSE_FILE;
    EXPECT_EQ(source.size(), bytes.size());
    EXPECT_EQ(source, text);

    for (size_t i = 0; i < bytes.size(); ++i) {
        ASSERT_NE(0, bytes[i]) << "zero byte at " << i;
        ASSERT_LT(bytes[i], 0x80) << "non-ASCII byte at " << i;
        if (bytes[i] == '\n') {
            ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare LF at " << i;
        }
        if (bytes[i] == '\r') {
            ASSERT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << "bare CR at " << i;
        }
    }
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ('\r', bytes[bytes.size() - 2]);
    EXPECT_EQ('\n', bytes[bytes.size() - 1]);
}

TEST(LicenceText, HasClausesNumberedFromOneWithoutGaps)
{
    const std::vector<BYTE> bytes = ResourceBytes(Self(), "LICENSE", "TEXT");
    const std::string text(bytes.begin(), bytes.end());
    // A clause starts a line with its number, a full stop and a space.
    std::vector<int> numbers;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(start, end - start);
        size_t digits = 0;
        while (digits < line.size() && isdigit(static_cast<unsigned char>(line[digits])))
            ++digits;
        if (digits > 0 && line.compare(digits, 2, ". ") == 0)
            numbers.push_back(atoi(line.c_str()));
        start = end + 2;
    }
    ASSERT_GE(numbers.size(), 3u);
    for (size_t i = 0; i < numbers.size(); ++i)
        EXPECT_EQ(static_cast<int>(i + 1), numbers[i]) << "clause " << i + 1;
}

// --- Cursor and icon ---------------------------------------------------------

TEST(HandCursor, GroupHoldsOneMonochrome32PixelImageWithTheHotSpotOnTheFingerTip)
{
    const std::vector<BYTE> group =
        ResourceBytes(Self(), MAKEINTRESOURCEA(104), RT_GROUP_CURSOR);
    // NEWHEADER (reserved, type 2 = cursor, count) and one 14-byte CURSORDIR entry.
    ASSERT_EQ(6u + 14u, group.size());
    WORD header[3];
    memcpy(header, group.data(), sizeof(header));
    EXPECT_EQ(0, header[0]);
    EXPECT_EQ(2, header[1]);
    ASSERT_EQ(1, header[2]);
#pragma pack(push, 2)
    struct CursorDirEntry {
        WORD width, height, planes, bitCount;
        DWORD bytesInRes;
        WORD id;
    } entry;
#pragma pack(pop)
    static_assert(sizeof(CursorDirEntry) == 14, "CURSORDIR entry");
    memcpy(&entry, group.data() + 6, sizeof(entry));
    EXPECT_EQ(32, entry.width);
    // The height counts the AND and XOR masks together.
    EXPECT_EQ(64, entry.height);
    EXPECT_EQ(1, entry.planes);
    EXPECT_EQ(1, entry.bitCount);

    const std::vector<BYTE> image =
        ResourceBytes(Self(), MAKEINTRESOURCEA(entry.id), RT_CURSOR);
    ASSERT_EQ(entry.bytesInRes, image.size());
    const size_t masks = 2 * 32 * 4;
    ASSERT_EQ(4 + sizeof(BITMAPINFOHEADER) + 2 * sizeof(RGBQUAD) + masks, image.size());
    WORD hotSpot[2];
    memcpy(hotSpot, image.data(), sizeof(hotSpot));
    EXPECT_EQ(5, hotSpot[0]);
    EXPECT_EQ(0, hotSpot[1]);
    BITMAPINFOHEADER info;
    memcpy(&info, image.data() + 4, sizeof(info));
    EXPECT_EQ(32, info.biWidth);
    EXPECT_EQ(64, info.biHeight);
    EXPECT_EQ(1, info.biBitCount);

    // The hot spot must sit on a drawn pixel (opaque in the AND mask), and
    // the row above the finger tip is the image's top edge.
    const BYTE *xorMask = image.data() + 4 + sizeof(info) + 2 * sizeof(RGBQUAD);
    const BYTE *andMask = xorMask + 32 * 4;
    EXPECT_EQ(0, MonochromeBit(andMask, 32, 32, 5, 0)) << "hot spot over a transparent pixel";
    int opaque = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            opaque += MonochromeBit(andMask, 32, 32, x, y) == 0;
    EXPECT_GT(opaque, 100) << "the hand covers a fair part of the cursor";
}

TEST(HandCursor, LoadsThroughLoadCursorWithItsHotSpot)
{
    HCURSOR cursor = LoadCursorA(Self(), MAKEINTRESOURCEA(IDC_HAND_CURSOR));
    ASSERT_NE(nullptr, cursor);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(cursor, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(5u, info.xHotspot);
    EXPECT_EQ(0u, info.yHotspot);
    EXPECT_EQ(nullptr, info.hbmColor) << "a monochrome cursor has no colour bitmap";
    BITMAP mask = {};
    ASSERT_TRUE(GetObjectA(info.hbmMask, sizeof(mask), &mask));
    EXPECT_EQ(32, mask.bmWidth);
    EXPECT_EQ(64, mask.bmHeight);
    DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
}

TEST(ProgramIcon, GroupHoldsOne32PixelSixteenColourImage)
{
    const std::vector<BYTE> group =
        ResourceBytes(Self(), MAKEINTRESOURCEA(106), RT_GROUP_ICON);
    ASSERT_EQ(6u + 14u, group.size());
    WORD header[3];
    memcpy(header, group.data(), sizeof(header));
    EXPECT_EQ(0, header[0]);
    EXPECT_EQ(1, header[1]);
    ASSERT_EQ(1, header[2]);
#pragma pack(push, 2)
    struct IconDirEntry {
        BYTE width, height, colorCount, reserved;
        WORD planes, bitCount;
        DWORD bytesInRes;
        WORD id;
    } entry;
#pragma pack(pop)
    static_assert(sizeof(IconDirEntry) == 14, "GRPICONDIRENTRY");
    memcpy(&entry, group.data() + 6, sizeof(entry));
    EXPECT_EQ(32, entry.width);
    EXPECT_EQ(32, entry.height);
    EXPECT_EQ(16, entry.colorCount);
    EXPECT_EQ(1, entry.planes);
    EXPECT_EQ(4, entry.bitCount);

    const std::vector<BYTE> image =
        ResourceBytes(Self(), MAKEINTRESOURCEA(entry.id), RT_ICON);
    ASSERT_EQ(entry.bytesInRes, image.size());
    BITMAPINFOHEADER info;
    ASSERT_GE(image.size(), sizeof(info));
    memcpy(&info, image.data(), sizeof(info));
    EXPECT_EQ(32, info.biWidth);
    EXPECT_EQ(64, info.biHeight);
    EXPECT_EQ(4, info.biBitCount);
    const size_t colourRows = 32 * 16; // 4 bits a pixel, rows of 16 bytes
    const size_t maskRows = 32 * 4;
    EXPECT_EQ(sizeof(info) + 16 * sizeof(RGBQUAD) + colourRows + maskRows, image.size());

    HICON icon = static_cast<HICON>(
        LoadImageA(Self(), MAKEINTRESOURCEA(IDI_DIALVANE), IMAGE_ICON, 32, 32, 0));
    ASSERT_NE(nullptr, icon);
    ICONINFO iconInfo = {};
    ASSERT_TRUE(GetIconInfo(icon, &iconInfo));
    EXPECT_TRUE(iconInfo.fIcon);
    DeleteObject(iconInfo.hbmMask);
    DeleteObject(iconInfo.hbmColor);
    DestroyIcon(icon);
}

// --- Version block -----------------------------------------------------------

class VersionBlock : public testing::Test {
protected:
    void SetUp() override
    {
        const std::string path = ModuleFileName(Self());
        DWORD handle = 0;
        const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
        ASSERT_GT(size, 0u) << path;
        block.resize(size);
        ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, block.data()));
    }

    // A value of the block's one string table, or nullptr when it is missing.
    const char *Text(const char *name)
    {
        const std::string key = std::string("\\StringFileInfo\\000004b0\\") + name;
        void *value = nullptr;
        UINT length = 0;
        if (!VerQueryValueA(block.data(), key.c_str(), &value, &length) || !value)
            return nullptr;
        return static_cast<const char *>(value);
    }

    std::vector<BYTE> block;
};

TEST_F(VersionBlock, FixedInfoNamesVersion1201OfAPrivateSpecialBuildForWin32)
{
    void *value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", &value, &length));
    ASSERT_EQ(sizeof(VS_FIXEDFILEINFO), length);
    const VS_FIXEDFILEINFO *fixed = static_cast<const VS_FIXEDFILEINFO *>(value);
    EXPECT_EQ(VS_FFI_SIGNATURE, fixed->dwSignature);
    EXPECT_EQ(0x00010002u, fixed->dwFileVersionMS);
    EXPECT_EQ(0x00000001u, fixed->dwFileVersionLS);
    EXPECT_EQ(0x00010002u, fixed->dwProductVersionMS);
    EXPECT_EQ(0x00000001u, fixed->dwProductVersionLS);
    EXPECT_EQ(0x28u, fixed->dwFileFlags & fixed->dwFileFlagsMask);
    EXPECT_EQ(static_cast<DWORD>(VS_FF_PRIVATEBUILD | VS_FF_SPECIALBUILD), 0x28u);
    EXPECT_EQ(0x40004u, fixed->dwFileOS);
    EXPECT_EQ(static_cast<DWORD>(VFT_APP), fixed->dwFileType);
}

TEST_F(VersionBlock, OneTranslationForLanguageNeutralUnicode)
{
    void *value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ(2 * sizeof(WORD), length);
    const WORD *translation = static_cast<const WORD *>(value);
    EXPECT_EQ(0, translation[0]);
    EXPECT_EQ(1200, translation[1]);
}

TEST_F(VersionBlock, StringTableHoldsTheProgramsNamesAndVersion)
{
    const struct {
        const char *name;
        const char *text;
    } exact[] = {
        {"FileDescription", "Dialvane 1.2"}, {"ProductName", "Dialvane"},
        {"FileVersion", "1, 2, 0, 1"},       {"ProductVersion", "1, 2, 0, 1"},
        {"CompanyName", " "},                {"LegalTrademarks", " "},
        {"PrivateBuild", " "},               {"SpecialBuild", " "},
        {"LegalCopyright", RIGHTS_NOTICE},   {"OriginalFilename", "dialvane.exe"},
    };
    for (const auto &entry : exact) {
        const char *text = Text(entry.name);
        ASSERT_NE(nullptr, text) << entry.name;
        EXPECT_STREQ(entry.text, text) << entry.name;
    }
    for (const char *name : {"Comments", "InternalName"}) {
        const char *text = Text(name);
        ASSERT_NE(nullptr, text) << name;
        EXPECT_GT(strlen(text), 0u) << name;
    }
}

// --- The shipped program -----------------------------------------------------

class ProgramFile : public testing::Test {
protected:
    void SetUp() override
    {
        const char *exe = getenv("DIALVANE_EXE");
        ASSERT_NE(nullptr, exe) << "DIALVANE_EXE names dialvane.exe (ctest sets it)";
        path = WindowsPathFromUnix(exe);
        program = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(nullptr, program) << path << ": error " << GetLastError();
    }
    void TearDown() override
    {
        if (program)
            FreeLibrary(program);
    }

    static BOOL CALLBACK CollectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR found)
    {
        std::vector<std::string> *names = reinterpret_cast<std::vector<std::string> *>(found);
        names->push_back(IS_INTRESOURCE(name)
                             ? "#" + std::to_string(reinterpret_cast<ULONG_PTR>(name))
                             : std::string(name));
        return TRUE;
    }

    std::vector<std::string> Names(LPCSTR type)
    {
        std::vector<std::string> names;
        EnumResourceNamesA(program, type, CollectName, reinterpret_cast<LONG_PTR>(&names));
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string path;
    HMODULE program = nullptr;
};

TEST_F(ProgramFile, CarriesTheSameTemplatesStringsAndLicence)
{
    const std::vector<std::string> dialogs = Names(RT_DIALOG);
    EXPECT_EQ((std::vector<std::string>{"#101", "#102", "#109", "#110", "#111", "#112"}), dialogs);
    for (const ExpectedTemplate *expected : AllTemplates()) {
        const std::vector<BYTE> mine =
            ResourceBytes(Self(), MAKEINTRESOURCEA(expected->id), RT_DIALOG);
        const std::vector<BYTE> shipped =
            ResourceBytes(program, MAKEINTRESOURCEA(expected->id), RT_DIALOG);
        ASSERT_FALSE(shipped.empty()) << "template " << expected->id;
        EXPECT_TRUE(mine == shipped) << "template " << expected->id << " differs";
    }

    for (const ExpectedString &entry : TOOLTIP_STRINGS) {
        char text[TOOLTIP_BUFFER] = "";
        LoadStringA(program, entry.id, text, TOOLTIP_BUFFER);
        EXPECT_STREQ(entry.text, text) << "string " << entry.id;
    }

    const std::vector<BYTE> licence = ResourceBytes(program, "LICENSE", "TEXT");
    EXPECT_FALSE(licence.empty());
    EXPECT_TRUE(licence == ResourceBytes(Self(), "LICENSE", "TEXT"));
}

TEST_F(ProgramFile, HoldsExactlyTheTooltipStringsAndNoBitmap)
{
    // Every string block of the program, decoded: a block n holds the 16
    // strings n*16-16 .. n*16-1, each a length word and that many UTF-16 units.
    std::set<UINT> ids;
    for (const std::string &name : Names(RT_STRING)) {
        ASSERT_EQ('#', name[0]);
        const UINT block = static_cast<UINT>(atoi(name.c_str() + 1));
        const std::vector<BYTE> bytes =
            ResourceBytes(program, MAKEINTRESOURCEA(block), RT_STRING);
        size_t offset = 0;
        for (UINT i = 0; i < 16; ++i) {
            ASSERT_LE(offset + 2, bytes.size()) << "block " << block;
            WORD length;
            memcpy(&length, bytes.data() + offset, sizeof(length));
            offset += 2 + 2 * static_cast<size_t>(length);
            if (length)
                ids.insert((block - 1) * 16 + i);
        }
    }
    std::set<UINT> expected;
    for (const ExpectedString &entry : TOOLTIP_STRINGS)
        expected.insert(entry.id);
    EXPECT_TRUE(expected == ids) << "the program holds " << ids.size() << " strings";

    EXPECT_TRUE(Names(RT_BITMAP).empty());
    EXPECT_EQ((std::vector<std::string>{"#104"}), Names(RT_GROUP_CURSOR));
    EXPECT_EQ((std::vector<std::string>{"#106"}), Names(RT_GROUP_ICON));
}

TEST_F(ProgramFile, VersionBlockMatchesTheTestProgramsOwn)
{
    const std::vector<BYTE> shipped =
        ResourceBytes(program, MAKEINTRESOURCEA(1), RT_VERSION);
    ASSERT_FALSE(shipped.empty());
    EXPECT_TRUE(shipped == ResourceBytes(Self(), MAKEINTRESOURCEA(1), RT_VERSION));
}

// The opening tag of the first <name ...> element of a manifest, or "".
std::string ManifestTag(const std::string &xml, const std::string &name)
{
    for (size_t at = xml.find("<" + name); at != std::string::npos;
         at = xml.find("<" + name, at + 1)) {
        const char next = xml[at + 1 + name.size()];
        if (next == ' ' || next == '>' || next == '/')
            return xml.substr(at, xml.find('>', at) - at + 1);
    }
    return "";
}

// The value of attribute `name` in an opening tag, or "(absent)".
std::string TagAttribute(const std::string &tag, const std::string &name)
{
    const size_t at = tag.find(" " + name + "=\"");
    if (at == std::string::npos)
        return "(absent)";
    const size_t start = at + name.size() + 3;
    return tag.substr(start, tag.find('"', start) - start);
}

TEST_F(ProgramFile, ManifestAsksForNoElevationDeclaresDpiAwarenessAndKeepsClassicControls)
{
    EXPECT_EQ((std::vector<std::string>{"#1"}), Names(RT_MANIFEST));
    const std::vector<BYTE> bytes = ResourceBytes(program, MAKEINTRESOURCEA(1), RT_MANIFEST);
    ASSERT_FALSE(bytes.empty());
    const std::string xml(bytes.begin(), bytes.end());
    EXPECT_EQ(0u, xml.find("<?xml version=\"1.0\" encoding=\"UTF-8\""));

    const std::string level = ManifestTag(xml, "requestedExecutionLevel");
    EXPECT_EQ("asInvoker", TagAttribute(level, "level")) << level;
    EXPECT_EQ("false", TagAttribute(level, "uiAccess")) << level;
    // Windows XP with Service Pack 2 can fail on an element that declares its
    // namespace twice.
    const std::string trust = ManifestTag(xml, "trustInfo");
    EXPECT_EQ("urn:schemas-microsoft-com:asm.v3", TagAttribute(trust, "xmlns"));
    EXPECT_EQ(trust.find("xmlns"), trust.rfind("xmlns")) << trust;

    // System awareness: dpiAware exactly "true" (not per-monitor), in the
    // namespace Windows reads it from, and no newer dpiAwareness setting.
    const std::string dpi = ManifestTag(xml, "dpiAware");
    EXPECT_EQ("http://schemas.microsoft.com/SMI/2005/WindowsSettings", TagAttribute(dpi, "xmlns"));
    const std::string systemAware = "true</dpiAware>";
    EXPECT_EQ(systemAware, xml.substr(xml.find(dpi) + dpi.size(), systemAware.size()));
    EXPECT_EQ("", ManifestTag(xml, "dpiAwareness"));

    // No dependency at all, so none on version 6 of the common controls.
    EXPECT_EQ("", ManifestTag(xml, "dependency"));
    EXPECT_EQ(std::string::npos, xml.find("Common-Controls"));

    // Windows Vista, 7, 8, 8.1 and 10 (which 11 shares).
    const std::set<std::string> systems = {
        "{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
        "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
        "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"};
    std::set<std::string> declared;
    for (size_t at = xml.find("<supportedOS "); at != std::string::npos;
         at = xml.find("<supportedOS ", at + 1))
        declared.insert(TagAttribute(xml.substr(at, xml.find('>', at) - at), "Id"));
    EXPECT_TRUE(systems == declared) << declared.size() << " systems declared";

    // The same version as the version block.
    void *fixedValue = nullptr;
    UINT length = 0;
    const std::vector<BYTE> version = ResourceBytes(program, MAKEINTRESOURCEA(1), RT_VERSION);
    ASSERT_TRUE(VerQueryValueA(version.data(), "\\", &fixedValue, &length));
    const VS_FIXEDFILEINFO *fixed = static_cast<const VS_FIXEDFILEINFO *>(fixedValue);
    const std::string dotted = std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
                               std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
                               std::to_string(HIWORD(fixed->dwFileVersionLS)) + "." +
                               std::to_string(LOWORD(fixed->dwFileVersionLS));
    EXPECT_EQ(dotted, TagAttribute(ManifestTag(xml, "assemblyIdentity"), "version"));
}

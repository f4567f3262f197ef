// test_tooltip_text.cpp - tip texts by kind, list items under the cursor,
// hit rectangles, measurement in the tip's and the control's fonts.
#include "tooltip_fixture.h"

#include "resource.h"

#include <cstring>
#include <string>

namespace {

const int NO_STRING_ID = 4242; // no string-table entry has this id

RECT Sentinel()
{
    RECT rect = {-7, -7, -7, -7};
    return rect;
}

} // namespace

class TooltipTextTest : public TooltipTest {
protected:
    // A bordered list box of 16-pixel items whose client area is `clientHeight` high.
    HWND AddList(int count, int clientHeight, const std::string &prefix = "Item ")
    {
        return AddListBox(20, 20, 198, clientHeight, count, prefix);
    }

    TooltipEntry Entry(int kind, HWND control, HFONT font = nullptr)
    {
        TooltipEntry entry = {kind, control, font, nullptr};
        return entry;
    }
};

TEST_F(TooltipTextTest, StringResourceNamedByControlId)
{
    HWND ok = AddStatic("OK", IDOK, 10, 10, 80, 20);
    HWND none = AddStatic("None", NO_STRING_ID, 10, 40, 80, 20);
    char text[TOOLTIP_TEXT_SIZE];

    TooltipEntry entry = Entry(TTK_STRING_RESOURCE, ok);
    EXPECT_EQ(1, GetTooltipText(&entry, text));
    EXPECT_STREQ("Saves changes and closes program", text);

    strcpy(text, "stale");
    entry = Entry(TTK_STRING_RESOURCE, none);
    EXPECT_EQ(0, GetTooltipText(&entry, text));
    EXPECT_STREQ("", text);
    RECT tip = {}, own = Sentinel();
    EXPECT_EQ(0, MeasureTooltipText(&entry, &tip, &own));
    EXPECT_TRUE(IsRectEmpty(&tip));
}

TEST_F(TooltipTextTest, UnknownKindsHaveNoTextAndNoHitRect)
{
    HWND control = AddStatic("Caption", IDOK, 10, 10, 80, 20);
    MoveCursorToClientPoint(control, 5, 5);
    for (int kind : {0, 7, -1}) {
        char text[TOOLTIP_TEXT_SIZE] = "stale";
        TooltipEntry entry = Entry(kind, control, DialogFont());
        EXPECT_EQ(0, GetTooltipText(&entry, text)) << "kind " << kind;
        EXPECT_STREQ("", text);
        RECT tip = {}, own = Sentinel();
        EXPECT_EQ(0, MeasureTooltipText(&entry, &tip, &own));
        RECT expectedOwn = Sentinel();
        EXPECT_RECT_EQ(expectedOwn, own);
        RECT hit = WindowRect(control);
        EXPECT_EQ(0, GetTooltipHitRect(control, kind, &hit));
        EXPECT_TRUE(IsRectEmpty(&hit));
    }
}

TEST_F(TooltipTextTest, WindowTextKindsAndTheirHitRect)
{
    const std::string longText(300, 'x');
    HWND control = AddStatic(longText.c_str(), IDOK, 10, 10, 80, 20);
    HWND empty = AddStatic("", IDCANCEL, 10, 40, 80, 20);
    for (int kind : {TTK_CAPTION, TTK_INPLACE_CAPTION, TTK_CURSOR_CAPTION}) {
        char text[TOOLTIP_TEXT_SIZE + 40];
        memset(text, 'Z', sizeof(text));
        TooltipEntry entry = Entry(kind, control, DialogFont());
        EXPECT_EQ(1, GetTooltipText(&entry, text)) << "kind " << kind;
        EXPECT_EQ(std::string(TOOLTIP_TEXT_SIZE - 1, 'x'), std::string(text)) << "cut to 259 characters";

        entry = Entry(kind, empty, DialogFont());
        EXPECT_EQ(1, GetTooltipText(&entry, text)) << "an empty caption is still a text";
        EXPECT_STREQ("", text);
        RECT tip = {};
        EXPECT_EQ(0, MeasureTooltipText(&entry, &tip, nullptr)) << "but nothing to show";
    }
    for (int kind : {TTK_CAPTION, TTK_INPLACE_CAPTION, TTK_CURSOR_CAPTION, TTK_STRING_RESOURCE}) {
        RECT hit;
        ASSERT_EQ(1, GetTooltipHitRect(control, kind, &hit));
        const RECT window = WindowRect(control);
        EXPECT_RECT_EQ(window, hit);
    }
}

TEST_F(TooltipTextTest, ListItemUnderTheCursor)
{
    HWND list = AddList(3, 100); // items fill 48 of 100 pixels
    const RECT item0 = ItemScreenRect(list, 0);
    ASSERT_EQ(ITEM_HEIGHT, item0.bottom - item0.top);
    for (int kind : {TTK_LISTBOX_ITEM, TTK_INDENTED_LISTBOX_ITEM}) {
        TooltipEntry entry = Entry(kind, list, DialogFont());
        char text[TOOLTIP_TEXT_SIZE];

        MoveCursorTo(item0.left + 5, item0.top + 20);
        EXPECT_EQ(1, GetTooltipText(&entry, text)) << "kind " << kind;
        EXPECT_STREQ("Item 1", text);
        RECT hit;
        EXPECT_EQ(1, GetTooltipHitRect(list, kind, &hit));
        const RECT item1 = ItemScreenRect(list, 1);
        EXPECT_RECT_EQ(item1, hit);

        // The last pixel row of item 2 still belongs to it; the next row does not.
        MoveCursorTo(item0.left + 5, item0.top + 3 * ITEM_HEIGHT - 1);
        EXPECT_EQ(1, GetTooltipText(&entry, text));
        EXPECT_STREQ("Item 2", text);
        MoveCursorTo(item0.left + 5, item0.top + 3 * ITEM_HEIGHT);
        strcpy(text, "stale");
        EXPECT_EQ(0, GetTooltipText(&entry, text));
        EXPECT_STREQ("", text);
        hit = item1;
        EXPECT_EQ(0, GetTooltipHitRect(list, kind, &hit));
        EXPECT_TRUE(IsRectEmpty(&hit));
        RECT tip = {};
        EXPECT_EQ(0, MeasureTooltipText(&entry, &tip, nullptr));
    }
    // An empty list box still reports a rectangle for item 0, where the
    // first item would be; there is no item there all the same.
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    MoveCursorTo(item0.left + 5, item0.top + 5);
    TooltipEntry entry = Entry(TTK_LISTBOX_ITEM, list, DialogFont());
    char text[TOOLTIP_TEXT_SIZE];
    EXPECT_EQ(0, GetTooltipText(&entry, text)) << "an empty list has no item";
    RECT hit = item0;
    EXPECT_EQ(0, GetTooltipHitRect(list, TTK_LISTBOX_ITEM, &hit)) << "an empty list has no item";
    EXPECT_TRUE(IsRectEmpty(&hit));
}

TEST_F(TooltipTextTest, PartlyScrolledItemHasAClippedHitRect)
{
    HWND list = AddList(6, 40); // item 2 spans client rows 32 to 47, the client ends at 40
    const RECT item2 = ItemScreenRect(list, 2);
    const RECT window = WindowRect(list);
    ASSERT_GT(item2.bottom, window.bottom);
    MoveCursorTo(item2.left + 5, item2.top + 4);
    RECT hit;
    ASSERT_EQ(1, GetTooltipHitRect(list, TTK_LISTBOX_ITEM, &hit));
    RECT expected = {item2.left, item2.top, item2.right, window.bottom};
    EXPECT_RECT_EQ(expected, hit);
}

TEST_F(TooltipTextTest, LongListItemIsCutWithoutOverrunningTheBuffer)
{
    // Just fitting the buffer with its NUL, one character too long for it,
    // and far too long; the last list stays for the rest of the test.
    const size_t lengths[] = {TOOLTIP_TEXT_SIZE - 1, TOOLTIP_TEXT_SIZE, 400};
    HWND list = nullptr;
    TooltipEntry entry = {};
    char text[TOOLTIP_TEXT_SIZE + 200];
    for (const size_t length : lengths) {
        if (list)
            DestroyWindow(list);
        list = AddList(0, 100);
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::string(length, 'L').c_str()));
        const RECT item0 = ItemScreenRect(list, 0);
        MoveCursorTo(item0.left + 5, item0.top + 5);

        memset(text, 'Z', sizeof(text));
        entry = Entry(TTK_LISTBOX_ITEM, list, DialogFont());
        GlobalMemoryRecorder blocks;
        ASSERT_TRUE(blocks.Installed());
        EXPECT_EQ(1, GetTooltipText(&entry, text)) << length;
        EXPECT_EQ(std::string(TOOLTIP_TEXT_SIZE - 1, 'L'), std::string(text)) << length;
        EXPECT_EQ(std::string(200, 'Z'), std::string(text + TOOLTIP_TEXT_SIZE, 200))
            << length << ": nothing written past 260";
        // An item too long for the buffer is fetched whole into a block of
        // its own, which is given back.
        if (length >= TOOLTIP_TEXT_SIZE) {
            const std::vector<SIZE_T> &sizes = blocks.Allocations();
            ASSERT_FALSE(sizes.empty()) << length << ": no block of its own";
            EXPECT_GE(*std::max_element(sizes.begin(), sizes.end()), length + 1)
                << length << ": room for the item and its NUL";
        }
        EXPECT_EQ(0u, blocks.Held()) << length;
    }

    // The whole item does not fit the tip's buffer and needs one of its own:
    // without the memory for it there is no text, and no tip.
    FailGlobalAllocationAfter(1);
    strcpy(text, "stale");
    EXPECT_EQ(0, GetTooltipText(&entry, text));
    EXPECT_STREQ("", text);
    FailGlobalAllocationAfter(1);
    RECT tip = {};
    EXPECT_EQ(0, MeasureTooltipText(&entry, &tip, nullptr));
    EXPECT_TRUE(IsRectEmpty(&tip));
    FailGlobalAllocationAfter(0);
    EXPECT_EQ(1, GetTooltipText(&entry, text)) << "memory again, text again";
}

TEST_F(TooltipTextTest, OwnerDrawnListWithoutStringsHasNoText)
{
    // Such a list box keeps a number per item and LB_GETTEXT hands back that
    // number's bytes; this one would read as "Tip".
    const LPARAM itemData = 'T' | 'i' << 8 | 'p' << 16;
    struct Case {
        DWORD style;
        const char *expected;
    } cases[] = {
        {LBS_OWNERDRAWFIXED, ""},
        {LBS_OWNERDRAWVARIABLE, ""},
        {LBS_OWNERDRAWFIXED | LBS_HASSTRINGS, "Tip"},
    };
    for (const Case &c : cases) {
        HWND list = Add("LISTBOX", "", WS_BORDER | LBS_NOINTEGRALHEIGHT | c.style, 3000, 20, 20, 200, 100);
        SendMessageA(list, LB_SETITEMHEIGHT, 0, ITEM_HEIGHT);
        const bool strings = (c.style & LBS_HASSTRINGS) != 0;
        SendMessageA(list, LB_ADDSTRING, 0, strings ? reinterpret_cast<LPARAM>("Tip") : itemData);
        const RECT item0 = ItemScreenRect(list, 0);
        MoveCursorTo(item0.left + 5, item0.top + 5);
        for (int kind : {TTK_LISTBOX_ITEM, TTK_INDENTED_LISTBOX_ITEM}) {
            TooltipEntry entry = Entry(kind, list, DialogFont());
            char text[TOOLTIP_TEXT_SIZE] = "stale";
            EXPECT_EQ(c.expected[0] ? 1 : 0, GetTooltipText(&entry, text)) << "style " << c.style;
            EXPECT_STREQ(c.expected, text) << "style " << c.style;
            RECT tip = {};
            EXPECT_EQ(lstrlenA(c.expected), MeasureTooltipText(&entry, &tip, nullptr));
        }
        DestroyWindow(list);
    }
}

TEST_F(TooltipTextTest, MultiLineTextMeasuresAsSeveralLines)
{
    HWND control = AddStatic("", IDC_ACTIVE_WINDOW_TRACKING, 10, 10, 80, 20);
    TooltipEntry entry = Entry(TTK_STRING_RESOURCE, control, DialogFont());
    char text[TOOLTIP_TEXT_SIZE];
    ASSERT_EQ(1, GetTooltipText(&entry, text));

    // Measure each line on its own, in the status font.
    int widest = 0;
    int lines = 0;
    for (const char *line = text; line;) {
        const char *end = strchr(line, '\n');
        const std::string one = end ? std::string(line, end) : std::string(line);
        widest = std::max(widest, static_cast<int>(TextSize(one.c_str(), nullptr).cx));
        ++lines;
        line = end ? end + 1 : nullptr;
    }
    ASSERT_EQ(3, lines);
    const int lineHeight = TextSize("Ag", nullptr).cy;

    RECT tip = {};
    EXPECT_EQ(lstrlenA(text), MeasureTooltipText(&entry, &tip, nullptr));
    EXPECT_EQ(0, tip.left);
    EXPECT_EQ(0, tip.top);
    EXPECT_EQ(widest, tip.right);
    EXPECT_EQ(3 * lineHeight, tip.bottom);
}

TEST_F(TooltipTextTest, TipFontByKindAndOwnFont)
{
    LargeFontSource();
    HFONT large = largeFont;
    // Two lines: both measurements honour the line break.
    HWND control = AddStatic("Wide caption\ntext", IDOK, 10, 10, 80, 20);
    HWND list = AddList(2, 100, "Wide caption text ");
    const RECT item0 = ItemScreenRect(list, 0);
    MoveCursorTo(item0.left + 5, item0.top + 5);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ dcFont = GetStockObject(ANSI_FIXED_FONT);
    HGDIOBJ originalFont = SelectObject(dc, dcFont);

    for (int kind = TTK_CAPTION; kind <= TTK_INDENTED_LISTBOX_ITEM; ++kind) {
        HWND target = kind == TTK_LISTBOX_ITEM || kind == TTK_INDENTED_LISTBOX_ITEM ? list : control;
        TooltipEntry entry = Entry(kind, target, large);
        char text[TOOLTIP_TEXT_SIZE];
        GetTooltipText(&entry, text);
        RECT tip = {}, own = {};
        ASSERT_GT(MeasureTooltipText(&entry, &tip, &own), 0) << "kind " << kind;

        const SIZE inLarge = TextSize(text, large);
        const SIZE inStatus = TextSize(text, nullptr);
        const bool entryFont = kind == TTK_INPLACE_CAPTION || kind == TTK_LISTBOX_ITEM ||
                               kind == TTK_INDENTED_LISTBOX_ITEM;
        const SIZE expectedTip = entryFont ? inLarge : inStatus;
        EXPECT_EQ(expectedTip.cx, tip.right) << "kind " << kind;
        EXPECT_EQ(expectedTip.cy, tip.bottom) << "kind " << kind;
        EXPECT_EQ(inLarge.cx, own.right) << "kind " << kind;
        EXPECT_EQ(inLarge.cy, own.bottom) << "kind " << kind;
        EXPECT_NE(inLarge.cx, inStatus.cx) << "the fonts must differ for this test to mean anything";

        // Drawing in the tip's font leaves the device context's own font in it.
        RECT drawn = {};
        DrawTipText(dc, entry, text, -1, &drawn, DT_CALCRECT);
        EXPECT_EQ(expectedTip.cx, drawn.right) << "kind " << kind;
        EXPECT_EQ(dcFont, GetCurrentObject(dc, OBJ_FONT)) << "kind " << kind << ": font put back";

        // Without an entry font the own-font rectangle is left alone.
        entry.font = nullptr;
        RECT tip2 = {}, untouched = Sentinel();
        EXPECT_GT(MeasureTooltipText(&entry, &tip2, &untouched), 0);
        RECT expected = Sentinel();
        EXPECT_RECT_EQ(expected, untouched);
        DrawTipText(dc, entry, text, -1, &drawn, DT_CALCRECT);
        EXPECT_EQ(dcFont, GetCurrentObject(dc, OBJ_FONT)) << "kind " << kind << ": no entry font";
    }
    SelectObject(dc, originalFont);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}

TEST_F(TooltipTextTest, StatusFontComesFromTheNonClientMetrics)
{
    // A status font unlike every other font of the metrics, so that no other
    // member can stand in for it; the system's metrics are put back after.
    RegistrySandbox metricsKeys{{test_keys::METRICS}};
    NONCLIENTMETRICSA saved = {};
    saved.cbSize = CLASSIC_NONCLIENTMETRICS_SIZE;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, CLASSIC_NONCLIENTMETRICS_SIZE, &saved, 0));
    NONCLIENTMETRICSA changed = saved;
    changed.lfStatusFont.lfHeight = -23;
    changed.lfStatusFont.lfWeight = FW_BOLD;
    lstrcpyA(changed.lfStatusFont.lfFaceName, "Courier New");
    ASSERT_TRUE(SystemParametersInfoA(SPI_SETNONCLIENTMETRICS, CLASSIC_NONCLIENTMETRICS_SIZE, &changed, 0));

    HFONT font = CreateStatusFont();
    SystemParametersInfoA(SPI_SETNONCLIENTMETRICS, CLASSIC_NONCLIENTMETRICS_SIZE, &saved, 0);
    ASSERT_NE(nullptr, font);
    LOGFONTA made = {};
    ASSERT_EQ(static_cast<int>(sizeof(made)), GetObjectA(font, sizeof(made), &made));
    EXPECT_EQ(-23, made.lfHeight);
    EXPECT_EQ(FW_BOLD, made.lfWeight);
    EXPECT_STREQ("Courier New", made.lfFaceName);
    EXPECT_TRUE(DeleteObject(font));
}

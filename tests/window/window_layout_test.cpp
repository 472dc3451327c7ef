// The main window as the running program shows it, read back from outside:
// geometry, classes, styles, z-order, texts, painted colours, list columns, icon.
#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/win_owners.h"
#include "tests/window/quandrel_window.h"

namespace quandrel::testing {
namespace {

constexpr COLORREF kBlueBackground = RGB(0, 136, 255);
constexpr COLORREF kYellow = RGB(255, 255, 0);
constexpr COLORREF kPureBlue = RGB(0, 0, 255);

constexpr DWORD kButtonStyle =
    WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_CENTER | BS_VCENTER | BS_MULTILINE;
constexpr DWORD kEditStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL;
constexpr DWORD kLabelStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
constexpr DWORD kListStyle =
    WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL;

struct ExpectedControl {
    Control control;
    const char* name;
    const char* className;
    RECT rect;         // left, top, right, bottom in the client area
    const char* text;  // nullptr: checked elsewhere
    DWORD style;
    DWORD exStyle;
};

// In the window's list order, which is the z-order from the top.
const ExpectedControl kExpected[] = {
    {按钮3, "按钮3", "Button", {463, 352, 543, 372}, "软件使用说明", kButtonStyle, 0},
    {编辑框2, "编辑框2", "Edit", {488, 9, 543, 33}, "e", kEditStyle, WS_EX_CLIENTEDGE},
    {标签4, "标签4", "QuandrelLabel", {454, 9, 494, 33}, "后缀：", kLabelStyle, 0},
    {标签3, "标签3", "QuandrelLabel", {8, 352, 152, 370}, "", kLabelStyle, 0},
    {标签2, "标签2", "QuandrelLabel", {332, 352, 445, 370}, "", kLabelStyle, 0},
    {超级列表框2, "超级列表框2", "SysListView32", {8, 196, 543, 346}, "", kListStyle, WS_EX_CLIENTEDGE},
    {标签1, "标签1", "QuandrelLabel", {8, 9, 48, 33}, "目录：", kLabelStyle, 0},
    {编辑框1, "编辑框1", "Edit", {48, 9, 328, 33}, nullptr, kEditStyle, WS_EX_CLIENTEDGE},
    {按钮1, "按钮1", "Button", {336, 8, 392, 32}, "浏览...", kButtonStyle, 0},
    {按钮2, "按钮2", "Button", {392, 8, 448, 32}, "文件更名", kButtonStyle, 0},
    {超级列表框1, "超级列表框1", "SysListView32", {8, 40, 543, 190}, "", kListStyle, WS_EX_CLIENTEDGE},
};

class WindowLayoutTest : public ::testing::Test {
protected:
    QuandrelWindow program_;
};

TEST_F(WindowLayoutTest, OuterSizeIsFixedAndCentredOnTheWholeScreen) {
    RECT outer;
    GetWindowRect(program_.window(), &outer);
    EXPECT_EQ(outer.right - outer.left, 556);
    EXPECT_EQ(outer.bottom - outer.top, 406);
    // The Wine desktop of the tests is 1024 x 768, with no task bar taking work area.
    EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - 556) / 2);
    EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - 406) / 2);
}

TEST_F(WindowLayoutTest, ClientAreaIsWhatTheFrameLeaves) {
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, FALSE, 0);
    RECT client;
    GetClientRect(program_.window(), &client);
    EXPECT_EQ(client.right, 556 - (frame.right - frame.left));
    EXPECT_EQ(client.bottom, 406 - (frame.bottom - frame.top));
}

TEST_F(WindowLayoutTest, WindowStylesClassAndCaption) {
    HWND window = program_.window();
    // The system adds WS_CLIPSIBLINGS to every overlapped window and
    // WS_EX_WINDOWEDGE to every window with a caption; the program asks for neither.
    EXPECT_EQ(GetWindowLongA(window, GWL_STYLE) & ~WS_CLIPSIBLINGS, 0x02CA0000 | WS_VISIBLE);
    EXPECT_EQ(GetWindowLongA(window, GWL_EXSTYLE) & ~WS_EX_WINDOWEDGE, 0);
    EXPECT_EQ(GetWindow(window, GW_OWNER), nullptr);
    EXPECT_EQ(ClassOf(window), "QuandrelMainWindow");
    EXPECT_EQ(GetClassLongA(window, GCL_STYLE), CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS);
    // Wine answers no other class field of another process's window (the brush,
    // the cursor, the icons come back 0), nor WM_GETFONT or WM_GETICON: the
    // painted colours, the edit boxes' line height and the icon in the caption
    // stand in for them.

    const std::string caption = TextOf(window);
    ASSERT_EQ(caption.rfind("Quandrel V2.0  ", 0), 0u) << caption;
    EXPECT_GT(caption.size(), std::string("Quandrel V2.0  ").size()) << "a credit line follows";
}

TEST_F(WindowLayoutTest, EveryControlHasItsClassPlaceTextAndStyles) {
    for (const ExpectedControl& expected : kExpected) {
        SCOPED_TRACE(expected.name);
        HWND control = program_.control(expected.control);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(ClassOf(control), expected.className);
        const RECT rect = RectInParent(control);
        EXPECT_EQ(rect.left, expected.rect.left);
        EXPECT_EQ(rect.top, expected.rect.top);
        EXPECT_EQ(rect.right, expected.rect.right);
        EXPECT_EQ(rect.bottom, expected.rect.bottom);
        if (expected.text) {
            EXPECT_EQ(TextOf(control), expected.text);
        }
        // List views show scroll bars by themselves as their columns and rows need.
        EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE)) & ~(WS_HSCROLL | WS_VSCROLL), expected.style);
        EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(control, GWL_EXSTYLE)), expected.exStyle);
        EXPECT_TRUE(IsWindowEnabled(control));
    }
}

TEST_F(WindowLayoutTest, ZOrderIsTheListOrder) {
    std::vector<HWND> fromTop;
    for (HWND child = GetWindow(program_.window(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        fromTop.push_back(child);
    }
    ASSERT_EQ(fromTop.size(), std::size(kExpected));
    for (std::size_t i = 0; i < fromTop.size(); ++i) {
        EXPECT_EQ(fromTop[i], program_.control(kExpected[i].control)) << "position " << i << ": " << kExpected[i].name;
    }
}

TEST_F(WindowLayoutTest, FolderBoxStartsWithTheDesktopFolderAndSuffixBoxWithE) {
    char desktop[MAX_PATH] = {};
    ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, desktop), S_OK);
    EXPECT_EQ(TextOf(program_.control(编辑框1)), desktop);
    EXPECT_EQ(TextOf(program_.control(编辑框2)), "e");
    for (Control box : {编辑框1, 编辑框2}) {
        // Without pointers EM_GETSEL answers start and end in one value.
        const auto selection = static_cast<DWORD>(SendMessageA(program_.control(box), EM_GETSEL, 0, 0));
        EXPECT_EQ(LOWORD(selection), 0) << "caret at the start";
        EXPECT_EQ(HIWORD(selection), 0) << "nothing selected";
    }
}

TEST(WindowSettingsTest, ASavedValueReplacesTheStartTextAndAnEmptyOneKeepsIt) {
    char desktop[MAX_PATH] = {};
    ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, desktop), S_OK);
    struct Case {
        Settings saved;
        std::string folderBox;
        std::string suffixBox;
    };
    const Case cases[] = {
        {{"D:\\压缩包", ".exe"}, "D:\\压缩包", ".exe"},
        {{"", "txt"}, desktop, "txt"},
        {{"Q:\\游戏", ""}, "Q:\\游戏", "e"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folderBox + " / " + c.suffixBox);
        QuandrelWindow program(c.saved);
        EXPECT_EQ(TextOf(program.control(编辑框1)), c.folderBox);
        EXPECT_EQ(TextOf(program.control(编辑框2)), c.suffixBox);
    }
}

TEST_F(WindowLayoutTest, EditBoxTextLineIsCentredVertically) {
    // The test's own metrics of the GUI font: the same prefix, so the same font.
    const WindowDc dc = WindowDc::OfClientArea(nullptr);
    SelectedObject font(dc.get(), GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc.get(), &metrics);
    for (Control box : {编辑框1, 编辑框2}) {
        SCOPED_TRACE(box == 编辑框1 ? "编辑框1" : "编辑框2");
        HWND edit = program_.control(box);
        RECT client;
        GetClientRect(edit, &client);
        EXPECT_EQ(client.bottom, metrics.tmHeight) << "one text line high";
        RECT outer;
        GetWindowRect(edit, &outer);
        POINT origin{0, 0};
        ClientToScreen(edit, &origin);
        EXPECT_EQ(origin.y - outer.top, (24 - metrics.tmHeight) / 2);
    }
}

TEST_F(WindowLayoutTest, ListViewsAreReportViewsWithTheirColoursAndColumns) {
    struct Expected {
        Control list;
        int pathWidth;
    };
    for (const Expected& expected : {Expected{超级列表框1, 480}, Expected{超级列表框2, 800}}) {
        HWND list = program_.control(expected.list);
        SCOPED_TRACE(expected.pathWidth);
        EXPECT_EQ(SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0), 0x422);
        EXPECT_EQ(static_cast<COLORREF>(SendMessageA(list, LVM_GETTEXTCOLOR, 0, 0)), RGB(0, 0, 0));
        EXPECT_EQ(static_cast<COLORREF>(SendMessageA(list, LVM_GETTEXTBKCOLOR, 0, 0)), RGB(255, 255, 255));
        EXPECT_EQ(static_cast<COLORREF>(SendMessageA(list, LVM_GETBKCOLOR, 0, 0)), 0x00FF0000u);
        EXPECT_EQ(ListRowCount(list), 0);
        const std::vector<ListColumn> columns = ListColumns(list);
        ASSERT_EQ(columns.size(), 2u);
        EXPECT_EQ(columns[0].title, "序号");
        EXPECT_EQ(columns[0].width, 40);
        EXPECT_EQ(columns[0].format & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
        EXPECT_EQ(columns[1].title, "文件路径");
        EXPECT_EQ(columns[1].width, expected.pathWidth);
        EXPECT_EQ(columns[1].format & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
        // Push-style headers: clickable, though nothing reacts.
        HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
        EXPECT_TRUE(GetWindowLongA(header, GWL_STYLE) & HDS_BUTTONS);
        EXPECT_TRUE(IsWindowVisible(header));
    }
}

TEST_F(WindowLayoutTest, PaintedColours) {
    HWND window = program_.window();
    struct Probe {
        const char* what;
        POINT point;  // in the main window's client area
        COLORREF colour;
    };
    const Probe probes[] = {
        {"window background, top left", {2, 2}, kBlueBackground},
        {"window background between the lists", {270, 193}, kBlueBackground},
        {"window background, bottom", {300, 376}, kBlueBackground},
        {"folder box, band above the text", {100, 12}, kYellow},
        {"folder box, right of the text", {320, 21}, kYellow},
        {"suffix box, band below the text", {530, 29}, kYellow},
        {"label 目录：, right edge", {47, 10}, kBlueBackground},
        {"status label 标签3 (empty)", {100, 360}, kBlueBackground},
        {"suffix box over the right 6 pixels of 标签4", {491, 12}, kYellow},
        {"upper list, control background", {270, 150}, kPureBlue},
        {"lower list, control background", {270, 290}, kPureBlue},
    };
    for (const Probe& probe : probes) {
        EXPECT_EQ(ScreenPixel(window, probe.point, probe.colour), probe.colour) << probe.what;
    }
    // Yellow label text, blue edit text: some pixels of each. The font is smoothed
    // into the background, so a pixel counts when it is nearer the text colour
    // than the background.
    EXPECT_TRUE(WaitUntil([&] {
        return CountPixelsNear(window, RECT{8, 9, 48, 33}, kYellow, 150) > 20;
    })) << "label text";
    EXPECT_TRUE(WaitUntil([&] {
        return CountPixelsNear(window, RECT{490, 11, 541, 31}, kPureBlue, 150) > 5;
    })) << "suffix box text";
}

TEST_F(WindowLayoutTest, IconIsOne32By32ImageOf32Bits) {
    HWND window = program_.window();
    // The small icon at the left of the caption: the yellow of the box.
    EXPECT_TRUE(WaitUntil([&] { return CountFramePixelsNear(window, RECT{0, 0, 24, 24}, RGB(255, 214, 0), 30) > 40; }));

    // The application icon in the program file: one image, 32 x 32, 32 bits.
    UniqueModule file(
        LoadLibraryExA((program_.programFolder() + "\\quandrel.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(file);
    HRSRC group = FindResourceA(file.get(), MAKEINTRESOURCEA(1), reinterpret_cast<LPCSTR>(RT_GROUP_ICON));
    ASSERT_NE(group, nullptr);
    const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(file.get(), group)));
    ASSERT_NE(bytes, nullptr);
    // GRPICONDIR: reserved, type, count; then 14-byte entries: width, height, colours, reserved, planes, bit count, ...
    const WORD count = static_cast<WORD>(bytes[4] | bytes[5] << 8);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(bytes[6], 32);
    EXPECT_EQ(bytes[7], 32);
    EXPECT_EQ(bytes[6 + 6] | bytes[6 + 7] << 8, 32);
}

}  // namespace
}  // namespace quandrel::testing

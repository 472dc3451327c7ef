// Preview and undo in the real program, chosen as a user chooses them: a right
// click or the menu key on a list, or the window's system menu.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/code_page.h"
#include "tests/support/recycle_bin.h"
#include "tests/support/zip_writer.h"
#include "tests/window/quandrel_window.h"

namespace quandrel::testing {
namespace {

constexpr char kPreviewMark[] = "［预览］";

bool StartsWith(const std::string& text, const std::string& start) { return text.rfind(start, 0) == 0; }

// Bytes that no other test has, so that the Recycle Bin is searched by them.
std::string UniqueZip(const std::string& entryName) {
    static int counter = 0;
    return BuildZip({{entryName},
                     {"unique.dat", std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount()) + "-" +
                                        std::to_string(++counter)}});
}

// A chain of renames, a duplicate that goes to the Recycle Bin, and an archive
// without a match. `recycled` gets the duplicate's bytes.
void LayFolder(const TestFolder& folder, std::string& recycled) {
    WriteFileBytes(folder / "1.zip", UniqueZip("2.exe"));
    WriteFileBytes(folder / "2.zip", UniqueZip("工具/3.exe"));
    WriteFileBytes(folder / "游戏.zip", "not an archive, but it holds the name");
    recycled = UniqueZip("游戏.exe");
    WriteFileBytes(folder / "83412.zip", recycled);
    WriteFileBytes(folder / "keep.zip", UniqueZip("readme.txt"));
}

// A point inside the list's rows (or where the first row would be).
POINT FirstRowPoint() { return POINT{60, 30}; }

int ListSelectedRow(HWND list) {
    return static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

// A preview chosen from the upper list's menu, its end box read and closed.
MessageBoxContent PreviewFromTheMenu(QuandrelWindow& program) {
    RightClick(program.control(超级列表框1), FirstRowPoint());
    ChooseFromPopupMenu(program, 1);  // 预览更名（不改动文件）
    return CloseEndBox(program);
}

void RunFromTheButton(QuandrelWindow& program) {
    ClickButton(program.control(按钮2));
    const MessageBoxContent end = CloseEndBox(program);
    EXPECT_TRUE(StartsWith(end.text, "ZIP重命名完毕！")) << end.text;
}

TEST(PreviewAndUndoTest, PreviewFromTheUpperListsMenuForeseesTheRunRowByRow) {
    TestFolder archives("quandrel-preview");
    std::string recycled;
    LayFolder(archives, recycled);
    const auto before = FolderContents(archives.path());
    QuandrelWindow program(Settings{archives.path(), ".exe"});

    const MessageBoxContent end = PreviewFromTheMenu(program);
    EXPECT_TRUE(StartsWith(end.text, "预览完毕（未改动任何文件）！")) << end.text;
    EXPECT_EQ(FolderContents(archives.path()), before) << "a preview touches nothing";
    EXPECT_EQ(TextOf(program.control(标签3)), "预览完毕：未改动任何文件。");
    EXPECT_EQ(TextOf(program.control(标签2)), "文件数量：5");

    std::vector<ListRow> foreseen = ListRows(program.control(超级列表框2));
    ASSERT_EQ(foreseen.size(), 6u) << "a row an archive, then the totals";
    for (std::size_t i = 0; i + 1 < foreseen.size(); ++i) {
        ASSERT_TRUE(StartsWith(foreseen[i].path, kPreviewMark)) << foreseen[i].path;
        foreseen[i].path.erase(0, std::string(kPreviewMark).size());
    }
    const std::vector<ListRow> foundByPreview = ListRows(program.control(超级列表框1));

    RunFromTheButton(program);
    ASSERT_TRUE(TakeFromRecycleBin(recycled));
    const std::vector<ListRow> done = ListRows(program.control(超级列表框2));
    EXPECT_EQ(ListRows(program.control(超级列表框1)), foundByPreview);
    ASSERT_EQ(done.size(), foreseen.size());
    for (std::size_t i = 0; i + 1 < done.size(); ++i) {
        EXPECT_EQ(done[i], foreseen[i]) << "row " << i;
    }
    EXPECT_NE(FolderContents(archives.path()), before);
}

TEST(PreviewAndUndoTest, UndoFromTheSystemMenuLeavesTheFolderAsBefore) {
    TestFolder archives("quandrel-undo");
    std::string recycled;
    LayFolder(archives, recycled);
    const auto before = FolderContents(archives.path());
    QuandrelWindow program(Settings{archives.path(), ".exe"});
    RunFromTheButton(program);
    ASSERT_NE(FolderContents(archives.path()), before);

    PressAltSpace();
    const std::optional<HWND> menu = WaitForWindowOfClass(program.process().id(), "#32768", kPatienceMs);
    ASSERT_TRUE(menu.has_value());
    PressKey(VK_UP);  // from the top, up is the last item: 撤销上次更名
    PressKey(VK_RETURN);
    const MessageBoxContent end = CloseEndBox(program);
    EXPECT_TRUE(StartsWith(end.text, "撤销完毕")) << end.text;
    EXPECT_NE(end.text.find("恢复原名：2"), std::string::npos) << end.text;
    EXPECT_NE(end.text.find("从回收站还原：1"), std::string::npos) << end.text;
    EXPECT_EQ(FolderContents(archives.path()), before) << "names and bytes, the recycled duplicate included";
    EXPECT_EQ(TextOf(program.control(标签3)), "撤销完毕。");
    const std::vector<ListRow> rows = ListRows(program.control(超级列表框2));
    ASSERT_EQ(rows.size(), 4u) << "a row a change taken back, then the totals";
    EXPECT_EQ(std::count_if(rows.begin(), rows.end(),
                            [](const ListRow& row) { return row.path.find("已从回收站还原") != std::string::npos; }),
              1);

    // Taken back once: the item does nothing now.
    PressAltSpace();
    ASSERT_TRUE(WaitForWindowOfClass(program.process().id(), "#32768", kPatienceMs).has_value());
    PressKey(VK_UP);
    PressKey(VK_RETURN);
    EXPECT_FALSE(WaitForMessageBox(program.process().id(), 2000).has_value());
    EXPECT_EQ(ListRows(program.control(超级列表框2)), rows);
}

TEST(PreviewAndUndoTest, UndoFromTheMenuKeyReportsAnArchiveAnotherProgramRenamed) {
    TestFolder archives("quandrel-undo");
    std::string recycled;
    LayFolder(archives, recycled);
    QuandrelWindow program(Settings{archives.path(), ".exe"});

    // Before any run there is nothing to take back.
    HWND lower = program.control(超级列表框2);
    RightClick(lower, FirstRowPoint());
    ChooseFromPopupMenu(program, 1);
    EXPECT_FALSE(WaitForMessageBox(program.process().id(), 2000).has_value());

    RunFromTheButton(program);
    const std::string movedBytes = *ReadFileBytes(archives / "3.zip");
    ASSERT_TRUE(MoveFileA((archives / "3.zip").c_str(), (archives / "elsewhere.zip").c_str()));

    LeftClick(lower, FirstRowPoint());
    ASSERT_TRUE(WaitUntil([&] { return program.Focus() == lower; }));
    PressKey(VK_APPS);
    ChooseFromPopupMenu(program, 1);  // 撤销上次更名
    const MessageBoxContent end = CloseEndBox(program);
    EXPECT_NE(end.text.find("未能撤销：1"), std::string::npos) << end.text;
    EXPECT_EQ(ReadFileBytes(archives / "elsewhere.zip"), movedBytes) << "left where the other program put it";
    EXPECT_TRUE(ReadFileBytes(archives / "1.zip").has_value());
    EXPECT_TRUE(ReadFileBytes(archives / "83412.zip") == recycled) << "back from the Recycle Bin";
    bool reported = false;
    for (const ListRow& row : ListRows(lower)) {
        reported =
            reported || (StartsWith(row.path, archives / "2.zip") && row.path.find("未撤销") != std::string::npos);
    }
    EXPECT_TRUE(reported);
}

TEST(PreviewAndUndoTest, ShiftF10CopiesTheRowsPathAsAnsiAndUnicodeText) {
    TestFolder archives("quandrel-复制");
    std::string recycled;
    LayFolder(archives, recycled);
    QuandrelWindow program(Settings{archives.path(), ".exe"});
    HWND upper = program.control(超级列表框1);
    PreviewFromTheMenu(program);  // it fills the list

    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
    LeftClick(upper, FirstRowPoint());
    ASSERT_TRUE(WaitUntil([&] { return program.Focus() == upper && ListSelectedRow(upper) == 0; }));
    PressKey(VK_F10, true);
    ChooseFromPopupMenu(program, 3);  // preview, open the folder, copy the path
    const std::string path = ListCell(upper, 0, 1);
    ASSERT_TRUE(StartsWith(path, archives.path()));
    ASSERT_TRUE(WaitUntil([] { return IsClipboardFormatAvailable(CF_UNICODETEXT) != 0; }));
    ASSERT_TRUE(OpenClipboard(nullptr));
    const auto* ansi = static_cast<const char*>(GetClipboardData(CF_TEXT));
    const auto* wide = static_cast<const wchar_t*>(GetClipboardData(CF_UNICODETEXT));
    const std::string ansiText = ansi ? ansi : "";
    const std::wstring wideText = wide ? wide : L"";
    CloseClipboard();
    EXPECT_EQ(ansiText, path);
    EXPECT_TRUE(wideText == WideFromAnsi(path));
}

struct TitleSearch {
    std::string title;
    HWND found = nullptr;
};

BOOL CALLBACK FindVisibleTitled(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<TitleSearch*>(parameter);
    if (IsWindowVisible(window) && WindowText(window) == search->title) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// Explorer's window for the folder, from any process.
HWND ExplorerWindowTitled(const std::string& title) {
    TitleSearch search{title};
    EnumWindows(FindVisibleTitled, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

TEST(PreviewAndUndoTest, OpenFolderShowsTheArchivesFolderInExplorer) {
    TestFolder archives("quandrel-explorer");
    std::string recycled;
    LayFolder(archives, recycled);
    QuandrelWindow program(Settings{archives.path(), ".exe"});
    HWND upper = program.control(超级列表框1);
    PreviewFromTheMenu(program);

    RightClick(upper, FirstRowPoint());
    ChooseFromPopupMenu(program, 2);  // 打开所在文件夹
    const std::string folderName = archives.path().substr(archives.path().rfind('\\') + 1);
    HWND explorer = nullptr;
    EXPECT_TRUE(WaitUntil([&] { return (explorer = ExplorerWindowTitled(folderName)) != nullptr; }));
    if (explorer) {
        PostMessageA(explorer, WM_CLOSE, 0, 0);
        WaitUntil([&] { return !IsWindow(explorer); });
    }
}

}  // namespace
}  // namespace quandrel::testing

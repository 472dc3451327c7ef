// The rename run as a user starts it in the real program: boxes filled, a click
// on 文件更名, the box at the end closed; then the folder, both lists and both
// status labels are read back.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "tests/support/recycle_bin.h"
#include "tests/support/zip_writer.h"
#include "tests/window/quandrel_window.h"

namespace quandrel::testing {
namespace {

std::set<std::string> FilesIn(const std::string& folder) {
    std::set<std::string> names;
    WIN32_FIND_DATAA found;
    UniqueFindHandle search(FindFirstFileA((folder + "\\*").c_str(), &found));
    if (search) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                names.insert(found.cFileName);
            }
        } while (FindNextFileA(search.get(), &found));
    }
    return names;
}

bool StartsWith(const std::string& text, const std::string& start) { return text.rfind(start, 0) == 0; }

TEST(RenameInWindowTest, EmptySuffixShowsTheBoxAndChangesNothing) {
    TestFolder archives("quandrel-archives");
    const std::string bytes = BuildZip({{"游戏.exe", "x"}});
    WriteFileBytes(archives / "1.zip", bytes);
    QuandrelWindow program;
    SetTextOf(program.control(编辑框1), archives.path());
    SetTextOf(program.control(编辑框2), "");

    ClickButton(program.control(按钮2));
    const std::optional<HWND> box = WaitForMessageBox(program.process().id(), kPatienceMs);
    ASSERT_TRUE(box.has_value());
    const MessageBoxContent content = ReadMessageBox(*box);
    EXPECT_EQ(content.title, "填写后缀名！");
    EXPECT_EQ(content.text, "请填写后缀名称，更改的文件名将在压缩中搜索该后缀的文件，以该文件名命名压缩包名称！");
    EXPECT_FALSE(IsWindowEnabled(program.window())) << "the box is modal";
    CloseMessageBox(*box);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(program.window()); }));

    EXPECT_EQ(FilesIn(archives.path()), std::set<std::string>{"1.zip"});
    EXPECT_EQ(ListRowCount(program.control(超级列表框1)), 0);
    EXPECT_EQ(ListRowCount(program.control(超级列表框2)), 0);
    EXPECT_EQ(TextOf(program.control(标签2)), "");
    EXPECT_EQ(TextOf(program.control(标签3)), "");
}

TEST(RenameInWindowTest, ClickingRenameRenamesTheFolderAndShowsEveryArchive) {
    TestFolder archives("quandrel-archives");
    const std::string duplicateBytes = BuildZip({{"tool.exe", "second"}});
    WriteFileBytes(archives / "83412.zip", BuildZip({{"说明.txt", "read me"}, {"游戏.exe", "game"}}));
    WriteFileBytes(archives / "a.zip", BuildZip({{"tool.exe", "first"}}));
    WriteFileBytes(archives / "b.zip", duplicateBytes);
    WriteFileBytes(archives / "c.zip", BuildZip({{"notes.txt", "none"}}));
    const std::vector<std::string> originals{"83412.zip", "a.zip", "b.zip", "c.zip"};

    QuandrelWindow program;
    SetTextOf(program.control(编辑框1), archives.path());
    SetTextOf(program.control(编辑框2), "exe");
    ClickButton(program.control(按钮2));
    const MessageBoxContent end = CloseEndBox(program);
    EXPECT_TRUE(StartsWith(end.text, "ZIP重命名完毕！")) << end.text;

    // a.zip and b.zip both name themselves tool.zip: whichever the search found
    // first takes the name, the other goes to the Recycle Bin.
    EXPECT_EQ(FilesIn(archives.path()), (std::set<std::string>{"游戏.zip", "tool.zip", "c.zip"}));
    const std::optional<std::string> kept = ReadFileBytes(archives / "tool.zip");
    ASSERT_TRUE(kept.has_value());
    const bool bWasSecond = *kept != duplicateBytes;
    TakeFromRecycleBin(bWasSecond ? duplicateBytes : BuildZip({{"tool.exe", "first"}}));

    const std::vector<ListRow> upper = ListRows(program.control(超级列表框1));
    ASSERT_EQ(upper.size(), 4u);
    std::vector<std::string> upperPaths;
    for (std::size_t i = 0; i < upper.size(); ++i) {
        EXPECT_EQ(upper[i].number, std::to_string(i + 1));
        upperPaths.push_back(upper[i].path);
    }
    std::vector<std::string> expectedPaths;
    for (const std::string& name : originals) {
        expectedPaths.push_back(archives / name);
    }
    std::sort(upperPaths.begin(), upperPaths.end());
    EXPECT_EQ(upperPaths, expectedPaths);

    const std::vector<ListRow> lower = ListRows(program.control(超级列表框2));
    ASSERT_EQ(lower.size(), 5u) << "one row an archive, then the totals";
    for (std::size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(lower[i].path);
        EXPECT_EQ(lower[i].number, std::to_string(i + 1));
        EXPECT_TRUE(StartsWith(lower[i].path, upper[i].path + " ")) << "the archive's path first";
        const std::string outcome = lower[i].path.substr(upper[i].path.size() + 1);
        if (upper[i].path == archives / "83412.zip") {
            EXPECT_NE(outcome.find("游戏.zip"), std::string::npos) << outcome;
        } else if (upper[i].path == archives / "c.zip") {
            EXPECT_EQ(outcome.find(".zip"), std::string::npos) << "kept its name: " << outcome;
        } else if (upper[i].path == archives / (bWasSecond ? "b.zip" : "a.zip")) {
            EXPECT_EQ(outcome, "文件已经存在，此文件被删除！");
        } else {
            EXPECT_NE(outcome.find("tool.zip"), std::string::npos) << outcome;
        }
    }
    EXPECT_TRUE(StartsWith(lower[4].path, "ZIP重命名完毕！")) << lower[4].path;
    EXPECT_EQ(lower[4].number, "");

    EXPECT_EQ(TextOf(program.control(标签2)), "文件数量：4");
    EXPECT_EQ(TextOf(program.control(标签3)), "正在修改第4个文件名称。");

    // Clicking a column header sorts nothing and changes no width. The clicks go
    // to the header as sent messages, so they are handled when the sending returns.
    HWND lowerList = program.control(超级列表框2);
    HWND header = reinterpret_cast<HWND>(SendMessageA(lowerList, LVM_GETHEADER, 0, 0));
    for (LPARAM at : {MAKELPARAM(100, 8), MAKELPARAM(20, 8)}) {
        SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(header, WM_LBUTTONUP, 0, at);
    }
    const std::vector<ListRow> afterClicks = ListRows(lowerList);
    ASSERT_EQ(afterClicks.size(), lower.size());
    for (std::size_t i = 0; i < lower.size(); ++i) {
        EXPECT_EQ(afterClicks[i].path, lower[i].path);
    }
    EXPECT_EQ(ListColumns(lowerList)[1].width, 800);
}

TEST(RenameInWindowTest, FolderWithoutArchivesCountsNoneAndStillFinishes) {
    TestFolder archives("quandrel-empty");
    QuandrelWindow program;
    SetTextOf(program.control(编辑框1), archives.path());
    SetTextOf(program.control(编辑框2), "exe");
    ClickButton(program.control(按钮2));
    EXPECT_TRUE(StartsWith(CloseEndBox(program).text, "ZIP重命名完毕！"));
    EXPECT_EQ(TextOf(program.control(标签2)), "文件数量：0");
    EXPECT_EQ(ListRowCount(program.control(超级列表框1)), 0);
    EXPECT_EQ(ListRowCount(program.control(超级列表框2)), 1) << "the totals row";
}

// Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on "a" + std::to_string(i) + ".zip".
std::string Numbered(const char* before, int number, const char* after) {
    std::string text = before;
    text += std::to_string(number);
    text += after;
    return text;
}

// Many archives, each naming itself after an entry of its own, so that a run
// lasts long enough to be interrupted and no two archives collide.
class LongRun {
public:
    static constexpr int kArchives = 1500;

    LongRun() {
        for (int i = 1; i <= kArchives; ++i) {
            WriteFileBytes(folder_ / OldName(i), BytesOf(i));
        }
    }
    const std::string& folder() const { return folder_.path(); }
    static std::string OldName(int i) { return Numbered("a", i, ".zip"); }
    static std::string NewName(int i) { return Numbered("entry", i, ".zip"); }
    static std::string BytesOf(int i) { return BuildZip({{Numbered("entry", i, ".exe"), std::to_string(i)}}); }

    // Every archive is there once, whole, under its old or its new name; how many have the new one.
    int CountRenamedWholeArchives() const {
        int renamed = 0;
        for (int i = 1; i <= kArchives; ++i) {
            const std::optional<std::string> old = ReadFileBytes(folder_ / OldName(i));
            const std::optional<std::string> renamedBytes = ReadFileBytes(folder_ / NewName(i));
            EXPECT_NE(old.has_value(), renamedBytes.has_value()) << i;
            EXPECT_EQ(old ? *old : renamedBytes.value_or(""), BytesOf(i)) << i;
            renamed += renamedBytes ? 1 : 0;
        }
        return renamed;
    }

private:
    TestFolder folder_{"quandrel-long-run"};
};

TEST(RenameInWindowTest, ASecondClickDuringARunStartsNothing) {
    LongRun run;
    QuandrelWindow program;
    HWND lower = program.control(超级列表框2);
    SetTextOf(program.control(编辑框1), run.folder());
    SetTextOf(program.control(编辑框2), "exe");
    ClickButton(program.control(按钮2));
    ASSERT_TRUE(WaitUntil([&] { return ListRowCount(lower) > 0; }));

    const int rowsBefore = ListRowCount(lower);
    ASSERT_LT(rowsBefore, LongRun::kArchives) << "the run must still be under way";
    PressButtonAndWait(program.control(按钮2));
    // A second run would have emptied both lists before the click returned.
    EXPECT_EQ(ListRowCount(program.control(超级列表框1)), LongRun::kArchives);
    EXPECT_GE(ListRowCount(lower), rowsBefore);

    EXPECT_TRUE(StartsWith(CloseEndBox(program).text, "ZIP重命名完毕！"));
    ASSERT_EQ(ListRowCount(lower), LongRun::kArchives + 1);
    for (int row : {0, 1, LongRun::kArchives / 2, LongRun::kArchives - 1}) {
        EXPECT_EQ(ListCell(lower, row, 0), std::to_string(row + 1));
    }
    EXPECT_EQ(run.CountRenamedWholeArchives(), LongRun::kArchives);
}

TEST(RenameInWindowTest, ClosingDuringARunStopsAfterTheArchiveInHandAndSaves) {
    LongRun run;
    QuandrelWindow program;
    SetTextOf(program.control(编辑框1), run.folder());
    SetTextOf(program.control(编辑框2), "exe");
    ClickButton(program.control(按钮2));
    ASSERT_TRUE(WaitUntil([&] { return ListRowCount(program.control(超级列表框2)) > 0; }));

    PressKey(VK_ESCAPE);
    ASSERT_EQ(program.process().WaitForExit(kPatienceMs), std::optional<DWORD>(0));
    const int renamed = run.CountRenamedWholeArchives();
    EXPECT_GT(renamed, 0);
    EXPECT_LT(renamed, LongRun::kArchives) << "the run stopped early";
    const Settings saved = ReadSettings(program.settingsPath());
    EXPECT_EQ(saved.folder, run.folder());
    EXPECT_EQ(saved.suffix, "exe");
}

// The archive in hand can take long (here one with 65,000 entries to walk):
// a close saves the settings at once and the window, out of sight, goes on
// answering messages until the run has ended; then the program exits.
TEST(RenameInWindowTest, ClosingWaitsForTheArchiveInHandWithoutFreezing) {
    TestFolder archives("慢");
    std::vector<ZipEntry> entries;
    for (int i = 0; i < 65000; ++i) {
        entries.emplace_back("d/entry" + std::to_string(i) + ".txt");
    }
    const std::string bytes = BuildZip(entries);
    // Three, so that the run is surely under way when the close comes.
    for (const char* name : {"big1.zip", "big2.zip", "big3.zip"}) {
        WriteFileBytes(archives / name, bytes);
    }
    QuandrelWindow program;
    SetTextOf(program.control(编辑框1), archives.path());
    SetTextOf(program.control(编辑框2), ".exe");
    ClickButton(program.control(按钮2));
    ASSERT_TRUE(WaitUntil([&] { return TextOf(program.control(标签3)).find("正在修改第") != std::string::npos; }));

    PressKey(VK_ESCAPE);
    int answered = 0;
    int answeredHidden = 0;
    DWORD slowest = 0;
    while (!program.process().WaitForExit(0)) {
        const DWORD start = GetTickCount();
        DWORD_PTR result = 0;
        const bool hidden = !IsWindowVisible(program.window());
        if (!SendMessageTimeoutA(program.window(), WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result)) {
            if (!IsWindow(program.window())) {
                break;  // destroyed meanwhile: the run has ended
            }
            ADD_FAILURE() << "the closed window did not answer within a second";
            break;
        }
        if (hidden && answeredHidden++ == 0) {
            // Saved at the close, not at the end of the run.
            EXPECT_EQ(ReadSettings(program.settingsPath()).suffix, ".exe");
        }
        ++answered;
        slowest = std::max(slowest, GetTickCount() - start);
        Sleep(20);
    }
    EXPECT_GT(answeredHidden, 0) << "the window was never seen waiting out of sight";
    EXPECT_EQ(program.process().WaitForExit(kPatienceMs), std::optional<DWORD>(0));
    EXPECT_LT(slowest, 250u) << "answered " << answered << " times";
    for (const char* name : {"big1.zip", "big2.zip", "big3.zip"}) {
        EXPECT_EQ(ReadFileBytes(archives / name), bytes) << name;
    }
}

// zlibwapi.dll missing: the error box comes up when a run starts, the whole
// program waits for it (the main window is disabled), and the exit code is -1.
TEST(RenameInWindowTest, MissingUnzipLibraryBlocksTheWholeProgram) {
    TestFolder archives;
    const std::string bytes = BuildZip({{"game.exe"}});
    WriteFileBytes(archives / "1.zip", bytes);
    QuandrelWindow program(std::nullopt, false);
    SetTextOf(program.control(编辑框1), archives.path());
    SetTextOf(program.control(编辑框2), ".exe");
    ClickButton(program.control(按钮2));
    const std::optional<HWND> box = WaitForMessageBox(program.process().id(), kPatienceMs);
    ASSERT_TRUE(box);
    const MessageBoxContent content = ReadMessageBox(*box);
    EXPECT_NE(content.text.find("zlibwapi.dll"), std::string::npos) << content.text;
    EXPECT_NE(content.text.find("unzOpen"), std::string::npos) << content.text;
    EXPECT_FALSE(IsWindowEnabled(program.window()));
    CloseMessageBox(*box);
    EXPECT_EQ(program.process().WaitForExit(kPatienceMs), std::optional<DWORD>(0xFFFFFFFF));
    EXPECT_EQ(ReadFileBytes(archives / "1.zip"), bytes);
}

}  // namespace
}  // namespace quandrel::testing

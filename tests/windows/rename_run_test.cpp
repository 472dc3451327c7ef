// The rename run on real folders under Wine. Wherever an archive keeps its name
// it must still be there with identical bytes; wherever one is removed it must
// be in the Recycle Bin with identical bytes.
#include "rename/rename_run.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "base/path_text.h"
#include "base/win_owners.h"
#include "rename/new_name.h"
#include "tests/support/recycle_bin.h"
#include "tests/support/test_folder.h"
#include "tests/support/text.h"
#include "tests/support/zip_writer.h"

namespace quandrel {
namespace {

using namespace quandrel::testing;
using enum ArchiveOutcome;

// Records what the run reports and checks that it reports in order.
class RecordingObserver : public RenameObserver {
public:
    void OnArchivesFound(const std::vector<std::string>& archivePaths) override {
        EXPECT_FALSE(finished);
        found = archivePaths;
    }
    void OnArchiveStarted(int number, const std::string& archivePath) override {
        EXPECT_EQ(number, static_cast<int>(reports.size()) + 1);
        EXPECT_EQ(archivePath, found.at(static_cast<std::size_t>(number - 1)));
        started.push_back(number);
    }
    void OnArchiveHandled(const ArchiveReport& report) override {
        EXPECT_EQ(report.number, started.empty() ? -1 : started.back());
        reports.push_back(report);
    }
    void OnRunFinished(const RunTotals& runTotals) override {
        EXPECT_FALSE(finished);
        finished = true;
        totals = runTotals;
    }

    // Outcomes by the archive's original file name.
    std::map<std::string, ArchiveOutcome> OutcomesByName() const {
        std::map<std::string, ArchiveOutcome> outcomes;
        for (const ArchiveReport& report : reports) {
            outcomes[report.path.substr(report.path.rfind('\\') + 1)] = report.outcome;
        }
        return outcomes;
    }

    std::vector<std::string> found;
    std::vector<int> started;
    std::vector<ArchiveReport> reports;
    RunTotals totals;
    bool finished = false;
};

// Archive bytes that no other test run has: the Recycle Bin is looked up by bytes.
std::string UniqueZip(std::vector<ZipEntry> entries) {
    static int counter = 0;
    entries.emplace_back("unique.dat", std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount()) +
                                           "-" + std::to_string(++counter));
    return BuildZip(entries);
}

struct Item {
    std::string name;
    std::string bytes;  // a file's content
    bool readOnly = false;
    bool folder = false;
};

Item Archive(std::string name, std::vector<ZipEntry> entries, bool readOnly = false) {
    return {std::move(name), UniqueZip(std::move(entries)), readOnly, false};
}
Item File(std::string name, std::string bytes) { return {std::move(name), std::move(bytes), false, false}; }
Item Folder(std::string name) { return {std::move(name), {}, false, true}; }

void Lay(const TestFolder& folder, const std::vector<Item>& items) {
    for (const Item& item : items) {
        const std::string path = folder / item.name;
        if (item.folder) {
            ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << item.name;
            continue;
        }
        WriteFileBytes(path, item.bytes);
        if (item.readOnly) {
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
        }
    }
}

std::string LowerAscii(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return text;
}

// Names directly in the folder, in lower case: Windows names ignore case, and
// Wine keeps the old case when only the case changes.
std::vector<std::string> Listing(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    UniqueFindHandle search(FindFirstFileA(JoinPath(folder, "*").c_str(), &found));
    if (search) {
        do {
            const std::string name = found.cFileName;
            if (name != "." && name != "..") {
                names.push_back(LowerAscii(name));
            }
        } while (FindNextFileA(search.get(), &found));
    }
    std::sort(names.begin(), names.end());
    return names;
}

struct After {
    std::string name;  // a name in the folder afterwards
    std::string from;  // the item whose bytes it holds
};

struct RunCase {
    const char* label;
    std::vector<Item> before;
    std::string suffix;
    std::vector<After> after;                              // every name in the folder afterwards
    std::map<std::string, ArchiveOutcome> outcomes;       // by original name
    std::vector<std::string> removed;                      // items that end in the Recycle Bin
};

void CheckRun(const RunCase& c, const TestFolder& folder) {
    const std::string label = c.label;
    RecordingObserver observer;
    std::atomic<bool> stop{false};
    ASSERT_EQ(RenameArchives(folder.path(), c.suffix, observer, stop), RunResult::Ran) << label;
    ASSERT_TRUE(observer.finished) << label;
    EXPECT_EQ(observer.OutcomesByName(), c.outcomes) << label;
    EXPECT_EQ(observer.totals.found, static_cast<int>(c.outcomes.size())) << label;
    EXPECT_EQ(observer.totals.handled, static_cast<int>(c.outcomes.size())) << label;
    EXPECT_FALSE(observer.totals.stopped) << label;

    auto bytesOf = [&](const std::string& name) {
        return std::find_if(c.before.begin(), c.before.end(), [&](const Item& i) { return i.name == name; })->bytes;
    };
    std::vector<std::string> expectedNames;
    for (const After& after : c.after) {
        expectedNames.push_back(LowerAscii(after.name));
        const auto found = std::find_if(c.before.begin(), c.before.end(), [&](const Item& i) { return i.name == after.from; });
        if (!found->folder) {
            EXPECT_EQ(ReadFileBytes(folder / after.name), bytesOf(after.from)) << label << ": " << after.name;
        }
    }
    std::sort(expectedNames.begin(), expectedNames.end());
    EXPECT_EQ(Listing(folder.path()), expectedNames) << label;
    for (const std::string& name : c.removed) {
        EXPECT_TRUE(TakeFromRecycleBin(bytesOf(name))) << label << ": " << name << " is not in the Recycle Bin";
    }
}

TEST(RenameArchives, Table) {
    const std::string gbkSuffix = "戏.exe";
    const RunCase cases[] = {
        {"normal: GBK names, folder parts dropped",
         {Archive("83412.zip", {{"readme.txt"}, {"游戏.exe"}}), Archive("83413.zip", {{"dir/sub/工具.exe"}})},
         ".exe",
         {{"游戏.zip", "83412.zip"}, {"工具.zip", "83413.zip"}},
         {{"83412.zip", Renamed}, {"83413.zip", Renamed}},
         {}},
        {"new name taken by another file: the archive goes to the Recycle Bin",
         {File("same.zip", "not an archive, but it holds the name"), Archive("1.zip", {{"same.exe"}})},
         ".exe",
         {{"same.zip", "same.zip"}},
         {{"same.zip", Unreadable}, {"1.zip", RemovedAsDuplicate}},
         {"1.zip"}},
        {"already named",
         {Archive("setup.zip", {{"setup.exe"}})},
         ".exe",
         {{"setup.zip", "setup.zip"}},
         {{"setup.zip", AlreadyNamed}},
         {}},
        {"case-only difference is renamed, never removed (Wine keeps the old case on disk)",
         {Archive("game.zip", {{"GAME.exe"}})},
         ".exe",
         {{"GAME.zip", "game.zip"}},
         {{"game.zip", Renamed}},
         {}},
        {"no match anywhere",
         {Archive("1.zip", {{"readme.txt"}}), Archive("2.zip", {{"data.bin"}})},
         ".exe",
         {{"1.zip", "1.zip"}, {"2.zip", "2.zip"}},
         {{"1.zip", NoMatchingEntry}, {"2.zip", NoMatchingEntry}},
         {}},
        {"unreadable, empty and fake archives keep their names",
         {File("fake.zip", "just text"), File("empty.zip", BuildZip({})), File("zero.zip", ""),
          File("cut.zip", BuildZip({{"cut.exe", std::string(200, 'x')}}).substr(0, 100))},
         ".exe",
         {{"fake.zip", "fake.zip"}, {"empty.zip", "empty.zip"}, {"zero.zip", "zero.zip"}, {"cut.zip", "cut.zip"}},
         {{"fake.zip", Unreadable}, {"empty.zip", Unreadable}, {"zero.zip", Unreadable}, {"cut.zip", Unreadable}},
         {}},
        {"UTF-8 names become GBK file names; one GBK cannot hold keeps its name",
         {Archive("u1.zip", {{Utf8Bytes(u8"数据/游戏.exe"), "", true}}),
          Archive("u2.zip", {{Utf8Bytes(u8"😀.exe"), "", true}})},
         ".exe",
         {{"游戏.zip", "u1.zip"}, {"u2.zip", "u2.zip"}},
         {{"u1.zip", Renamed}, {"u2.zip", UnusableName}},
         {}},
        {"GBK suffix matches GBK names byte for byte",
         {Archive("g.zip", {{"游戏.exe"}})},
         gbkSuffix,
         {{"游戏.zip", "g.zip"}},
         {{"g.zip", Renamed}},
         {}},
        {"unusable names keep the archive's name",
         {Archive("dev.zip", {{"CON.exe"}}), Archive("colon.zip", {{"a:b.exe"}}), Archive("ask.zip", {{"why?.exe"}}),
          Archive("star.zip", {{"a*.exe"}}), Archive("ctl.zip", {{"a\x01.exe"}}), Archive("dots.zip", {{"dir/..exe"}}),
          Archive("nulname.zip", {{"nul.tar.exe"}}), Archive("pipe.zip", {{"a|b.exe"}}),
          Archive("quote.zip", {{"a\"b.exe"}}), Archive("angle.zip", {{"<a>.exe"}}),
          Archive("long.zip", {{std::string(250, 'l') + ".exe"}})},
         ".exe",
         {{"dev.zip", "dev.zip"}, {"colon.zip", "colon.zip"}, {"ask.zip", "ask.zip"}, {"star.zip", "star.zip"},
          {"ctl.zip", "ctl.zip"}, {"dots.zip", "dots.zip"}, {"nulname.zip", "nulname.zip"}, {"pipe.zip", "pipe.zip"},
          {"quote.zip", "quote.zip"}, {"angle.zip", "angle.zip"}, {"long.zip", "long.zip"}},
         {{"dev.zip", UnusableName}, {"colon.zip", UnusableName}, {"ask.zip", UnusableName},
          {"star.zip", UnusableName}, {"ctl.zip", UnusableName}, {"dots.zip", UnusableName},
          {"nulname.zip", UnusableName}, {"pipe.zip", UnusableName}, {"quote.zip", UnusableName},
          {"angle.zip", UnusableName}, {"long.zip", UnusableName}},
         {}},
        {"a name that climbs out of the folder stays in it",
         {Archive("up.zip", {{"../../evil.exe"}}), Archive("back.zip", {{"..\\..\\bad.exe"}})},
         ".exe",
         {{"evil.zip", "up.zip"}, {"bad.zip", "back.zip"}},
         {{"up.zip", Renamed}, {"back.zip", Renamed}},
         {}},
        {"read-only archive is renamed; a read-only duplicate is not removed",
         {Archive("ro.zip", {{"fresh.exe"}}, true), File("taken.zip", "holder"),
          Archive("rodup.zip", {{"taken.exe"}}, true)},
         ".exe",
         {{"fresh.zip", "ro.zip"}, {"taken.zip", "taken.zip"}, {"rodup.zip", "rodup.zip"}},
         {{"ro.zip", Renamed}, {"taken.zip", Unreadable}, {"rodup.zip", NotRemoved}},
         {}},
        {"a folder with the new name does not make the archive a duplicate",
         {Folder("game.zip"), Archive("a.zip", {{"game.exe"}})},
         ".exe",
         {{"game.zip", "game.zip"}, {"a.zip", "a.zip"}},
         {{"a.zip", Failed}},
         {}},
        {"names the search returns through 8.3 aliases are not archives",
         {Archive("a.zip", {{"x.exe"}}), Archive("b.zipx", {{"y.exe"}}), Archive("c.zip~", {{"z.exe"}})},
         ".exe",
         {{"x.zip", "a.zip"}, {"b.zipx", "b.zipx"}, {"c.zip~", "c.zip~"}},
         {{"a.zip", Renamed}},
         {}},
        {"archive names in capitals",
         {Archive("UPPER.ZIP", {{"lower.exe"}})},
         ".exe",
         {{"lower.zip", "UPPER.ZIP"}},
         {{"UPPER.ZIP", Renamed}},
         {}},
    };
    for (const auto& c : cases) {
        TestFolder folder("重命名");
        Lay(folder, c.before);
        CheckRun(c, folder);
    }
}

TEST(RenameArchives, TwoArchivesWithTheSameEntry) {
    TestFolder folder;
    const Item first = Archive("1.zip", {{"same.exe"}});
    const Item second = Archive("2.zip", {{"same.exe"}});
    Lay(folder, {first, second});
    RecordingObserver observer;
    std::atomic<bool> stop{false};
    RenameArchives(folder.path(), ".exe", observer, stop);
    ASSERT_EQ(observer.reports.size(), 2u);
    // Whichever the folder lists first takes the name; the other is the duplicate.
    EXPECT_EQ(observer.reports[0].outcome, Renamed);
    EXPECT_EQ(observer.reports[1].outcome, RemovedAsDuplicate);
    EXPECT_EQ(OutcomeText(observer.reports[1]), "文件已经存在，此文件被删除！");
    const bool firstWon = observer.reports[0].path == folder / "1.zip";
    EXPECT_EQ(ReadFileBytes(folder / "same.zip"), (firstWon ? first : second).bytes);
    EXPECT_TRUE(TakeFromRecycleBin((firstWon ? second : first).bytes));
    EXPECT_EQ(Listing(folder.path()), std::vector<std::string>{"same.zip"});
}

// The new name is the archive's own 8.3 alias: it names the archive itself.
// Wine makes up its own aliases (not Windows' algorithm), so the alias is read back.
TEST(RenameArchives, NewNameIsTheArchivesOwnShortAlias) {
    TestFolder folder;
    const std::string path = folder / "a long archive name.zip";
    WriteFileBytes(path, "");
    char alias[MAX_PATH];
    ASSERT_GT(GetShortPathNameA(path.c_str(), alias, sizeof alias), 0u);
    std::string aliasName = alias;
    aliasName = aliasName.substr(aliasName.rfind('\\') + 1);
    ASSERT_NE(aliasName, "a long archive name.zip");
    const std::string bytes = UniqueZip({{aliasName.substr(0, aliasName.size() - 4) + ".exe"}});
    WriteFileBytes(path, bytes);

    RecordingObserver observer;
    std::atomic<bool> stop{false};
    RenameArchives(folder.path(), ".exe", observer, stop);
    ASSERT_EQ(observer.reports.size(), 1u);
    EXPECT_EQ(observer.reports[0].outcome, AlreadyNamed);
    EXPECT_EQ(ReadFileBytes(path), bytes);
}

// Another hard link of the archive holds the new name: the same file, never a
// duplicate. Windows fails the rename with ERROR_ALREADY_EXISTS and the run finds
// the same file behind both names; Wine's rename onto another link of the same
// file succeeds and does nothing, as POSIX rename does. Either way nothing is lost.
TEST(RenameArchives, NewNameIsAHardLinkOfTheArchive) {
    TestFolder folder;
    const Item archive = Archive("a.zip", {{"linked.exe"}});
    Lay(folder, {archive});
    ASSERT_TRUE(CreateHardLinkA((folder / "linked.zip").c_str(), (folder / "a.zip").c_str(), nullptr));
    RecordingObserver observer;
    std::atomic<bool> stop{false};
    RenameArchives(folder.path(), ".exe", observer, stop);
    ASSERT_EQ(observer.reports.size(), 2u);
    for (const ArchiveReport& report : observer.reports) {
        EXPECT_NE(report.outcome, RemovedAsDuplicate) << report.path;
        EXPECT_NE(report.outcome, NotRemoved) << report.path;
    }
    EXPECT_EQ(observer.OutcomesByName().at("linked.zip"), AlreadyNamed);
    EXPECT_EQ(ReadFileBytes(folder / "a.zip"), archive.bytes);
    EXPECT_EQ(ReadFileBytes(folder / "linked.zip"), archive.bytes);
}

TEST(RenameArchives, ArchiveHeldOpenByAnotherProgram) {
    TestFolder folder;
    const Item busy = Archive("busy.zip", {{"free.exe"}});
    const Item busyDuplicate = Archive("busydup.zip", {{"holder.exe"}});
    Lay(folder, {busy, busyDuplicate, File("holder.zip", "holder")});
    // Held as a program holds a file it reads: others may read, not delete.
    UniqueFileHandle hold1(CreateFileA((folder / "busy.zip").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, 0, nullptr));
    UniqueFileHandle hold2(CreateFileA((folder / "busydup.zip").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(hold1 && hold2);
    RecordingObserver observer;
    std::atomic<bool> stop{false};
    RenameArchives(folder.path(), ".exe", observer, stop);
    // The rename fails on the sharing check before the new name is looked at,
    // so the would-be duplicate is never judged one and stays too.
    const auto outcomes = observer.OutcomesByName();
    EXPECT_EQ(outcomes.at("busy.zip"), Failed);
    EXPECT_EQ(outcomes.at("busydup.zip"), Failed);
    hold1.reset();
    hold2.reset();
    EXPECT_EQ(ReadFileBytes(folder / "busy.zip"), busy.bytes);
    EXPECT_EQ(ReadFileBytes(folder / "busydup.zip"), busyDuplicate.bytes);
}

TEST(RenameArchives, MissingAndEmptyFolders) {
    TestFolder folder;
    for (const std::string& path : {folder / "does not exist", folder.path(), std::string()}) {
        RecordingObserver observer;
        std::atomic<bool> stop{false};
        EXPECT_EQ(RenameArchives(path, ".exe", observer, stop), RunResult::Ran) << path;
        EXPECT_TRUE(observer.finished) << path;
        EXPECT_TRUE(observer.found.empty()) << path;
        EXPECT_EQ(observer.totals.found, 0) << path;
        EXPECT_NE(FinishedText(observer.totals).find("ZIP重命名完毕！"), std::string::npos);
    }
}

TEST(RenameArchives, EmptySuffixTouchesNothing) {
    TestFolder folder;
    const Item archive = Archive("1.zip", {{"a.exe"}});
    Lay(folder, {archive});
    RecordingObserver observer;
    std::atomic<bool> stop{false};
    EXPECT_EQ(RenameArchives(folder.path(), "", observer, stop), RunResult::EmptySuffix);
    EXPECT_FALSE(observer.finished);
    EXPECT_TRUE(observer.found.empty());
    EXPECT_EQ(ReadFileBytes(folder / "1.zip"), archive.bytes);
}

// A drive root ("Q:\") is joined without a doubled separator. tools/wine-prefix
// maps drive Q: onto a folder of the test prefix for this.
TEST(RenameArchives, DriveRootFolder) {
    const std::string root = "Q:\\";
    ASSERT_NE(GetFileAttributesA(root.c_str()), INVALID_FILE_ATTRIBUTES) << "no Q: drive in this Wine prefix";
    DeleteFileA("Q:\\root.zip");  // nothing of an earlier run may stay
    const Item archive = Archive("83412.zip", {{"root.exe"}});
    WriteFileBytes("Q:\\83412.zip", archive.bytes);
    RecordingObserver observer;
    std::atomic<bool> stop{false};
    RenameArchives(root, ".exe", observer, stop);
    const std::optional<std::string> renamed = ReadFileBytes("Q:\\root.zip");
    DeleteFileA("Q:\\root.zip");
    DeleteFileA("Q:\\83412.zip");
    ASSERT_EQ(observer.found, std::vector<std::string>{"Q:\\83412.zip"});
    ASSERT_EQ(observer.reports.size(), 1u);
    EXPECT_EQ(observer.reports[0].outcome, Renamed);
    EXPECT_EQ(renamed, archive.bytes);
}

// Asked to stop while the second archive is in hand: it is finished, the third
// is not touched, and the end is still reported.
TEST(RenameArchives, StopsAfterTheArchiveInHand) {
    class StoppingObserver : public RecordingObserver {
    public:
        std::atomic<bool> stop{false};
        void OnArchiveStarted(int number, const std::string& path) override {
            RecordingObserver::OnArchiveStarted(number, path);
            if (number == 2) {
                stop = true;
            }
        }
    };
    TestFolder folder;
    Lay(folder, {Archive("1.zip", {{"a.exe"}}), Archive("2.zip", {{"b.exe"}}), Archive("3.zip", {{"c.exe"}})});
    StoppingObserver observer;
    RenameArchives(folder.path(), ".exe", observer, observer.stop);
    EXPECT_TRUE(observer.finished);
    EXPECT_EQ(observer.totals.found, 3);
    EXPECT_EQ(observer.totals.handled, 2);
    EXPECT_TRUE(observer.totals.stopped);
    EXPECT_EQ(observer.reports.size(), 2u);
    EXPECT_EQ(Listing(folder.path()).size(), 3u);
}

TEST(RenameArchives, FinishedTextCountsEveryOutcome) {
    RunTotals totals;
    totals.found = 9;
    totals.handled = 9;
    totals.byOutcome = {1, 1, 1, 1, 1, 1, 1, 2};
    const std::string text = FinishedText(totals);
    EXPECT_EQ(text.rfind("ZIP重命名完毕！", 0), 0u);
    EXPECT_NE(text.find("文件数量：9"), std::string::npos);
    EXPECT_NE(text.find("更名失败：2"), std::string::npos);
}

}  // namespace
}  // namespace quandrel

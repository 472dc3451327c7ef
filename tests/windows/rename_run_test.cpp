// The rename run on real folders under Wine. Wherever an archive keeps its name
// it must still be there with identical bytes; wherever one is removed it must
// be in the Recycle Bin with identical bytes.
#include "rename/rename_run.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <numeric>

#include "base/code_page.h"
#include "base/path_text.h"
#include "base/win_owners.h"
#include "rename/name_encoding.h"
#include "rename/new_name.h"
#include "tests/support/child_process.h"
#include "tests/support/recycle_bin.h"
#include "tests/support/test_folder.h"
#include "tests/support/text.h"
#include "tests/support/zip_writer.h"

namespace quandrel {
namespace {

using namespace quandrel::testing;
using enum ArchiveOutcome;

// Records what the run reports and checks its order: every archive started once
// in the order found, handled once after it was started, and all handled by the end.
class RecordingObserver : public RenameObserver {
public:
    void OnArchivesFound(std::vector<std::string> archivePaths) override {
        EXPECT_FALSE(finished);
        found = std::move(archivePaths);
    }
    void OnArchiveStarted(int number, const std::string& archivePath) override {
        EXPECT_EQ(number, static_cast<int>(started.size()) + 1);
        EXPECT_EQ(archivePath, found.at(static_cast<std::size_t>(number - 1)));
        started.push_back(number);
    }
    void OnArchiveHandled(const ArchiveReport& report) override {
        EXPECT_TRUE(std::count(started.begin(), started.end(), report.number) == 1) << report.number;
        EXPECT_TRUE(std::none_of(reports.begin(), reports.end(),
                                 [&](const ArchiveReport& r) { return r.number == report.number; }))
            << report.number << " reported twice";
        reports.push_back(report);
    }
    void OnRunFinished(const RunTotals& runTotals) override {
        EXPECT_FALSE(finished);
        EXPECT_EQ(reports.size(), started.size());
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

// Names directly in the folder, in lower case (as FolderContents gives them), sorted.
std::vector<std::string> Listing(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& [name, bytes] : FolderContents(folder)) {
        names.push_back(name);
    }
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
    std::vector<After> after;                        // every name in the folder afterwards
    std::map<std::string, ArchiveOutcome> outcomes;  // by original name
    std::vector<std::string> removed;                // items that end in the Recycle Bin
};

// The folder's listing with its archives in the given order of their names
// (a permutation of the names sorted): the run must not depend on the order
// the file system happens to list them in.
ArchiveListing ListingInOrder(const std::string& folder, const std::vector<std::size_t>& order) {
    ArchiveListing listing = ListArchives(folder);
    std::sort(listing.archives.begin(), listing.archives.end(),
              [](const FoundArchive& a, const FoundArchive& b) { return a.name < b.name; });
    ArchiveListing reordered{{}, listing.problem};
    for (std::size_t at : order) {
        reordered.archives.push_back(listing.archives.at(at));
    }
    return reordered;
}

// A preview and the run it foresees must report alike, archive for archive and
// in the same order; the preview must leave every file as it was.
void ExpectPreviewForesaw(const RecordingObserver& preview, const RecordingObserver& run, const std::string& label) {
    EXPECT_EQ(preview.totals.mode, RunMode::Preview) << label;
    EXPECT_EQ(preview.totals.byOutcome, run.totals.byOutcome) << label;
    ASSERT_EQ(preview.reports.size(), run.reports.size()) << label;
    for (std::size_t i = 0; i < run.reports.size(); ++i) {
        const ArchiveReport& foreseen = preview.reports[i];
        const ArchiveReport& done = run.reports[i];
        EXPECT_EQ(foreseen.number, done.number) << label << " row " << i;
        EXPECT_EQ(foreseen.path, done.path) << label << " row " << i;
        EXPECT_EQ(foreseen.outcome, done.outcome) << label << " row " << i;
        EXPECT_EQ(foreseen.newName, done.newName) << label << " row " << i;
        EXPECT_EQ(foreseen.reason, done.reason) << label << " row " << i;
        EXPECT_FALSE(foreseen.fileMark.has_value()) << label << " row " << i;
    }
}

// Previews, then runs, the case in `folder`, in the folder's own listing order or in `order`.
void CheckRun(const RunCase& c, const TestFolder& folder, const std::vector<std::size_t>* order = nullptr) {
    std::string label = c.label;
    RecordingObserver preview;
    RecordingObserver observer;
    std::atomic<bool> stop{false};
    const std::map<std::string, std::string> before = FolderContents(folder.path());
    if (order) {
        for (std::size_t at : *order) {
            label.push_back(' ');
            label.append(std::to_string(at));
        }
        const ArchiveListing listing = ListingInOrder(folder.path(), *order);
        RenameListedArchives(folder.path(), listing, c.suffix, preview, stop, RunMode::Preview);
        ASSERT_EQ(FolderContents(folder.path()), before) << label << ": the preview changed the folder";
        RenameListedArchives(folder.path(), listing, c.suffix, observer, stop);
    } else {
        ASSERT_EQ(RenameArchives(folder.path(), c.suffix, preview, stop, RunMode::Preview), RunResult::Ran) << label;
        ASSERT_EQ(FolderContents(folder.path()), before) << label << ": the preview changed the folder";
        ASSERT_EQ(RenameArchives(folder.path(), c.suffix, observer, stop), RunResult::Ran) << label;
    }
    ASSERT_TRUE(observer.finished) << label;
    ExpectPreviewForesaw(preview, observer, label);
    for (const ArchiveReport& report : observer.reports) {
        if (report.outcome == Renamed) {  // the id that lets the run be taken back
            EXPECT_EQ(report.fileMark, FileMarkOf(folder / report.newName)) << label << ": " << report.newName;
        }
        EXPECT_EQ(report.fileMark.has_value(), report.outcome == Renamed || report.outcome == RemovedAsDuplicate)
            << label << ": " << report.path;
    }
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
        const auto found =
            std::find_if(c.before.begin(), c.before.end(), [&](const Item& i) { return i.name == after.from; });
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
        {"unreadable, empty and fake archives keep their names; an empty archive simply has no match",
         {File("fake.zip", "just text"), File("empty.zip", BuildZip({})), File("zero.zip", ""),
          File("cut.zip", BuildZip({{"cut.exe", std::string(200, 'x')}}).substr(0, 100))},
         ".exe",
         {{"fake.zip", "fake.zip"}, {"empty.zip", "empty.zip"}, {"zero.zip", "zero.zip"}, {"cut.zip", "cut.zip"}},
         {{"fake.zip", Unreadable}, {"empty.zip", NoMatchingEntry}, {"zero.zip", Unreadable}, {"cut.zip", Unreadable}},
         {}},
        {"UTF-8 names become GBK file names; one GBK cannot hold keeps its name",
         {Archive("u1.zip", {{Utf8Bytes(u8"数据/游戏.exe"), "", true}}),
          Archive("u2.zip", {{Utf8Bytes(u8"😀.exe"), "", true}})},
         ".exe",
         {{"游戏.zip", "u1.zip"}, {"u2.zip", "u2.zip"}},
         {{"u1.zip", Renamed}, {"u2.zip", UnusableName}},
         {}},
        {"only the base name of a UTF-8 name has to fit GBK",
         {Archive("k.zip", {{Utf8Bytes(u8"한국어/游戏.exe"), "", true}}),
          Archive("p.zip", {{Utf8Bytes(u8"Pack • 2/工具.exe"), "", true}}),
          Archive("n.zip", {{Utf8Bytes(u8"游戏/한국어.exe"), "", true}})},
         ".exe",
         {{"游戏.zip", "k.zip"}, {"工具.zip", "p.zip"}, {"n.zip", "n.zip"}},
         {{"k.zip", Renamed}, {"p.zip", Renamed}, {"n.zip", UnusableName}},
         {}},
        {"names from Linux and macOS: unflagged UTF-8, and a Unicode Path field for the header's name",
         {Archive("linux.zip", {{Utf8Bytes(u8"工具/无标.exe")}}),
          Archive("field.zip", {{"_.exe", "", false, UnicodePathField(Crc32("_.exe"), Utf8Bytes(u8"工具/说明.exe"))}}),
          Archive("stale.zip", {{"old.exe", "", false, UnicodePathField(Crc32("new.exe"), Utf8Bytes(u8"新.exe"))}}),
          Archive("gbk.zip", {{"新建文件夹/联通.exe"}})},
         ".exe",
         {{"无标.zip", "linux.zip"}, {"说明.zip", "field.zip"}, {"old.zip", "stale.zip"}, {"联通.zip", "gbk.zip"}},
         {{"linux.zip", Renamed}, {"field.zip", Renamed}, {"stale.zip", Renamed}, {"gbk.zip", Renamed}},
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
         {{"dev.zip", "dev.zip"},
          {"colon.zip", "colon.zip"},
          {"ask.zip", "ask.zip"},
          {"star.zip", "star.zip"},
          {"ctl.zip", "ctl.zip"},
          {"dots.zip", "dots.zip"},
          {"nulname.zip", "nulname.zip"},
          {"pipe.zip", "pipe.zip"},
          {"quote.zip", "quote.zip"},
          {"angle.zip", "angle.zip"},
          {"long.zip", "long.zip"}},
         {{"dev.zip", UnusableName},
          {"colon.zip", UnusableName},
          {"ask.zip", UnusableName},
          {"star.zip", UnusableName},
          {"ctl.zip", UnusableName},
          {"dots.zip", UnusableName},
          {"nulname.zip", UnusableName},
          {"pipe.zip", UnusableName},
          {"quote.zip", UnusableName},
          {"angle.zip", UnusableName},
          {"long.zip", UnusableName}},
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

// Archives that want each other's names give the same result in every order
// the folder could list them: nothing is removed that the run itself frees.
TEST(RenameArchives, ResultDoesNotDependOnTheListingOrder) {
    const RunCase cases[] = {
        {"a chain of three",
         {Archive("1.zip", {{"2.exe"}}), Archive("2.zip", {{"3.exe"}}), Archive("3.zip", {{"4.exe"}})},
         ".exe",
         {{"2.zip", "1.zip"}, {"3.zip", "2.zip"}, {"4.zip", "3.zip"}},
         {{"1.zip", Renamed}, {"2.zip", Renamed}, {"3.zip", Renamed}},
         {}},
        {"an old archive in the way",
         {Archive("123.zip", {{"游戏.exe"}}), Archive("游戏.zip", {{"其他.exe"}})},
         ".exe",
         {{"游戏.zip", "123.zip"}, {"其他.zip", "游戏.zip"}},
         {{"123.zip", Renamed}, {"游戏.zip", Renamed}},
         {}},
        {"a swap: both keep their names",
         {Archive("a.zip", {{"b.exe"}}), Archive("b.zip", {{"a.exe"}})},
         ".exe",
         {{"a.zip", "a.zip"}, {"b.zip", "b.zip"}},
         {{"a.zip", Failed}, {"b.zip", Failed}},
         {}},
        {"a cycle of three: all keep their names",
         {Archive("a.zip", {{"b.exe"}}), Archive("b.zip", {{"c.exe"}}), Archive("c.zip", {{"A.exe"}})},
         ".exe",
         {{"a.zip", "a.zip"}, {"b.zip", "b.zip"}, {"c.zip", "c.zip"}},
         {{"a.zip", Failed}, {"b.zip", Failed}, {"c.zip", Failed}},
         {}},
        {"the name is held by an archive that keeps it: a true duplicate",
         {Archive("1.zip", {{"2.exe"}}), Archive("2.zip", {{"readme.txt"}})},
         ".exe",
         {{"2.zip", "2.zip"}},
         {{"1.zip", RemovedAsDuplicate}, {"2.zip", NoMatchingEntry}},
         {"1.zip"}},
        {"waiting on a member of a cycle, which keeps its name",
         {Archive("a.zip", {{"b.exe"}}), Archive("b.zip", {{"a.exe"}}), Archive("c.zip", {{"a.exe"}})},
         ".exe",
         {{"a.zip", "a.zip"}, {"b.zip", "b.zip"}},
         {{"a.zip", Failed}, {"b.zip", Failed}, {"c.zip", RemovedAsDuplicate}},
         {"c.zip"}},
        {"a chain through a GBK name in another letter case",
         {Archive("x.zip", {{"Ａ游戏.exe"}}), Archive("ａ游戏.zip", {{"done.exe"}})},
         ".exe",
         {{"Ａ游戏.zip", "x.zip"}, {"done.zip", "ａ游戏.zip"}},
         {{"x.zip", Renamed}, {"ａ游戏.zip", Renamed}},
         {}},
    };
    for (const RunCase& c : cases) {
        std::vector<std::size_t> order(c.outcomes.size());
        std::iota(order.begin(), order.end(), 0);
        do {
            TestFolder folder("次序");
            Lay(folder, c.before);
            CheckRun(c, folder, &order);
        } while (std::next_permutation(order.begin(), order.end()));
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
    UniqueFileHandle hold1(
        CreateFileA((folder / "busy.zip").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    UniqueFileHandle hold2(CreateFileA((folder / "busydup.zip").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(hold1 && hold2);
    RecordingObserver preview;
    RecordingObserver observer;
    std::atomic<bool> stop{false};
    RenameArchives(folder.path(), ".exe", preview, stop, RunMode::Preview);
    RenameArchives(folder.path(), ".exe", observer, stop);
    ExpectPreviewForesaw(preview, observer, "held open");
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

// A folder that gave no list is told apart from an empty one: the count is 0
// and the run ends as usual, and the end says why.
TEST(RenameArchives, FoldersThatGiveNoList) {
    TestFolder folder("列表");
    ASSERT_TRUE(CreateDirectoryA((folder / "压缩包").c_str(), nullptr));
    WriteFileBytes(folder / "note.txt", "a file, not a folder");
    const struct {
        std::string label;
        std::string path;
        std::string problem;  // empty: an ordinary empty folder
    } cases[] = {
        {"empty folder", folder / "压缩包", ""},
        {"missing folder", folder / "does not exist", "文件夹不存在"},
        {"a stray space inside a path segment", folder.path() + " \\压缩包", "文件夹不存在"},
        {"a file, not a folder", folder / "note.txt", "这是一个文件，不是文件夹"},
        {"no folder text", "", "没有填写文件夹"},
    };
    for (const auto& c : cases) {
        RecordingObserver observer;
        std::atomic<bool> stop{false};
        EXPECT_EQ(RenameArchives(c.path, ".exe", observer, stop), RunResult::Ran) << c.label;
        EXPECT_TRUE(observer.finished) << c.label;
        EXPECT_TRUE(observer.found.empty()) << c.label;
        EXPECT_EQ(observer.totals.found, 0) << c.label;
        EXPECT_EQ(observer.totals.listingProblem, c.problem) << c.label;
        const std::string text = FinishedText(observer.totals);
        EXPECT_EQ(text.rfind("ZIP重命名完毕！", 0), 0u) << c.label;
        EXPECT_EQ(text.find("注意：" + c.problem) != std::string::npos, !c.problem.empty()) << c.label;
    }
    EXPECT_EQ(ReadFileBytes(folder / "note.txt"), "a file, not a folder");
}

// Windows measures paths in characters: 130 Chinese characters fit, although
// their GBK bytes are more than the 260 of MAX_PATH.
TEST(RenameArchives, LongChinesePathCountsCharacters) {
    TestFolder root("长路径");
    std::string sixtyFive;
    for (int i = 0; i < 65; ++i) {
        sixtyFive += "游";
    }
    const std::string folder = root / sixtyFive;
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    const std::string bytes = UniqueZip({{sixtyFive + ".exe"}});
    WriteFileBytes(JoinPath(folder, "1.zip"), bytes);
    ASSERT_GT(JoinPath(folder, sixtyFive + ".zip").size(), std::size_t{MAX_PATH});

    RecordingObserver observer;
    std::atomic<bool> stop{false};
    RenameArchives(folder, ".exe", observer, stop);
    ASSERT_EQ(observer.reports.size(), 1u);
    EXPECT_EQ(observer.reports[0].outcome, Renamed) << OutcomeText(observer.reports[0]);
    EXPECT_EQ(ReadFileBytes(JoinPath(folder, sixtyFive + ".zip")), bytes);
}

// An archive whose own name the code page cannot hold comes back from an ANSI
// search with "?" or a look-alike, which could name another file: it is
// reported and left alone, and the archive beside it is handled as usual.
TEST(RenameArchives, ArchiveNameOutsideTheCodePage) {
    TestFolder folder;
    const std::wstring wideFolder = WideFromAnsi(folder.path());
    const std::string foreign = UniqueZip({{"foreign.exe"}});
    const std::string tilde = UniqueZip({{"tilde.exe"}});
    const Item ordinary = Archive("ok.zip", {{"fine.exe"}});
    // Wide names in variables: a macro's argument text must fit the GBK execution character set.
    const std::wstring korean = L"\\한국어.zip";
    const std::wstring lookAlike = L"\\mañana.zip";
    for (const auto& [name, bytes] : {std::pair{korean, &foreign}, std::pair{lookAlike, &tilde}}) {
        UniqueFileHandle file(
            CreateFileW((wideFolder + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
        ASSERT_TRUE(file);
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(file.get(), bytes->data(), static_cast<DWORD>(bytes->size()), &written, nullptr));
    }
    Lay(folder, {ordinary, File("manana.zip", "a different file, which a look-alike name would reach")});

    RecordingObserver observer;
    std::atomic<bool> stop{false};
    RenameArchives(folder.path(), ".exe", observer, stop);
    ASSERT_EQ(observer.reports.size(), 4u);
    int leftAlone = 0;
    for (const ArchiveReport& report : observer.reports) {
        if (report.path.find("ok.zip") != std::string::npos) {
            EXPECT_EQ(report.outcome, Renamed);
        } else if (report.path.find("manana.zip") != std::string::npos) {
            EXPECT_EQ(report.outcome, Unreadable);
        } else {
            EXPECT_EQ(report.outcome, Failed) << report.path;
            EXPECT_NE(report.reason.find("代码页"), std::string::npos) << report.reason;
            ++leftAlone;
        }
    }
    EXPECT_EQ(leftAlone, 2);
    auto wideBytes = [&](const std::wstring& name) {
        UniqueFileHandle file(CreateFileW((wideFolder + name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
        std::string bytes(1 << 16, '\0');
        DWORD read = 0;
        if (!file || !ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) {
            return std::string("(missing)");
        }
        return bytes.substr(0, read);
    };
    EXPECT_EQ(wideBytes(korean), foreign);
    EXPECT_EQ(wideBytes(lookAlike), tilde);
    EXPECT_EQ(ReadFileBytes(folder / "manana.zip"), "a different file, which a look-alike name would reach");
    EXPECT_EQ(ReadFileBytes(folder / "fine.zip"), ordinary.bytes);
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

// Where the Recycle Bin cannot take a file, the shell deletes it for good and
// reports success (Windows on a drive without a bin, Wine when its trash folder
// cannot be used). A duplicate must then stay where it is. The run goes on in a
// child process whose XDG_DATA_HOME has a plain file where Wine's trash folder
// would be.
TEST(RenameArchives, DuplicateStaysWhereTheRecycleBinCannotTakeIt) {
    TestFolder folder("无回收站");
    const Item duplicate = Archive("1.zip", {{"same.exe"}});
    Lay(folder, {File("same.zip", "holds the name"), duplicate});
    const std::string probe = folder / "rename_probe.exe";
    ASSERT_TRUE(CopyFileA(JoinPath(BuildOutputFolder(), "rename_probe.exe").c_str(), probe.c_str(), FALSE));
    ASSERT_TRUE(
        CopyFileA(JoinPath(BuildOutputFolder(), "zlibwapi.dll").c_str(), (folder / "zlibwapi.dll").c_str(), FALSE));

    // Wine maps the Unix root to Z:.
    const std::string dataHome = "/tmp/quandrel-no-trash-" + std::to_string(GetCurrentProcessId());
    const std::string dataHomeOnZ = "Z:" + dataHome;
    CreateDirectoryA(dataHomeOnZ.c_str(), nullptr);
    WriteFileBytes(dataHomeOnZ + "\\Trash", "a plain file where the trash folder would be");
    char saved[MAX_PATH] = "";
    const bool hadDataHome = GetEnvironmentVariableA("XDG_DATA_HOME", saved, sizeof saved) > 0;
    SetEnvironmentVariableA("XDG_DATA_HOME", dataHome.c_str());
    auto runProbe = [&](const char* mode) {
        ChildProcess child(probe, "\"" + folder.path() + "\" .exe" + mode, folder.path(),
                           ChildProcess::OutputMode::Capture);
        EXPECT_EQ(child.WaitForExit(60000), std::optional<DWORD>(0)) << mode;
        return child.CapturedOutput();
    };
    const std::string foreseen = runProbe(" preview");
    const std::string output = runProbe("");
    SetEnvironmentVariableA("XDG_DATA_HOME", hadDataHome ? saved : nullptr);
    RemoveTree(dataHomeOnZ);

    // The preview asks the shell beforehand and foresees it, row for row.
    auto archiveRows = [](const std::string& text) { return text.substr(0, text.find("ZIP重命名完毕！")); };
    EXPECT_EQ(foreseen.substr(0, foreseen.find("预览完毕")), archiveRows(output)) << foreseen;

    EXPECT_EQ(output.find("文件已经存在，此文件被删除！"), std::string::npos) << output;
    EXPECT_NE(output.find("已经存在，但此文件无法删除：回收站"), std::string::npos) << output;
    EXPECT_NE(output.find("重复但无法删除：1"), std::string::npos) << output;
    EXPECT_EQ(ReadFileBytes(folder / "1.zip"), duplicate.bytes);
    EXPECT_EQ(ReadFileBytes(folder / "same.zip"), "holds the name");
    // Nothing else is left behind in the folder: no second name of the duplicate.
    EXPECT_EQ(Listing(folder.path()),
              (std::vector<std::string>{"1.zip", "rename_probe.exe", "same.zip", "zlibwapi.dll"}));
}

// Asked to stop while an archive waits for the one in hand: the one in hand is
// finished, the waiting one keeps its name and is reported, nothing is lost.
TEST(RenameArchives, StopLeavesWaitingArchivesWithTheirNames) {
    class StoppingObserver : public RecordingObserver {
    public:
        std::atomic<bool> stop{false};
        void OnArchiveStarted(int number, const std::string& path) override {
            RecordingObserver::OnArchiveStarted(number, path);
            stop = stop || number == 2;
        }
    };
    TestFolder folder;
    const Item first = Archive("1.zip", {{"2.exe"}});
    const Item second = Archive("2.zip", {{"x.exe"}});
    const Item third = Archive("3.zip", {{"y.exe"}});
    Lay(folder, {first, second, third});
    StoppingObserver observer;
    RenameListedArchives(folder.path(), ListingInOrder(folder.path(), {0, 1, 2}), ".exe", observer, observer.stop);
    EXPECT_TRUE(observer.totals.stopped);
    EXPECT_EQ(observer.totals.handled, 2);
    const auto outcomes = observer.OutcomesByName();
    EXPECT_EQ(outcomes.at("2.zip"), Renamed);
    EXPECT_EQ(outcomes.at("1.zip"), Failed);
    EXPECT_EQ(outcomes.count("3.zip"), 0u);
    EXPECT_EQ(ReadFileBytes(folder / "1.zip"), first.bytes);
    EXPECT_EQ(ReadFileBytes(folder / "x.zip"), second.bytes);
    EXPECT_EQ(ReadFileBytes(folder / "3.zip"), third.bytes);
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

    totals.mode = RunMode::Preview;
    const std::string foreseen = FinishedText(totals);
    EXPECT_EQ(foreseen.rfind("预览完毕（未改动任何文件）！", 0), 0u);
    EXPECT_NE(foreseen.find("将更名：1"), std::string::npos);
    EXPECT_NE(foreseen.find("将更名失败：2"), std::string::npos);
    EXPECT_EQ(foreseen.find("已更名"), std::string::npos);
}

}  // namespace
}  // namespace quandrel

// Taking a rename run back, on real folders under Wine with its Recycle Bin.
#include "rename/undo_run.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <map>

#include "base/win_owners.h"
#include "rename/rename_run.h"
#include "tests/support/recycle_bin.h"
#include "tests/support/test_folder.h"
#include "tests/support/zip_writer.h"

namespace quandrel {
namespace {

using namespace quandrel::testing;

// Collects the run's changes as the window does, in the order they were made.
class StepCollector : public RenameObserver {
public:
    void OnArchivesFound(std::vector<std::string> /*archivePaths*/) override {}
    void OnArchiveStarted(int /*number*/, const std::string& /*archivePath*/) override {}
    void OnArchiveHandled(const ArchiveReport& report) override {
        if (std::optional<UndoStep> step = UndoStepOf(report)) {
            steps.push_back(std::move(*step));
        }
    }
    void OnRunFinished(const RunTotals& /*totals*/) override {}

    std::vector<UndoStep> steps;
};

class UndoRecorder : public UndoObserver {
public:
    void OnUndoStepHandled(const UndoReport& report) override { reports.push_back(report); }
    void OnUndoFinished(const UndoTotals& undoTotals) override { totals = undoTotals; }

    // Outcome by the archive's file name before the run.
    std::map<std::string, UndoOutcome> OutcomesByName() const {
        std::map<std::string, UndoOutcome> outcomes;
        for (const UndoReport& report : reports) {
            outcomes[report.path.substr(report.path.rfind('\\') + 1)] = report.outcome;
        }
        return outcomes;
    }

    std::vector<UndoReport> reports;
    UndoTotals totals;
};

// Bytes no other test has: the Recycle Bin holds what earlier runs left.
std::string UniqueZip(const std::string& entryName) {
    static int counter = 0;
    return BuildZip({{entryName},
                     {"unique.dat", std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount()) + "-" +
                                        std::to_string(++counter)}});
}

// A chain of renames, a case-only rename, a duplicate sent to the bin, and an
// archive the run leaves alone.
void LayMixedFolder(const TestFolder& folder) {
    WriteFileBytes(folder / "1.zip", UniqueZip("2.exe"));
    WriteFileBytes(folder / "2.zip", UniqueZip("3.exe"));
    WriteFileBytes(folder / "game.zip", UniqueZip("GAME.exe"));
    WriteFileBytes(folder / "游戏.zip", "not an archive, but it holds the name");
    WriteFileBytes(folder / "83412.zip", UniqueZip("游戏.exe"));
    WriteFileBytes(folder / "keep.zip", UniqueZip("readme.txt"));
}

std::vector<UndoStep> RunAndCollect(const TestFolder& folder) {
    StepCollector collector;
    std::atomic<bool> stop{false};
    EXPECT_EQ(RenameArchives(folder.path(), ".exe", collector, stop), RunResult::Ran);
    return collector.steps;
}

TEST(UndoRenames, LeavesTheFolderAsItWasBeforeTheRun) {
    const ComApartment com;
    TestFolder folder("撤销");
    LayMixedFolder(folder);
    const auto before = FolderContents(folder.path());
    const std::vector<UndoStep> steps = RunAndCollect(folder);
    ASSERT_EQ(steps.size(), 4u);  // 1.zip, 2.zip, game.zip renamed; 83412.zip recycled
    ASSERT_NE(FolderContents(folder.path()), before);

    UndoRecorder undo;
    std::atomic<bool> stop{false};
    UndoRenames(steps, undo, stop);
    EXPECT_EQ(FolderContents(folder.path()), before);
    using enum UndoOutcome;
    const std::map<std::string, UndoOutcome> expected{
        {"1.zip", NameRestored}, {"2.zip", NameRestored}, {"game.zip", NameRestored}, {"83412.zip", BroughtBack}};
    EXPECT_EQ(undo.OutcomesByName(), expected);
    EXPECT_EQ(undo.totals.nameRestored, 3);
    EXPECT_EQ(undo.totals.broughtBack, 1);
    EXPECT_EQ(undo.totals.kept, 0);
    EXPECT_EQ(undo.totals.handled, 4);
    EXPECT_EQ(UndoFinishedText(undo.totals).rfind("撤销完毕", 0), 0u);
}

// What happened to the folder after the run, and what the undo must then leave alone.
struct LaterChange {
    const char* label;
    void (*change)(const TestFolder& folder, const std::string& recycledBytes);
    const char* keptArchive;  // by its name before the run; every other change is taken back
    const char* reasonPart;
    const char* leftName;   // a file the undo must leave (name in lower case)
    const char* leftBytes;  // its bytes; null when they are an archive's
};

TEST(UndoRenames, LeavesAloneWhatChangedSinceTheRun) {
    const LaterChange changes[] = {
        {"another program renamed an archive the run renamed",
         [](const TestFolder& f, const std::string&) {
             ASSERT_TRUE(MoveFileA((f / "3.zip").c_str(), (f / "elsewhere.zip").c_str()));
         },
         "2.zip", "已不在", "elsewhere.zip", nullptr},
        {"another file took a renamed archive's new name",
         [](const TestFolder& f, const std::string&) {
             ASSERT_TRUE(DeleteFileA((f / "GAME.zip").c_str()));
             WriteFileBytes(f / "GAME.zip", "someone else's file");
         },
         "game.zip", "已不是本次更名的那个文件", "game.zip", "someone else's file"},
        {"the duplicate was emptied from the bin",
         [](const TestFolder&, const std::string& recycled) { ASSERT_TRUE(TakeFromRecycleBin(recycled)); }, "83412.zip",
         "回收站中已没有此文件", nullptr, nullptr},
        {"a file took the duplicate's old path",
         [](const TestFolder& f, const std::string&) { WriteFileBytes(f / "83412.zip", "new file"); }, "83412.zip",
         "原位置已有同名文件", "83412.zip", "new file"},
    };
    const ComApartment com;
    for (const LaterChange& c : changes) {
        TestFolder folder("撤销");
        LayMixedFolder(folder);
        const std::string recycled = *ReadFileBytes(folder / "83412.zip");
        const std::vector<UndoStep> steps = RunAndCollect(folder);
        c.change(folder, recycled);

        UndoRecorder undo;
        std::atomic<bool> stop{false};
        UndoRenames(steps, undo, stop);
        ASSERT_EQ(undo.reports.size(), steps.size()) << c.label;
        for (const UndoReport& report : undo.reports) {
            const std::string name = report.path.substr(report.path.rfind('\\') + 1);
            if (name == c.keptArchive) {
                EXPECT_EQ(report.outcome, UndoOutcome::Kept) << c.label;
                EXPECT_NE(report.reason.find(c.reasonPart), std::string::npos) << c.label << ": " << report.reason;
            } else {
                EXPECT_NE(report.outcome, UndoOutcome::Kept) << c.label << ": " << name << " " << report.reason;
            }
        }
        EXPECT_EQ(undo.totals.kept, 1) << c.label;
        if (c.leftName) {
            const auto after = FolderContents(folder.path());
            ASSERT_TRUE(after.contains(c.leftName)) << c.label;
            if (c.leftBytes) {
                EXPECT_EQ(after.at(c.leftName), c.leftBytes) << c.label;
            }
        }
        TakeFromRecycleBin(recycled);  // where the case left it there
    }
}

TEST(UndoRenames, OldNameTakenKeepsTheNewName) {
    TestFolder folder("撤销");
    const std::string bytes = UniqueZip("new.exe");
    WriteFileBytes(folder / "old.zip", bytes);
    const std::vector<UndoStep> steps = RunAndCollect(folder);
    ASSERT_EQ(steps.size(), 1u);
    WriteFileBytes(folder / "old.zip", "a file that came later");

    UndoRecorder undo;
    std::atomic<bool> stop{false};
    UndoRenames(steps, undo, stop);
    ASSERT_EQ(undo.reports.size(), 1u);
    EXPECT_EQ(undo.reports[0].outcome, UndoOutcome::Kept);
    EXPECT_EQ(undo.reports[0].reason, "原名称已被另一个文件占用");
    EXPECT_EQ(ReadFileBytes(folder / "old.zip"), "a file that came later");
    EXPECT_EQ(ReadFileBytes(folder / "new.zip"), bytes);
}

}  // namespace
}  // namespace quandrel

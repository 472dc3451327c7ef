// The rename run: every ZIP archive of one folder renamed after its naming entry.
// It does all the file work and reports through a RenameObserver; it knows
// nothing of windows, so the window and the tests drive it alike.
#pragma once

#include <array>
#include <atomic>
#include <optional>
#include <string>
#include <vector>

#include "rename/archive_files.h"

namespace quandrel {

enum class ArchiveOutcome {
    Renamed,             // now bears newName
    AlreadyNamed,        // its name already is newName
    RemovedAsDuplicate,  // newName was taken by another file: moved to the Recycle Bin
    NotRemoved,          // newName was taken, but the archive could not be removed (reason)
    NoMatchingEntry,     // no entry ends with the suffix
    Unreadable,          // not a readable ZIP archive
    UnusableName,        // the entry gives no usable file name (reason)
    Failed,              // the rename failed for another reason (reason); the last
};
inline constexpr std::size_t kArchiveOutcomeCount = static_cast<std::size_t>(ArchiveOutcome::Failed) + 1;

struct ArchiveReport {
    int number = 0;    // from 1, in the order the archives were found
    std::string path;  // full path before the run touched it
    ArchiveOutcome outcome = ArchiveOutcome::NoMatchingEntry;
    std::string newName;  // file name (no folder) the archive was to get, where there is one
    std::string reason;   // why, for NotRemoved, UnusableName and Failed
    // Renamed or RemovedAsDuplicate by a run (not a preview): the file as the
    // folder listed it, so that the run can be taken back.
    std::optional<FileMark> fileMark;
};

// A run renames; a preview reaches the same outcomes while it only reads.
enum class RunMode { Rename, Preview };

struct RunTotals {
    int found = 0;
    int handled = 0;
    std::array<int, kArchiveOutcomeCount> byOutcome{};
    RunMode mode = RunMode::Rename;
    bool stopped = false;        // asked to stop before the last archive
    std::string listingProblem;  // why the folder gave no list or an incomplete one (GBK); empty when whole

    int count(ArchiveOutcome outcome) const { return byOutcome[static_cast<std::size_t>(outcome)]; }
};

// Called on the thread that runs the rename run, in this order: found once,
// then started for each archive in the order found, then finished once. An
// archive is handled after it is started, mostly at once; one whose new name is
// held by an archive of the run not handled yet waits for that one, and is
// handled right after it.
class RenameObserver {
public:
    virtual ~RenameObserver() = default;
    // The full paths, handed over: a large folder's list is not copied.
    virtual void OnArchivesFound(std::vector<std::string> archivePaths) = 0;
    virtual void OnArchiveStarted(int number, const std::string& archivePath) = 0;
    virtual void OnArchiveHandled(const ArchiveReport& report) = 0;
    virtual void OnRunFinished(const RunTotals& totals) = 0;
};

enum class RunResult { Ran, EmptySuffix };

// Renames the archives of `folder` after their entries ending with `suffix`.
// The result does not depend on the order the folder lists them: an archive
// whose new name another archive of the run still holds waits until that one
// has been handled, and archives that want each other's names in a cycle all
// keep theirs. A duplicate is removed only to the Recycle Bin.
// With an empty suffix nothing is searched or touched and EmptySuffix comes
// back (the observer hears nothing). Setting `stopRequested` ends the run after
// the archive in hand; no archive is ever left half-handled, and archives still
// waiting keep their names.
// A preview reports, in the same order, the outcomes the run would reach on the
// folder as it is, and changes nothing. Only what the file operations alone
// reveal (a drive without a Recycle Bin, a file locked meanwhile) can differ.
RunResult RenameArchives(const std::string& folder, const std::string& suffix, RenameObserver& observer,
                         const std::atomic<bool>& stopRequested, RunMode mode = RunMode::Rename);

// The same over archives already listed, handled in the order the listing
// gives (RenameArchives takes the folder's own order). The suffix must not be empty.
void RenameListedArchives(const std::string& folder, const ArchiveListing& listing, const std::string& suffix,
                          RenameObserver& observer, const std::atomic<bool>& stopRequested,
                          RunMode mode = RunMode::Rename);

// What the lists show after an archive's path: the new name, the duplicate
// report "文件已经存在，此文件被删除！", or why it kept its name (GBK).
std::string OutcomeText(const ArchiveReport& report);

// The end of a run: "ZIP重命名完毕！" and the totals of each outcome; the end
// of a preview says that nothing was changed and what the run would do (GBK).
std::string FinishedText(const RunTotals& totals);

}  // namespace quandrel

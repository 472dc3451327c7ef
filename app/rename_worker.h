// The rename run (or its preview, or taking it back) on a thread of its own, so
// that the window keeps painting and moving while archives are handled. The
// reports wait in a queue; the window hears of them by a posted message and
// takes them all at once.
#pragma once

#include <windows.h>

#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <variant>
#include <vector>

#include "rename/rename_run.h"
#include "rename/undo_run.h"

namespace quandrel {

// Posted to the window when reports are waiting; wParam and lParam unused. No
// other is posted until the window has taken the reports, so a fast run cannot
// flood the queue: posted messages come before input, and a steady stream of
// them would keep keys and clicks (Esc, the close box) waiting to the end.
inline constexpr UINT kRunReportsWaiting = WM_APP + 1;

struct ArchivesFound {
    std::vector<std::string> paths;
};
struct RunFinished {
    RunTotals totals;
};
struct UndoFinished {
    UndoTotals totals;
};
// What the window shows, in order. Which archive is in hand is not among them:
// only the last one started is ever shown (LastStarted), and a report for each
// would make the queue twice as long on a folder the window cannot keep up with.
using RunReport = std::variant<ArchivesFound, ArchiveReport, RunFinished, UndoReport, UndoFinished>;

class RenameWorker final : private RenameObserver, private UndoObserver {
public:
    RenameWorker() = default;
    RenameWorker(const RenameWorker&) = delete;
    RenameWorker& operator=(const RenameWorker&) = delete;
    ~RenameWorker() override { StopAndWait(); }

    // From the time Start succeeds until Finish or StopAndWait.
    bool Running() const { return thread_.joinable(); }
    // Reports go to `window`. False when a run is already under way or no
    // thread could be started for it (`error` then says why).
    bool StartRun(HWND window, const std::string& folder, const std::string& suffix, RunMode mode, std::string& error);
    // Takes back a run's changes, given in the order it made them.
    bool StartUndo(HWND window, std::vector<UndoStep> steps, std::string& error);
    // The reports waiting, oldest first.
    std::deque<RunReport> TakeReports();
    // The number of the archive the run started last; 0 before the first.
    int LastStarted() const { return lastStarted_.load(); }
    // After the RunFinished report: the thread has nothing left to do.
    void Finish();
    // Asks the run to stop after the archive in hand; its RunFinished report follows.
    void RequestStop() { stopRequested_ = true; }
    // Asks the run to stop after the archive in hand and waits for it.
    void StopAndWait();

private:
    bool Start(HWND window, std::function<void()> work, std::string& error);
    void OnArchivesFound(std::vector<std::string> archivePaths) override;
    void OnArchiveStarted(int number, const std::string& archivePath) override;
    void OnArchiveHandled(const ArchiveReport& report) override;
    void OnRunFinished(const RunTotals& totals) override;
    void OnUndoStepHandled(const UndoReport& report) override;
    void OnUndoFinished(const UndoTotals& totals) override;
    void Queue(RunReport report);
    // Tells the window, unless it has been told and has not taken the reports yet.
    void PostUnlessPosted();

    HWND window_ = nullptr;
    std::thread thread_;
    std::atomic<bool> stopRequested_{false};
    std::atomic<int> lastStarted_{0};
    std::mutex mutex_;
    std::deque<RunReport> reports_;  // guarded by mutex_
    bool messagePosted_ = false;     // guarded by mutex_; until TakeReports
};

}  // namespace quandrel

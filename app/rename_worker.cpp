#include "app/rename_worker.h"

#include <system_error>
#include <utility>

#include "base/win_owners.h"

namespace quandrel {

bool RenameWorker::StartRun(HWND window, const std::string& folder, const std::string& suffix, RunMode mode,
                            std::string& error) {
    return Start(
        window, [this, folder, suffix, mode] { RenameArchives(folder, suffix, *this, stopRequested_, mode); }, error);
}

bool RenameWorker::StartUndo(HWND window, std::vector<UndoStep> steps, std::string& error) {
    return Start(
        window, [this, steps = std::move(steps)] { UndoRenames(steps, *this, stopRequested_); }, error);
}

bool RenameWorker::Start(HWND window, std::function<void()> work, std::string& error) {
    if (Running()) {
        return false;
    }
    window_ = window;
    stopRequested_ = false;
    lastStarted_ = 0;
    try {
        thread_ = std::thread([work = std::move(work)] {
            const ComApartment com;  // the shell's file operations (the Recycle Bin) expect one
            work();
        });
    } catch (const std::system_error& failure) {
        error = failure.what();
        return false;
    }
    return true;
}

std::deque<RunReport> RenameWorker::TakeReports() {
    std::lock_guard lock(mutex_);
    messagePosted_ = false;
    return std::exchange(reports_, {});
}

void RenameWorker::Finish() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

void RenameWorker::StopAndWait() {
    stopRequested_ = true;
    Finish();
}

void RenameWorker::OnArchivesFound(std::vector<std::string> archivePaths) {
    Queue(ArchivesFound{std::move(archivePaths)});
}

void RenameWorker::OnArchiveStarted(int number, const std::string& /*archivePath*/) {
    lastStarted_ = number;
    PostUnlessPosted();  // an archive that takes long is shown as the one in hand
}

void RenameWorker::OnArchiveHandled(const ArchiveReport& report) { Queue(report); }

void RenameWorker::OnRunFinished(const RunTotals& totals) { Queue(RunFinished{totals}); }

void RenameWorker::OnUndoStepHandled(const UndoReport& report) { Queue(report); }

void RenameWorker::OnUndoFinished(const UndoTotals& totals) { Queue(UndoFinished{totals}); }

void RenameWorker::Queue(RunReport report) {
    {
        std::lock_guard lock(mutex_);
        reports_.push_back(std::move(report));
    }
    PostUnlessPosted();
}

void RenameWorker::PostUnlessPosted() {
    bool post;
    {
        std::lock_guard lock(mutex_);
        post = !std::exchange(messagePosted_, true);
    }
    // One message per batch: until the window takes the queue, later reports
    // join it without another message.
    if (post) {
        PostMessageA(window_, kRunReportsWaiting, 0, 0);
    }
}

}  // namespace quandrel

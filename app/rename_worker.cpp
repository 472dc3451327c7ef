#include "app/rename_worker.h"

#include <utility>

namespace quandrel {

bool RenameWorker::Start(HWND window, const std::string& folder, const std::string& suffix) {
    if (Running()) {
        return false;
    }
    window_ = window;
    stopRequested_ = false;
    thread_ = std::thread([this, folder, suffix] { RenameArchives(folder, suffix, *this, stopRequested_); });
    return true;
}

std::deque<RunReport> RenameWorker::TakeReports() {
    std::lock_guard lock(mutex_);
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

void RenameWorker::OnArchivesFound(const std::vector<std::string>& archivePaths) {
    Queue(ArchivesFound{archivePaths});
}

void RenameWorker::OnArchiveStarted(int number, const std::string& archivePath) {
    Queue(ArchiveStarted{number, archivePath});
}

void RenameWorker::OnArchiveHandled(const ArchiveReport& report) { Queue(report); }

void RenameWorker::OnRunFinished(const RunTotals& totals) { Queue(RunFinished{totals}); }

void RenameWorker::Queue(RunReport report) {
    bool wasEmpty;
    {
        std::lock_guard lock(mutex_);
        wasEmpty = reports_.empty();
        reports_.push_back(std::move(report));
    }
    // One message per batch: while the window has not taken the queue, later
    // reports join it without another message.
    if (wasEmpty) {
        PostMessageA(window_, kRunReportsWaiting, 0, 0);
    }
}

}  // namespace quandrel

// Placeholder until the rename run is built: finds nothing.
#include "rename/rename_run.h"

namespace quandrel {

RunResult RenameArchives(const std::string&, const std::string& suffix, RenameObserver& observer,
                         const std::atomic<bool>&) {
    if (suffix.empty()) {
        return RunResult::EmptySuffix;
    }
    observer.OnArchivesFound({});
    observer.OnRunFinished({});
    return RunResult::Ran;
}

std::string OutcomeText(const ArchiveReport&) { return {}; }
std::string FinishedText(const RunTotals&) { return "ZIP重命名完毕！"; }

}  // namespace quandrel

// Taking a rename run back: each archive it renamed gets its old name again,
// and each duplicate it sent to the Recycle Bin comes back to its old path,
// wherever that can be done without replacing or removing anything.
#pragma once

#include <atomic>
#include <optional>
#include <string>
#include <vector>

#include "rename/archive_files.h"
#include "rename/rename_run.h"

namespace quandrel {

// One change of the run, to be taken back.
struct UndoStep {
    int number = 0;           // the archive's number in the run
    std::string path;         // its path before the run
    std::string renamedPath;  // where the run moved it; empty when it went to the Recycle Bin
    FileMark fileMark;        // the file the run renamed or recycled
};

// The change a run's report stands for, if the run changed the archive and
// read its id: a rename or a removal to the Recycle Bin.
std::optional<UndoStep> UndoStepOf(const ArchiveReport& report);

enum class UndoOutcome {
    NameRestored,  // renamed back to its old name
    BroughtBack,   // restored from the Recycle Bin to its old path
    Kept,          // left as it is (reason)
};

struct UndoReport {
    int number = 0;
    std::string path;  // the path the archive had before the run
    std::string renamedPath;
    UndoOutcome outcome = UndoOutcome::Kept;
    std::string reason;  // why, for Kept (GBK)
};

struct UndoTotals {
    int steps = 0;
    int handled = 0;
    int nameRestored = 0;
    int broughtBack = 0;
    int kept = 0;
    bool stopped = false;  // asked to stop before the last step
};

// Called on the thread that takes the run back: handled for each step, newest
// change first, then finished once.
class UndoObserver {
public:
    virtual ~UndoObserver() = default;
    virtual void OnUndoStepHandled(const UndoReport& report) = 0;
    virtual void OnUndoFinished(const UndoTotals& totals) = 0;
};

// Takes back `steps`, given in the order the run made them, in the reverse
// order: a name freed late in the run is given back before the archive that
// took it is moved. A renamed archive gets its old name back only if the file
// at its new name is still the one the run renamed and the old name is free;
// a duplicate comes back from the Recycle Bin only if the bin still holds it
// and its path is free. The thread needs a COM apartment for the bin.
void UndoRenames(const std::vector<UndoStep>& steps, UndoObserver& observer, const std::atomic<bool>& stopRequested);

// What the lower list shows after the archive's path (GBK).
std::string UndoOutcomeText(const UndoReport& report);

// The end of taking back: "撤销完毕" and the totals (GBK).
std::string UndoFinishedText(const UndoTotals& totals);

}  // namespace quandrel

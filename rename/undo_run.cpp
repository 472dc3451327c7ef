#include "rename/undo_run.h"

#include <windows.h>

#include <memory>
#include <optional>

#include "base/path_text.h"
#include "base/system_error.h"
#include "rename/recycle_bin_items.h"

namespace quandrel {
namespace {

std::string NameOf(const std::string& path) { return path.substr(path.rfind('\\') + 1); }

// Why the renamed archive cannot get its old name back; nothing once it has it.
std::optional<std::string> RenameBack(const UndoStep& step) {
    const std::optional<FileMark> now = FileMarkOf(step.renamedPath);
    if (!now) {
        return NameOf(step.renamedPath) + " 已不在（被移动或删除）";
    }
    if (*now != step.fileMark) {
        return NameOf(step.renamedPath) + " 已不是本次更名的那个文件";
    }
    // MoveFileA never replaces: a taken old name is its failure.
    if (MoveFileA(step.renamedPath.c_str(), step.path.c_str())) {
        return std::nullopt;
    }
    if (const DWORD error = GetLastError(); error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) {
        return SystemErrorText(error);
    }
    return std::string("原名称已被另一个文件占用");
}

}  // namespace

std::optional<UndoStep> UndoStepOf(const ArchiveReport& report) {
    if (!report.fileMark) {
        return std::nullopt;
    }
    if (report.outcome == ArchiveOutcome::Renamed) {
        return UndoStep{report.number, report.path, JoinPath(FolderOfPath(report.path), report.newName),
                        *report.fileMark};
    }
    if (report.outcome == ArchiveOutcome::RemovedAsDuplicate) {
        return UndoStep{report.number, report.path, {}, *report.fileMark};
    }
    return std::nullopt;
}

void UndoRenames(const std::vector<UndoStep>& steps, UndoObserver& observer, const std::atomic<bool>& stopRequested) {
    UndoTotals totals;
    totals.steps = static_cast<int>(steps.size());
    std::unique_ptr<RecycleBinItems> bin;  // read once, when first needed
    // NOLINTNEXTLINE(modernize-loop-convert): a range-for would go the wrong way
    for (auto step = steps.rbegin(); step != steps.rend(); ++step) {
        if (stopRequested.load()) {
            totals.stopped = true;
            break;
        }
        UndoReport report{step->number, step->path, step->renamedPath, UndoOutcome::Kept, {}};
        std::optional<std::string> why;
        if (step->renamedPath.empty()) {
            if (!bin) {
                bin = std::make_unique<RecycleBinItems>();
            }
            why = bin->BringBack(step->path, step->fileMark);
            report.outcome = UndoOutcome::BroughtBack;
        } else {
            why = RenameBack(*step);
            report.outcome = UndoOutcome::NameRestored;
        }
        if (why) {
            report.outcome = UndoOutcome::Kept;
            report.reason = std::move(*why);
        }
        ++totals.handled;
        ++(report.outcome == UndoOutcome::NameRestored  ? totals.nameRestored
           : report.outcome == UndoOutcome::BroughtBack ? totals.broughtBack
                                                        : totals.kept);
        observer.OnUndoStepHandled(report);
    }
    observer.OnUndoFinished(totals);
}

std::string UndoOutcomeText(const UndoReport& report) {
    switch (report.outcome) {
    case UndoOutcome::NameRestored:
        return "已恢复原名（撤销 → " + NameOf(report.renamedPath) + "）";
    case UndoOutcome::BroughtBack:
        return "已从回收站还原";
    case UndoOutcome::Kept:
        return "未撤销：" + report.reason;
    }
    return {};
}

std::string UndoFinishedText(const UndoTotals& totals) {
    std::string text = "撤销完毕\r\n\r\n";
    if (totals.stopped) {
        text += "已按要求停止：处理了 " + std::to_string(totals.handled) + " / " + std::to_string(totals.steps) +
                " 项。\r\n";
    }
    text += "恢复原名：" + std::to_string(totals.nameRestored) + "\r\n";
    text += "从回收站还原：" + std::to_string(totals.broughtBack) + "\r\n";
    text += "未能撤销：" + std::to_string(totals.kept);
    return text;
}

}  // namespace quandrel

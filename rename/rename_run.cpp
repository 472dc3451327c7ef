#include "rename/rename_run.h"

#include <windows.h>

#include "base/path_text.h"
#include "base/system_error.h"
#include "rename/ansi_name.h"
#include "rename/archive_files.h"
#include "rename/entry_lookup.h"
#include "rename/new_name.h"

namespace quandrel {
namespace {

void Settle(ArchiveReport& report, ArchiveOutcome outcome, std::string reason = {}) {
    report.outcome = outcome;
    report.reason = std::move(reason);
}

// The new name is taken: by the archive itself under another spelling, by a
// folder, or by another file, which makes this archive a duplicate.
void SettleCollision(ArchiveReport& report, const std::string& newPath) {
    switch (WhatOccupies(newPath, report.path)) {
    case Occupant::TheArchiveItself:
        return Settle(report, ArchiveOutcome::AlreadyNamed);
    case Occupant::AFolder:
        return Settle(report, ArchiveOutcome::Failed, "已有同名文件夹");
    case Occupant::AnotherFile:
        if (std::optional<std::string> why = MoveToRecycleBin(report.path)) {
            return Settle(report, ArchiveOutcome::NotRemoved, std::move(*why));
        }
        return Settle(report, ArchiveOutcome::RemovedAsDuplicate);
    case Occupant::Nothing:
        // Gone between the rename and the look: one more try settles it.
        if (MoveFileA(report.path.c_str(), newPath.c_str())) {
            return Settle(report, ArchiveOutcome::Renamed);
        }
        return Settle(report, ArchiveOutcome::Failed, SystemErrorText(GetLastError()));
    }
}

ArchiveReport HandleArchive(const std::string& folder, const FoundArchive& archive, const std::string& suffix) {
    ArchiveReport report;
    report.path = JoinPath(folder, archive.name);

    const EntryLookup lookup = LookUpNamingEntry(report.path, suffix);
    if (lookup.status == EntryLookup::Status::Unreadable) {
        Settle(report, ArchiveOutcome::Unreadable);
        return report;
    }
    if (lookup.status == EntryLookup::Status::NoMatch) {
        Settle(report, ArchiveOutcome::NoMatchingEntry);
        return report;
    }
    const std::optional<std::string> entryName = EntryNameInAnsi(lookup.entry);
    if (!entryName) {
        Settle(report, ArchiveOutcome::UnusableName, "名称含有本机代码页无法表示的字符");
        return report;
    }
    report.newName = ArchiveNameFor(*entryName);
    if (std::optional<std::string> why = WhyNameIsUnusable(folder, report.newName)) {
        Settle(report, ArchiveOutcome::UnusableName, std::move(*why));
        return report;
    }
    // Its own name or its own 8.3 alias: the archive is already named so.
    if (report.newName == archive.name ||
        (!archive.shortName.empty() && EqualIgnoringAsciiCase(report.newName, archive.shortName))) {
        Settle(report, ArchiveOutcome::AlreadyNamed);
        return report;
    }
    // MoveFileA never overwrites: a taken name shows up as its failure, with no
    // separate existence test (which would also race with other programs).
    const std::string newPath = JoinPath(folder, report.newName);
    if (MoveFileA(report.path.c_str(), newPath.c_str())) {
        Settle(report, ArchiveOutcome::Renamed);
        return report;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) {
        SettleCollision(report, newPath);
    } else {
        Settle(report, ArchiveOutcome::Failed, SystemErrorText(error));
    }
    return report;
}

}  // namespace

RunResult RenameArchives(const std::string& folder, const std::string& suffix, RenameObserver& observer,
                         const std::atomic<bool>& stopRequested) {
    if (suffix.empty()) {
        return RunResult::EmptySuffix;
    }
    // An empty folder text would search the root of the current drive.
    const std::vector<FoundArchive> archives = folder.empty() ? std::vector<FoundArchive>{} : ListArchives(folder);
    std::vector<std::string> paths;
    paths.reserve(archives.size());
    for (const FoundArchive& archive : archives) {
        paths.push_back(JoinPath(folder, archive.name));
    }
    observer.OnArchivesFound(paths);

    RunTotals totals;
    totals.found = static_cast<int>(archives.size());
    for (std::size_t i = 0; i < archives.size(); ++i) {
        if (stopRequested.load()) {
            totals.stopped = true;
            break;
        }
        const int number = static_cast<int>(i) + 1;
        observer.OnArchiveStarted(number, paths[i]);
        ArchiveReport report = HandleArchive(folder, archives[i], suffix);
        report.number = number;
        ++totals.byOutcome[static_cast<std::size_t>(report.outcome)];
        ++totals.handled;
        observer.OnArchiveHandled(report);
    }
    observer.OnRunFinished(totals);
    return RunResult::Ran;
}

std::string OutcomeText(const ArchiveReport& report) {
    switch (report.outcome) {
    case ArchiveOutcome::Renamed:
        return "→ " + report.newName;
    case ArchiveOutcome::AlreadyNamed:
        return "已是此名称，未改动";
    case ArchiveOutcome::RemovedAsDuplicate:
        return "文件已经存在，此文件被删除！";
    case ArchiveOutcome::NotRemoved:
        return report.newName + " 已经存在，但此文件无法删除：" + report.reason;
    case ArchiveOutcome::NoMatchingEntry:
        return "压缩包内没有该后缀名的文件，未更名";
    case ArchiveOutcome::Unreadable:
        return "无法读取压缩包，未更名";
    case ArchiveOutcome::UnusableName:
        return "新名称不可用（" + report.reason + "），未更名";
    case ArchiveOutcome::Failed:
        return "更名失败：" + report.reason;
    }
    return {};
}

std::string FinishedText(const RunTotals& totals) {
    auto count = [&](ArchiveOutcome outcome) { return std::to_string(totals.count(outcome)); };
    std::string text = "ZIP重命名完毕！\r\n\r\n";
    if (totals.stopped) {
        text += "已按要求停止：处理了 " + std::to_string(totals.handled) + " / " + std::to_string(totals.found) +
                " 个文件。\r\n";
    }
    text += "文件数量：" + std::to_string(totals.found) + "\r\n";
    text += "已更名：" + count(ArchiveOutcome::Renamed) + "\r\n";
    text += "已是此名称：" + count(ArchiveOutcome::AlreadyNamed) + "\r\n";
    text += "重复而删除：" + count(ArchiveOutcome::RemovedAsDuplicate) + "\r\n";
    text += "重复但无法删除：" + count(ArchiveOutcome::NotRemoved) + "\r\n";
    text += "没有该后缀名的文件：" + count(ArchiveOutcome::NoMatchingEntry) + "\r\n";
    text += "无法读取：" + count(ArchiveOutcome::Unreadable) + "\r\n";
    text += "新名称不可用：" + count(ArchiveOutcome::UnusableName) + "\r\n";
    text += "更名失败：" + count(ArchiveOutcome::Failed);
    return text;
}

}  // namespace quandrel

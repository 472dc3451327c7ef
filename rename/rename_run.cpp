#include "rename/rename_run.h"

#include <windows.h>

#include <algorithm>
#include <deque>
#include <unordered_map>

#include "base/code_page.h"
#include "base/gbk_text.h"
#include "base/path_text.h"
#include "base/system_error.h"
#include "rename/ansi_name.h"
#include "rename/archive_files.h"
#include "rename/entry_lookup.h"
#include "rename/folder_changes.h"
#include "rename/new_name.h"

namespace quandrel {
namespace {

constexpr int kNoArchive = -1;

void Settle(ArchiveReport& report, ArchiveOutcome outcome, std::string reason = {}) {
    report.outcome = outcome;
    report.reason = std::move(reason);
}

bool SameFileName(const std::string& a, const std::string& b) { return FileNameKey(a) == FileNameKey(b); }

// One rename run over a listed folder. Archives are started in the order found.
// One whose new name is held by an archive of the run that has not been handled
// yet waits for that archive, and is placed again once it has been handled; so
// the result is the same in whatever order the folder lists its archives.
class RenameRun {
public:
    RenameRun(const std::string& folder, const std::string& suffix, RenameObserver& observer,
              const std::vector<FoundArchive>& archives, RunMode mode)
        : folder_(folder),
          fullFolder_(FullPathOf(folder)),
          suffix_(suffix),
          observer_(observer),
          archives_(archives),
          mode_(mode),
          changes_(mode == RunMode::Preview ? std::make_unique<ImaginedFolderChanges>() : RealFolderChanges()) {
        for (int index = 0; index < ArchiveCount(); ++index) {
            for (const std::string* name : NamesOf(index)) {
                pendingByName_.emplace(HashOfName(*name), index);
            }
        }
    }

    RunTotals Run(const std::atomic<bool>& stopRequested) {
        totals_.found = ArchiveCount();
        totals_.mode = mode_;
        int started = 0;
        for (; started < ArchiveCount() && !stopRequested.load(); ++started) {
            Start(started);
            PlaceReadyWaiters(stopRequested);
        }
        totals_.stopped = started < ArchiveCount() || !waiting_.empty();
        SettleWaitersOfAStoppedRun();
        return totals_;
    }

private:
    struct Waiter {
        ArchiveReport report;  // with its new name
        int waitsOn;           // the archive that holds the new name
    };

    int ArchiveCount() const { return static_cast<int>(archives_.size()); }

    // The names the archive can be reached by: its long name and its 8.3 alias.
    std::vector<const std::string*> NamesOf(int index) const {
        const FoundArchive& archive = archives_[static_cast<std::size_t>(index)];
        std::vector<const std::string*> names;
        if (archive.nameFitsCodePage) {
            names.push_back(&archive.name);
        }
        if (!archive.shortName.empty()) {
            names.push_back(&archive.shortName);
        }
        return names;
    }

    static std::size_t HashOfName(const std::string& name) { return std::hash<std::wstring>{}(FileNameKey(name)); }

    // The archive of the run, other than `except`, not handled yet, that bears `name`.
    int PendingArchiveNamed(const std::string& name, int except) const {
        const std::wstring key = FileNameKey(name);
        const auto [first, last] = pendingByName_.equal_range(std::hash<std::wstring>{}(key));
        for (auto it = first; it != last; ++it) {
            if (it->second == except) {
                continue;
            }
            for (const std::string* candidate : NamesOf(it->second)) {
                if (FileNameKey(*candidate) == key) {
                    return it->second;
                }
            }
        }
        return kNoArchive;
    }

    // First sight of an archive: its naming entry looked up and its new name formed.
    void Start(int index) {
        const FoundArchive& archive = archives_[static_cast<std::size_t>(index)];
        ArchiveReport report;
        report.number = index + 1;
        report.path = JoinPath(folder_, archive.name);
        observer_.OnArchiveStarted(report.number, report.path);

        if (!archive.nameFitsCodePage) {
            Settle(report, ArchiveOutcome::Failed, "压缩包的文件名含有本机代码页无法表示的字符，无法安全处理");
            return Finish(report);
        }
        const EntryLookup lookup = LookUpNamingEntry(report.path, suffix_);
        if (lookup.status == EntryLookup::Status::Unreadable) {
            Settle(report, ArchiveOutcome::Unreadable);
            return Finish(report);
        }
        if (lookup.status == EntryLookup::Status::NoMatch) {
            Settle(report, ArchiveOutcome::NoMatchingEntry);
            return Finish(report);
        }
        const std::optional<std::string> entryName = EntryNameInAnsi(lookup.entry);
        if (!entryName) {
            Settle(report, ArchiveOutcome::UnusableName, "名称含有本机代码页无法表示的字符");
            return Finish(report);
        }
        report.newName = ArchiveNameFor(*entryName);
        if (std::optional<std::string> why = WhyNameIsUnusable(fullFolder_, report.newName)) {
            Settle(report, ArchiveOutcome::UnusableName, std::move(*why));
            return Finish(report);
        }
        // Its own name or its own 8.3 alias: the archive is already named so.
        if (report.newName == archive.name ||
            (!archive.shortName.empty() && EqualIgnoringAsciiCase(report.newName, archive.shortName))) {
            Settle(report, ArchiveOutcome::AlreadyNamed);
            return Finish(report);
        }
        Place(index, std::move(report));
    }

    // Gives the archive its new name now, or makes it wait for the archive of
    // the run that holds the name.
    void Place(int index, ArchiveReport report) {
        const int holder = PendingArchiveNamed(report.newName, index);
        if (holder != kNoArchive) {
            if (WaitChainEndsAt(holder, index)) {
                return SettleCycle(index, std::move(report));
            }
            waiters_[holder].push_back(index);
            waiting_.emplace(index, Waiter{std::move(report), holder});
            return;
        }
        const std::string newPath = JoinPath(folder_, report.newName);
        const DWORD error = changes_->Move(report.path, AliasPathOf(index), newPath);
        if (error == ERROR_SUCCESS) {
            SettleRenamed(index, report);
        } else if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) {
            SettleCollision(index, report, newPath);
        } else {
            Settle(report, ArchiveOutcome::Failed, SystemErrorText(error));
        }
        Finish(report);
    }

    // The archive's 8.3 path, empty when its name needs no alias.
    std::string AliasPathOf(int index) const {
        const FoundArchive& archive = archives_[static_cast<std::size_t>(index)];
        return archive.shortName.empty() ? std::string() : JoinPath(folder_, archive.shortName);
    }

    void SettleRenamed(int index, ArchiveReport& report) {
        Settle(report, ArchiveOutcome::Renamed);
        MarkChanged(index, report);
    }

    // A change a run made can be taken back: the report carries the file's mark
    // from the listing (a rename or a removal leaves it as it was).
    void MarkChanged(int index, ArchiveReport& report) const {
        if (mode_ == RunMode::Rename) {
            report.fileMark = archives_[static_cast<std::size_t>(index)].mark;
        }
    }

    // The new name is taken: by the archive itself under another spelling, by a
    // folder, or by another file, which makes this archive a duplicate.
    void SettleCollision(int index, ArchiveReport& report, const std::string& newPath) {
        if (SameFileName(report.newName, archives_[static_cast<std::size_t>(index)].name)) {
            return Settle(report, ArchiveOutcome::AlreadyNamed);  // its own name in other letter case
        }
        switch (changes_->WhatOccupies(newPath, report.path)) {
        case Occupant::TheArchiveItself:
            return Settle(report, ArchiveOutcome::AlreadyNamed);
        case Occupant::AFolder:
            return Settle(report, ArchiveOutcome::Failed, "已有同名文件夹");
        case Occupant::Unknown:
            return Settle(report, ArchiveOutcome::Failed, "无法确认占用新名称的文件是不是此压缩包");
        case Occupant::AnotherFile:
            if (std::optional<std::string> why = changes_->Recycle(report.path, AliasPathOf(index))) {
                return Settle(report, ArchiveOutcome::NotRemoved, std::move(*why));
            }
            Settle(report, ArchiveOutcome::RemovedAsDuplicate);
            return MarkChanged(index, report);
        case Occupant::Nothing:
            // Gone between the rename and the look: one more try settles it.
            if (const DWORD error = changes_->Move(report.path, AliasPathOf(index), newPath); error != ERROR_SUCCESS) {
                return Settle(report, ArchiveOutcome::Failed, SystemErrorText(error));
            }
            return SettleRenamed(index, report);
        }
    }

    // Whether following who waits for whom from `from` leads to `archive`.
    // Real folders make short chains; each step is one lookup.
    bool WaitChainEndsAt(int from, int archive) const {
        int at = from;
        for (auto it = waiting_.find(at); it != waiting_.end(); it = waiting_.find(at)) {
            at = it->second.waitsOn;
        }
        return at == archive;
    }

    // `index` wants the name of an archive that, through the archives it waits
    // for, wants the name of `index`: no one of them can go first without
    // removing another as a duplicate, so all keep their names.
    void SettleCycle(int index, ArchiveReport report) {
        const std::string why =
            "新名称被本次另一个要更名的压缩包占用，而那个压缩包也要用此压缩包的名称（相互占用），保留原名";
        std::vector<ArchiveReport> members;
        for (int at = PendingArchiveNamed(report.newName, index); at != index;) {
            auto it = waiting_.find(at);
            at = it->second.waitsOn;
            members.push_back(std::move(it->second.report));
            waiting_.erase(it);
        }
        Settle(report, ArchiveOutcome::Failed, why);
        Finish(report);
        for (ArchiveReport& member : members) {
            Settle(member, ArchiveOutcome::Failed, why);
            Finish(member);
        }
    }

    void Finish(const ArchiveReport& report) {
        const int index = report.number - 1;
        for (const std::string* name : NamesOf(index)) {
            const auto [first, last] = pendingByName_.equal_range(HashOfName(*name));
            for (auto it = first; it != last; ++it) {
                if (it->second == index) {
                    pendingByName_.erase(it);
                    break;
                }
            }
        }
        ++totals_.byOutcome[static_cast<std::size_t>(report.outcome)];
        ++totals_.handled;
        observer_.OnArchiveHandled(report);
        if (auto it = waiters_.find(index); it != waiters_.end()) {
            ready_.insert(ready_.end(), it->second.begin(), it->second.end());
            waiters_.erase(it);
        }
    }

    // Places again the archives whose name holder has been handled, and those
    // waiting for them in turn, until none is ready.
    void PlaceReadyWaiters(const std::atomic<bool>& stopRequested) {
        while (!ready_.empty() && !stopRequested.load()) {
            const int index = ready_.front();
            ready_.pop_front();
            auto it = waiting_.find(index);
            if (it == waiting_.end()) {
                continue;  // settled meanwhile as part of a cycle
            }
            ArchiveReport report = std::move(it->second.report);
            waiting_.erase(it);
            Place(index, std::move(report));
        }
    }

    // A stop leaves archives waiting: they keep their names, in the order found.
    void SettleWaitersOfAStoppedRun() {
        std::vector<ArchiveReport> left;
        for (auto& [index, waiter] : waiting_) {
            left.push_back(std::move(waiter.report));
        }
        waiting_.clear();
        ready_.clear();
        std::sort(left.begin(), left.end(), [](const auto& a, const auto& b) { return a.number < b.number; });
        for (ArchiveReport& report : left) {
            Settle(report, ArchiveOutcome::Failed, "已按要求停止，未改动");
            Finish(report);
        }
    }

    const std::string& folder_;
    const std::string fullFolder_;  // for measuring new paths as the file functions will
    const std::string& suffix_;
    RenameObserver& observer_;
    const std::vector<FoundArchive>& archives_;
    const RunMode mode_;
    const std::unique_ptr<FolderChanges> changes_;
    // Archives not handled yet, by the hash of each of their names' keys.
    std::unordered_multimap<std::size_t, int> pendingByName_;
    std::unordered_map<int, Waiter> waiting_;            // by the waiting archive
    std::unordered_map<int, std::vector<int>> waiters_;  // by the archive they wait for
    std::deque<int> ready_;                              // waiters whose holder has been handled
    RunTotals totals_;
};

}  // namespace

RunResult RenameArchives(const std::string& folder, const std::string& suffix, RenameObserver& observer,
                         const std::atomic<bool>& stopRequested, RunMode mode) {
    if (suffix.empty()) {
        return RunResult::EmptySuffix;
    }
    // An empty folder text would search the root of the current drive.
    const ArchiveListing listing = folder.empty() ? ArchiveListing{{}, "没有填写文件夹"} : ListArchives(folder);
    RenameListedArchives(folder, listing, suffix, observer, stopRequested, mode);
    return RunResult::Ran;
}

void RenameListedArchives(const std::string& folder, const ArchiveListing& listing, const std::string& suffix,
                          RenameObserver& observer, const std::atomic<bool>& stopRequested, RunMode mode) {
    std::vector<std::string> paths;
    paths.reserve(listing.archives.size());
    for (const FoundArchive& archive : listing.archives) {
        paths.push_back(JoinPath(folder, archive.name));
    }
    observer.OnArchivesFound(std::move(paths));
    RunTotals totals = RenameRun(folder, suffix, observer, listing.archives, mode).Run(stopRequested);
    totals.listingProblem = listing.problem;
    observer.OnRunFinished(totals);
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
    const bool preview = totals.mode == RunMode::Preview;
    auto line = [&](const char* label, ArchiveOutcome outcome) {
        return std::string(label) + "：" + std::to_string(totals.count(outcome));
    };
    std::string text =
        preview ? "预览完毕（未改动任何文件）！以下是“文件更名”将得到的结果：\r\n\r\n" : "ZIP重命名完毕！\r\n\r\n";
    if (!totals.listingProblem.empty()) {
        text += "注意：" + totals.listingProblem + "\r\n";
    }
    if (totals.stopped) {
        text += "已按要求停止：处理了 " + std::to_string(totals.handled) + " / " + std::to_string(totals.found) +
                " 个文件。\r\n";
    }
    text += "文件数量：" + std::to_string(totals.found) + "\r\n";
    text += line(preview ? "将更名" : "已更名", ArchiveOutcome::Renamed) + "\r\n";
    text += line("已是此名称", ArchiveOutcome::AlreadyNamed) + "\r\n";
    text += line(preview ? "重复而将删除" : "重复而删除", ArchiveOutcome::RemovedAsDuplicate) + "\r\n";
    text += line("重复但无法删除", ArchiveOutcome::NotRemoved) + "\r\n";
    text += line("没有该后缀名的文件", ArchiveOutcome::NoMatchingEntry) + "\r\n";
    text += line("无法读取", ArchiveOutcome::Unreadable) + "\r\n";
    text += line("新名称不可用", ArchiveOutcome::UnusableName) + "\r\n";
    text += line(preview ? "将更名失败" : "更名失败", ArchiveOutcome::Failed);
    return text;
}

}  // namespace quandrel

// Test helper: runs the rename run over a folder as the program does, in a
// process of its own (so a test can give it its own environment), and prints
// one line per archive: its number, then the text the lists would show.
// Usage: rename_probe FOLDER SUFFIX [preview]. Exit code 0 after a run.
#include <atomic>
#include <cstdio>
#include <string_view>

#include "rename/rename_run.h"

namespace {

class PrintingObserver : public quandrel::RenameObserver {
    void OnArchivesFound(std::vector<std::string>) override {}
    void OnArchiveStarted(int, const std::string&) override {}
    void OnArchiveHandled(const quandrel::ArchiveReport& report) override {
        std::printf("%d %s %s\n", report.number, report.path.c_str(), quandrel::OutcomeText(report).c_str());
    }
    void OnRunFinished(const quandrel::RunTotals& totals) override {
        std::printf("%s\n", quandrel::FinishedText(totals).c_str());
    }
};

}  // namespace

int main(int argc, char** argv) {
    const bool preview = argc == 4 && std::string_view(argv[3]) == "preview";
    if (argc != 3 && !preview) {
        std::fputs("usage: rename_probe FOLDER SUFFIX [preview]\n", stderr);
        return 2;
    }
    PrintingObserver observer;
    const std::atomic<bool> stop{false};
    const auto mode = preview ? quandrel::RunMode::Preview : quandrel::RunMode::Rename;
    return quandrel::RenameArchives(argv[1], argv[2], observer, stop, mode) == quandrel::RunResult::Ran ? 0 : 1;
}

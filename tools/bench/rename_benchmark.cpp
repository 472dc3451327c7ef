// Benchmark of the rename run against its floor. Builds a folder of N archives
// (about 20 entries each, the naming entry last) and times, on fresh copies:
//   floor: a bare loop through the same zlibwapi.dll that opens each archive,
//          walks its entries to the match and renames it with one MoveFileA;
//   run:   the full rename run with an observer that does nothing.
// Usage: rename_benchmark [N ...]   (default 1000 10000)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <atomic>

#include "rename/rename_run.h"
#include "tests/support/test_folder.h"
#include "tools/bench/bench_folder.h"

namespace {

using namespace quandrel;
using namespace quandrel::bench;
using namespace quandrel::testing;

class SilentObserver : public RenameObserver {
public:
    void OnArchivesFound(std::vector<std::string>) override {}
    void OnArchiveStarted(int, const std::string&) override {}
    void OnArchiveHandled(const ArchiveReport&) override {}
    void OnRunFinished(const RunTotals&) override {}
};

int FullRun(const std::string& folder) {
    class Counting : public SilentObserver {
    public:
        int renamed = 0;
        void OnRunFinished(const RunTotals& totals) override { renamed = totals.count(ArchiveOutcome::Renamed); }
    } observer;
    std::atomic<bool> stop{false};
    RenameArchives(folder, kSuffix, observer, stop);
    return observer.renamed;
}

void Measure(int count) {
    TestFolder work("quandrel-bench");
    const std::string master = work / "master";
    CreateDirectoryA(master.c_str(), nullptr);
    MakeArchives(master, count, 20, true);

    double best[2] = {1e9, 1e9};
    const int rounds = count >= 10000 ? 2 : 3;
    for (int round = 0; round < rounds; ++round) {
        for (int which = 0; which < 2; ++which) {  // alternate, so neither always runs on a warmer cache
            const std::string copy = work / ("copy" + std::to_string(round) + "-" + std::to_string(which));
            CopyFolder(master, copy);
            const long long start = Now();
            const int renamed = which == 0 ? Floor(copy) : FullRun(copy);
            const double seconds = SecondsSince(start);
            if (renamed != count) {
                std::printf("N=%d: %s renamed %d archives, expected %d\n", count, which ? "run" : "floor", renamed,
                            count);
                std::exit(1);
            }
            best[which] = std::min(best[which], seconds);
            RemoveTree(copy);
        }
    }
    std::printf("N=%6d  floor %8.3f s  run %8.3f s  run/floor %.3f  (%.3f ms per archive)\n", count, best[0], best[1],
                best[1] / best[0], 1000.0 * best[1] / count);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> counts;
    for (int i = 1; i < argc; ++i) {
        counts.push_back(std::atoi(argv[i]));
    }
    if (counts.empty()) {
        counts = {1000, 10000};
    }
    for (int count : counts) {
        Measure(count);
    }
    return 0;
}

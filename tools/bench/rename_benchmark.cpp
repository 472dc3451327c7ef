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

#include "base/path_text.h"
#include "base/win_owners.h"
#include "rename/new_name.h"
#include "rename/rename_run.h"
#include "rename/suffix_match.h"
#include "rename/unzip_functions.h"
#include "tests/support/test_folder.h"
#include "tests/support/zip_writer.h"

namespace {

using namespace quandrel;
using namespace quandrel::testing;

constexpr const char* kSuffix = ".exe";

class SilentObserver : public RenameObserver {
public:
    void OnArchivesFound(std::vector<std::string>) override {}
    void OnArchiveStarted(int, const std::string&) override {}
    void OnArchiveHandled(const ArchiveReport&) override {}
    void OnRunFinished(const RunTotals&) override {}
};

std::vector<std::string> FileNames(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    UniqueFindHandle search(FindFirstFileA(JoinPath(folder, "*.zip").c_str(), &found));
    if (search) {
        do {
            names.push_back(found.cFileName);
        } while (FindNextFileA(search.get(), &found));
    }
    return names;
}

void MakeArchives(const std::string& folder, int count) {
    for (int i = 0; i < count; ++i) {
        std::vector<ZipEntry> entries;
        for (int e = 0; e < 19; ++e) {
            std::string part = "data/part";  // built in steps: GCC 12 warns falsely on a + b + c here
            part += std::to_string(e);
            part += ".bin";
            entries.emplace_back(part, std::string(64, 'x'));
        }
        std::string naming = "程序/游戏";
        naming += std::to_string(i);
        naming += ".exe";
        entries.emplace_back(naming, "MZ");
        WriteFileBytes(JoinPath(folder, std::to_string(100000 + i) + ".zip"), BuildZip(entries));
    }
}

void CopyFolder(const std::string& from, const std::string& to) {
    CreateDirectoryA(to.c_str(), nullptr);
    for (const std::string& name : FileNames(from)) {
        CopyFileA(JoinPath(from, name).c_str(), JoinPath(to, name).c_str(), FALSE);
    }
}

double Seconds(LARGE_INTEGER start, LARGE_INTEGER end) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The least any rename run can do: one open-and-walk and one rename per archive.
int Floor(const std::string& folder) {
    const std::vector<std::string> names = FileNames(folder);
    std::vector<char> name(unzip::kNameBufferSize);
    const unzip::Functions& unzip = unzip::Bound();
    int renamed = 0;
    for (const std::string& file : names) {
        const std::string path = JoinPath(folder, file);
        unzip::Archive archive = unzip.open(path.c_str());
        if (!archive) {
            continue;
        }
        std::string match;
        for (int status = unzip.goToFirstFile(archive); status == unzip::kOk && match.empty();
             status = unzip.goToNextFile(archive)) {
            unzip::FileInfo info{};
            if (unzip.getCurrentFileInfo(archive, &info, name.data(), unzip::kNameBufferSize, nullptr, 0, nullptr, 0) !=
                unzip::kOk) {
                break;
            }
            const std::string_view stored(name.data(), info.sizeFilename);
            if (EntryNameMatches(stored, kSuffix, NameEncoding::Ansi)) {
                match = stored;
            }
        }
        unzip.close(archive);
        if (!match.empty() && MoveFileA(path.c_str(), JoinPath(folder, ArchiveNameFor(match)).c_str())) {
            ++renamed;
        }
    }
    return renamed;
}

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
    MakeArchives(master, count);

    double best[2] = {1e9, 1e9};
    const int rounds = count >= 10000 ? 2 : 3;
    for (int round = 0; round < rounds; ++round) {
        for (int which = 0; which < 2; ++which) {  // alternate, so neither always runs on a warmer cache
            const std::string copy = work / ("copy" + std::to_string(round) + "-" + std::to_string(which));
            CopyFolder(master, copy);
            LARGE_INTEGER start, end;
            QueryPerformanceCounter(&start);
            const int renamed = which == 0 ? Floor(copy) : FullRun(copy);
            QueryPerformanceCounter(&end);
            if (renamed != count) {
                std::printf("N=%d: %s renamed %d archives, expected %d\n", count, which ? "run" : "floor", renamed,
                            count);
                std::exit(1);
            }
            best[which] = std::min(best[which], Seconds(start, end));
            RemoveTree(copy);
        }
    }
    std::printf("N=%6d  floor %8.3f s  run %8.3f s  run/floor %.3f  (%.3f ms per archive)\n", count, best[0],
                best[1], best[1] / best[0], 1000.0 * best[1] / count);
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

// Benchmark of the real quandrel.exe, driven as a user drives it: started, its
// boxes filled, "文件更名" clicked; then the window is pinged with
// SendMessageTimeout(WM_NULL) every 20 ms until the box at the end appears.
// Prints the run's time (and, where every archive is renamed, its ratio to the
// floor), the worst and the 99th-percentile answer time, the program's peak
// private memory, and what two list views of that many rows cost by themselves.
//   renamed: N archives of 20 entries, each renamed;
//   unmatched: N archives of 5 entries, none matching.
//   unmatched-in FOLDER N: the N unmatched archives already in FOLDER (laid out
//     by tools/bench/lay_archives.py); the run changes nothing there.
// Usage: window_benchmark [renamed N | unmatched N | unmatched-in FOLDER N] ...
//        (default: renamed 10000 unmatched 100000)
// With QUANDREL_BENCH_SLOW_PINGS set, it also prints the idle window's answer
// times and every answer during the run slower than 50 ms, with when it came.
#include <windows.h>

#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/path_text.h"
#include "tests/support/child_process.h"
#include "tests/support/test_folder.h"
#include "tests/window/quandrel_window.h"
#include "tools/bench/bench_folder.h"

namespace {

using namespace quandrel;
using namespace quandrel::bench;
using namespace quandrel::testing;

struct WindowRun {
    double seconds = 0;
    std::vector<double> answerMs;  // one per ping
    std::vector<double> pingedAt;  // seconds after the click, one per ping
    SIZE_T startPrivateBytes = 0;  // before the click
    SIZE_T peakPrivateBytes = 0;
};

// The process's private (committed) memory. Wine fills PagefileUsage, the same
// figure on Windows, but not PrivateUsage.
SIZE_T PrivateBytesOf(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process, &counters, sizeof counters)) {
        return 0;
    }
    return counters.PagefileUsage;
}

WindowRun RunInWindow(const std::string& folder) {
    WindowRun run;
    QuandrelWindow program;
    const UniqueFileHandle process(
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, program.process().id()));
    SetTextOf(program.control(编辑框1), folder);
    SetTextOf(program.control(编辑框2), kSuffix);
    if (std::getenv("QUANDREL_BENCH_SLOW_PINGS")) {
        for (int i = 0; i < 10; ++i) {
            const long long pinged = Now();
            DWORD_PTR result = 0;
            SendMessageTimeoutA(program.window(), WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
            std::printf("  idle answer: %5.1f ms\n", 1000.0 * SecondsSince(pinged));
            Sleep(20);
        }
    }
    run.startPrivateBytes = PrivateBytesOf(process.get());
    const long long start = Now();
    ClickButton(program.control(按钮2));
    for (;;) {
        const long long pinged = Now();
        DWORD_PTR result = 0;
        SendMessageTimeoutA(program.window(), WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
        run.answerMs.push_back(1000.0 * SecondsSince(pinged));
        run.pingedAt.push_back(SecondsSince(start) - run.answerMs.back() / 1000.0);
        run.peakPrivateBytes = std::max(run.peakPrivateBytes, PrivateBytesOf(process.get()));
        // The end box disables the window it belongs to: one cheap look a ping.
        if (!IsWindowEnabled(program.window())) {
            run.seconds = SecondsSince(start);
            break;
        }
        Sleep(20);
    }
    if (std::optional<HWND> box = WaitForMessageBox(program.process().id(), kPatienceMs)) {
        CloseMessageBox(*box);
    }
    return run;
}

// What two report-view list views of `rows` rows each, with texts like the
// program's, cost in this process.
SIZE_T ListViewBytes(int rows, const std::string& folder) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    const SIZE_T before = PrivateBytesOf(GetCurrentProcess());
    HWND lists[2];
    for (HWND& list : lists) {
        list = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "", WS_POPUP | LVS_REPORT | LVS_SINGLESEL, 0, 0, 535,
                               150, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        for (int column = 0; column < 2; ++column) {
            LVCOLUMNA columnInfo{};
            columnInfo.mask = LVCF_WIDTH | LVCF_TEXT;
            columnInfo.cx = 200;
            columnInfo.pszText = const_cast<char*>("列");
            SendMessageA(list, LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&columnInfo));
        }
        SendMessageA(list, LVM_SETITEMCOUNT, rows, LVSICF_NOINVALIDATEALL);
    }
    for (int i = 0; i < rows; ++i) {
        const std::string number = std::to_string(i + 1);
        const std::string path = JoinPath(folder, std::to_string(100000 + i) + ".zip");
        const std::string texts[2] = {path, path + " 压缩包内没有该后缀名的文件，未更名"};
        for (int l = 0; l < 2; ++l) {
            LVITEMA item{};
            item.mask = LVIF_TEXT;
            item.iItem = i;
            item.pszText = const_cast<char*>(number.c_str());
            const auto row = SendMessageA(lists[l], LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
            item.iSubItem = 1;
            item.pszText = const_cast<char*>(texts[l].c_str());
            SendMessageA(lists[l], LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
        }
    }
    const SIZE_T after = PrivateBytesOf(GetCurrentProcess());
    for (HWND list : lists) {
        DestroyWindow(list);
    }
    return after > before ? after - before : 0;
}

double Percentile(std::vector<double> values, double share) {
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, static_cast<std::size_t>(share * static_cast<double>(values.size())))];
}

void Measure(bool renamed, int count, const std::string& laidOut) {
    TestFolder work("quandrel-window-bench");
    std::string master = work / "master";
    if (laidOut.empty()) {
        CreateDirectoryA(master.c_str(), nullptr);
        MakeArchives(master, count, renamed ? 20 : 5, renamed);
    } else {
        master = laidOut;
    }

    double floor = 0;
    if (renamed) {
        const std::string copy = work / "floor";
        CopyFolder(master, copy);
        const long long start = Now();
        Floor(copy);
        floor = SecondsSince(start);
        RemoveTree(copy);
    }
    // A run that renames nothing leaves the folder as it was: no copy needed.
    std::string copy = master;
    if (renamed) {
        copy = work / "run";
        CopyFolder(master, copy);
    }
    const WindowRun run = RunInWindow(copy);
    const double mb = 1024.0 * 1024.0;
    if (std::getenv("QUANDREL_BENCH_SLOW_PINGS")) {
        for (std::size_t i = 0; i < run.answerMs.size(); ++i) {
            if (run.answerMs[i] > 50) {
                std::printf("  slow answer: %5.0f ms at %6.2f s\n", run.answerMs[i], run.pingedAt[i]);
            }
        }
    }
    std::printf("%-9s N=%6d  run %7.2f s", renamed ? "renamed" : "unmatched", count, run.seconds);
    if (renamed) {
        std::printf("  floor %7.2f s  run/floor %.3f", floor, run.seconds / floor);
    }
    const double grewBy = static_cast<double>(run.peakPrivateBytes) - static_cast<double>(run.startPrivateBytes);
    std::printf(
        "  answer worst %4.0f ms  p99 %4.0f ms (%zu pings)  private memory %6.1f MB at the start, %6.1f MB"
        " at the peak\n",
        *std::max_element(run.answerMs.begin(), run.answerMs.end()), Percentile(run.answerMs, 0.99),
        run.answerMs.size(), static_cast<double>(run.startPrivateBytes) / mb,
        static_cast<double>(run.peakPrivateBytes) / mb);
    std::fflush(stdout);
    // Slow under Wine (each row a message): measured after the run's figures are out.
    const SIZE_T lists = ListViewBytes(count, copy);
    std::printf("          two bare list views of %d rows: %6.1f MB; the program's own: %4.0f bytes per archive\n",
                count, static_cast<double>(lists) / mb, (grewBy - static_cast<double>(lists)) / count);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    struct Run {
        bool renamed;
        int count;
        std::string laidOut;  // a folder with the archives already there
    };
    std::vector<Run> runs;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string kind = argv[i];
        if (kind == "unmatched-in" && i + 2 < argc) {
            runs.push_back({false, std::atoi(argv[i + 2]), argv[i + 1]});
            ++i;
        } else {
            runs.push_back({kind == "renamed", std::atoi(argv[i + 1]), {}});
        }
    }
    if (runs.empty()) {
        runs = {{true, 10000, {}}, {false, 100000, {}}};
    }
    for (const Run& run : runs) {
        Measure(run.renamed, run.count, run.laidOut);
    }
    return 0;
}

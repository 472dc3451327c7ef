#include "base/fatal_error.h"

#include <windows.h>

#include <new>
#include <utility>

#include "base/program_windows_disabled.h"

namespace quandrel {

void FailFatally(const std::string& message) {
    // MB_TASKMODAL alone disables only the calling thread's windows; a box
    // raised on a worker thread must block the main window too.
    const ProgramWindowsDisabled disabled;
    MessageBoxA(nullptr, message.c_str(), "Quandrel 错误", MB_OK | MB_ICONERROR | MB_TASKMODAL | MB_SETFOREGROUND);
    ExitProcess(static_cast<UINT>(-1));
}

namespace {

char* memoryReserve = nullptr;

void OnMemoryExhausted() {
    delete[] std::exchange(memoryReserve, nullptr);
    FailFatally("内存不足，程序无法继续运行。");
}

}  // namespace

void FailFatallyWhenMemoryRunsOut() {
    constexpr std::size_t kReserveBytes = 1024 * 1024;
    if (!memoryReserve) {
        memoryReserve = new char[kReserveBytes];
    }
    std::set_new_handler(OnMemoryExhausted);
}

}  // namespace quandrel

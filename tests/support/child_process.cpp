#include "tests/support/child_process.h"

#include <stdexcept>

namespace quandrel::testing {

ChildProcess::ChildProcess(const std::string& program, const std::string& arguments, const std::string& folder) {
    std::string commandLine = "\"" + program + "\"";
    if (!arguments.empty()) {
        commandLine += " " + arguments;
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &info)) {
        throw std::runtime_error("cannot start " + program + " (error " + std::to_string(GetLastError()) + ")");
    }
    CloseHandle(info.hThread);
    process_.reset(info.hProcess);
    id_ = info.dwProcessId;
}

ChildProcess::~ChildProcess() {
    if (WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.get(), 1);
        WaitForSingleObject(process_.get(), 5000);
    }
}

std::optional<DWORD> ChildProcess::WaitForExit(DWORD timeoutMs) {
    if (WaitForSingleObject(process_.get(), timeoutMs) != WAIT_OBJECT_0) {
        return std::nullopt;
    }
    DWORD code = 0;
    GetExitCodeProcess(process_.get(), &code);
    return code;
}

namespace {

struct BoxSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindBoxOfProcess(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<BoxSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (owner == search->processId && std::string(className) == "#32770" && IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

std::string WindowText(HWND window) {
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace

std::optional<HWND> WaitForMessageBox(DWORD processId, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    do {
        BoxSearch search{processId, nullptr};
        EnumWindows(FindBoxOfProcess, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            return search.found;
        }
        Sleep(50);
    } while (GetTickCount() - start < timeoutMs);
    return std::nullopt;
}

MessageBoxContent ReadMessageBox(HWND box) {
    constexpr int kMessageTextId = 0xFFFF;  // the static control that holds a message box's text
    HWND text = GetDlgItem(box, kMessageTextId);
    return {WindowText(box), text ? WindowText(text) : std::string()};
}

void CloseMessageBox(HWND box) {
    // A box with only an OK button answers IDOK and IDCANCEL alike.
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

}  // namespace quandrel::testing

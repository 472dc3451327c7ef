#include "tests/support/child_process.h"

#include <stdexcept>

namespace quandrel::testing {

ChildProcess::ChildProcess(const std::string& program, const std::string& arguments, const std::string& folder,
                           OutputMode output) {
    std::string commandLine = "\"" + program + "\"";
    if (!arguments.empty()) {
        commandLine += " " + arguments;
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    UniqueFileHandle pipeWriteEnd;
    if (output == OutputMode::Capture) {
        SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
        HANDLE readEnd = nullptr;
        HANDLE writeEnd = nullptr;
        if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 0)) {
            throw std::runtime_error("cannot create a pipe");
        }
        outputPipe_.reset(readEnd);
        pipeWriteEnd.reset(writeEnd);
        // Only the write end goes to the child; the read end must not keep the pipe open there.
        SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = writeEnd;
        startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    }
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, output == OutputMode::Capture, 0,
                        nullptr, folder.c_str(), &startup, &info)) {
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

std::string ChildProcess::CapturedOutput() {
    std::string output;
    if (!outputPipe_) {
        return output;
    }
    char buffer[4096];
    DWORD read = 0;
    // Ends when the child's end of the pipe is closed, that is when it has exited.
    while (ReadFile(outputPipe_.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
        output.append(buffer, read);
    }
    return output;
}

namespace {

struct WindowsOfProcess {
    DWORD processId;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectWindowOfProcess(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<WindowsOfProcess*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId) {
        search->windows.push_back(window);
    }
    return TRUE;
}

}  // namespace

std::string WindowText(HWND window) {
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::vector<HWND> TopLevelWindowsOf(DWORD processId) {
    WindowsOfProcess search{processId, {}};
    EnumWindows(CollectWindowOfProcess, reinterpret_cast<LPARAM>(&search));
    return search.windows;
}

std::optional<HWND> FindWindowByTitle(DWORD processId, const std::string& title) {
    for (HWND window : TopLevelWindowsOf(processId)) {
        if (WindowText(window) == title) {
            return window;
        }
    }
    return std::nullopt;
}

std::optional<HWND> WaitForWindowOfClass(DWORD processId, const std::string& className, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    do {
        for (HWND window : TopLevelWindowsOf(processId)) {
            char name[256] = {};
            GetClassNameA(window, name, sizeof name);
            if (className == name && IsWindowVisible(window)) {
                return window;
            }
        }
        Sleep(50);
    } while (GetTickCount() - start < timeoutMs);
    return std::nullopt;
}

std::optional<HWND> WaitForMessageBox(DWORD processId, DWORD timeoutMs) {
    return WaitForWindowOfClass(processId, "#32770", timeoutMs);
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

namespace {

LRESULT SendAnswered(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, 60000, &result)) {
        throw std::runtime_error("no answer to message " + std::to_string(message));
    }
    return static_cast<LRESULT>(result);
}

}  // namespace

std::string TextOf(HWND window) {
    const auto length = static_cast<std::size_t>(SendAnswered(window, WM_GETTEXTLENGTH, 0, 0));
    std::string text(length + 1, '\0');
    text.resize(
        static_cast<std::size_t>(SendAnswered(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

void SetTextOf(HWND window, const std::string& text) {
    SendAnswered(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

}  // namespace quandrel::testing

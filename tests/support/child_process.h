// Starting a program of the build as a child process, and finding, reading and
// closing the message boxes it opens, so no test waits for a person.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "base/win_owners.h"

namespace quandrel::testing {

class ChildProcess {
public:
    enum class OutputMode { Inherit, Capture };
    // Starts `program` with `arguments` in the working folder `folder`; with
    // OutputMode::Capture its standard output goes to a pipe that CapturedOutput() reads.
    ChildProcess(const std::string& program, const std::string& arguments, const std::string& folder,
                 OutputMode output = OutputMode::Inherit);
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();  // ends the process if it still runs

    DWORD id() const { return id_; }
    // The exit code once the process has ended, or nothing after `timeoutMs`.
    std::optional<DWORD> WaitForExit(DWORD timeoutMs);
    // Everything the process wrote to its standard output; call after it has ended.
    std::string CapturedOutput();

private:
    UniqueFileHandle process_;
    UniqueFileHandle outputPipe_;
    DWORD id_ = 0;
};

struct MessageBoxContent {
    std::string title;
    std::string text;
};

// A message box (dialog class #32770) of the process, once it is on screen.
// A visible top-level window of the process with this window class, once it is there.
std::optional<HWND> WaitForWindowOfClass(DWORD processId, const std::string& className, DWORD timeoutMs);
std::optional<HWND> WaitForMessageBox(DWORD processId, DWORD timeoutMs);
MessageBoxContent ReadMessageBox(HWND box);
// Presses the box's OK (or only) button.
void CloseMessageBox(HWND box);

// The top-level windows of the process, hidden ones included.
std::vector<HWND> TopLevelWindowsOf(DWORD processId);
// The first top-level window of the process whose caption is `title`.
std::optional<HWND> FindWindowByTitle(DWORD processId, const std::string& title);
std::string WindowText(HWND window);

// A window's text through WM_GETTEXT and WM_SETTEXT, which reach into another
// process's edit box (GetWindowText does not); throws if the program does not answer.
std::string TextOf(HWND window);
void SetTextOf(HWND window, const std::string& text);

}  // namespace quandrel::testing

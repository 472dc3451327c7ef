// While a command shows a modal window of the system's own (a message box, the
// folder chooser), every top-level window of the program takes no input.
#pragma once

#include <windows.h>

#include <vector>

namespace quandrel {

// Disables every top-level window of the process on construction; on destruction
// gives each its former enabled state back (a window that was disabled before
// stays disabled) and restores the former foreground and active windows.
class ProgramWindowsDisabled {
public:
    ProgramWindowsDisabled();
    ProgramWindowsDisabled(const ProgramWindowsDisabled&) = delete;
    ProgramWindowsDisabled& operator=(const ProgramWindowsDisabled&) = delete;
    ~ProgramWindowsDisabled();

private:
    struct FormerState {
        HWND window;
        bool enabled;
    };
    std::vector<FormerState> windows_;
    HWND foreground_;
    HWND active_;
};

}  // namespace quandrel

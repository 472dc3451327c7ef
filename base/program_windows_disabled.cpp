#include "base/program_windows_disabled.h"

namespace quandrel {

namespace {

BOOL CALLBACK CollectProgramWindow(HWND window, LPARAM parameter) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId()) {
        reinterpret_cast<std::vector<HWND>*>(parameter)->push_back(window);
    }
    return TRUE;
}

}  // namespace

ProgramWindowsDisabled::ProgramWindowsDisabled() : foreground_(GetForegroundWindow()), active_(GetActiveWindow()) {
    std::vector<HWND> windows;
    EnumWindows(CollectProgramWindow, reinterpret_cast<LPARAM>(&windows));
    for (HWND window : windows) {
        windows_.push_back({window, IsWindowEnabled(window) != FALSE});
    }
    for (const FormerState& state : windows_) {
        if (state.enabled) {
            EnableWindow(state.window, FALSE);
        }
    }
}

ProgramWindowsDisabled::~ProgramWindowsDisabled() {
    for (const FormerState& state : windows_) {
        if (IsWindow(state.window)) {
            EnableWindow(state.window, state.enabled);
        }
    }
    // A modal window whose owner was disabled hands the activation to some other
    // program when it closes; take it back only now that the windows accept it.
    if (foreground_ && IsWindow(foreground_)) {
        SetForegroundWindow(foreground_);
    }
    if (active_ && IsWindow(active_)) {
        SetActiveWindow(active_);
    }
}

}  // namespace quandrel

// Test helper: opens three plain top-level windows as a program would ("probe
// main", "probe other", and "probe locked", which is disabled from the start),
// runs one command of the program on "probe main" and prints what it left behind.
// Usage: command_probe usage|choose
// Prints, one a line: the chosen folder ("result=" and the path, or "result=none"),
// then the enabled state of each window (1 or 0), and the titles of the active
// and the foreground windows afterwards.
#include <windows.h>

#include <cstdio>
#include <string>

#include "app/folder_chooser.h"
#include "app/usage_text.h"

namespace {

HWND CreateProbeWindow(const char* className, const char* title, int left) {
    HWND window = CreateWindowExA(0, className, title, WS_OVERLAPPEDWINDOW, left, 100, 280, 160, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    return window;
}

std::string TitleOf(HWND window) {
    if (!window) {
        return "none";
    }
    char title[64] = {};
    GetWindowTextA(window, title, sizeof title);
    return title;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc == 2 ? argv[1] : "";
    if (command != "usage" && command != "choose") {
        std::fputs("usage: command_probe usage|choose\n", stderr);
        return 2;
    }
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = "QuandrelCommandProbe";
    RegisterClassA(&windowClass);
    HWND locked = CreateProbeWindow(windowClass.lpszClassName, "probe locked", 640);
    EnableWindow(locked, FALSE);
    HWND other = CreateProbeWindow(windowClass.lpszClassName, "probe other", 340);
    HWND main = CreateProbeWindow(windowClass.lpszClassName, "probe main", 40);
    SetForegroundWindow(main);
    SetActiveWindow(main);

    std::string result;
    if (command == "usage") {
        quandrel::ShowUsageBox(main);
    } else {
        const auto chosen = quandrel::ChooseFolderPath(main);
        result = "result=" + (chosen ? *chosen : std::string("none")) + "\n";
    }
    std::printf("%smain=%d\nother=%d\nlocked=%d\nactive=%s\nforeground=%s\n", result.c_str(),
                IsWindowEnabled(main) ? 1 : 0, IsWindowEnabled(other) ? 1 : 0, IsWindowEnabled(locked) ? 1 : 0,
                TitleOf(GetActiveWindow()).c_str(), TitleOf(GetForegroundWindow()).c_str());
    return 0;
}

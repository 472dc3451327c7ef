// Quandrel: renames the ZIP archives of a folder after an entry inside each.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include "app/main_window.h"
#include "base/fatal_error.h"
#include "base/program_folder.h"
#include "base/win_owners.h"

namespace {

// The settings file and zlibwapi.dll are found beside the program.
void EnterProgramFolder() {
    std::string folder = quandrel::ProgramFolder();
    if (folder.size() == 2 && folder[1] == ':') {
        folder += '\\';  // "D:" alone would be the drive's current folder, not its root
    }
    SetCurrentDirectoryA(folder.c_str());
}

}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, [[maybe_unused]] HINSTANCE hPrevInstance, [[maybe_unused]] LPSTR lpCmdLine,
                   int nShowCmd) {
    // Exhausted memory is fatal like a missing library: a box, then exit code -1.
    quandrel::FailFatallyWhenMemoryRunsOut();
    EnterProgramFolder();
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);

    // OLE for the taskbar progress, the folder chooser, folder completion and
    // dropped folders, for as long as the window lives.
    const quandrel::OleSession ole;
    quandrel::MainWindow window;
    if (!window.Create(hInstance, nShowCmd)) {
        quandrel::FailFatally("无法创建主窗口。");
    }
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (!window.PreTranslate(message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return static_cast<int>(message.wParam);
}

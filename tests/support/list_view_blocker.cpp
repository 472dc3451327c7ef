// A CBT hook for tests, loaded into the desktop's processes by a global hook:
// in quandrel.exe it refuses the creation of list views, as a system short of
// resources would, so that the window cannot be built.
#include <windows.h>

#include <commctrl.h>

#include <cstring>

namespace {

bool InQuandrel() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    constexpr char kProgram[] = "\\quandrel.exe";
    const DWORD programLength = sizeof kProgram - 1;
    return length >= programLength && lstrcmpiA(path + length - programLength, kProgram) == 0;
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK BlockListViews(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        const auto* create = reinterpret_cast<const CBT_CREATEWNDA*>(lParam);
        const char* windowClass = create->lpcs->lpszClass;
        if (!IS_INTRESOURCE(windowClass) && lstrcmpiA(windowClass, WC_LISTVIEWA) == 0 && InQuandrel()) {
            return 1;  // the window is not created
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

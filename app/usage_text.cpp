#include "app/usage_text.h"

#include <iterator>

#include "base/program_windows_disabled.h"

namespace quandrel {

std::string UsageText() {
    static constexpr const char* kLines[] = {
        "1、浏览选择存放压缩文件的目录；",
        "2、填写后缀名（程序会查找压缩包内是否有该后缀名的文件，如果有会以该文件名作为压缩包修改后文件名）；",
        "3、点击 文件更名，开始执行；",
        "",
        "*软件会自动记录路径和后缀名，减少后期重复填写麻烦；",
        "",
        "承接各类小工具定制，联系邮箱：custom@quandrel.example",
    };
    std::string text;
    for (std::size_t i = 0; i < std::size(kLines); ++i) {
        text += i == 0 ? "" : "\r\n";
        text += kLines[i];
    }
    return text;
}

void ShowUsageBox(HWND owner) {
    // MB_TASKMODAL disables the thread's windows only for a box without owner;
    // the box keeps its owner (it stays in front of it) and the program's windows
    // are disabled here instead.
    const ProgramWindowsDisabled disabled;
    MessageBoxA(owner, UsageText().c_str(), "软件使用说明", MB_OK | MB_ICONINFORMATION | MB_TASKMODAL);
}

}  // namespace quandrel

// A window that cannot be built (a control refused by the system) ends the
// program with its error box, seen and waited for, and exit code -1; the user's
// peizhi.ini is left as it was rather than overwritten with empty boxes.
#include <windows.h>

#include <gtest/gtest.h>

#include <bit>

#include "base/path_text.h"
#include "settings/settings_file.h"
#include "tests/support/child_process.h"
#include "tests/support/test_folder.h"

namespace quandrel::testing {
namespace {

TEST(WindowBuildFailureTest, ShowsTheBoxExitsWithMinusOneAndKeepsTheSettings) {
    TestFolder program("quandrel-program");
    for (const char* name : {"quandrel.exe", "zlibwapi.dll"}) {
        ASSERT_TRUE(CopyFileA(JoinPath(BuildOutputFolder(), name).c_str(), (program / name).c_str(), FALSE));
    }
    const std::string settingsPath = program / "peizhi.ini";
    WriteSettings(settingsPath, {"D:\\游戏\\压缩包", ".exe"});
    const std::optional<std::string> settingsBefore = ReadFileBytes(settingsPath);
    ASSERT_TRUE(settingsBefore.has_value());

    HMODULE blocker = LoadLibraryA(JoinPath(BuildOutputFolder(), "list_view_blocker.dll").c_str());
    ASSERT_NE(blocker, nullptr);
    auto* hookProcedure = std::bit_cast<HOOKPROC>(GetProcAddress(blocker, "BlockListViews"));
    ASSERT_NE(hookProcedure, nullptr);
    HHOOK hook = SetWindowsHookExA(WH_CBT, hookProcedure, blocker, 0);
    ASSERT_NE(hook, nullptr);

    ChildProcess child(program / "quandrel.exe", "", BuildOutputFolder());
    const std::optional<HWND> box = WaitForMessageBox(child.id(), 60000);
    UnhookWindowsHookEx(hook);
    ASSERT_TRUE(box) << "the error box must stay up, not close with the ending window";
    const MessageBoxContent content = ReadMessageBox(*box);
    EXPECT_EQ(content.text, "无法创建主窗口。");
    Sleep(500);
    EXPECT_TRUE(IsWindowVisible(*box)) << "still there: nothing ended the box behind the user's back";
    CloseMessageBox(*box);
    EXPECT_EQ(child.WaitForExit(20000), std::optional<DWORD>(0xFFFFFFFF));
    EXPECT_EQ(ReadFileBytes(settingsPath), settingsBefore);
    FreeLibrary(blocker);
}

}  // namespace
}  // namespace quandrel::testing

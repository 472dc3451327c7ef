// Exhausted memory ends the program with its error box and exit code -1, not an
// abort. Shown on a helper that takes memory until none is left.
#include <windows.h>

#include <gtest/gtest.h>

#include "base/path_text.h"
#include "tests/support/child_process.h"
#include "tests/support/test_folder.h"

namespace quandrel {
namespace {

using namespace quandrel::testing;

TEST(OutOfMemory, ShowsTheBoxAndExitsWithMinusOne) {
    ChildProcess child(JoinPath(BuildOutputFolder(), "memory_probe.exe"), "", BuildOutputFolder());
    const std::optional<HWND> box = WaitForMessageBox(child.id(), 60000);
    ASSERT_TRUE(box) << "no error box";
    const MessageBoxContent content = ReadMessageBox(*box);
    EXPECT_EQ(content.title, "Quandrel 错误");
    EXPECT_EQ(content.text, "内存不足，程序无法继续运行。");
    CloseMessageBox(*box);
    EXPECT_EQ(child.WaitForExit(20000), std::optional<DWORD>(0xFFFFFFFF));
}

}  // namespace
}  // namespace quandrel

// A library or function that cannot be bound ends the program with an error box
// and exit code -1. Shown on a helper that runs the lookup in its own process.
#include <windows.h>

#include <gtest/gtest.h>

#include "base/path_text.h"
#include "tests/support/child_process.h"
#include "tests/support/test_folder.h"
#include "tests/support/zip_writer.h"

namespace quandrel {
namespace {

using namespace quandrel::testing;

TEST(FatalBinding, MissingLibraryOrFunctionShowsBoxAndExitsWithMinusOne) {
    const struct {
        const char* label;
        const char* libraryToInstall;  // copied beside the helper as zlibwapi.dll; null: none there
        const char* missingFunction;
    } cases[] = {
        {"no zlibwapi.dll anywhere", nullptr, "unzOpen"},
        {"zlibwapi.dll without unzGoToFirstFile", "partial_zlibwapi.dll", "unzGoToFirstFile"},
    };
    for (const auto& c : cases) {
        TestFolder folder;
        const std::string probe = folder / "lookup_probe.exe";
        ASSERT_TRUE(CopyFileA(JoinPath(BuildOutputFolder(), "lookup_probe.exe").c_str(), probe.c_str(), FALSE));
        if (c.libraryToInstall) {
            ASSERT_TRUE(CopyFileA(JoinPath(BuildOutputFolder(), c.libraryToInstall).c_str(),
                                  (folder / "zlibwapi.dll").c_str(), FALSE));
        }
        const std::string archive = folder / "83412.zip";
        WriteFileBytes(archive, BuildZip({{"game.exe"}}));

        ChildProcess child(probe, "\"" + archive + "\" .exe", folder.path());
        const std::optional<HWND> box = WaitForMessageBox(child.id(), 20000);
        ASSERT_TRUE(box) << c.label << ": no error box";
        const MessageBoxContent content = ReadMessageBox(*box);
        EXPECT_NE(content.text.find("zlibwapi.dll"), std::string::npos) << c.label << ": " << content.text;
        EXPECT_NE(content.text.find(c.missingFunction), std::string::npos) << c.label << ": " << content.text;
        EXPECT_EQ(GetWindowLongA(*box, GWL_STYLE) & WS_VISIBLE, WS_VISIBLE);
        CloseMessageBox(*box);
        EXPECT_EQ(child.WaitForExit(20000), std::optional<DWORD>(0xFFFFFFFF)) << c.label;
        EXPECT_TRUE(ReadFileBytes(archive)) << c.label << ": the archive must be untouched";
    }
}

}  // namespace
}  // namespace quandrel

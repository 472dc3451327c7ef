#include "base/path_text.h"

#include <gtest/gtest.h>

namespace quandrel {
namespace {

TEST(PathText, FolderOfPath) {
    const struct {
        const char* path;
        const char* folder;
    } cases[] = {
        {"C:\\app\\quandrel.exe", "C:\\app"},
        {"D:\\quandrel.exe", "D:"},
        {"quandrel.exe", ""},
        {"C:\\\xd3\xce\xcf\xb7\\quandrel.exe", "C:\\\xd3\xce\xcf\xb7"},
        // The last '\' byte is the trail of a double-byte character, not a separator.
        {"C:\\app\\\x95\x5c.exe", "C:\\app"},
        {"C:\\\x95\x5c\\quandrel.exe", "C:\\\x95\x5c"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FolderOfPath(c.path), c.folder) << c.path;
    }
}

TEST(PathText, JoinPath) {
    const struct {
        const char* folder;
        const char* name;
        const char* joined;
    } cases[] = {
        {"C:\\archives", "a.zip", "C:\\archives\\a.zip"},
        {"D:\\", "a.zip", "D:\\a.zip"},
        {"D:", "peizhi.ini", "D:\\peizhi.ini"},
        // A folder ending in a trail byte 0x5C still needs its separator.
        {"C:\\\x95\x5c", "a.zip", "C:\\\x95\x5c\\a.zip"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(JoinPath(c.folder, c.name), c.joined) << c.folder << " + " << c.name;
    }
}

}  // namespace
}  // namespace quandrel

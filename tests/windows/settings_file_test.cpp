// The settings file through the system's profile functions under Wine: every
// value comes back as it was saved, the file looks as the profile functions
// write it, and a file that cannot be written breaks nothing.
#include "settings/settings_file.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "app/default_folder.h"
#include "base/path_text.h"
#include "base/program_folder.h"
#include "base/win_owners.h"
#include "tests/support/test_folder.h"

namespace quandrel {

// Found by GoogleTest next to Settings; long values are shown by their start and size.
void PrintTo(const Settings& settings, std::ostream* out) {
    *out << "{folder \"" << settings.folder.substr(0, 80) << "\" (" << settings.folder.size() << " bytes), suffix \""
         << settings.suffix.substr(0, 80) << "\" (" << settings.suffix.size() << " bytes)}";
}

namespace {

using namespace quandrel::testing;

TEST(SettingsFile, ValuesComeBackAsSaved) {
    const std::string longFolder(12000, 'a');
    const struct {
        const char* what;
        Settings saved;
        Settings read;
    } cases[] = {
        {"plain", {"C:\\archives", "e"}, {"C:\\archives", "e"}},
        {"GBK", {"D:\\游戏\\压缩包", "游戏.exe"}, {"D:\\游戏\\压缩包", "游戏.exe"}},
        // 0x95 0x5C is one GBK character whose trail byte is a backslash.
        {"GBK trail byte 0x5C", {"C:\\\x95\x5c", "\x95\x5c"}, {"C:\\\x95\x5c", "\x95\x5c"}},
        {"spaces and =", {"C:\\my archives\\a=b", "a = b.exe"}, {"C:\\my archives\\a=b", "a = b.exe"}},
        {"spaces at the ends", {"  C:\\x  ", "\te "}, {"  C:\\x  ", "\te "}},
        {"quotes", {"\"C:\\x\"", "'e'"}, {"\"C:\\x\"", "'e'"}},
        {"lone quotes", {"\"C:\\x", "e\""}, {"\"C:\\x", "e\""}},
        {"empty", {"", ""}, {"", ""}},
        {"over-long cut to 10239 bytes", {longFolder, "e"}, {longFolder.substr(0, 10239), "e"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const TestFolder folder("设置");
        const std::string ini = folder / "peizhi.ini";
        WriteSettings(ini, c.saved);
        EXPECT_EQ(ReadSettings(ini), c.read);
    }
}

TEST(SettingsFile, FileAsTheProfileFunctionsWriteIt) {
    const struct {
        const char* what;
        Settings saved;
        const char* bytes;
    } cases[] = {
        {"first save", {"D:\\游戏", "e"}, "[配置]\r\n路径=D:\\游戏\r\n后缀=e\r\n"},
        {"empty boxes", {"", ""}, "[配置]\r\n路径=\r\n后缀=\r\n"},
        {"spaces at the ends are quoted", {" D:\\x", "e"}, "[配置]\r\n路径=\" D:\\x\"\r\n后缀=e\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const TestFolder folder;
        const std::string ini = folder / "peizhi.ini";
        WriteSettings(ini, c.saved);
        EXPECT_EQ(ReadFileBytes(ini), std::string(c.bytes));
    }
}

TEST(SettingsFile, ReadsWhatIsThereAndNothingElse) {
    const struct {
        const char* what;
        const char* bytes;  // nullptr: no file
        Settings read;
    } cases[] = {
        {"no file", nullptr, {"", ""}},
        {"empty file", "", {"", ""}},
        {"another section", "[其他]\r\n路径=D:\\x\r\n后缀=e\r\n", {"", ""}},
        {"one key", "[配置]\r\n后缀=.exe\r\n", {"", ".exe"}},
        {"spaces around = and the value", "[配置]\r\n路径 =  D:\\游戏 \r\n后缀= e\r\n", {"D:\\游戏", "e"}},
        {"LF only", "[配置]\n路径=D:\\x\n后缀=e\n", {"D:\\x", "e"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const TestFolder folder;
        const std::string ini = folder / "peizhi.ini";
        if (c.bytes) {
            WriteFileBytes(ini, c.bytes);
        }
        EXPECT_EQ(ReadSettings(ini), c.read);
    }
}

TEST(SettingsFile, AnUnwritableFileIsLeftAlone) {
    const TestFolder folder;
    const std::string before = "[配置]\r\n路径=D:\\旧\r\n后缀=e\r\n";

    // Held open by another program without sharing: every write fails.
    const std::string held = folder / "held.ini";
    WriteFileBytes(held, before);
    {
        const UniqueFileHandle holder(
            CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(holder);
        WriteSettings(held, {"D:\\新", ".exe"});
    }
    EXPECT_EQ(ReadFileBytes(held), before);

    const std::string inMissingFolder = folder / "missing\\peizhi.ini";
    WriteSettings(inMissingFolder, {"D:\\新", ".exe"});
    EXPECT_EQ(GetFileAttributesA(inMissingFolder.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(SettingsFile, AReadOnlyFileIsLeftAlone) {
    const TestFolder folder;
    const std::string before = "[配置]\r\n路径=D:\\旧\r\n后缀=e\r\n";
    const std::string readOnly = folder / "peizhi.ini";
    WriteFileBytes(readOnly, before);
    ASSERT_TRUE(SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
    // Windows refuses to write a read-only file; Wine run by root does not.
    if (UniqueFileHandle(CreateFileA(readOnly.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr))) {
        GTEST_SKIP() << "this system lets read-only files be written (Wine run as root)";
    }
    WriteSettings(readOnly, {"D:\\新", ".exe"});
    EXPECT_EQ(ReadFileBytes(readOnly), before);
}

TEST(SettingsFile, FileNameBesideTheProgram) {
    const struct {
        const char* programPath;
        const char* iniPath;
    } cases[] = {
        {"C:\\Quandrel\\quandrel.exe", "C:\\Quandrel\\peizhi.ini"},
        {"D:\\quandrel.exe", "D:\\peizhi.ini"},
        {"C:\\工具\\改名\\quandrel.exe", "C:\\工具\\改名\\peizhi.ini"},
        // The last 0x5C byte is the trail of a GBK character, not a separator.
        {"C:\\tools\\\x95\x5c\\quandrel.exe", "C:\\tools\\\x95\x5c\\peizhi.ini"},
        {"C:\\tools\\\x95\x5c.exe", "C:\\tools\\peizhi.ini"},
        {"E:\\\x95\x5c.exe", "E:\\peizhi.ini"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SettingsFilePathOf(c.programPath), c.iniPath) << c.programPath;
    }
}

TEST(SettingsFile, FileOfTheRunningProgramIsInItsFolder) {
    const std::string ini = SettingsFilePathOf(ProgramPath());
    char program[MAX_PATH * 4] = {};
    ASSERT_GT(GetModuleFileNameA(nullptr, program, sizeof program), 0u);
    EXPECT_EQ(ini, FolderOfPath(program) + "\\peizhi.ini");
    // Not the current directory, which a start from elsewhere would give.
    const TestFolder elsewhere;
    ASSERT_TRUE(SetCurrentDirectoryA(elsewhere.path().c_str()));
    EXPECT_EQ(SettingsFilePathOf(ProgramPath()), ini);
    SetCurrentDirectoryA(FolderOfPath(program).c_str());
}

TEST(SettingsFile, DefaultFolderIsTheUsersDesktop) {
    const std::string desktop = DefaultArchiveFolder();
    ASSERT_FALSE(desktop.empty());
    const DWORD attributes = GetFileAttributesA(desktop.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << desktop;
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY) << desktop;
    char profile[MAX_PATH] = {};
    ASSERT_GT(GetEnvironmentVariableA("USERPROFILE", profile, sizeof profile), 0u);
    EXPECT_EQ(CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, desktop.c_str(),
                             static_cast<int>(std::string(profile).size()), profile, -1),
              CSTR_EQUAL)
        << desktop << " is not in " << profile;
    EXPECT_NE(desktop.back(), '\\');
}

}  // namespace
}  // namespace quandrel

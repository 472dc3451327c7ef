// The real quandrel.exe: its settings file beside it across starts, and its
// usage and browse buttons. Each test runs a private copy of the program in a
// folder of its own, so the settings file is the test's.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>

#include "app/control_layout.h"
#include "app/default_folder.h"
#include "base/path_text.h"
#include "settings/settings_file.h"
#include "tests/support/child_process.h"
#include "tests/support/gbk_literal.h"
#include "tests/support/test_folder.h"
#include "tests/support/tree_view.h"

namespace quandrel {
namespace {

using namespace quandrel::testing;

constexpr DWORD kPatienceMs = 60000;  // a bound for a hung program, not a measure

// Waits until `condition` holds; false when it never did within the patience.
template <typename Condition>
bool Eventually(Condition condition) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > kPatienceMs) {
            return false;
        }
        Sleep(20);
    }
    return true;
}

// quandrel.exe copied into `folder`.
std::string CopyProgramTo(const std::string& folder) {
    const std::string program = JoinPath(folder, "quandrel.exe");
    if (!CopyFileA(JoinPath(BuildOutputFolder(), "quandrel.exe").c_str(), program.c_str(), FALSE)) {
        throw std::runtime_error("cannot copy the program to " + folder);
    }
    return program;
}

class RunningProgram {
public:
    RunningProgram(const std::string& program, const std::string& currentFolder)
        : process_(program, "", currentFolder) {
        Eventually([this] {
            for (HWND window : TopLevelWindowsOf(process_.id())) {
                char className[64] = {};
                GetClassNameA(window, className, sizeof className);
                if (std::string(className) == kMainWindowClass && IsWindowVisible(window)) {
                    window_ = window;
                    return true;
                }
            }
            return false;
        });
        if (!window_) {
            throw std::runtime_error("no main window from " + program);
        }
    }

    HWND window() const { return window_; }
    DWORD id() const { return process_.id(); }
    HWND control(Control control) const { return GetDlgItem(window_, ControlId(control)); }
    std::string text(Control control) const { return TextOf(this->control(control)); }

    // Returns once the program's main thread is back in its message loop.
    void WaitUntilIdle() const {
        DWORD_PTR result = 0;
        SendMessageTimeoutA(window_, WM_NULL, 0, 0, SMTO_NORMAL, kPatienceMs, &result);
    }
    // Closes the window as the close box does; whether the program then ended with 0.
    bool Close() {
        PostMessageA(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
        return process_.WaitForExit(kPatienceMs) == std::optional<DWORD>(0);
    }
    // Presses Esc in the folder box: the key goes through the program's message loop.
    bool PressEscape() {
        PostMessageA(control(编辑框1), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        PostMessageA(control(编辑框1), WM_KEYUP, VK_ESCAPE, 0xC0010001);
        return process_.WaitForExit(kPatienceMs) == std::optional<DWORD>(0);
    }

private:
    ChildProcess process_;
    HWND window_ = nullptr;
};

std::string SettingsFileBytes(const std::string& folder, const std::string& suffix) {
    return "[配置]\r\n路径=" + folder + "\r\n后缀=" + suffix + "\r\n";
}

// ---- The settings file across starts

TEST(SettingsInProgram, FirstStartShowsTheDefaultsAndTheCloseWritesBothKeys) {
    const TestFolder folder("quandrel-program");
    const std::string program = CopyProgramTo(folder.path());
    RunningProgram first(program, folder.path());
    EXPECT_EQ(first.text(编辑框1), DefaultArchiveFolder());
    EXPECT_EQ(first.text(编辑框2), "e");
    ASSERT_TRUE(first.Close());
    EXPECT_EQ(ReadFileBytes(folder / "peizhi.ini"), SettingsFileBytes(DefaultArchiveFolder(), "e"));
}

TEST(SettingsInProgram, BoxesComeBackOnTheNextStart) {
    const struct {
        const char* what;
        std::string folder;
        std::string suffix;
        bool closeWithEscape;
    } cases[] = {
        {"GBK, closed by the close box", "D:\\游戏\\压缩包", "游戏.exe", false},
        {"GBK, closed by Esc", "D:\\资料\\\x95\x5c", ".\x95\x5c", true},
        {"spaces and =", "C:\\my archives\\a=b", "a = b.exe", true},
        {"spaces at the ends", "  C:\\x ", " e", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const TestFolder folder("quandrel-program");
        const std::string program = CopyProgramTo(folder.path());
        {
            RunningProgram first(program, folder.path());
            SetTextOf(first.control(编辑框1), c.folder);
            SetTextOf(first.control(编辑框2), c.suffix);
            ASSERT_TRUE(c.closeWithEscape ? first.PressEscape() : first.Close());
        }
        RunningProgram second(program, folder.path());
        EXPECT_EQ(second.text(编辑框1), c.folder);
        EXPECT_EQ(second.text(编辑框2), c.suffix);
        EXPECT_TRUE(second.Close());
    }
}

// An empty value in the file leaves a box's initial text; empty boxes are kept as "key=".
TEST(SettingsInProgram, EmptyValuesLeaveTheInitialTexts) {
    const TestFolder folder("quandrel-program");
    const std::string program = CopyProgramTo(folder.path());
    WriteFileBytes(folder / "peizhi.ini", SettingsFileBytes("", ""));
    {
        RunningProgram first(program, folder.path());
        EXPECT_EQ(first.text(编辑框1), DefaultArchiveFolder());
        EXPECT_EQ(first.text(编辑框2), "e");
        SetTextOf(first.control(编辑框1), "");
        SetTextOf(first.control(编辑框2), "");
        ASSERT_TRUE(first.Close());
    }
    EXPECT_EQ(ReadFileBytes(folder / "peizhi.ini"), SettingsFileBytes("", ""));
    RunningProgram second(program, folder.path());
    EXPECT_EQ(second.text(编辑框1), DefaultArchiveFolder());
    EXPECT_EQ(second.text(编辑框2), "e");
    EXPECT_TRUE(second.Close());
}

// Started from another current folder, which holds a settings file of its own,
// the program still reads and writes only the file beside itself. Its folder
// name holds a GBK character whose trail byte is a backslash.
TEST(SettingsInProgram, StartedElsewhereItUsesTheFileBesideItself) {
    const TestFolder programFolder("程序\x95\x5c");
    const TestFolder elsewhere("别处");
    const std::string program = CopyProgramTo(programFolder.path());
    const std::string elsewhereBytes = SettingsFileBytes("D:\\别处", ".txt");
    WriteFileBytes(elsewhere / "peizhi.ini", elsewhereBytes);
    WriteFileBytes(programFolder / "peizhi.ini", SettingsFileBytes("D:\\旁边", ".exe"));
    {
        RunningProgram started(program, elsewhere.path());
        EXPECT_EQ(started.text(编辑框1), "D:\\旁边");
        EXPECT_EQ(started.text(编辑框2), ".exe");
        SetTextOf(started.control(编辑框2), ".dat");
        ASSERT_TRUE(started.Close());
    }
    EXPECT_EQ(ReadFileBytes(programFolder / "peizhi.ini"), SettingsFileBytes("D:\\旁边", ".dat"));
    EXPECT_EQ(ReadFileBytes(elsewhere / "peizhi.ini"), elsewhereBytes);
}

// A program in a drive root keeps "X:\peizhi.ini". tools/wine-prefix maps drive
// Q: onto a folder of the test prefix.
TEST(SettingsInProgram, ProgramInADriveRoot) {
    ASSERT_NE(GetFileAttributesA("Q:\\"), INVALID_FILE_ATTRIBUTES) << "no Q: drive in this Wine prefix";
    struct Cleanup {
        ~Cleanup() {
            SetFileAttributesA("Q:\\peizhi.ini", FILE_ATTRIBUTE_NORMAL);
            DeleteFileA("Q:\\peizhi.ini");
            DeleteFileA("Q:\\quandrel.exe");
        }
    } cleanup;
    DeleteFileA("Q:\\peizhi.ini");  // nothing of an earlier run may stay
    const std::string program = CopyProgramTo("Q:\\");
    WriteFileBytes("Q:\\peizhi.ini", SettingsFileBytes("Q:\\压缩包", ".exe"));
    RunningProgram started(program, BuildOutputFolder());
    EXPECT_EQ(started.text(编辑框1), "Q:\\压缩包");
    EXPECT_EQ(started.text(编辑框2), ".exe");
    SetTextOf(started.control(编辑框1), "Q:\\");
    ASSERT_TRUE(started.Close());
    EXPECT_EQ(ReadFileBytes("Q:\\peizhi.ini"), SettingsFileBytes("Q:\\", ".exe"));
}

// ---- The usage and browse buttons

// Clicks a button of the program without waiting: its handler opens a modal window.
void Click(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }

TEST(CommandsInProgram, UsageBoxKeepsTheWindowFromInput) {
    const TestFolder folder("quandrel-program");
    RunningProgram program(CopyProgramTo(folder.path()), folder.path());
    Click(program.control(按钮3));
    const auto box = WaitForMessageBox(program.id(), kPatienceMs);
    ASSERT_TRUE(box);
    EXPECT_EQ(ReadMessageBox(*box).text.substr(0, 3), Gbk(u8"1、"));
    EXPECT_EQ(GetWindow(*box, GW_OWNER), program.window());
    EXPECT_FALSE(IsWindowEnabled(program.window()));
    CloseMessageBox(*box);
    EXPECT_TRUE(Eventually([&] { return IsWindowEnabled(program.window()) != FALSE; }));
    EXPECT_TRUE(Eventually([&] { return GetForegroundWindow() == program.window(); }));
    EXPECT_TRUE(program.Close());
}

TEST(CommandsInProgram, BrowsePutsTheChosenFolderInTheFolderBox) {
    const struct {
        const char* what;
        int button;
        const char* folderBox;
    } cases[] = {
        {"OK on a drive root", IDOK, "C:\\"},
        {"Cancel keeps the old text", IDCANCEL, "D:\\旧"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const TestFolder folder("quandrel-program");
        RunningProgram program(CopyProgramTo(folder.path()), folder.path());
        SetTextOf(program.control(编辑框1), "D:\\旧");
        Click(program.control(按钮1));
        const auto chooser = WaitForMessageBox(program.id(), kPatienceMs);
        ASSERT_TRUE(chooser);
        EXPECT_FALSE(IsWindowEnabled(program.window()));
        HWND tree = FindWindowExA(*chooser, nullptr, "SysTreeView32", nullptr);
        const auto drive = FindTreePath(tree, {Gbk(u8"桌面"), Gbk(u8"我的电脑"), "(C:)"});
        ASSERT_TRUE(drive);
        SelectTreeItem(tree, *drive);
        PostMessageA(*chooser, WM_COMMAND, MAKEWPARAM(c.button, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(*chooser, c.button)));
        EXPECT_TRUE(Eventually([&] { return IsWindowEnabled(program.window()) != FALSE; }));
        program.WaitUntilIdle();  // the handler writes the box after the chooser has gone
        EXPECT_EQ(program.text(编辑框1), c.folderBox);
        EXPECT_TRUE(program.Close());
    }
}

}  // namespace
}  // namespace quandrel

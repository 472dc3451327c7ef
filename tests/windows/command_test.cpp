// The usage notes and the folder chooser, driven for real: a helper program
// (command_probe) opens windows of its own and runs the command; the test finds
// the system window it opens, reads it, checks that the helper's windows take no
// input meanwhile, answers it, and reads what the helper printed afterwards.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>

#include "app/usage_text.h"
#include "base/path_text.h"
#include "tests/support/child_process.h"
#include "tests/support/gbk_literal.h"
#include "tests/support/test_folder.h"
#include "tests/support/tree_view.h"

namespace quandrel {
namespace {

using namespace quandrel::testing;

constexpr DWORD kWindowTimeoutMs = 60000;  // a bound for a hung helper, not a measure

std::map<std::string, std::string> ProbeReport(const std::string& output) {
    std::map<std::string, std::string> report;
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos) {
            report[line.substr(0, equals)] = line.substr(equals + 1);
        }
    }
    return report;
}

std::string ProbePath() { return JoinPath(BuildOutputFolder(), "command_probe.exe"); }

struct ProbeWindows {
    HWND main;
    HWND other;
    HWND locked;
};

ProbeWindows FindProbeWindows(DWORD processId) {
    return {FindWindowByTitle(processId, "probe main").value_or(nullptr),
            FindWindowByTitle(processId, "probe other").value_or(nullptr),
            FindWindowByTitle(processId, "probe locked").value_or(nullptr)};
}

void ExpectAllDisabled(const ProbeWindows& windows) {
    ASSERT_TRUE(windows.main && windows.other && windows.locked);
    EXPECT_FALSE(IsWindowEnabled(windows.main));
    EXPECT_FALSE(IsWindowEnabled(windows.other));
    EXPECT_FALSE(IsWindowEnabled(windows.locked));
}

// After the command each window is as it was before it, and "probe main" is active again.
void ExpectRestored(const std::map<std::string, std::string>& report) {
    EXPECT_EQ(report.at("main"), "1");
    EXPECT_EQ(report.at("other"), "1");
    EXPECT_EQ(report.at("locked"), "0");
    EXPECT_EQ(report.at("active"), "probe main");
    EXPECT_EQ(report.at("foreground"), "probe main");
}

bool HasChildWithText(HWND parent, const std::string& text) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (WindowText(child) == text) {
            return true;
        }
    }
    return false;
}

TEST(UsageText, SevenLinesByteForByte) {
    const std::string expected =
        Gbk(u8"1、浏览选择存放压缩文件的目录；") + "\r\n" +
        Gbk(u8"2、填写后缀名（程序会查找压缩包内是否有该后缀名的文件，如果有会以该文件名作为压缩包修改后文件名）；") +
        "\r\n" + Gbk(u8"3、点击 文件更名，开始执行；") + "\r\n" + "\r\n" +
        Gbk(u8"*软件会自动记录路径和后缀名，减少后期重复填写麻烦；") + "\r\n" + "\r\n" +
        Gbk(u8"承接各类小工具定制，联系邮箱：custom@quandrel.example");
    EXPECT_EQ(UsageText(), expected);
    // "1、" in GBK, as the program's own literals must come out.
    EXPECT_EQ(UsageText().substr(0, 3), "\x31\xA1\xA2");
}

TEST(UsageBox, ShowsTheNotesWhileTheProgramTakesNoInput) {
    ChildProcess probe(ProbePath(), "usage", BuildOutputFolder(), ChildProcess::OutputMode::Capture);
    const auto box = WaitForMessageBox(probe.id(), kWindowTimeoutMs);
    ASSERT_TRUE(box) << "no usage box";
    const MessageBoxContent content = ReadMessageBox(*box);
    EXPECT_EQ(content.title, Gbk(u8"软件使用说明"));
    EXPECT_EQ(content.text, UsageText());
    const ProbeWindows windows = FindProbeWindows(probe.id());
    ExpectAllDisabled(windows);
    EXPECT_EQ(GetWindow(*box, GW_OWNER), windows.main);

    CloseMessageBox(*box);
    ASSERT_EQ(probe.WaitForExit(kWindowTimeoutMs), 0u);
    ExpectRestored(ProbeReport(probe.CapturedOutput()));
}

// What a test does in the open chooser before it presses a button; returns false
// when the chooser lacks what the test needs.
using ChooserStep = std::function<bool(HWND dialog)>;

struct ChooserRun {
    bool stepDone = false;
    std::map<std::string, std::string> report;
};

// Opens the chooser in the helper, checks it and the helper's windows, takes
// `step` and presses `button`.
ChooserRun ChooseInProbe(const ChooserStep& step, int button) {
    ChooserRun run;
    ChildProcess probe(ProbePath(), "choose", BuildOutputFolder(), ChildProcess::OutputMode::Capture);
    const auto dialog = WaitForMessageBox(probe.id(), kWindowTimeoutMs);
    if (!dialog) {
        ADD_FAILURE() << "no folder chooser";
        return run;
    }
    const ProbeWindows windows = FindProbeWindows(probe.id());
    ExpectAllDisabled(windows);
    EXPECT_EQ(GetWindow(*dialog, GW_OWNER), windows.main) << "the chooser belongs to the active window";
    EXPECT_TRUE(HasChildWithText(*dialog, Gbk(u8"选择目录："))) << "the text above the tree";

    run.stepDone = step(*dialog);
    PostMessageA(*dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(*dialog, button)));
    const auto exitCode = probe.WaitForExit(kWindowTimeoutMs);
    EXPECT_EQ(exitCode, 0u);
    if (exitCode == 0u) {
        run.report = ProbeReport(probe.CapturedOutput());
        ExpectRestored(run.report);
    }
    return run;
}

HWND TreeOf(HWND dialog) { return FindWindowExA(dialog, nullptr, "SysTreeView32", nullptr); }

// Selects the item reached by following `texts` from the root.
ChooserStep SelectInTree(std::vector<std::string> texts) {
    return [texts](HWND dialog) {
        const auto item = FindTreePath(TreeOf(dialog), texts);
        if (!item) {
            ADD_FAILURE() << "no tree item on the path";
            return false;
        }
        SelectTreeItem(TreeOf(dialog), *item);
        return true;
    };
}

ChooserStep TypeInEditField(std::string path) {
    return [path](HWND dialog) {
        HWND edit = FindWindowExA(dialog, nullptr, "Edit", nullptr);
        if (!edit) {
            return false;
        }
        SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
        return true;
    };
}

// A folder of the user's desktop, so the chooser's tree shows it under its root.
class DesktopFolder {
public:
    explicit DesktopFolder(const std::string& name) : path_(JoinPath(DesktopPath(), name)) {
        if (!CreateDirectoryA(path_.c_str(), nullptr)) {
            throw std::runtime_error("cannot create " + path_);
        }
    }
    DesktopFolder(const DesktopFolder&) = delete;
    DesktopFolder& operator=(const DesktopFolder&) = delete;
    ~DesktopFolder() { RemoveTree(path_); }
    const std::string& path() const { return path_; }

    static std::string DesktopPath() {
        char path[MAX_PATH] = {};
        SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, path);
        return path;
    }

private:
    std::string path_;
};

TEST(FolderChooser, ChoiceInTheTree) {
    const std::string gbkName = Gbk(u8"压缩包-") + std::to_string(GetCurrentProcessId());
    const DesktopFolder gbkFolder(gbkName);
    const std::string desktop = Gbk(u8"桌面");
    const struct {
        const char* what;
        std::vector<std::string> items;
        int button;
        std::string result;
    } cases[] = {
        {"the desktop, the root", {desktop}, IDOK, DesktopFolder::DesktopPath()},
        {"a GBK folder on the desktop", {desktop, gbkName}, IDOK, gbkFolder.path()},
        {"a drive root keeps its backslash", {desktop, Gbk(u8"我的电脑"), "(C:)"}, IDOK, "C:\\"},
        {"no file-system path gives nothing", {desktop, Gbk(u8"我的电脑")}, IDOK, "none"},
        {"Cancel gives nothing", {desktop, Gbk(u8"我的电脑"), "(C:)"}, IDCANCEL, "none"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ChooserRun run = ChooseInProbe(SelectInTree(c.items), c.button);
        EXPECT_TRUE(run.stepDone);
        ASSERT_TRUE(run.report.count("result"));
        EXPECT_EQ(run.report.at("result"), c.result);
    }
}

// Windows shows BIF_EDITBOX's edit field in the classic chooser; Wine 8 shows it
// only in the new-style chooser, so under Wine these cases are skipped.
TEST(FolderChooser, PathTypedInTheEditField) {
    const struct {
        const char* what;
        const char* typed;
        int button;
        const char* result;
    } cases[] = {
        {"a folder", "C:\\windows", IDOK, "C:\\windows"},
        {"a folder with a trailing backslash", "C:\\windows\\system32\\", IDOK, "C:\\windows\\system32"},
        {"a drive root keeps its backslash", "C:\\", IDOK, "C:\\"},
        {"Cancel gives nothing", "C:\\windows", IDCANCEL, "none"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ChooserRun run = ChooseInProbe(TypeInEditField(c.typed), c.button);
        if (!run.stepDone) {
            GTEST_SKIP() << "this system's folder chooser shows no edit field for BIF_EDITBOX (Wine 8)";
        }
        ASSERT_TRUE(run.report.count("result"));
        EXPECT_EQ(run.report.at("result"), c.result);
    }
}

}  // namespace
}  // namespace quandrel

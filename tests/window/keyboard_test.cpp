// The keyboard as a user presses it (SendInput): the Tab cycle, Esc, Enter, F1,
// and the focus coming back after the window was deactivated.
#include <windows.h>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "tests/window/quandrel_window.h"

namespace quandrel::testing {
namespace {

// Each control by its name in the layout.
constexpr std::pair<Control, const char*> kControlNames[] = {
    {编辑框1, "编辑框1"},
    {编辑框2, "编辑框2"},
    {按钮1, "按钮1"},
    {按钮2, "按钮2"},
    {按钮3, "按钮3"},
    {标签1, "标签1"},
    {标签2, "标签2"},
    {标签3, "标签3"},
    {标签4, "标签4"},
    {超级列表框1, "超级列表框1"},
    {超级列表框2, "超级列表框2"},
};

const char* NameOf(const QuandrelWindow& program, HWND control) {
    for (const auto& [id, name] : kControlNames) {
        if (program.control(id) == control) {
            return name;
        }
    }
    return "(not a control)";
}

// Presses a key and waits for the focus to move; the control that has it then.
HWND PressAndFollowFocus(const QuandrelWindow& program, WORD key, bool shift) {
    HWND before = program.Focus();
    PressKey(key, shift);
    return program.WaitForFocusOtherThan(before);
}

TEST(KeyboardTest, FirstFocusIsOnTheUpperList) {
    QuandrelWindow program;
    EXPECT_STREQ(NameOf(program, program.Focus()), "超级列表框1");
}

TEST(KeyboardTest, TabAndShiftTabCycleThroughTheFocusableControls) {
    struct Case {
        const char* keys;
        bool shift;
        std::vector<const char*> visits;  // from 超级列表框1, all the way round
    };
    const Case cases[] = {
        {"Tab", false, {"按钮2", "按钮1", "编辑框1", "超级列表框2", "编辑框2", "按钮3", "超级列表框1"}},
        {"Shift+Tab", true, {"按钮3", "编辑框2", "超级列表框2", "编辑框1", "按钮1", "按钮2", "超级列表框1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        QuandrelWindow program;
        ASSERT_STREQ(NameOf(program, program.Focus()), "超级列表框1");
        for (const char* expected : c.visits) {
            EXPECT_STREQ(NameOf(program, PressAndFollowFocus(program, VK_TAB, c.shift)), expected);
        }
    }
}

TEST(KeyboardTest, ClosingByKeyOrCloseBoxSavesBothBoxes) {
    struct Case {
        const char* how;
        void (*close)(HWND window);
    };
    const Case cases[] = {
        {"Esc", [](HWND) { PressKey(VK_ESCAPE); }},
        {"Alt+F4", [](HWND) { PressAltF4(); }},
        {"close box", [](HWND window) { PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        QuandrelWindow program;
        SetTextOf(program.control(编辑框1), "D:\\压缩包\\新");
        SetTextOf(program.control(编辑框2), ".exe");
        c.close(program.window());
        ASSERT_EQ(program.process().WaitForExit(kPatienceMs), std::optional<DWORD>(0));
        const Settings saved = ReadSettings(program.settingsPath());
        EXPECT_EQ(saved.folder, "D:\\压缩包\\新");
        EXPECT_EQ(saved.suffix, ".exe");
    }
}

TEST(KeyboardTest, EnterAndF1InTheEditBoxesStartNothingAndKeepTheFocus) {
    // With an empty suffix, a started run would open its task-modal box at once
    // and swallow the Tab that follows; with the box there no control of the
    // window would have the focus. The Tab after each key therefore shows both
    // that the key was handled and that nothing started.
    struct Case {
        const char* where;
        int tabsFromStart;
        WORD key;
        const char* focusAfterTab;
    };
    const Case cases[] = {
        {"Enter in 编辑框1", 3, VK_RETURN, "超级列表框2"}, {"Enter in 编辑框2", 5, VK_RETURN, "按钮3"},
        {"F1 in 编辑框1", 3, VK_F1, "超级列表框2"},        {"Enter on 按钮2", 1, VK_RETURN, "按钮1"},
        {"Enter in 超级列表框1", 0, VK_RETURN, "按钮2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        QuandrelWindow program;
        SetTextOf(program.control(编辑框2), "");
        for (int i = 0; i < c.tabsFromStart; ++i) {
            PressAndFollowFocus(program, VK_TAB, false);
        }
        HWND before = program.Focus();
        PressKey(c.key);
        EXPECT_STREQ(NameOf(program, PressAndFollowFocus(program, VK_TAB, false)), c.focusAfterTab)
            << "from " << NameOf(program, before);
        EXPECT_FALSE(WaitForMessageBox(program.process().id(), 0).has_value());
        EXPECT_EQ(ListRowCount(program.control(超级列表框1)), 0);
        EXPECT_EQ(TextOf(program.control(标签2)), "");
    }
}

// A window of the test's own, to take the activation away from the program.
class OtherWindow {
public:
    OtherWindow()
        : window_(CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE | WS_BORDER, 10, 10, 100, 50, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr)) {}
    OtherWindow(const OtherWindow&) = delete;
    OtherWindow& operator=(const OtherWindow&) = delete;
    ~OtherWindow() { DestroyWindow(window_); }

    void Activate() const {
        SetForegroundWindow(window_);
        WaitUntil([&] {
            MSG message;
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
                DispatchMessageA(&message);
            }
            return GetForegroundWindow() == window_;
        });
    }

private:
    HWND window_;
};

TEST(KeyboardTest, FocusComesBackAfterDeactivation) {
    struct Case {
        int tabsFromStart;
        const char* focus;
    };
    for (const Case& c : {Case{0, "超级列表框1"}, Case{3, "编辑框1"}, Case{5, "编辑框2"}, Case{6, "按钮3"}}) {
        SCOPED_TRACE(c.focus);
        QuandrelWindow program;
        for (int i = 0; i < c.tabsFromStart; ++i) {
            PressAndFollowFocus(program, VK_TAB, false);
        }
        ASSERT_STREQ(NameOf(program, program.Focus()), c.focus);

        OtherWindow other;
        other.Activate();
        ASSERT_NE(GetForegroundWindow(), program.window());
        EXPECT_TRUE(WaitUntil([&] { return program.Focus() == nullptr; })) << "the program gave up the focus";

        program.BringToFront();
        EXPECT_STREQ(NameOf(program, program.Focus()), c.focus);
    }
}

}  // namespace
}  // namespace quandrel::testing

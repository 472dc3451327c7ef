// Driving the real quandrel.exe from a test: a private copy of the program in a
// test folder (so its settings file is the test's own), its main window found and
// read back from outside, real key presses and mouse clicks.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "app/control_layout.h"
#include "settings/settings_file.h"
#include "tests/support/child_process.h"
#include "tests/support/test_folder.h"

namespace quandrel::testing {

inline constexpr DWORD kPatienceMs = 60000;  // how long a test waits for the program at most

class QuandrelWindow {
public:
    // Copies quandrel.exe and zlibwapi.dll (unless told not to) into a fresh
    // program folder, with a settings file holding `settings` when they are
    // given, starts the copy and waits for its window.
    explicit QuandrelWindow(const std::optional<Settings>& settings = std::nullopt, bool withUnzipLibrary = true);
    QuandrelWindow(const QuandrelWindow&) = delete;
    QuandrelWindow& operator=(const QuandrelWindow&) = delete;
    // Closes the window as a user would, so that no test leaves a window (or a
    // mouse capture) behind for the next.
    ~QuandrelWindow();

    HWND window() const { return window_; }
    HWND control(Control control) const;
    const std::string& programFolder() const { return programFolder_.path(); }
    std::string settingsPath() const { return programFolder_ / "peizhi.ini"; }
    ChildProcess& process() { return *process_; }

    // The control that has the keyboard focus in the program, or null.
    HWND Focus() const;
    // Waits until the focus is on a control other than `previous`; the focus then.
    HWND WaitForFocusOtherThan(HWND previous) const;
    // Makes the window the foreground window and waits until it has the focus.
    void BringToFront() const;

private:
    TestFolder programFolder_{"quandrel-program"};
    std::optional<ChildProcess> process_;
    HWND window_ = nullptr;
};

// ---- Reading another process's windows

std::string ClassOf(HWND window);
RECT RectInParent(HWND child);  // the child's window rectangle in its parent's client coordinates

int ListRowCount(HWND list);
std::string ListCell(HWND list, int row, int column);
struct ListColumn {
    std::string title;
    int width;
    int format;
};
std::vector<ListColumn> ListColumns(HWND list);
struct ListRow {
    std::string number;  // the 序号 column
    std::string path;    // the 文件路径 column

    bool operator==(const ListRow&) const = default;
};
std::vector<ListRow> ListRows(HWND list);

// Waits for the box that ends a run (or a preview, or an undo), reads it and
// closes it; throws when none comes.
MessageBoxContent CloseEndBox(QuandrelWindow& program);
// Waits for the program's popup menu, moves down it `downs` items (separators
// are passed over) and chooses that item with Enter.
void ChooseFromPopupMenu(QuandrelWindow& program, int downs);

// The colour on screen at a point of a window's client area, once painting has
// settled on `expected` (or whatever is there after the patience runs out).
COLORREF ScreenPixel(HWND window, POINT client, COLORREF expected);
// How many pixels of the window's client rectangle `area` show `colour`, each
// channel within `tolerance`.
int CountPixelsNear(HWND window, const RECT& area, COLORREF colour, int tolerance);
// The same for a rectangle of the whole window, frame and caption included.
int CountFramePixelsNear(HWND window, const RECT& area, COLORREF colour, int tolerance);

// ---- Input as a user gives it

void PressKey(WORD key, bool shift = false);
void PressAltF4();
void PressAltSpace();  // the window's system menu
// The pointer to a point of a window's client area, and clicks there.
void MovePointer(HWND window, POINT client);
void RightClick(HWND window, POINT client);
void LeftClick(HWND window, POINT client);
// Each character as a key press of its own.
void TypeText(const std::wstring& text);
// Clicks a button as the button itself does for a click (BM_CLICK: button down,
// button up, BN_CLICKED), posted so that a message box it opens blocks nothing.
// Under Wine a mouse click made with SendInput was sometimes lost (the pointer
// had arrived, the button never saw the press), so buttons are clicked this way.
void ClickButton(HWND button);

// Presses a button through the button itself, waiting until the program has handled the click.
void PressButtonAndWait(HWND button);

// Waits until `condition` holds or the patience runs out; whether it held.
template <typename Condition>
bool WaitUntil(Condition condition, DWORD timeoutMs = kPatienceMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition()) {
            return true;
        }
        if (GetTickCount() - start > timeoutMs) {
            return false;
        }
        Sleep(20);
    }
}

}  // namespace quandrel::testing

#include "app/main_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <iterator>
#include <optional>
#include <span>
#include <utility>

#include "app/default_folder.h"
#include "app/edit_box.h"
#include "app/folder_chooser.h"
#include "app/folder_completion.h"
#include "app/label.h"
#include "app/list_view.h"
#include "app/shell_actions.h"
#include "app/usage_text.h"
#include "base/program_folder.h"
#include "base/window_text.h"
#include "rename/unzip_functions.h"
#include "settings/settings_file.h"

namespace quandrel {
namespace {

constexpr int kIconResource = 1;  // app/res/quandrel.rc
// Reports are taken on a timer: timer messages wait for input and painting, so
// the window answers keys, clicks and moves during a run; and rows arrive in
// batches a few times a second rather than one redraw a row.
constexpr UINT_PTR kTakeReportsTimer = 1;
constexpr UINT kTakeReportsDelayMs = 40;
// Reports that did not fit one slice of showing wait a moment, long enough for
// input and painting to come first.
constexpr LONGLONG kShowSliceMs = 20;
constexpr UINT kNextSliceDelayMs = 10;
// New rows are drawn this often.
constexpr UINT_PTR kShowRowsTimer = 3;
constexpr UINT kShowRowsEveryMs = 250;
// How long a closed window waits, out of sight, for the archive in hand.
constexpr UINT_PTR kCloseWaitTimer = 2;
constexpr UINT kCloseWaitMs = 10000;
constexpr LabelColours kLabelColours{kLabelText, kLabelBackground};
// The lists' menu. Taking back the last run is in the system menu as well,
// where commands keep their low four bits clear.
constexpr UINT kTakeBackCommand = 0x0010;
constexpr UINT kPreviewCommand = 0x0020;
constexpr UINT kShowInExplorerCommand = 0x0030;
constexpr UINT kCopyPathCommand = 0x0040;
constexpr char kTakeBackText[] = "撤销上次更名";
// Every row of a preview starts so, that none is taken for a result.
constexpr char kPreviewMark[] = "［预览］";

// The performance counter: GetTickCount steps by 10 to 16 ms on Windows, too coarse for a slice.
LONGLONG PerformanceCounter() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

LONGLONG PerformanceFrequency() {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return frequency.QuadPart;
}

HFONT GuiFont() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

// False when a column could not be made: a list without its columns shows nothing.
[[nodiscard]] bool SetupListView(HWND list, std::span<const ColumnSpec> columns) {
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, kListExStyle, kListExStyle);
    SendMessageA(list, LVM_SETTEXTCOLOR, 0, kListText);
    SendMessageA(list, LVM_SETTEXTBKCOLOR, 0, kListTextBackground);
    SendMessageA(list, LVM_SETBKCOLOR, 0, kListBackground);
    const ListView view(list);
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (!view.InsertColumn(static_cast<int>(i), columns[i].title, columns[i].width)) {
            return false;
        }
    }
    return true;
}

// A visitor made of one lambda for each alternative.
template <typename... Handlers>
struct Overloaded : Handlers... {
    using Handlers::operator()...;
};
template <typename... Handlers>
Overloaded(Handlers...) -> Overloaded<Handlers...>;

// The end-of-run text on one line, for the last row of the lower list.
std::string OneLine(const std::string& text) {
    std::string line;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            end = text.size();
        }
        if (end > start) {
            line += (line.empty() ? "" : "  ") + text.substr(start, end - start);
        }
        start = end + 2;
    }
    return line;
}

}  // namespace

// ---- Creation

bool MainWindow::Create(HINSTANCE instance, int showCommand) {
    // Without its icon (a damaged resource) the window still works, with the system's.
    icon_.reset(
        static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(kIconResource), IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR)));
    backgroundBrush_.reset(CreateSolidBrush(kWindowBackground));
    editBrush_.reset(CreateSolidBrush(kEditBackground));
    if (!RegisterLabelClass(instance)) {
        return false;
    }
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = Thunk;
    windowClass.hInstance = instance;
    // The one 32 x 32 image serves as the large and the small icon alike.
    windowClass.hIcon = icon_.get();
    windowClass.hIconSm = icon_.get();
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = nullptr;  // WM_PAINT fills the background
    windowClass.lpszClassName = kMainWindowClass;
    if (!RegisterClassExA(&windowClass)) {
        return false;
    }
    // The full screen, not the work area.
    const int left = (GetSystemMetrics(SM_CXSCREEN) - kWindowWidth) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - kWindowHeight) / 2;
    if (!CreateWindowExA(kWindowExStyle, kMainWindowClass, kCaption, kWindowStyle, left, top, kWindowWidth,
                         kWindowHeight, nullptr, nullptr, instance, this)) {
        return false;
    }
    RECT outer;
    GetWindowRect(window_, &outer);
    if (outer.right - outer.left != kWindowWidth || outer.bottom - outer.top != kWindowHeight) {
        SetWindowPos(window_, nullptr, left, top, kWindowWidth, kWindowHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // Also on the window itself, where WM_GETICON finds it.
    SendMessageA(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_.get()));
    SendMessageA(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_.get()));
    ShowControls();
    ShowWindow(window_, showCommand);
    UpdateWindow(window_);
    return true;
}

bool MainWindow::BuildControls() {
    auto* const instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window_, GWLP_HINSTANCE));
    // From the last in the list to the first, each put on top of those before it,
    // so that the list order is the z-order.
    // NOLINTNEXTLINE(modernize-loop-convert): a range-for would go the wrong way
    for (auto entry = kControls.rbegin(); entry != kControls.rend(); ++entry) {
        const KindSpec kind = SpecOfKind(entry->kind);
        const void* parameter = entry->kind == ControlKind::Label ? &kLabelColours : nullptr;
        HWND control = CreateWindowExA(kind.exStyle, kind.windowClass, entry->text, kind.style, entry->left, entry->top,
                                       entry->width, entry->height, window_,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(entry->control))),
                                       instance, const_cast<void*>(parameter));
        if (!control) {
            return false;
        }
        controls_[entry->control] = control;
        SetWindowPos(control, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(GuiFont()), FALSE);
        switch (entry->kind) {
        case ControlKind::EditBox:
            SendMessageA(control, EM_SETLIMITTEXT, 0, 0);  // 0: as long as the system allows
            // A box that cannot be centred still works, its line at the top.
            static_cast<void>(CentreEditText(control));
            SetEditText(control, entry->control == 编辑框1 ? DefaultArchiveFolder() : std::string(entry->text));
            break;
        case ControlKind::ListView:
            if (!SetupListView(control, entry->control == 超级列表框1
                                            ? std::span<const ColumnSpec>(kUpperListColumns)
                                            : std::span<const ColumnSpec>(kLowerListColumns))) {
                return false;
            }
            break;
        case ControlKind::PushButton:
        case ControlKind::Label:
            break;
        }
    }
    return true;
}

void MainWindow::ShowControls() {
    for (HWND control : controls_) {
        ShowWindow(control, SW_SHOWNA);
    }
}

// ---- Messages

LRESULT CALLBACK MainWindow::Thunk(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MainWindow* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    }
    if (!self) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    const LRESULT result = self->HandleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        self->window_ = nullptr;
    }
    return result;
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == TaskbarProgress::ButtonCreatedMessage()) {  // registered at run time: no case label
        taskbar_.Attach(window_);
        return 0;
    }
    // clang-format off: one message a line, as a dispatch table
    switch (message) {
    case WM_CREATE:
        return OnCreate();
    case WM_ERASEBKGND:
        return 1;  // WM_PAINT fills the whole client area
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_COMMAND:
        OnCommand(HIWORD(wParam), LOWORD(wParam));
        return 0;
    case WM_CTLCOLOREDIT:
        return OnEditColours(reinterpret_cast<HDC>(wParam));
    case WM_ACTIVATE:
        if (HIWORD(wParam) == 0) {
            OnActivate(wParam);
            return 0;
        }
        break;
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case kRunReportsWaiting:
        OnRunReportsWaiting();
        return 0;
    case WM_TIMER:
        OnTimer(wParam);
        return 0;
    case WM_CONTEXTMENU:
        OnContextMenu(reinterpret_cast<HWND>(wParam), lParam);
        return 0;
    case WM_INITMENUPOPUP:
        if (HIWORD(lParam)) {
            OnSystemMenuOpening();
        }
        break;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == kTakeBackCommand) {
            TakeBackLastRun();
            return 0;
        }
        break;
    }
    // clang-format on
    return DefWindowProcA(window_, message, wParam, lParam);
}

LRESULT MainWindow::OnCreate() {
    if (!BuildControls()) {
        return -1;
    }
    building_ = false;
    focusBeforeDeactivation_ = Child(超级列表框1);  // the first focus
    LoadSettings();
    if (HMENU system = GetSystemMenu(window_, FALSE)) {
        AppendMenuA(system, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(system, MF_STRING | MF_GRAYED, kTakeBackCommand, kTakeBackText);
    }
    // Comforts a window works without: folder names completed as they are
    // typed, and folders dropped from Explorer.
    static_cast<void>(CompleteFolderNames(Child(编辑框1)));
    static_cast<void>(folderDrop_.Register(window_));
    static_cast<void>(folderDrop_.Register(Child(编辑框1)));
    return 0;
}

void MainWindow::OnPaint() {
    PaintDc paint(window_);
    FillRect(paint.get(), &paint.area(), backgroundBrush_.get());
}

void MainWindow::OnCommand(int notification, int controlId) {
    struct ClickHandler {
        Control button;
        void (MainWindow::*handler)();
    };
    static constexpr ClickHandler kClickHandlers[] = {
        {按钮3, &MainWindow::ShowUsage},
        {按钮1, &MainWindow::ChooseFolder},
        {按钮2, &MainWindow::RunRename},
    };
    if (building_ || notification != BN_CLICKED) {
        return;
    }
    for (const ClickHandler& click : kClickHandlers) {
        if (controlId == ControlId(click.button)) {
            (this->*click.handler)();
        }
    }
}

LRESULT MainWindow::OnEditColours(HDC dc) {
    SetTextColor(dc, kEditText);
    SetBkColor(dc, kEditBackground);
    return reinterpret_cast<LRESULT>(editBrush_.get());
}

void MainWindow::OnActivate(WPARAM state) {
    if (LOWORD(state) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(window_, focus)) {
            focusBeforeDeactivation_ = focus;
        }
        return;
    }
    SetFocus(focusBeforeDeactivation_ ? focusBeforeDeactivation_ : Child(超级列表框1));
}

void MainWindow::OnClose() {
    if (!worker_.Running() || RunHasEnded()) {
        DestroyWindow(window_);
        return;
    }
    if (closing_) {
        return;
    }
    // The archive in hand may take long (a share that stopped answering): the
    // settings are saved now, the run is asked to stop after that archive, and
    // the window, out of sight, goes on answering messages until the run's last
    // report arrives. If it does not arrive in time the process ends anyway; a
    // rename is atomic, so no archive is left half-renamed by that.
    closing_ = true;
    SaveSettings();
    worker_.RequestStop();
    ShowWindow(window_, SW_HIDE);
    SetTimer(window_, kCloseWaitTimer, kCloseWaitMs, nullptr);
}

void MainWindow::OnDestroy() {
    folderDrop_.Revoke();
    worker_.StopAndWait();
    // A window whose controls were never all built has nothing to save, and
    // must not end the message loop: the program's error box comes next.
    if (building_) {
        return;
    }
    if (!closing_) {
        SaveSettings();  // every control still holds its text
    }
    PostQuitMessage(0);
}

// ---- Keyboard

bool MainWindow::PreTranslate(const MSG& message) {
    if (!window_ || (message.hwnd != window_ && !IsChild(window_, message.hwnd))) {
        return false;
    }
    // The menu key and Shift+F10 open a list's menu, once: the key's other
    // half is kept from the default handling, which would open it again (or,
    // for F10, enter the system menu).
    const bool down = message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN;
    const bool up = message.message == WM_KEYUP || message.message == WM_SYSKEYUP;
    const bool onList = message.hwnd == Child(超级列表框1) || message.hwnd == Child(超级列表框2);
    const bool menuKey = message.wParam == VK_APPS || (message.wParam == VK_F10 && GetKeyState(VK_SHIFT) < 0);
    if ((down || up) && onList && menuKey) {  // key messages only: as a character 0x5D is "]"
        if (down) {
            OnContextMenu(message.hwnd, -1);
        }
        return true;
    }
    if (message.message != WM_KEYDOWN) {
        return false;
    }
    switch (message.wParam) {
    case VK_TAB:
        MoveFocus(GetKeyState(VK_SHIFT) < 0);
        return true;
    case VK_ESCAPE:
        SendMessageA(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
        return true;  // as the close box
    case VK_RETURN:   // no default button, and edit boxes must not beep
    case VK_F1:
        return true;
    }
    return false;
}

void MainWindow::MoveFocus(bool backward) {
    const int count = static_cast<int>(kTabCycle.size());
    HWND focus = GetFocus();
    int current = -1;
    for (int i = 0; i < count; ++i) {
        HWND control = Child(kTabCycle[static_cast<std::size_t>(i)]);
        if (focus == control || IsChild(control, focus)) {
            current = i;
        }
    }
    int next;
    if (current < 0) {
        next = backward ? count - 1 : 0;
    } else {
        next = (current + (backward ? count - 1 : 1)) % count;
    }
    SetFocus(Child(kTabCycle[static_cast<std::size_t>(next)]));
}

// ---- The rename run

namespace {

// Outcomes the taskbar button shows in its error colour; an archive that merely
// keeps its name (no match, an unusable new name) is not among them.
bool CouldNotBeHandled(ArchiveOutcome outcome) {
    return outcome == ArchiveOutcome::Failed || outcome == ArchiveOutcome::NotRemoved ||
           outcome == ArchiveOutcome::Unreadable;
}

}  // namespace

void MainWindow::OnRunReportsWaiting() { SetTimer(window_, kTakeReportsTimer, kTakeReportsDelayMs, nullptr); }

void MainWindow::OnTimer(UINT_PTR timer) {
    if (timer == kTakeReportsTimer) {
        KillTimer(window_, kTakeReportsTimer);
        OnRunReports();
    } else if (timer == kShowRowsTimer) {
        ShowNewRows();
    } else if (timer == kCloseWaitTimer) {
        ExitProcess(0);  // the settings are saved; the run's thread ends with the process
    }
}

void MainWindow::OnRunReports() {
    std::deque<RunReport> taken = worker_.TakeReports();
    std::move(taken.begin(), taken.end(), std::back_inserter(reportsToShow_));
    if (closing_) {
        // Out of sight: only the end of the run matters now.
        if (RunHasEnded()) {
            DestroyWindow(window_);
        }
        return;
    }
    // Rows are shown for a slice of time, then the window goes back to its
    // messages: a folder of 100,000 archives never holds it up for long.
    const LONGLONG deadline = PerformanceCounter() + PerformanceFrequency() * kShowSliceMs / 1000;
    {
        while (!reportsToShow_.empty() && PerformanceCounter() < deadline) {
            const bool shownWhole =
                std::visit(Overloaded{
                               [&](ArchivesFound& found) { return OnArchivesFound(found, deadline); },
                               [&](const ArchiveReport& handled) { return OnArchiveHandled(handled); },
                               [&](const RunFinished& end) { return OnRunFinished(end); },
                               [&](const UndoReport& handled) { return OnUndoStepHandled(handled); },
                               [&](const UndoFinished& end) { return OnUndoFinished(end); },
                           },
                           reportsToShow_.front());
            if (!shownWhole) {
                break;
            }
            reportsToShow_.pop_front();
        }
    }
    // Rows go in while the lists do not draw, and show a few times a second:
    // drawing a list (its scroll bar above all) costs far more than its rows.
    if ((upperPause_ || lowerPause_) && !rowsTimerSet_) {
        rowsTimerSet_ = SetTimer(window_, kShowRowsTimer, kShowRowsEveryMs, nullptr) != 0;
        if (!rowsTimerSet_) {
            ShowNewRows();
        }
    }
    // Once a slice, not once an archive: each is a repaint, and on Windows the
    // taskbar is another process.
    // The archive in hand, once the archives found are all shown; a run's label
    // keeps the last one, a preview's says at its end that nothing changed.
    const bool showingFound = !reportsToShow_.empty() && std::holds_alternative<ArchivesFound>(reportsToShow_.front());
    const bool previewEnded = endBoxText_ && runMode_ == RunMode::Preview;
    if (const int started = worker_.LastStarted();
        started > 0 && started != startedShown_ && !showingFound && !previewEnded) {
        const std::string number = std::to_string(started);
        SetWindowTextA(Child(标签3), (runMode_ == RunMode::Preview ? "正在预览第" + number + "个文件。"
                                                                   : "正在修改第" + number + "个文件名称。")
                                         .c_str());
        startedShown_ = started;
    }
    if (runArchives_ > 0) {
        taskbar_.Show(runHandled_, runArchives_, runHadFailure_);
    }
    if (!reportsToShow_.empty()) {
        SetTimer(window_, kTakeReportsTimer, kNextSliceDelayMs, nullptr);
    } else if (endBoxText_) {
        ShowNewRows();
        const std::string text = *std::exchange(endBoxText_, std::nullopt);
        worker_.Finish();  // its last report is in: the thread is ending
        taskbar_.Clear();
        MessageBoxA(window_, text.c_str(), "Quandrel", MB_OK | MB_ICONINFORMATION | MB_TASKMODAL);
    }
}

void MainWindow::AddLowerRow(const std::string& number, const std::string& text) {
    if (!lowerPause_) {
        lowerPause_.emplace(Child(超级列表框2));
    }
    const ListView lower(Child(超级列表框2));
    lower.SetCell(lower.InsertRow(number), 1, text);
}

bool MainWindow::RunHasEnded() const {
    return !reportsToShow_.empty() && (std::holds_alternative<RunFinished>(reportsToShow_.back()) ||
                                       std::holds_alternative<UndoFinished>(reportsToShow_.back()));
}

void MainWindow::ShowNewRows() {
    if (rowsTimerSet_) {
        KillTimer(window_, kShowRowsTimer);
        rowsTimerSet_ = false;
    }
    if (lowerPause_) {
        const ListView lower(Child(超级列表框2));
        lower.EnsureVisible(lower.RowCount() - 1);
    }
    upperPause_.reset();
    lowerPause_.reset();
}

bool MainWindow::OnArchivesFound(ArchivesFound& found, LONGLONG deadline) {
    const ListView upper(Child(超级列表框1));
    if (!upperPause_) {
        upperPause_.emplace(Child(超级列表框1));
    }
    if (upperRowsShown_ == 0) {
        SetWindowTextA(Child(标签2), ("文件数量：" + std::to_string(found.paths.size())).c_str());
        upper.ReserveRows(static_cast<int>(found.paths.size()));
        runArchives_ = static_cast<int>(found.paths.size());
        runHandled_ = 0;
        runHadFailure_ = false;
        taskbar_.Show(0, runArchives_, false);
    }
    for (; upperRowsShown_ < found.paths.size(); ++upperRowsShown_) {
        if (upperRowsShown_ % 64 == 0 && PerformanceCounter() >= deadline) {
            return false;
        }
        std::string& path = found.paths[upperRowsShown_];
        const int row = upper.InsertRow(std::to_string(upperRowsShown_ + 1));
        upper.SetCell(row, 1, path);
        std::string().swap(path);  // the list holds it now
    }
    upperRowsShown_ = 0;
    return true;
}

bool MainWindow::OnArchiveHandled(const ArchiveReport& handled) {
    std::string text = runMode_ == RunMode::Preview ? kPreviewMark : "";
    text += handled.path;
    text += " ";
    text += OutcomeText(handled);
    AddLowerRow(std::to_string(handled.number), text);
    runHadFailure_ = runHadFailure_ || CouldNotBeHandled(handled.outcome);
    ++runHandled_;
    if (std::optional<UndoStep> step = UndoStepOf(handled)) {
        lastRunSteps_.push_back(std::move(*step));
    }
    return true;
}

bool MainWindow::OnRunFinished(const RunFinished& end) {
    AddLowerRow("", OneLine(FinishedText(end.totals)));
    if (end.totals.mode == RunMode::Preview) {
        SetWindowTextA(Child(标签3), "预览完毕：未改动任何文件。");
    }
    endBoxText_ = FinishedText(end.totals);  // the box comes once the window is back to its messages
    return true;
}

bool MainWindow::OnUndoStepHandled(const UndoReport& handled) {
    std::string text = handled.path;
    text += " ";
    text += UndoOutcomeText(handled);
    AddLowerRow(std::to_string(handled.number), text);
    return true;
}

bool MainWindow::OnUndoFinished(const UndoFinished& end) {
    AddLowerRow("", OneLine(UndoFinishedText(end.totals)));
    SetWindowTextA(Child(标签3), "撤销完毕。");
    endBoxText_ = UndoFinishedText(end.totals);
    return true;
}

// ---- Handlers of the window's events

void MainWindow::LoadSettings() {
    const Settings settings = ReadSettings(SettingsFilePathOf(ProgramPath()));
    if (!settings.folder.empty()) {
        SetEditText(Child(编辑框1), settings.folder);
    }
    if (!settings.suffix.empty()) {
        SetEditText(Child(编辑框2), settings.suffix);
    }
}

void MainWindow::SaveSettings() {
    WriteSettings(SettingsFilePathOf(ProgramPath()), {WindowTextOf(Child(编辑框1)), WindowTextOf(Child(编辑框2))});
}

void MainWindow::ShowUsage() { ShowUsageBox(window_); }

void MainWindow::ChooseFolder() {
    if (const std::optional<std::string> folder = ChooseFolderPath(window_)) {
        SetEditText(Child(编辑框1), *folder);
    }
}

void MainWindow::RunRename() { StartRun(RunMode::Rename); }

void MainWindow::PreviewRename() { StartRun(RunMode::Preview); }

void MainWindow::StartRun(RunMode mode) {
    if (worker_.Running()) {
        return;  // one run at a time over a folder
    }
    const std::string suffix = WindowTextOf(Child(编辑框2));
    if (suffix.empty()) {
        MessageBoxA(window_, "请填写后缀名称，更改的文件名将在压缩中搜索该后缀的文件，以该文件名命名压缩包名称！",
                    "填写后缀名！", MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL);
        return;
    }
    // Bound here, on the window's thread, so that a missing library's error box
    // comes up before the run and with the window already disabled under it.
    unzip::Bound();
    const std::string folder = WindowTextOf(Child(编辑框1));
    ListView(Child(超级列表框1)).DeleteAllRows();
    ListView(Child(超级列表框2)).DeleteAllRows();
    SetWindowTextA(Child(标签2), "");
    SetWindowTextA(Child(标签3), "");
    runMode_ = mode;
    startedShown_ = 0;
    if (mode == RunMode::Rename) {
        lastRunSteps_.clear();  // a new run: the last one can no longer be taken back
    }
    if (std::string error; !worker_.StartRun(window_, folder, suffix, mode, error) && !error.empty()) {
        MessageBoxA(window_, ("无法开始更名：" + error).c_str(), "Quandrel", MB_OK | MB_ICONERROR | MB_TASKMODAL);
    }
}

void MainWindow::TakeBackLastRun() {
    if (!CanTakeBack()) {
        return;
    }
    ListView(Child(超级列表框2)).DeleteAllRows();
    SetWindowTextA(Child(标签3), "正在撤销上次更名……");
    runArchives_ = 0;  // no taskbar progress: the steps are few next to the run's archives
    if (std::string error; !worker_.StartUndo(window_, std::exchange(lastRunSteps_, {}), error) && !error.empty()) {
        MessageBoxA(window_, ("无法开始撤销：" + error).c_str(), "Quandrel", MB_OK | MB_ICONERROR | MB_TASKMODAL);
    }
}

void MainWindow::OnFolderDropped(const std::string& folder) { SetEditText(Child(编辑框1), folder); }

// ---- The lists' menu

std::string MainWindow::PathOfRow(HWND list, int row) const {
    const ListView upper(Child(超级列表框1));
    if (row < 0) {
        return {};
    }
    if (list == Child(超级列表框1)) {
        return upper.Text(row, 1);
    }
    // A lower row names its archive by the number it had when found.
    const int number = std::atoi(ListView(list).Text(row, 0).c_str());
    if (number < 1 || number > upper.RowCount()) {
        return {};
    }
    return upper.Text(number - 1, 1);
}

std::string MainWindow::CurrentPathOfRow(HWND list, int row) const {
    std::string path = PathOfRow(list, row);
    if (path.empty() || GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
        return path;
    }
    for (const UndoStep& step : lastRunSteps_) {
        if (step.path == path && !step.renamedPath.empty()) {
            return step.renamedPath;
        }
    }
    return path;
}

void MainWindow::OnContextMenu(HWND target, LPARAM where) {
    const bool upper = target == Child(超级列表框1);
    if (building_ || (!upper && target != Child(超级列表框2))) {
        return;
    }
    const ListView list(target);
    int row = -1;
    POINT at{GET_X_LPARAM(where), GET_Y_LPARAM(where)};
    if (where == -1) {  // from the keyboard: for the row with the focus
        row = list.FocusedRow();
        at = list.MenuPointFor(row);
    } else {
        POINT client = at;
        ScreenToClient(target, &client);
        row = list.RowAt(client);
    }
    const UINT rowItem = PathOfRow(target, row).empty() ? MF_GRAYED : MF_ENABLED;
    const UniqueMenu menu(CreatePopupMenu());
    if (!menu) {
        return;
    }
    if (upper) {
        AppendMenuA(menu.get(), MF_STRING | (worker_.Running() ? MF_GRAYED : MF_ENABLED), kPreviewCommand,
                    "预览更名（不改动文件）");
    } else {
        AppendMenuA(menu.get(), MF_STRING | (CanTakeBack() ? MF_ENABLED : MF_GRAYED), kTakeBackCommand, kTakeBackText);
    }
    AppendMenuA(menu.get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu.get(), MF_STRING | rowItem, kShowInExplorerCommand, "打开所在文件夹");
    AppendMenuA(menu.get(), MF_STRING | rowItem, kCopyPathCommand, "复制路径");
    const UINT command =
        TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, window_, nullptr);
    switch (command) {
    case kPreviewCommand:
        PreviewRename();
        break;
    case kTakeBackCommand:
        TakeBackLastRun();
        break;
    case kShowInExplorerCommand:
        ShowInExplorer(window_, CurrentPathOfRow(target, row));
        break;
    case kCopyPathCommand:
        CopyToClipboard(window_, PathOfRow(target, row));
        break;
    default:
        break;
    }
}

void MainWindow::OnSystemMenuOpening() {
    if (HMENU system = GetSystemMenu(window_, FALSE)) {
        EnableMenuItem(system, kTakeBackCommand, MF_BYCOMMAND | (CanTakeBack() ? MF_ENABLED : MF_GRAYED));
    }
}

}  // namespace quandrel

// The program's one window: its controls, its events and the rename run shown in it.
#pragma once

#include <windows.h>

#include <array>
#include <deque>
#include <optional>
#include <string>

#include "app/control_layout.h"
#include "app/folder_drop_target.h"
#include "app/list_view.h"
#include "app/rename_worker.h"
#include "app/taskbar_progress.h"
#include "base/win_owners.h"

namespace quandrel {

class MainWindow {
public:
    MainWindow() = default;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Registers the classes, builds the window with its controls, loads the
    // settings and shows it. False when the window could not be made.
    [[nodiscard]] bool Create(HINSTANCE instance, int showCommand);
    // The window's own keys (Tab, Esc, Enter, F1), looked at before dispatch.
    // True when the message was handled and must not be dispatched.
    bool PreTranslate(const MSG& message);

private:
    static LRESULT CALLBACK Thunk(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // Messages
    LRESULT OnCreate();
    void OnPaint();
    void OnCommand(int notification, int controlId);
    void OnActivate(WPARAM state);
    void OnClose();
    void OnDestroy();
    LRESULT OnEditColours(HDC dc);
    void OnRunReportsWaiting();
    void OnTimer(UINT_PTR timer);
    void OnRunReports();
    void OnContextMenu(HWND target, LPARAM where);
    void OnSystemMenuOpening();
    // A row at the end of the lower list, which does not draw until ShowNewRows.
    void AddLowerRow(const std::string& number, const std::string& text);
    // Draws the rows added since the last time, the lower list scrolled to its end.
    void ShowNewRows();
    // Whether the run's last report is in, though not all of its reports are shown yet.
    bool RunHasEnded() const;
    // Each shows one report of the run, and says whether all of it is shown:
    // the archives found may take more than one slice (the performance counter
    // passing `deadline` ends one).
    bool OnArchivesFound(ArchivesFound& found, LONGLONG deadline);
    bool OnArchiveHandled(const ArchiveReport& handled);
    bool OnRunFinished(const RunFinished& end);
    bool OnUndoStepHandled(const UndoReport& handled);
    bool OnUndoFinished(const UndoFinished& end);

    // Building
    bool BuildControls();
    void ShowControls();
    void PlaceOnScreen();

    // Handlers of the window's events
    void LoadSettings();
    void SaveSettings();
    void ShowUsage();
    void ChooseFolder();
    void OnFolderDropped(const std::string& folder);
    void RunRename();
    void PreviewRename();
    void StartRun(RunMode mode);
    void TakeBackLastRun();
    bool CanTakeBack() const { return !worker_.Running() && !lastRunSteps_.empty(); }
    // The path of a row of either list: the archive it stands for; empty for
    // the totals row or no row.
    std::string PathOfRow(HWND list, int row) const;
    // Where the archive of a row is now: its path, or the name the last run gave it.
    std::string CurrentPathOfRow(HWND list, int row) const;

    HWND Child(Control control) const { return controls_[control]; }
    void MoveFocus(bool backward);

    HWND window_ = nullptr;
    std::array<HWND, kControlCount> controls_{};
    bool building_ = true;  // no event is handled until the controls are all there
    HWND focusBeforeDeactivation_ = nullptr;
    UniqueBrush backgroundBrush_;
    UniqueBrush editBrush_;
    UniqueIcon icon_;
    RenameWorker worker_;
    TaskbarProgress taskbar_;
    std::deque<RunReport> reportsToShow_;  // taken from the run, not yet shown
    // A list that got rows does not draw until ShowNewRows.
    std::optional<RedrawPause> upperPause_;
    std::optional<RedrawPause> lowerPause_;
    bool rowsTimerSet_ = false;
    std::size_t upperRowsShown_ = 0;         // of the archives found, while they are being shown
    std::optional<std::string> endBoxText_;  // the end, shown in the list: its box is next
    RunMode runMode_ = RunMode::Rename;      // of the run or preview under way, or the last
    std::vector<UndoStep> lastRunSteps_;     // the changes of this session's last run, to take back
    FolderDropTarget folderDrop_{[this](const std::string& folder) { OnFolderDropped(folder); }};
    int startedShown_ = 0;        // the archive in hand as the label shows it
    int runArchives_ = 0;         // found by the run under way
    int runHandled_ = 0;          // of those, handled so far (not in number order: some wait for others)
    bool runHadFailure_ = false;  // an archive of it could not be handled
    bool closing_ = false;        // closed during a run: hidden, settings saved, waiting for the run to end
};

}  // namespace quandrel

// Thin typed wrappers over the list-view messages the window uses.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>

namespace quandrel {

class ListView {
public:
    explicit ListView(HWND list) : list_(list) {}

    [[nodiscard]] bool InsertColumn(int index, const char* title, int width) const;
    void DeleteAllRows() const;
    // At the end; the new row's index, or -1.
    [[nodiscard]] int InsertRow(const std::string& firstCell) const;
    bool SetCell(int row, int column, const std::string& text) const;
    int RowCount() const;
    // Room for `rows` rows ahead of a large batch of insertions.
    void ReserveRows(int rows) const;
    void EnsureVisible(int row) const;
    std::string Text(int row, int column) const;
    // The row with the focus, selected; -1 when none is.
    int FocusedRow() const;
    // The row under a point of the list's client area; -1 when none is.
    int RowAt(POINT client) const;
    // Where a menu for `row` opens, in screen coordinates: under its start,
    // or at the list's top left corner when the row is not in view.
    POINT MenuPointFor(int row) const;

private:
    HWND list_;
};

// Turns a window's redrawing off for the life of the scope, then on again and
// repaints once: many rows appear in one redraw.
class RedrawPause {
public:
    explicit RedrawPause(HWND window);
    RedrawPause(const RedrawPause&) = delete;
    RedrawPause& operator=(const RedrawPause&) = delete;
    ~RedrawPause();

private:
    HWND window_;
};

}  // namespace quandrel

#include "app/list_view.h"

#include <climits>

namespace quandrel {

bool ListView::InsertColumn(int index, const char* title, int width) const {
    LVCOLUMNA column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = width;
    column.pszText = const_cast<char*>(title);
    column.iSubItem = index;
    return SendMessageA(list_, LVM_INSERTCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column)) ==
           index;
}

void ListView::DeleteAllRows() const { SendMessageA(list_, LVM_DELETEALLITEMS, 0, 0); }

int ListView::InsertRow(const std::string& firstCell) const {
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = INT_MAX;
    item.pszText = const_cast<char*>(firstCell.c_str());
    return static_cast<int>(SendMessageA(list_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

bool ListView::SetCell(int row, int column, const std::string& text) const {
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text.c_str());
    return SendMessageA(list_, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)) != 0;
}

int ListView::RowCount() const { return static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0)); }

void ListView::ReserveRows(int rows) const {
    SendMessageA(list_, LVM_SETITEMCOUNT, static_cast<WPARAM>(rows), LVSICF_NOINVALIDATEALL);
}

void ListView::EnsureVisible(int row) const { SendMessageA(list_, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE); }

RedrawPause::RedrawPause(HWND window) : window_(window) { SendMessageA(window_, WM_SETREDRAW, FALSE, 0); }

RedrawPause::~RedrawPause() {
    SendMessageA(window_, WM_SETREDRAW, TRUE, 0);
    // Not every control invalidates itself when drawing is turned back on.
    InvalidateRect(window_, nullptr, TRUE);
}

}  // namespace quandrel

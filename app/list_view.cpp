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

std::string ListView::Text(int row, int column) const {
    // The list says how much it copied, not how long the text is: grow until it fits.
    std::string text(260, '\0');
    for (;;) {
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = text.data();
        item.cchTextMax = static_cast<int>(text.size());
        const auto copied = static_cast<std::size_t>(
            SendMessageA(list_, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
        if (copied + 1 < text.size()) {
            text.resize(copied);
            return text;
        }
        text.resize(text.size() * 2);
    }
}

int ListView::FocusedRow() const {
    return static_cast<int>(
        SendMessageA(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED | LVNI_SELECTED));
}

int ListView::RowAt(POINT client) const {
    LVHITTESTINFO hit{};
    hit.pt = client;
    return static_cast<int>(SendMessageA(list_, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
}

POINT ListView::MenuPointFor(int row) const {
    RECT area{};
    area.left = LVIR_LABEL;
    RECT client{};
    GetClientRect(list_, &client);
    POINT at{0, 0};
    if (row >= 0 && SendMessageA(list_, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&area)) &&
        area.bottom > 0 && area.bottom <= client.bottom) {
        at = {area.left, area.bottom};
    }
    ClientToScreen(list_, &at);
    return at;
}

RedrawPause::RedrawPause(HWND window) : window_(window) { SendMessageA(window_, WM_SETREDRAW, FALSE, 0); }

RedrawPause::~RedrawPause() {
    SendMessageA(window_, WM_SETREDRAW, TRUE, 0);
    // Not every control invalidates itself when drawing is turned back on.
    InvalidateRect(window_, nullptr, TRUE);
}

}  // namespace quandrel

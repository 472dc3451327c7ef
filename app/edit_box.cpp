#include "app/edit_box.h"

#include <commctrl.h>

#include "base/win_owners.h"

namespace quandrel {
namespace {

constexpr UINT_PTR kSubclassId = 1;

int LineHeight(HWND edit) {
    const WindowDc dc = WindowDc::OfClientArea(edit);
    auto* font = reinterpret_cast<HFONT>(SendMessageA(edit, WM_GETFONT, 0, 0));
    SelectedObject selected(dc.get(), font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc.get(), &metrics);
    return metrics.tmHeight;
}

// The client rectangle the default calculation gives, cut down to one centred
// line. Offsets are from the top of the whole box.
void CentreClientArea(HWND edit, const RECT& box, RECT& client) {
    const int lineHeight = LineHeight(edit);
    const int top = box.top + (box.bottom - box.top - lineHeight) / 2;
    if (top > client.top && top + lineHeight <= client.bottom) {
        client.top = top;
        client.bottom = top + lineHeight;
    }
}

// The bands between the sunken edge and the shrunk client area.
void PaintBands(HWND edit) {
    HWND parent = GetParent(edit);
    const WindowDc dc = WindowDc::OfWholeWindow(edit);
    if (!dc || !parent) {
        return;
    }
    auto* brush = reinterpret_cast<HBRUSH>(
        SendMessageA(parent, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc.get()), reinterpret_cast<LPARAM>(edit)));
    if (!brush) {
        brush = GetSysColorBrush(COLOR_WINDOW);
    }
    RECT box;
    GetWindowRect(edit, &box);
    RECT client;
    GetClientRect(edit, &client);
    MapWindowPoints(edit, nullptr, reinterpret_cast<POINT*>(&client), 2);
    OffsetRect(&client, -box.left, -box.top);
    OffsetRect(&box, -box.left, -box.top);
    InflateRect(&box, -GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));
    ExcludeClipRect(dc.get(), client.left, client.top, client.right, client.bottom);
    FillRect(dc.get(), &box, brush);
}

LRESULT CALLBACK CentredEditProcedure(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    switch (message) {
    case WM_NCCALCSIZE: {
        // Both forms start with the new window rectangle, which becomes the client's.
        auto* rectangle = reinterpret_cast<RECT*>(lParam);
        const RECT box = *rectangle;
        const LRESULT result = DefSubclassProc(edit, message, wParam, lParam);
        CentreClientArea(edit, box, *rectangle);
        return result;
    }
    case WM_NCPAINT: {
        const LRESULT result = DefSubclassProc(edit, message, wParam, lParam);
        PaintBands(edit);
        return result;
    }
    case WM_NCDESTROY:
        RemoveWindowSubclass(edit, CentredEditProcedure, kSubclassId);
        break;
    }
    return DefSubclassProc(edit, message, wParam, lParam);
}

}  // namespace

bool CentreEditText(HWND edit) {
    if (!SetWindowSubclass(edit, CentredEditProcedure, kSubclassId, 0)) {
        return false;
    }
    // A box too low for one line inside its sunken edge grows to fit it.
    RECT box;
    GetWindowRect(edit, &box);
    const int least = LineHeight(edit) + 2 * GetSystemMetrics(SM_CYEDGE);
    if (box.bottom - box.top < least) {
        SetWindowPos(edit, nullptr, 0, 0, box.right - box.left, least, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // Recalculate the client area now that the subclass sees WM_NCCALCSIZE.
    SetWindowPos(edit, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    return true;
}

void SetEditText(HWND edit, const std::string& text) {
    SetWindowTextA(edit, text.c_str());
    SendMessageA(edit, EM_SETSEL, 0, 0);
}

}  // namespace quandrel

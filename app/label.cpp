#include "app/label.h"

#include <string>

#include "app/control_layout.h"
#include "base/win_owners.h"
#include "base/window_text.h"

namespace quandrel {
namespace {

// Per-window data lives in the extra bytes: the colours and the font given by WM_SETFONT.
constexpr int kColoursSlot = 0;
constexpr int kFontSlot = sizeof(LONG_PTR);

const LabelColours& ColoursOf(HWND label) {
    return *reinterpret_cast<const LabelColours*>(GetWindowLongPtrA(label, kColoursSlot));
}

void Paint(HWND label, HDC dc) {
    const LabelColours& colours = ColoursOf(label);
    RECT area;
    GetClientRect(label, &area);
    SetBkColor(dc, colours.background);  // ExtTextOut with ETO_OPAQUE: a fill without a brush
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &area, nullptr, 0, nullptr);

    auto* font = reinterpret_cast<HFONT>(GetWindowLongPtrA(label, kFontSlot));
    SelectedObject selected(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colours.text);
    const std::string text = WindowTextOf(label);
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &area,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX);
}

LRESULT CALLBACK LabelProcedure(HWND label, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE: {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(label, kColoursSlot, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        break;
    }
    case WM_ERASEBKGND:
        return 1;  // WM_PAINT fills everything
    case WM_PAINT: {
        PaintDc paint(label);
        Paint(label, paint.get());
        return 0;
    }
    case WM_PRINTCLIENT:
        Paint(label, reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_SETFONT:
        SetWindowLongPtrA(label, kFontSlot, static_cast<LONG_PTR>(wParam));
        if (LOWORD(lParam)) {
            InvalidateRect(label, nullptr, FALSE);
        }
        return 0;
    case WM_GETFONT:
        return GetWindowLongPtrA(label, kFontSlot);
    case WM_SETTEXT: {
        const LRESULT result = DefWindowProcA(label, message, wParam, lParam);
        InvalidateRect(label, nullptr, FALSE);
        return result;
    }
    case WM_GETDLGCODE:
        return DLGC_STATIC;
    }
    return DefWindowProcA(label, message, wParam, lParam);
}

}  // namespace

bool RegisterLabelClass(HINSTANCE instance) {
    WNDCLASSEXA labelClass{};
    labelClass.cbSize = sizeof labelClass;
    labelClass.lpfnWndProc = LabelProcedure;
    labelClass.cbWndExtra = 2 * sizeof(LONG_PTR);
    labelClass.hInstance = instance;
    labelClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    labelClass.lpszClassName = kLabelClass;
    return RegisterClassExA(&labelClass) != 0;
}

}  // namespace quandrel

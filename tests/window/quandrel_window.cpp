#include "tests/window/quandrel_window.h"

#include <commctrl.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "base/win_owners.h"

namespace quandrel::testing {
namespace {

struct WindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindMainWindow(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && ClassOf(window) == kMainWindowClass && IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

void CopyBeside(const std::string& name, const std::string& folder) {
    const std::string from = BuildOutputFolder() + "\\" + name;
    if (!CopyFileA(from.c_str(), (folder + "\\" + name).c_str(), FALSE)) {
        throw std::runtime_error("cannot copy " + from);
    }
}

LRESULT SendWaiting(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, kPatienceMs, &result)) {
        throw std::runtime_error("the program did not answer message " + std::to_string(message));
    }
    return static_cast<LRESULT>(result);
}

// Memory in the program's address space, for list-view messages that carry pointers.
class RemoteMemory {
public:
    RemoteMemory(HWND window, std::size_t size) : size_(size) {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        process_.reset(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
        address_ = process_ ? VirtualAllocEx(process_.get(), nullptr, size, MEM_COMMIT, PAGE_READWRITE) : nullptr;
        if (!address_) {
            throw std::runtime_error("no memory in the program");
        }
    }
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;
    ~RemoteMemory() { VirtualFreeEx(process_.get(), address_, 0, MEM_RELEASE); }

    char* address() const { return static_cast<char*>(address_); }
    void Write(std::size_t offset, const void* bytes, std::size_t count) const {
        WriteProcessMemory(process_.get(), address() + offset, bytes, count, nullptr);
    }
    std::string Read(std::size_t offset, std::size_t count) const {
        std::string bytes(count, '\0');
        ReadProcessMemory(process_.get(), address() + offset, bytes.data(), count, nullptr);
        return bytes;
    }
    std::size_t size() const { return size_; }

private:
    UniqueFileHandle process_;
    void* address_ = nullptr;
    std::size_t size_;
};

constexpr std::size_t kRemoteTextSize = 8192;

// The rectangle `area` of the screen, one COLORREF a pixel, row by row.
std::vector<COLORREF> CaptureScreen(const RECT& area) {
    const POINT origin{area.left, area.top};
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    const WindowDc screen = WindowDc::OfClientArea(nullptr);
    UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueBitmap bitmap(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    std::vector<COLORREF> pixels;
    if (!bitmap) {
        return pixels;
    }
    {
        SelectedObject selected(memory.get(), bitmap.get());
        BitBlt(memory.get(), 0, 0, width, height, screen.get(), origin.x, origin.y, SRCCOPY);
        GdiFlush();
    }
    const auto* quads = static_cast<const RGBQUAD*>(bits);
    pixels.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int i = 0; i < width * height; ++i) {
        pixels.push_back(RGB(quads[i].rgbRed, quads[i].rgbGreen, quads[i].rgbBlue));
    }
    return pixels;
}

// The client rectangle `area` of `window` as it is on screen.
std::vector<COLORREF> Capture(HWND window, const RECT& area) {
    RECT onScreen = area;
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&onScreen), 2);
    return CaptureScreen(onScreen);
}

int CountNear(const std::vector<COLORREF>& pixels, COLORREF colour, int tolerance) {
    auto within = [&](int a, int b) { return std::abs(a - b) <= tolerance; };
    int count = 0;
    for (COLORREF pixel : pixels) {
        count += within(GetRValue(pixel), GetRValue(colour)) && within(GetGValue(pixel), GetGValue(colour)) &&
                         within(GetBValue(pixel), GetBValue(colour))
                     ? 1
                     : 0;
    }
    return count;
}

void SendInputs(std::initializer_list<INPUT> inputs) {
    std::vector<INPUT> list(inputs);
    SendInput(static_cast<UINT>(list.size()), list.data(), sizeof(INPUT));
}

INPUT Key(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

}  // namespace

QuandrelWindow::QuandrelWindow(const std::optional<Settings>& settings, bool withUnzipLibrary) {
    CopyBeside("quandrel.exe", programFolder());
    if (withUnzipLibrary) {
        CopyBeside("zlibwapi.dll", programFolder());
    }
    if (settings) {
        WriteSettings(settingsPath(), *settings);
    }
    // Started from elsewhere: the program must find its own folder itself.
    process_.emplace(programFolder_ / "quandrel.exe", "", BuildOutputFolder());
    const bool found = WaitUntil([&] {
        WindowSearch search{process_->id(), nullptr};
        EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&search));
        window_ = search.found;
        return window_ != nullptr;
    });
    if (!found) {
        throw std::runtime_error("the main window did not appear");
    }
    BringToFront();
}

QuandrelWindow::~QuandrelWindow() {
    if (IsWindow(window_)) {
        PostMessageA(window_, WM_CLOSE, 0, 0);
    }
    process_->WaitForExit(kPatienceMs);
}

HWND QuandrelWindow::control(Control control) const { return GetDlgItem(window_, ControlId(control)); }

HWND QuandrelWindow::Focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window_, nullptr), &info)) {
        return nullptr;
    }
    return info.hwndFocus;
}

HWND QuandrelWindow::WaitForFocusOtherThan(HWND previous) const {
    HWND focus = nullptr;
    WaitUntil([&] {
        focus = Focus();
        return focus && focus != previous;
    });
    return focus;
}

void QuandrelWindow::BringToFront() const {
    SetForegroundWindow(window_);
    if (!WaitUntil([&] { return GetForegroundWindow() == window_ && Focus() != nullptr; })) {
        throw std::runtime_error("the main window did not come to the front");
    }
}

std::string ClassOf(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

RECT RectInParent(HWND child) {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

int ListRowCount(HWND list) { return static_cast<int>(SendWaiting(list, LVM_GETITEMCOUNT, 0, 0)); }

std::string ListCell(HWND list, int row, int column) {
    RemoteMemory memory(list, sizeof(LVITEMA) + kRemoteTextSize);
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = memory.address() + sizeof item;
    item.cchTextMax = static_cast<int>(kRemoteTextSize);
    memory.Write(0, &item, sizeof item);
    const auto length = static_cast<std::size_t>(
        SendWaiting(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(memory.address())));
    return memory.Read(sizeof item, length);
}

std::vector<ListColumn> ListColumns(HWND list) {
    HWND header = reinterpret_cast<HWND>(SendWaiting(list, LVM_GETHEADER, 0, 0));
    const int count = static_cast<int>(SendWaiting(header, HDM_GETITEMCOUNT, 0, 0));
    std::vector<ListColumn> columns;
    for (int i = 0; i < count; ++i) {
        RemoteMemory memory(list, sizeof(LVCOLUMNA) + kRemoteTextSize);
        LVCOLUMNA column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
        column.pszText = memory.address() + sizeof column;
        column.cchTextMax = static_cast<int>(kRemoteTextSize);
        memory.Write(0, &column, sizeof column);
        SendWaiting(list, LVM_GETCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(memory.address()));
        const std::string back = memory.Read(0, sizeof column);
        std::memcpy(&column, back.data(), sizeof column);
        std::string title = memory.Read(sizeof column, kRemoteTextSize);
        title.resize(title.find('\0'));
        columns.push_back({title, column.cx, column.fmt});
    }
    return columns;
}

std::vector<ListRow> ListRows(HWND list) {
    std::vector<ListRow> rows;
    const int count = ListRowCount(list);
    for (int i = 0; i < count; ++i) {
        rows.push_back({ListCell(list, i, 0), ListCell(list, i, 1)});
    }
    return rows;
}

MessageBoxContent CloseEndBox(QuandrelWindow& program) {
    const std::optional<HWND> box = WaitForMessageBox(program.process().id(), 3 * kPatienceMs);
    if (!box) {
        throw std::runtime_error("no box at the end of the run");
    }
    const MessageBoxContent content = ReadMessageBox(*box);
    CloseMessageBox(*box);
    WaitUntil([&] { return !IsWindow(*box); });
    return content;
}

namespace {

// Whether the program's window thread is tracking a menu, and so takes
// the keys pressed now.
bool InPopupMenu(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) && (info.flags & GUI_INMENUMODE);
}

}  // namespace

void ChooseFromPopupMenu(QuandrelWindow& program, int downs) {
    // Wine may show a new menu in the window of the last one: its being visible
    // is not enough, the thread must be tracking it before keys are pressed.
    const std::optional<HWND> menu = WaitForWindowOfClass(program.process().id(), "#32768", kPatienceMs);
    if (!menu || !WaitUntil([&] { return InPopupMenu(program.window()); })) {
        throw std::runtime_error("no menu came up");
    }
    for (int i = 0; i < downs; ++i) {
        PressKey(VK_DOWN);
    }
    PressKey(VK_RETURN);
    WaitUntil([&] { return !InPopupMenu(program.window()) && !IsWindowVisible(*menu); });
}

COLORREF ScreenPixel(HWND window, POINT client, COLORREF expected) {
    COLORREF colour = CLR_INVALID;
    WaitUntil([&] {
        const std::vector<COLORREF> pixel = Capture(window, RECT{client.x, client.y, client.x + 1, client.y + 1});
        colour = pixel.empty() ? CLR_INVALID : pixel.front();
        return colour == expected;
    });
    return colour;
}

int CountPixelsNear(HWND window, const RECT& area, COLORREF colour, int tolerance) {
    return CountNear(Capture(window, area), colour, tolerance);
}

int CountFramePixelsNear(HWND window, const RECT& area, COLORREF colour, int tolerance) {
    RECT outer;
    GetWindowRect(window, &outer);
    RECT onScreen = area;
    OffsetRect(&onScreen, outer.left, outer.top);
    return CountNear(CaptureScreen(onScreen), colour, tolerance);
}

void PressKey(WORD key, bool shift) {
    if (shift) {
        SendInputs({Key(VK_SHIFT, false), Key(key, false), Key(key, true), Key(VK_SHIFT, true)});
    } else {
        SendInputs({Key(key, false), Key(key, true)});
    }
}

void PressAltSpace() {
    SendInputs({Key(VK_MENU, false), Key(VK_SPACE, false), Key(VK_SPACE, true), Key(VK_MENU, true)});
}

namespace {

// Mouse input at a point of a window's client area. The move goes in the same
// input stream as the buttons: a SetCursorPos before them was not always seen
// by the time the press arrived.
INPUT MouseAt(HWND window, POINT client, DWORD buttons) {
    ClientToScreen(window, &client);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(client.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(client.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = buttons | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return input;
}

}  // namespace

void MovePointer(HWND window, POINT client) {
    SendInputs({MouseAt(window, client, 0)});
    WaitUntil([&] {
        POINT at{};
        GetCursorPos(&at);
        ScreenToClient(window, &at);
        return at.x == client.x && at.y == client.y;
    });
}

void RightClick(HWND window, POINT client) {
    SendInputs({MouseAt(window, client, 0), MouseAt(window, client, MOUSEEVENTF_RIGHTDOWN),
                MouseAt(window, client, MOUSEEVENTF_RIGHTUP)});
}

void LeftClick(HWND window, POINT client) {
    SendInputs({MouseAt(window, client, 0), MouseAt(window, client, MOUSEEVENTF_LEFTDOWN),
                MouseAt(window, client, MOUSEEVENTF_LEFTUP)});
}

void TypeText(const std::wstring& text) {
    for (wchar_t c : text) {
        INPUT down{};
        down.type = INPUT_KEYBOARD;
        down.ki.wScan = c;
        down.ki.dwFlags = KEYEVENTF_UNICODE;
        INPUT up = down;
        up.ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
        SendInputs({down, up});
    }
}

void PressAltF4() { SendInputs({Key(VK_MENU, false), Key(VK_F4, false), Key(VK_F4, true), Key(VK_MENU, true)}); }

void ClickButton(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }

void PressButtonAndWait(HWND button) { SendWaiting(button, BM_CLICK, 0, 0); }

}  // namespace quandrel::testing

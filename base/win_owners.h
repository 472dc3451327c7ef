// Owners for Win32 handles: each closes its handle once, cannot be copied, and
// treats INVALID_HANDLE_VALUE as empty where the API uses it for failure.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <ole2.h>
#include <shtypes.h>

#include <memory>
#include <type_traits>

namespace quandrel {

struct ModuleCloser {
    void operator()(HMODULE module) const { FreeLibrary(module); }
};
using UniqueModule = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleCloser>;

// Handles whose failure value is INVALID_HANDLE_VALUE rather than null.
template <BOOL(WINAPI* Close)(HANDLE)>
class UniqueInvalidableHandle {
public:
    UniqueInvalidableHandle() = default;
    explicit UniqueInvalidableHandle(HANDLE handle) : handle_(handle) {}
    UniqueInvalidableHandle(const UniqueInvalidableHandle&) = delete;
    UniqueInvalidableHandle& operator=(const UniqueInvalidableHandle&) = delete;
    UniqueInvalidableHandle(UniqueInvalidableHandle&& other) noexcept : handle_(other.release()) {}
    UniqueInvalidableHandle& operator=(UniqueInvalidableHandle&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }
    ~UniqueInvalidableHandle() { reset(); }

    HANDLE get() const { return handle_; }
    explicit operator bool() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE release() {
        HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return handle;
    }
    void reset(HANDLE handle = INVALID_HANDLE_VALUE) {
        if (*this) {
            Close(handle_);
        }
        handle_ = handle;
    }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

using UniqueFindHandle = UniqueInvalidableHandle<FindClose>;
using UniqueFileHandle = UniqueInvalidableHandle<CloseHandle>;

// ---- GDI and USER objects

struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
// Brushes, fonts, bitmaps and pens made by the program (never stock objects).
template <typename Handle>
using UniqueGdiObject = std::unique_ptr<std::remove_pointer_t<Handle>, GdiObjectDeleter>;
using UniqueBrush = UniqueGdiObject<HBRUSH>;
using UniqueBitmap = UniqueGdiObject<HBITMAP>;

struct MenuDestroyer {
    void operator()(HMENU menu) const { DestroyMenu(menu); }
};
using UniqueMenu = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDestroyer>;

struct IconDestroyer {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};
// Icons loaded without LR_SHARED.
using UniqueIcon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDestroyer>;

struct MemoryDcDeleter {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
// Device contexts from CreateCompatibleDC.
using UniqueMemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, MemoryDcDeleter>;

// A DC from GetDC or GetWindowDC, released to its window.
class WindowDc {
public:
    // The client area's DC (the screen's for a null window).
    static WindowDc OfClientArea(HWND window) { return WindowDc(window, GetDC(window)); }
    // The whole window's DC, frame included.
    static WindowDc OfWholeWindow(HWND window) { return WindowDc(window, GetWindowDC(window)); }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (dc_) {
            ReleaseDC(window_, dc_);
        }
    }
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    WindowDc(HWND window, HDC dc) : window_(window), dc_(dc) {}

    HWND window_;
    HDC dc_;
};

// BeginPaint with its EndPaint.
class PaintDc {
public:
    explicit PaintDc(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    ~PaintDc() { EndPaint(window_, &paint_); }
    HDC get() const { return dc_; }
    const RECT& area() const { return paint_.rcPaint; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// SelectObject with the old object put back.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject() {
        if (old_ && old_ != HGDI_ERROR) {
            SelectObject(dc_, old_);
        }
    }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// ---- COM

// A COM interface pointer, released once.
template <typename Interface>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() { reset(); }

    Interface* get() const { return pointer_; }
    Interface* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }
    // For functions that hand back a new interface through a void**.
    void** put() {
        reset();
        return reinterpret_cast<void**>(&pointer_);
    }
    void reset() {
        if (pointer_) {
            pointer_->Release();
            pointer_ = nullptr;
        }
    }

private:
    Interface* pointer_ = nullptr;
};

struct CoTaskMemFreer {
    void operator()(void* memory) const { CoTaskMemFree(memory); }
};
// Item ID lists the shell hands back (SHBrowseForFolder).
using UniquePidl = std::unique_ptr<ITEMIDLIST, CoTaskMemFreer>;

// A single-threaded COM apartment for the calling thread, for as long as the
// guard lives. A thread that already has COM in another mode is used as it is.
class ComApartment {
public:
    ComApartment() : initialized_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment() {
        if (initialized_) {
            CoUninitialize();
        }
    }

private:
    bool initialized_;
};

// OLE for the calling thread (a COM apartment, plus drag and drop and the
// clipboard's OLE side), for as long as the guard lives.
class OleSession {
public:
    OleSession() : initialized_(SUCCEEDED(OleInitialize(nullptr))) {}
    OleSession(const OleSession&) = delete;
    OleSession& operator=(const OleSession&) = delete;
    ~OleSession() {
        if (initialized_) {
            OleUninitialize();
        }
    }

private:
    bool initialized_;
};

}  // namespace quandrel

// Owners for Win32 handles: each closes its handle once, cannot be copied, and
// treats INVALID_HANDLE_VALUE as empty where the API uses it for failure.
#pragma once

#include <windows.h>

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

}  // namespace quandrel

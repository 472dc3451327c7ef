// The run's progress on the program's taskbar button (ITaskbarList3). Where the
// interface is not there (or the taskbar button does not exist yet), every call
// does nothing and the run goes on without it.
#pragma once

#include <windows.h>
#include <shobjidl.h>

#include "base/win_owners.h"

namespace quandrel {

class TaskbarProgress {
public:
    TaskbarProgress() = default;
    TaskbarProgress(const TaskbarProgress&) = delete;
    TaskbarProgress& operator=(const TaskbarProgress&) = delete;

    // The message the shell sends once the window's taskbar button exists.
    static UINT ButtonCreatedMessage();

    // Binds the interface for `window`; call on ButtonCreatedMessage().
    void Attach(HWND window);
    // `done` of `total` handled; `failed`: an archive could not be handled.
    void Show(int done, int total, bool failed);
    void Clear();

private:
    HWND window_ = nullptr;
    ComPtr<ITaskbarList3> taskbar_;
};

}  // namespace quandrel

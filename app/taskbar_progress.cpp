#include "app/taskbar_progress.h"

namespace quandrel {

UINT TaskbarProgress::ButtonCreatedMessage() {
    static const UINT message = RegisterWindowMessageA("TaskbarButtonCreated");
    return message;
}

void TaskbarProgress::Attach(HWND window) {
    window_ = window;
    if (taskbar_) {
        return;  // Explorer restarted: the same interface serves the new button
    }
    if (FAILED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3, taskbar_.put())) ||
        FAILED(taskbar_->HrInit())) {
        taskbar_.reset();
    }
}

void TaskbarProgress::Show(int done, int total, bool failed) {
    if (!taskbar_ || total <= 0) {
        return;
    }
    taskbar_->SetProgressState(window_, failed ? TBPF_ERROR : TBPF_NORMAL);
    taskbar_->SetProgressValue(window_, static_cast<ULONGLONG>(done), static_cast<ULONGLONG>(total));
}

void TaskbarProgress::Clear() {
    if (taskbar_) {
        taskbar_->SetProgressState(window_, TBPF_NOPROGRESS);
    }
}

}  // namespace quandrel

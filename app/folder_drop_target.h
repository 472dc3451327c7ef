// Folders dragged from Explorer onto the window: the dropped folder, or the
// folder of a dropped file, is handed on. An OLE drop target rather than
// DragAcceptFiles, which would give the window the WS_EX_ACCEPTFILES style.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quandrel {

class FolderDropTarget final : public IDropTarget {
public:
    using FolderHandler = std::function<void(const std::string& folder)>;

    explicit FolderDropTarget(FolderHandler onFolder) : onFolder_(std::move(onFolder)) {}
    FolderDropTarget(const FolderDropTarget&) = delete;
    FolderDropTarget& operator=(const FolderDropTarget&) = delete;
    ~FolderDropTarget() { Revoke(); }

    // Takes drops on `window` until Revoke (at the latest, before the window is destroyed).
    bool Register(HWND window);
    void Revoke();

    // IUnknown: the owner keeps the object alive, so the count only tracks OLE's borrowing.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override { return --references_; }
    // IDropTarget
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL at, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL at, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL at, DWORD* effect) override;

private:
    FolderHandler onFolder_;
    ULONG references_ = 1;
    std::vector<HWND> registered_;
    bool acceptable_ = false;  // what is being dragged holds a file or folder
};

// The folder a drop names: the first dropped item when it is a folder, else
// that item's folder. Nothing when the drop holds no file, or the path has
// characters the ANSI code page cannot hold.
std::optional<std::string> FolderOfDrop(IDataObject* data);

}  // namespace quandrel

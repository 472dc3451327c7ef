#include "app/folder_drop_target.h"

#include <shellapi.h>

#include "base/code_page.h"
#include "base/path_text.h"

namespace quandrel {
namespace {

FORMATETC DroppedFilesFormat() { return {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

bool HoldsFiles(IDataObject* data) {
    FORMATETC format = DroppedFilesFormat();
    return data && data->QueryGetData(&format) == S_OK;
}

}  // namespace

std::optional<std::string> FolderOfDrop(IDataObject* data) {
    FORMATETC format = DroppedFilesFormat();
    STGMEDIUM medium{};
    if (!data || FAILED(data->GetData(&format, &medium))) {
        return std::nullopt;
    }
    std::wstring path;
    if (auto* drop = static_cast<HDROP>(GlobalLock(medium.hGlobal))) {
        const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
        path.resize(length + 1);
        path.resize(DragQueryFileW(drop, 0, path.data(), length + 1));
        GlobalUnlock(medium.hGlobal);
    }
    ReleaseStgMedium(&medium);
    if (path.empty()) {
        return std::nullopt;
    }
    std::optional<std::string> ansi = AnsiFromWide(path);
    if (!ansi) {
        return std::nullopt;
    }
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return ansi;
    }
    std::string folder = FolderOfPath(*ansi);
    if (folder.size() == 2 && folder[1] == ':') {
        folder += '\\';  // "D:" alone would be the drive's current folder, not its root
    }
    return folder;
}

bool FolderDropTarget::Register(HWND window) {
    if (FAILED(RegisterDragDrop(window, this))) {
        return false;
    }
    registered_.push_back(window);
    return true;
}

void FolderDropTarget::Revoke() {
    for (HWND window : registered_) {
        RevokeDragDrop(window);
    }
    registered_.clear();
}

HRESULT FolderDropTarget::QueryInterface(REFIID id, void** object) {
    if (id == IID_IUnknown || id == IID_IDropTarget) {
        *object = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT FolderDropTarget::DragEnter(IDataObject* data, DWORD /*keys*/, POINTL /*at*/, DWORD* effect) {
    acceptable_ = HoldsFiles(data);
    *effect = acceptable_ ? DROPEFFECT_COPY : DROPEFFECT_NONE;
    return S_OK;
}

HRESULT FolderDropTarget::DragOver(DWORD /*keys*/, POINTL /*at*/, DWORD* effect) {
    *effect = acceptable_ ? DROPEFFECT_COPY : DROPEFFECT_NONE;
    return S_OK;
}

HRESULT FolderDropTarget::DragLeave() {
    acceptable_ = false;
    return S_OK;
}

HRESULT FolderDropTarget::Drop(IDataObject* data, DWORD /*keys*/, POINTL /*at*/, DWORD* effect) {
    acceptable_ = false;
    const std::optional<std::string> folder = FolderOfDrop(data);
    *effect = folder ? DROPEFFECT_COPY : DROPEFFECT_NONE;
    if (folder) {
        onFolder_(*folder);
    }
    return S_OK;
}

}  // namespace quandrel

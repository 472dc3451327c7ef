#include "rename/recycle_bin_items.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <iterator>

#include "base/code_page.h"
#include "base/system_error.h"

namespace quandrel {
namespace {

// The column of the bin's details that holds the folder an item was removed
// from ("原位置"), on Windows and in Wine alike.
constexpr UINT kOriginalFolderColumn = 1;
// Commands of the shell's menu are numbered from here.
constexpr UINT kFirstCommand = 1;

std::wstring TakeString(STRRET& value, LPCITEMIDLIST item) {
    wchar_t* text = nullptr;
    if (FAILED(StrRetToStrW(&value, item, &text)) || !text) {
        return {};
    }
    std::wstring result = text;
    CoTaskMemFree(text);
    return result;
}

// The command of the item's shell menu that restores it: the one whose verb
// is "undelete", else the first (Wine's menu names no verbs; "还原" comes first).
std::optional<UINT> RestoreCommand(IContextMenu& menu, HMENU popup) {
    std::optional<UINT> first;
    for (int i = 0; i < GetMenuItemCount(popup); ++i) {
        const UINT id = GetMenuItemID(popup, i);
        if (id == static_cast<UINT>(-1) || id < kFirstCommand) {
            continue;  // a separator or a submenu
        }
        // Shell extensions answer in Unicode, ANSI or both.
        wchar_t wideVerb[64] = {};
        char verb[64] = {};
        if ((SUCCEEDED(menu.GetCommandString(id - kFirstCommand, GCS_VERBW, nullptr, reinterpret_cast<char*>(wideVerb),
                                             static_cast<UINT>(std::size(wideVerb)))) &&
             lstrcmpiW(wideVerb, L"undelete") == 0) ||
            (SUCCEEDED(menu.GetCommandString(id - kFirstCommand, GCS_VERBA, nullptr, verb, sizeof verb)) &&
             lstrcmpiA(verb, "undelete") == 0)) {
            return id - kFirstCommand;
        }
        if (!first) {
            first = id - kFirstCommand;
        }
    }
    return first;
}

}  // namespace

RecycleBinItems::RecycleBinItems() {
    unreadable_ = "无法读取回收站";
    ComPtr<IShellFolder> desktop;
    if (FAILED(SHGetDesktopFolder(reinterpret_cast<IShellFolder**>(desktop.put())))) {
        return;
    }
    PIDLIST_ABSOLUTE binLocation = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_BITBUCKET, &binLocation))) {
        return;
    }
    const UniquePidl binOwner(binLocation);
    if (FAILED(desktop->BindToObject(binLocation, nullptr, IID_IShellFolder2, bin_.put()))) {
        return;
    }
    ComPtr<IEnumIDList> found;
    if (bin_->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN,
                          reinterpret_cast<IEnumIDList**>(found.put())) != S_OK) {
        return;
    }
    unreadable_.clear();
    LPITEMIDLIST item = nullptr;
    while (found->Next(1, &item, nullptr) == S_OK) {
        UniquePidl owned(item);
        SHELLDETAILS folder{};
        STRRET name{};
        if (FAILED(bin_->GetDetailsOf(item, kOriginalFolderColumn, &folder)) ||
            FAILED(bin_->GetDisplayNameOf(item, SHGDN_INFOLDER, &name))) {
            continue;
        }
        std::wstring path = TakeString(folder.str, item);
        if (!path.empty() && path.back() != L'\\') {
            path += L'\\';
        }
        path += TakeString(name, item);
        items_.emplace(FileNameKey(std::move(path)), std::move(owned));
    }
}

std::optional<std::string> RecycleBinItems::BringBack(const std::string& originalPath, const FileMark& fileMark) {
    if (!unreadable_.empty()) {
        return unreadable_;
    }
    const std::wstring key = FileNameKey(FullPathOf(originalPath));
    const std::wstring stemKey = key.substr(0, key.rfind(L'.'));
    const std::size_t matches = items_.count(key) + (stemKey.size() < key.size() ? items_.count(stemKey) : 0);
    if (matches == 0) {
        return std::string("回收站中已没有此文件");
    }
    if (matches > 1) {
        return std::string("回收站中有多个从此处删除的同名文件，无法确定是哪一个");
    }
    if (GetFileAttributesA(originalPath.c_str()) != INVALID_FILE_ATTRIBUTES) {
        return std::string("原位置已有同名文件");
    }
    auto match = items_.find(key);
    if (match == items_.end()) {
        match = items_.find(stemKey);
    }
    if (std::optional<std::string> why = Restore(match->second.get())) {
        return why;
    }
    items_.erase(match);
    const std::optional<FileMark> restored = FileMarkOf(originalPath);
    if (!restored) {
        return std::string("回收站没有还原此文件");
    }
    if (*restored != fileMark) {
        return std::string("还原的文件不是本次删除的那个");
    }
    return std::nullopt;
}

std::optional<std::string> RecycleBinItems::Restore(LPCITEMIDLIST item) {
    ComPtr<IContextMenu> menu;
    if (FAILED(bin_->GetUIObjectOf(nullptr, 1, &item, IID_IContextMenu, nullptr, menu.put()))) {
        return std::string("回收站不提供还原");
    }
    HMENU popup = CreatePopupMenu();
    if (!popup) {
        return SystemErrorText(GetLastError());
    }
    std::optional<UINT> command;
    if (SUCCEEDED(menu->QueryContextMenu(popup, 0, kFirstCommand, 0x7FFF, CMF_NORMAL))) {
        command = RestoreCommand(*menu.get(), popup);
    }
    DestroyMenu(popup);
    if (!command) {
        return std::string("回收站不提供还原");
    }
    CMINVOKECOMMANDINFO invoke{};
    invoke.cbSize = sizeof invoke;
    invoke.fMask = CMIC_MASK_FLAG_NO_UI;
    invoke.lpVerb = MAKEINTRESOURCEA(*command);
    invoke.nShow = SW_SHOWNORMAL;
    if (const HRESULT result = menu->InvokeCommand(&invoke); FAILED(result)) {
        return "回收站无法还原此文件（" + SystemErrorText(static_cast<DWORD>(result)) + "）";
    }
    return std::nullopt;
}

}  // namespace quandrel

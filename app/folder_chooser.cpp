#include "app/folder_chooser.h"

#include <objbase.h>
#include <shlobj.h>

#include <memory>

#include "base/program_windows_disabled.h"
#include "base/win_owners.h"

namespace quandrel {

namespace {}  // namespace

std::optional<std::string> ChooseFolderPath(HWND owner) {
    const ComApartment com;  // the chooser's tree talks to shell folders through COM
    HWND const active = GetActiveWindow();

    char displayName[MAX_PATH];  // the size SHBrowseForFolderA requires
    BROWSEINFOA browse{};
    browse.hwndOwner = active ? active : owner;
    browse.pidlRoot = nullptr;  // the desktop
    browse.pszDisplayName = displayName;
    browse.lpszTitle = "选择目录：";
    browse.ulFlags = BIF_EDITBOX;

    UniquePidl chosen;
    {
        const ProgramWindowsDisabled disabled;
        chosen.reset(SHBrowseForFolderA(&browse));
    }
    if (!chosen) {
        return std::nullopt;
    }
    char path[MAX_PATH];  // the size SHGetPathFromIDListA requires
    if (!SHGetPathFromIDListA(chosen.get(), path) || path[0] == '\0') {
        return std::nullopt;
    }
    return std::string(path);
}

}  // namespace quandrel

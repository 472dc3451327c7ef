// The system folder chooser behind "浏览...".
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace quandrel {

// Lets the user pick a folder in SHBrowseForFolderA, owned by the active window
// (`owner` when the thread has none); every top-level window of the program is
// disabled meanwhile. The chosen folder's file-system path ("X:\" for a drive
// root, no trailing backslash otherwise), or nothing when the user cancels or
// the choice has no file-system path.
std::optional<std::string> ChooseFolderPath(HWND owner);

}  // namespace quandrel

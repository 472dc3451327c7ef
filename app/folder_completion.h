// Folder names completed in the folder box as they are typed, as Windows' own
// path boxes do.
#pragma once

#include <windows.h>

namespace quandrel {

// The shell's completion for file-system folders where the system has it;
// where it does not (Wine's SHAutoComplete does nothing), the shell's
// completion object fed with the folders of the typed path. False when neither
// could be set up: the box then simply does not complete.
bool CompleteFolderNames(HWND edit);

}  // namespace quandrel

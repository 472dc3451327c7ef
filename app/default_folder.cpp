#include "app/default_folder.h"

#include <windows.h>
#include <shlobj.h>

namespace quandrel {

std::string DefaultArchiveFolder() {
    char path[MAX_PATH];  // the size SHGetFolderPathA requires
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, path))) {
        return {};
    }
    return path;
}

}  // namespace quandrel

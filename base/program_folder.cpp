#include "base/program_folder.h"

#include <windows.h>

#include "base/fatal_error.h"
#include "base/path_text.h"

namespace quandrel {

std::string ProgramPath() {
    // GetModuleFileNameA truncates silently and fills the buffer when it is too small.
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            FailFatally("无法取得程序路径。");
        }
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::string ProgramFolder() { return FolderOfPath(ProgramPath()); }

}  // namespace quandrel

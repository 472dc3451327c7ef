#include "tests/support/recycle_bin.h"

#include <windows.h>

#include <stdexcept>

#include "base/path_text.h"
#include "base/win_owners.h"
#include "tests/support/test_folder.h"

namespace quandrel::testing {
namespace {

std::string TrashFilesFolder() {
    char unixPath[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA("QUANDREL_TRASH_FILES", unixPath, sizeof unixPath);
    if (length == 0 || length >= sizeof unixPath) {
        throw std::runtime_error("QUANDREL_TRASH_FILES is not set: run the tests through wine-run");
    }
    std::string path = "Z:" + std::string(unixPath, length);  // Wine maps the Unix root to Z:
    for (char& c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
    return path;
}

}  // namespace

bool TakeFromRecycleBin(const std::string& bytes) {
    const std::string folder = TrashFilesFolder();
    WIN32_FIND_DATAA found;
    UniqueFindHandle search(FindFirstFileA(JoinPath(folder, "*").c_str(), &found));
    if (!search) {
        return false;
    }
    do {
        const std::string path = JoinPath(folder, found.cFileName);
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && ReadFileBytes(path) == bytes) {
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path.c_str());
            DeleteFileA((JoinPath(FolderOfPath(folder), "info\\") + found.cFileName + ".trashinfo").c_str());
            return true;
        }
    } while (FindNextFileA(search.get(), &found));
    return false;
}

}  // namespace quandrel::testing

#include "rename/archive_files.h"

#include <windows.h>
#include <shellapi.h>

#include "base/path_text.h"
#include "base/system_error.h"
#include "base/win_owners.h"
#include "rename/new_name.h"

namespace quandrel {
namespace {

struct FileIdentity {
    DWORD volume = 0;
    DWORD indexHigh = 0;
    DWORD indexLow = 0;
    bool folder = false;
};

std::optional<FileIdentity> IdentityOf(const std::string& path) {
    // No access rights asked and every sharing allowed: this works on files that
    // others hold open. BACKUP_SEMANTICS lets folders be opened too.
    UniqueFileHandle file(CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    if (!file || !GetFileInformationByHandle(file.get(), &info)) {
        return std::nullopt;
    }
    return FileIdentity{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow,
                        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0};
}

std::string FullPath(const std::string& path) {
    const DWORD needed = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) {
        return path;
    }
    std::string full(needed, '\0');
    const DWORD length = GetFullPathNameA(path.c_str(), needed, full.data(), nullptr);
    full.resize(length < needed ? length : 0);
    return full.empty() ? path : full;
}

}  // namespace

std::vector<FoundArchive> ListArchives(const std::string& folder) {
    std::vector<FoundArchive> archives;
    WIN32_FIND_DATAA found;
    UniqueFindHandle search(FindFirstFileA(JoinPath(folder, "*.zip").c_str(), &found));
    if (!search) {
        return archives;
    }
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && HasZipExtension(found.cFileName)) {
            archives.push_back({found.cFileName, found.cAlternateFileName});
        }
    } while (FindNextFileA(search.get(), &found));
    return archives;
}

Occupant WhatOccupies(const std::string& path, const std::string& archivePath) {
    const std::optional<FileIdentity> occupant = IdentityOf(path);
    if (!occupant) {
        return Occupant::Nothing;
    }
    if (occupant->folder) {
        return Occupant::AFolder;
    }
    const std::optional<FileIdentity> archive = IdentityOf(archivePath);
    const bool same = archive && archive->volume == occupant->volume && archive->indexHigh == occupant->indexHigh &&
                      archive->indexLow == occupant->indexLow;
    return same ? Occupant::TheArchiveItself : Occupant::AnotherFile;
}

std::optional<std::string> MoveToRecycleBin(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return SystemErrorText(GetLastError());
    }
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        return "文件是只读的";
    }
    {
        // The shell would recycle a file that another program has open; the
        // system's own sharing check says whether that program allows it.
        UniqueFileHandle probe(CreateFileA(path.c_str(), DELETE,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (!probe) {
            return SystemErrorText(GetLastError());
        }
    }
    std::string from = FullPath(path);
    from.push_back('\0');  // the list of paths ends with an empty one
    SHFILEOPSTRUCTA operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    const int result = SHFileOperationA(&operation);
    if (result != 0 || operation.fAnyOperationsAborted) {
        return "无法移到回收站（代码 " + std::to_string(result) + "）";
    }
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
        return "文件仍在原处";
    }
    return std::nullopt;
}

}  // namespace quandrel

#include "rename/archive_files.h"

#include <windows.h>
#include <shellapi.h>

#include <atomic>
#include <vector>

#include "base/code_page.h"
#include "base/path_text.h"
#include "base/system_error.h"
#include "base/win_owners.h"
#include "rename/new_name.h"

namespace quandrel {
namespace {

std::uint64_t Join(DWORD high, DWORD low) { return (std::uint64_t{high} << 32) | low; }

struct FileIdentity {
    FileMark mark;
    DWORD links = 0;
    bool folder = false;

    // One file by its index, whatever became of it.
    bool SameFileAs(const FileIdentity& other) const {
        return mark.volume == other.mark.volume && mark.index == other.mark.index;
    }
};

// The identity of the file at `path`; nothing, with the system's error code
// left for GetLastError, when it cannot be read.
std::optional<FileIdentity> IdentityOf(const std::string& path) {
    // No access rights asked and every sharing allowed: this works on files that
    // others hold open. BACKUP_SEMANTICS lets folders be opened too.
    UniqueFileHandle file(CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    if (!file || !GetFileInformationByHandle(file.get(), &info)) {
        return std::nullopt;
    }
    const FileMark mark{info.dwVolumeSerialNumber, Join(info.nFileIndexHigh, info.nFileIndexLow),
                        Join(info.nFileSizeHigh, info.nFileSizeLow),
                        Join(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime)};
    return FileIdentity{mark, info.nNumberOfLinks, (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0};
}

bool IsMissingFileError(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

// Why the search of `folder` found nothing, or nothing when the folder is
// simply without archives.
std::optional<std::string> WhyFolderGaveNothing(const std::wstring& folder, DWORD searchError) {
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (IsMissingFileError(error) || error == ERROR_INVALID_NAME || error == ERROR_BAD_NETPATH) {
            return std::string("文件夹不存在");
        }
        return "无法列出文件夹：" + SystemErrorText(error);
    }
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return std::string("这是一个文件，不是文件夹");
    }
    if (searchError == ERROR_FILE_NOT_FOUND || searchError == ERROR_NO_MORE_FILES) {
        return std::nullopt;
    }
    return "无法列出文件夹：" + SystemErrorText(searchError);
}

constexpr char kBinRefused[] = "回收站无法接收此文件（此磁盘没有回收站，或文件超出回收站容量）";

// A second name for the file while the shell removes it, unique to this run.
std::string KeeperPathFor(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    return JoinPath(FolderOfPath(FullPathOf(path)),
                    "~quandrel-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter) + ".tmp");
}

}  // namespace

std::optional<FileMark> FileMarkOf(const std::string& path) {
    const std::optional<FileIdentity> identity = IdentityOf(path);
    if (!identity) {
        return std::nullopt;
    }
    return identity->mark;
}

std::string FullPathOf(const std::string& path) {
    const DWORD needed = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) {
        return path;
    }
    std::string full(needed, '\0');
    const DWORD length = GetFullPathNameA(path.c_str(), needed, full.data(), nullptr);
    full.resize(length < needed ? length : 0);
    return full.empty() ? path : full;
}

ArchiveListing ListArchives(const std::string& folder) {
    ArchiveListing listing;
    // Listed by handle, in wide names: every name comes whole (the ANSI search
    // would hand back "?" or a best-fit look-alike for characters the code page
    // lacks), and with its file id, so that marking an archive costs nothing.
    const std::wstring wideFolder = WideFromAnsi(folder);
    const UniqueFileHandle directory(CreateFileW(wideFolder.c_str(), FILE_LIST_DIRECTORY,
                                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION folderInfo;
    if (!directory || !GetFileInformationByHandle(directory.get(), &folderInfo) ||
        !(folderInfo.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        listing.problem = WhyFolderGaveNothing(wideFolder, GetLastError()).value_or("");
        return listing;
    }
    // FILE_ID_BOTH_DIR_INFO records hold 8-byte fields: an 8-byte aligned buffer.
    constexpr DWORD kBufferBytes = 64 * 1024;
    std::vector<LONGLONG> buffer(kBufferBytes / sizeof(LONGLONG));
    FILE_INFO_BY_HANDLE_CLASS part = FileIdBothDirectoryRestartInfo;
    while (GetFileInformationByHandleEx(directory.get(), part, buffer.data(), kBufferBytes)) {
        part = FileIdBothDirectoryInfo;
        const auto* bytes = reinterpret_cast<const char*>(buffer.data());
        for (DWORD offset = 0;;) {
            const auto* entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(bytes + offset);
            const std::wstring_view wideName(entry->FileName, entry->FileNameLength / sizeof(wchar_t));
            if (!(entry->FileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                FoundArchive archive;
                std::optional<std::string> name = AnsiFromWide(wideName);
                archive.nameFitsCodePage = name.has_value();
                archive.name = name ? std::move(*name) : AnsiForDisplay(wideName);
                if (HasZipExtension(archive.name)) {
                    // 8.3 aliases are plain ASCII.
                    archive.shortName =
                        AnsiForDisplay(std::wstring_view(entry->ShortName, entry->ShortNameLength / sizeof(wchar_t)));
                    archive.mark = {folderInfo.dwVolumeSerialNumber, static_cast<std::uint64_t>(entry->FileId.QuadPart),
                                    static_cast<std::uint64_t>(entry->EndOfFile.QuadPart),
                                    static_cast<std::uint64_t>(entry->LastWriteTime.QuadPart)};
                    listing.archives.push_back(std::move(archive));
                }
            }
            if (entry->NextEntryOffset == 0) {
                break;
            }
            offset += entry->NextEntryOffset;
        }
    }
    // A folder with no entries at all (an empty drive's root) has nothing to
    // give from the start.
    const bool nothingAtAll = part == FileIdBothDirectoryRestartInfo && GetLastError() == ERROR_FILE_NOT_FOUND;
    if (const DWORD error = GetLastError(); error != ERROR_NO_MORE_FILES && !nothingAtAll) {
        listing.problem = "文件列表不完整：" + SystemErrorText(error);
    }
    return listing;
}

Occupant WhatOccupies(const std::string& path, const std::string& archivePath) {
    const std::optional<FileIdentity> occupant = IdentityOf(path);
    if (!occupant) {
        return IsMissingFileError(GetLastError()) ? Occupant::Nothing : Occupant::Unknown;
    }
    if (occupant->folder) {
        return Occupant::AFolder;
    }
    const std::optional<FileIdentity> archive = IdentityOf(archivePath);
    if (!archive) {
        return Occupant::Unknown;
    }
    return archive->SameFileAs(*occupant) ? Occupant::TheArchiveItself : Occupant::AnotherFile;
}

std::optional<unsigned long> HeldAgainstRemoval(const std::string& path) {
    const UniqueFileHandle probe(CreateFileA(path.c_str(), DELETE,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!probe) {
        return GetLastError();
    }
    return std::nullopt;
}

std::optional<std::string> WhyNotRecyclable(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return SystemErrorText(GetLastError());
    }
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        return "文件是只读的";
    }
    // The shell would recycle a file that another program has open; the
    // system's own sharing check says whether that program allows it.
    if (const std::optional<unsigned long> error = HeldAgainstRemoval(path)) {
        return SystemErrorText(*error);
    }
    return std::nullopt;
}

std::optional<std::string> WhyRecycleBinUnusable(const std::string& path) {
    std::string root = FullPathOf(path);
    char volume[MAX_PATH] = {};
    if (GetVolumePathNameA(root.c_str(), volume, sizeof volume)) {
        root = volume;
    }
    SHQUERYRBINFO bin{};
    bin.cbSize = sizeof bin;
    if (FAILED(SHQueryRecycleBinA(root.c_str(), &bin))) {
        return std::string(kBinRefused);
    }
    return std::nullopt;
}

std::optional<std::string> MoveToRecycleBin(const std::string& path) {
    if (std::optional<std::string> why = WhyNotRecyclable(path)) {
        return why;
    }
    // The shell deletes a file for good, and reports success, where the Recycle
    // Bin cannot take it. A second name (a hard link) keeps the file alive
    // through that: after a true recycling the bin's copy is the same file, so
    // the link count stays at two; after a deletion the second name is all that
    // is left, and the file gets its own name back. A crash at any moment leaves
    // the file under one of its names. A drive without hard links (FAT, most
    // shares) is one without a Recycle Bin as well, so there it stays.
    const std::string keeper = KeeperPathFor(path);
    if (!CreateHardLinkA(keeper.c_str(), path.c_str(), nullptr)) {
        return "此磁盘无法确认能放入回收站（" + SystemErrorText(GetLastError()) + "）";
    }
    std::string from = FullPathOf(path);
    from.push_back('\0');  // the list of paths ends with an empty one
    SHFILEOPSTRUCTA operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    const int result = SHFileOperationA(&operation);
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
        DeleteFileA(keeper.c_str());
        if (result != 0 || operation.fAnyOperationsAborted) {
            return "无法移到回收站（代码 " + std::to_string(result) + "）";
        }
        return "文件仍在原处";
    }
    const std::optional<FileIdentity> kept = IdentityOf(keeper);
    if (kept && kept->links >= 2) {
        DeleteFileA(keeper.c_str());  // the bin holds the file; only this name goes
        return std::nullopt;
    }
    const std::string why = kBinRefused;
    if (!MoveFileA(keeper.c_str(), path.c_str())) {
        return why + "，文件现名为 " + keeper.substr(keeper.rfind('\\') + 1);
    }
    return why;
}

}  // namespace quandrel

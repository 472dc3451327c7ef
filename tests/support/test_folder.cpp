#include "tests/support/test_folder.h"

#include <windows.h>

#include <stdexcept>

#include "base/path_text.h"
#include "base/program_folder.h"
#include "base/win_owners.h"

namespace quandrel::testing {

TestFolder::TestFolder(std::string_view name) {
    char temp[MAX_PATH + 1];
    const DWORD length = GetTempPathA(sizeof temp, temp);
    if (length == 0 || length > MAX_PATH) {
        throw std::runtime_error("no temp folder");
    }
    for (unsigned attempt = 0;; ++attempt) {
        path_ = JoinPath(temp, std::string(name) + "-" + std::to_string(GetCurrentProcessId()) + "-" +
                                   std::to_string(GetTickCount()) + "-" + std::to_string(attempt));
        if (CreateDirectoryA(path_.c_str(), nullptr)) {
            return;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS || attempt > 100) {
            throw std::runtime_error("cannot create test folder " + path_);
        }
    }
}

TestFolder::~TestFolder() { RemoveTree(path_); }

std::string TestFolder::operator/(std::string_view name) const { return JoinPath(path_, name); }

void RemoveTree(const std::string& path) {
    WIN32_FIND_DATAA found;
    UniqueFindHandle search(FindFirstFileA(JoinPath(path, "*").c_str(), &found));
    if (search) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") {
                continue;
            }
            const std::string child = JoinPath(path, name);
            SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                DeleteFileA(child.c_str());
            }
        } while (FindNextFileA(search.get(), &found));
    }
    search.reset();
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(path.c_str());
}

void WriteFileBytes(const std::string& path, std::string_view bytes) {
    UniqueFileHandle file(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        throw std::runtime_error("cannot create " + path);
    }
    DWORD written = 0;
    if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size()) {
        throw std::runtime_error("cannot write " + path);
    }
}

std::optional<std::string> ReadFileBytes(const std::string& path) {
    UniqueFileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return std::nullopt;
    }
    std::string bytes;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
        bytes.append(buffer, read);
    }
    return bytes;
}

std::map<std::string, std::string> FolderContents(const std::string& folder) {
    std::map<std::string, std::string> contents;
    WIN32_FIND_DATAA found;
    UniqueFindHandle search(FindFirstFileA(JoinPath(folder, "*").c_str(), &found));
    if (!search) {
        return contents;
    }
    do {
        std::string name = found.cFileName;
        if (name == "." || name == "..") {
            continue;
        }
        const std::string path = JoinPath(folder, name);
        for (char& c : name) {
            c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        }
        contents[name] = found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY
                             ? std::string("<folder>")
                             : ReadFileBytes(path).value_or("<unreadable>");
    } while (FindNextFileA(search.get(), &found));
    return contents;
}

std::string BuildOutputFolder() { return ProgramFolder(); }

}  // namespace quandrel::testing

#include "rename/folder_changes.h"

#include <windows.h>

#include "base/code_page.h"

namespace quandrel {
namespace {

class RealChanges final : public FolderChanges {
public:
    unsigned long Move(const std::string& from, const std::string& /*fromAlias*/, const std::string& to) override {
        // MoveFileA never replaces a file: a taken name shows up as its failure,
        // with no separate existence test (which would race with other programs).
        return MoveFileA(from.c_str(), to.c_str()) ? ERROR_SUCCESS : GetLastError();
    }
    Occupant WhatOccupies(const std::string& path, const std::string& archivePath) override {
        return quandrel::WhatOccupies(path, archivePath);
    }
    std::optional<std::string> Recycle(const std::string& path, const std::string& /*pathAlias*/) override {
        return MoveToRecycleBin(path);
    }
};

}  // namespace

std::unique_ptr<FolderChanges> RealFolderChanges() { return std::make_unique<RealChanges>(); }

unsigned long ImaginedFolderChanges::Move(const std::string& from, const std::string& fromAlias,
                                          const std::string& to) {
    // The system's sharing check comes before the new name is looked at: a
    // program that holds the archive open without letting it be renamed makes
    // the rename fail.
    if (const std::optional<unsigned long> error = HeldAgainstRemoval(from)) {
        return *error;
    }
    const std::wstring key = FileNameKey(to);
    if (taken_.contains(key)) {
        return ERROR_ALREADY_EXISTS;
    }
    // A change of letter case only is a rename of the file onto itself, which the system allows.
    const bool itself = key == FileNameKey(from);
    if (!itself && !vacated_.contains(key) && GetFileAttributesA(to.c_str()) != INVALID_FILE_ATTRIBUTES) {
        return ERROR_ALREADY_EXISTS;
    }
    vacated_.erase(key);
    taken_.insert(key);
    Vacate(from);
    Vacate(fromAlias);
    return ERROR_SUCCESS;
}

Occupant ImaginedFolderChanges::WhatOccupies(const std::string& path, const std::string& archivePath) {
    const std::wstring key = FileNameKey(path);
    if (taken_.contains(key)) {
        return Occupant::AnotherFile;  // an archive moved there earlier, never this one
    }
    if (vacated_.contains(key)) {
        return Occupant::Nothing;
    }
    return quandrel::WhatOccupies(path, archivePath);
}

std::optional<std::string> ImaginedFolderChanges::Recycle(const std::string& path, const std::string& pathAlias) {
    // What only the shell's own attempt reveals (a file too large for the bin)
    // cannot be foreseen; the rest can.
    if (std::optional<std::string> why = WhyNotRecyclable(path)) {
        return why;
    }
    if (!binUnusable_) {
        binUnusable_ = WhyRecycleBinUnusable(path);
    }
    if (*binUnusable_) {
        return *binUnusable_;
    }
    Vacate(path);
    Vacate(pathAlias);
    return std::nullopt;
}

void ImaginedFolderChanges::Vacate(const std::string& path) {
    if (!path.empty()) {
        const std::wstring key = FileNameKey(path);
        taken_.erase(key);
        vacated_.insert(key);
    }
}

}  // namespace quandrel

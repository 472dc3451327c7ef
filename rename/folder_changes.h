// The changes a rename run makes to its folder: made for real, or only
// imagined, for a preview that must reach the outcome the run would reach
// without touching a file.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <unordered_set>

#include "rename/archive_files.h"

namespace quandrel {

class FolderChanges {
public:
    virtual ~FolderChanges() = default;

    // Gives the file at `from` the path `to`, never replacing a file there.
    // 0 when done, else the system's error code (ERROR_ALREADY_EXISTS when
    // `to` is taken). `fromAlias` is the file's 8.3 path, empty when none.
    virtual unsigned long Move(const std::string& from, const std::string& fromAlias, const std::string& to) = 0;
    // What stands at `path`, as seen from the archive at `archivePath`.
    virtual Occupant WhatOccupies(const std::string& path, const std::string& archivePath) = 0;
    // Moves the file to the Recycle Bin; nothing when done, else why it stays.
    virtual std::optional<std::string> Recycle(const std::string& path, const std::string& pathAlias) = 0;
};

// The folder itself.
std::unique_ptr<FolderChanges> RealFolderChanges();

// The folder as it would be after the changes made so far, which are only
// remembered: names given by earlier moves are taken, and names moved from or
// recycled are free. Everything else is read from the folder as it is.
class ImaginedFolderChanges final : public FolderChanges {
public:
    unsigned long Move(const std::string& from, const std::string& fromAlias, const std::string& to) override;
    Occupant WhatOccupies(const std::string& path, const std::string& archivePath) override;
    std::optional<std::string> Recycle(const std::string& path, const std::string& pathAlias) override;

private:
    void Vacate(const std::string& path);

    std::optional<std::optional<std::string>> binUnusable_;  // asked once: every archive is in one folder
    std::unordered_set<std::wstring> taken_;                 // keys of paths given by moves
    std::unordered_set<std::wstring> vacated_;               // keys of paths moved from or recycled
};

}  // namespace quandrel

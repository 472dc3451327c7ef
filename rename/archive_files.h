// The file-system side of the rename run: finding the archives of a folder,
// telling what occupies a name, and removing a duplicate to the Recycle Bin.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quandrel {

struct FoundArchive {
    std::string name;       // long file name, as the folder lists it
    std::string shortName;  // its 8.3 alias; empty when the name needs none
};

// The archives directly in `folder`: the files that the search "*.zip" returns
// and whose own name ends in ".zip". The search also matches through 8.3
// aliases ("b.zipx", "c.zip~"), and those files are not archives. The search is
// closed before this returns, so nothing renamed later is ever met by it.
std::vector<FoundArchive> ListArchives(const std::string& folder);

enum class Occupant { Nothing, TheArchiveItself, AnotherFile, AFolder };

// What stands at `path`, judged by file identity rather than by name: an alias,
// a case variant or a hard link of the archive is the archive itself.
Occupant WhatOccupies(const std::string& path, const std::string& archivePath);

// Moves the file to the Recycle Bin, where its volume has one. A read-only file,
// or one that another program holds open, is left alone. Nothing on success,
// else why it stays.
std::optional<std::string> MoveToRecycleBin(const std::string& path);

}  // namespace quandrel

// The file-system side of the rename run: finding the archives of a folder,
// telling what occupies a name, and removing a duplicate to the Recycle Bin.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quandrel {

// Which file a path leads to (its volume and its index there) and how it
// stood (size, last write). Equal marks are one file, unchanged in between,
// whatever its names: a file written anew at a freed name may get the old
// index again, but not also the old size and time.
struct FileMark {
    std::uint32_t volume = 0;
    std::uint64_t index = 0;
    std::uint64_t size = 0;
    std::uint64_t lastWrite = 0;

    bool operator==(const FileMark&) const = default;
};

struct FoundArchive {
    std::string name;       // long file name, as the folder lists it
    std::string shortName;  // its 8.3 alias; empty when the name needs none
    // False when the ANSI code page cannot hold the real name: `name` then has
    // "?" for the missing characters, is only for showing, and could name a
    // different file, so the archive is never touched through it.
    bool nameFitsCodePage = true;
    FileMark mark;  // as the folder listed it
};

struct ArchiveListing {
    std::vector<FoundArchive> archives;
    // Why the list is missing or incomplete (GBK); empty when the search went
    // through the whole folder.
    std::string problem;
};

// The archives directly in `folder`: the files whose own name ends in ".zip"
// (not "b.zipx" or "c.zip~", which a search for "*.zip" also returns through
// their 8.3 aliases), each with its mark, read in the same pass over the
// folder. The folder is closed before this returns, so nothing renamed later is
// ever met by the listing. A folder that does not exist or cannot be listed, or
// a listing that breaks off, is told apart from an empty folder by `problem`.
ArchiveListing ListArchives(const std::string& folder);

// The full path as the file functions resolve it (the current folder and "."
// and ".." taken into account); the path itself when it cannot be resolved.
std::string FullPathOf(const std::string& path);

// The mark of the file at `path`; nothing when it cannot be read.
std::optional<FileMark> FileMarkOf(const std::string& path);

enum class Occupant { Nothing, TheArchiveItself, AnotherFile, AFolder, Unknown };

// What stands at `path`, judged by file identity rather than by name: an alias,
// a case variant or a hard link of the archive is the archive itself. Unknown
// when the identity of either cannot be read: that is never taken for another file.
Occupant WhatOccupies(const std::string& path, const std::string& archivePath);

// The system's error code when another program holds the file open without
// letting it be renamed or removed: an open for DELETE access meets the same
// sharing check as a rename or a removal. Nothing when it is free.
std::optional<unsigned long> HeldAgainstRemoval(const std::string& path);

// Why the file cannot go to the Recycle Bin, where that can be told without
// trying: it is read-only, missing, or held open by a program that does not
// let it be removed. Nothing when it looks removable.
std::optional<std::string> WhyNotRecyclable(const std::string& path);

// Why the Recycle Bin of the file's drive cannot take files, where the shell
// says so beforehand (no bin there, or none that can be used); nothing when it
// looks usable. What the shell only finds out on removal (a file too large)
// cannot be told.
std::optional<std::string> WhyRecycleBinUnusable(const std::string& path);

// Moves the file to the Recycle Bin, and only there: where the system would
// delete it for good instead (a drive without a Recycle Bin, a file too large
// for it), the file keeps its name. A read-only file, or one that another
// program holds open, is left alone too. Nothing on success, else why it stays.
std::optional<std::string> MoveToRecycleBin(const std::string& path);

}  // namespace quandrel

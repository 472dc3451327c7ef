// Finding, inside one ZIP archive, the entry the archive is to be named after.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "rename/suffix_match.h"

namespace quandrel {

struct NamingEntry {
    std::string name;  // whole, as the archive stores it ("/" separates folders)
    NameEncoding encoding = NameEncoding::Ansi;
    // For a name not flagged UTF-8: the UTF-8 name of its Unicode Path extra
    // field, where it has one that belongs to this name.
    std::optional<std::string> unicodePathName;
};

struct EntryLookup {
    enum class Status { Found, NoMatch, Unreadable };
    Status status = Status::Unreadable;
    NamingEntry entry;  // when Found
};

// The first entry, in the archive's own order, whose name ends with `suffix`
// (see EntryNameMatches). An archive without entries has no match. Unreadable
// when the archive cannot be opened (missing, not a ZIP, damaged) or its
// directory breaks off before a match.
EntryLookup LookUpNamingEntry(const std::string& archivePath, std::string_view suffix);

// The same, as a name or nothing.
std::optional<NamingEntry> FindNamingEntry(const std::string& archivePath, std::string_view suffix);

}  // namespace quandrel

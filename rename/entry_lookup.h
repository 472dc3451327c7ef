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
};

// The first entry, in the archive's own order, whose name ends with `suffix`
// (see EntryNameMatches). Nothing when there is none, or when the archive
// cannot be opened or read (missing, not a ZIP, damaged, empty).
std::optional<NamingEntry> FindNamingEntry(const std::string& archivePath, std::string_view suffix);

}  // namespace quandrel

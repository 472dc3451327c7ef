// Whether an archive entry's stored name is one the archive can be named after.
#pragma once

#include <string_view>

namespace quandrel {

// How the archive says an entry name is encoded: the system's ANSI code page
// (GBK here), or UTF-8 when the entry's general purpose flag bit 11 is set.
enum class NameEncoding { Ansi, Utf8 };

// True when `storedName`, the whole name as the archive stores it, ends with
// `suffix`. ASCII letters compare without regard to case, every other byte
// exactly. In an ANSI name the match must start on a character boundary and a
// trail byte is never case-folded, so "e" never matches the second byte of a
// double-byte character. Never true for an empty suffix, a folder entry (name
// ending in "/") or a name holding a zero byte.
bool EntryNameMatches(std::string_view storedName, std::string_view suffix, NameEncoding encoding);

}  // namespace quandrel

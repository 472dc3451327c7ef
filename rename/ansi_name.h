#pragma once

#include <optional>
#include <string>

#include "rename/entry_lookup.h"

namespace quandrel {

// The entry's name in the system's ANSI code page. A name flagged UTF-8 is
// converted through UTF-16 without best-fit substitutes; nothing when it is not
// valid UTF-8 or holds a character the code page cannot represent. Other names
// are already ANSI and come back byte for byte.
std::optional<std::string> EntryNameInAnsi(const NamingEntry& entry);

}  // namespace quandrel

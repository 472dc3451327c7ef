#pragma once

#include <optional>
#include <string>

#include "rename/entry_lookup.h"

namespace quandrel {

// The entry's name in the system's ANSI code page, as far as the new name needs
// it. A name in UTF-8 (flagged so; or, unflagged, carried whole in a Unicode
// Path field that belongs to it, or plainly UTF-8 by LooksLikeUtf8) loses its
// folder part first (only the base name becomes the archive's name, so a folder
// the code page cannot hold does not matter) and is converted through UTF-16
// without best-fit substitutes; nothing when it is not valid UTF-8 or the base
// name holds a character the code page cannot represent. Other names are
// already ANSI and come back byte for byte.
std::optional<std::string> EntryNameInAnsi(const NamingEntry& entry);

}  // namespace quandrel

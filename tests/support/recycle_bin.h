// Finding a file that the program moved to the Recycle Bin. Under Wine the bin
// is the XDG trash; tools/wine-run names its folder in QUANDREL_TRASH_FILES.
#pragma once

#include <string>

namespace quandrel::testing {

// Whether the bin holds a file with exactly these bytes; the match is taken out
// of the bin so that later tests start clean.
bool TakeFromRecycleBin(const std::string& bytes);

}  // namespace quandrel::testing

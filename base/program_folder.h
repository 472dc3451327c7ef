#pragma once

#include <string>

namespace quandrel {

// Full path of the running executable, however long it is.
std::string ProgramPath();

// The folder of the executable without a trailing backslash ("D:" for a drive root).
std::string ProgramFolder();

}  // namespace quandrel

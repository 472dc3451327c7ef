// The folder the folder box shows before any settings are loaded.
#pragma once

#include <string>

namespace quandrel {

// The current user's desktop folder (empty if the system has none).
std::string DefaultArchiveFolder();

}  // namespace quandrel

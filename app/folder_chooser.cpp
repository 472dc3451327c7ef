// Placeholder until the folder chooser is built.
#include "app/folder_chooser.h"

namespace quandrel {

std::optional<std::string> ChooseFolderPath(HWND) { return std::nullopt; }

}  // namespace quandrel

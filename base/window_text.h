// A window's text as the program reads it from its own controls.
#pragma once

#include <windows.h>

#include <string>

namespace quandrel {

// The whole text, however long.
std::string WindowTextOf(HWND window);

}  // namespace quandrel

// The usage notes behind "软件使用说明".
#pragma once

#include <windows.h>

#include <string>

namespace quandrel {

// The seven lines of the usage notes joined by CR LF (GBK).
std::string UsageText();

// Shows the usage notes in a task-modal message box.
void ShowUsageBox(HWND owner);

}  // namespace quandrel

#pragma once

#include <windows.h>

#include <string>

namespace quandrel {

// The system's own text for a Win32 error code, in the ANSI code page, without
// the trailing line break ("错误 N" where the system has none).
std::string SystemErrorText(DWORD code);

}  // namespace quandrel

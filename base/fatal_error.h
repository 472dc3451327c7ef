// The one way the program gives up: an error box that every window of the
// program waits for, whichever thread raises it, then exit code -1.
#pragma once

#include <string>

namespace quandrel {

[[noreturn]] void FailFatally(const std::string& message);

// Exhausted memory ends the program the same way ("内存不足，程序无法继续运行。")
// instead of an abort. A reserve is set aside now and given back first, so
// that the box itself has memory to be shown with.
void FailFatallyWhenMemoryRunsOut();

}  // namespace quandrel

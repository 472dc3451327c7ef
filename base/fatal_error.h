// The one way the program gives up: an error box that every window of the
// program waits for, whichever thread raises it, then exit code -1.
#pragma once

#include <string>

namespace quandrel {

[[noreturn]] void FailFatally(const std::string& message);

}  // namespace quandrel

// The one way the program gives up: a task-modal error box, then exit code -1.
#pragma once

#include <string>

namespace quandrel {

[[noreturn]] void FailFatally(const std::string& message);

}  // namespace quandrel

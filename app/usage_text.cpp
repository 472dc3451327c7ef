// Placeholder until the usage notes are built.
#include "app/usage_text.h"

namespace quandrel {

std::string UsageText() { return {}; }
void ShowUsageBox(HWND) {}

}  // namespace quandrel

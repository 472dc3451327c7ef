// Labels: a window class of the program's own that paints itself entirely, so
// its colours do not depend on the parent or on the system's static control.
#pragma once

#include <windows.h>

namespace quandrel {

struct LabelColours {
    COLORREF text;
    COLORREF background;
};

// Registers the label class once per process. Labels are created with a
// `const LabelColours*` as the creation parameter, which must outlive them.
[[nodiscard]] bool RegisterLabelClass(HINSTANCE instance);

}  // namespace quandrel

// Single-line edit boxes whose one line of text sits in the vertical middle of
// the box rather than at its top.
#pragma once

#include <windows.h>

#include <string>

namespace quandrel {

// Shrinks the box's client area to one text line at (box height - line height) / 2
// and paints the bands above and below in the background that the parent's
// WM_CTLCOLOREDIT gives. Call once, after the box has its font.
[[nodiscard]] bool CentreEditText(HWND edit);

// Replaces the box's text; the caret goes to the start with nothing selected.
void SetEditText(HWND edit, const std::string& text);

}  // namespace quandrel

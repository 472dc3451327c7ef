// What the lists' menu does with a row's path: show it in Explorer, or put it
// on the clipboard.
#pragma once

#include <windows.h>

#include <string>

namespace quandrel {

// Opens Explorer on the file's folder with the file selected; on the folder
// alone when the file is no longer there.
void ShowInExplorer(HWND owner, const std::string& path);

// Puts the GBK text on the clipboard as ANSI and as Unicode text. False when
// the clipboard could not be had.
bool CopyToClipboard(HWND owner, const std::string& text);

}  // namespace quandrel

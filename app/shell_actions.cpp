#include "app/shell_actions.h"

#include <shellapi.h>

#include <cstring>

#include "base/code_page.h"
#include "base/path_text.h"

namespace quandrel {
namespace {

// A movable global block holding `size` bytes from `data`, as the clipboard takes them.
HGLOBAL GlobalCopy(const void* data, std::size_t size) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!block) {
        return nullptr;
    }
    std::memcpy(GlobalLock(block), data, size);
    GlobalUnlock(block);
    return block;
}

}  // namespace

void ShowInExplorer(HWND owner, const std::string& path) {
    const bool there = GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    std::string arguments = there ? "/select,\"" : "\"";
    arguments += there ? path : FolderOfPath(path);
    arguments += '"';
    ShellExecuteA(owner, "open", "explorer.exe", arguments.c_str(), nullptr, SW_SHOWNORMAL);
}

bool CopyToClipboard(HWND owner, const std::string& text) {
    if (!OpenClipboard(owner)) {
        return false;
    }
    EmptyClipboard();
    const std::wstring wide = WideFromAnsi(text);
    HGLOBAL ansi = GlobalCopy(text.c_str(), text.size() + 1);
    HGLOBAL unicode = GlobalCopy(wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
    // The clipboard owns a block it took; one it refused is still ours.
    const bool copied = ansi && unicode && SetClipboardData(CF_TEXT, ansi) && SetClipboardData(CF_UNICODETEXT, unicode);
    if (!copied) {
        EmptyClipboard();
        GlobalFree(ansi);
        GlobalFree(unicode);
    }
    CloseClipboard();
    return copied;
}

}  // namespace quandrel

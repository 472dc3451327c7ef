// The Recycle Bin as the shell shows it: its items found by the path they
// were removed from, and brought back there as Explorer's "还原" does.
#pragma once

#include <windows.h>

#include <shlobj.h>

#include <map>
#include <optional>
#include <string>

#include "base/win_owners.h"
#include "rename/archive_files.h"

namespace quandrel {

class RecycleBinItems {
public:
    // Reads what the bin holds, once. The thread needs a COM apartment.
    RecycleBinItems();
    RecycleBinItems(const RecycleBinItems&) = delete;
    RecycleBinItems& operator=(const RecycleBinItems&) = delete;

    // Brings the file removed from `originalPath` back there, unless a file
    // has taken that path meanwhile; afterwards the file there must be `fileMark`.
    // Nothing when done, else why not (GBK).
    std::optional<std::string> BringBack(const std::string& originalPath, const FileMark& fileMark);

private:
    std::optional<std::string> Restore(LPCITEMIDLIST item);

    ComPtr<IShellFolder2> bin_;
    std::string unreadable_;  // why the bin could not be read; empty when it was
    // Items by the key of the path they were removed from. Explorer may leave
    // the extension out of the names it shows, so each item is also found by
    // its path without the extension.
    std::multimap<std::wstring, UniquePidl> items_;
};

}  // namespace quandrel

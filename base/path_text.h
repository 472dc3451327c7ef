// Windows path texts in GBK, handled without touching the file system.
#pragma once

#include <string>
#include <string_view>

namespace quandrel {

// The folder part of a full path: everything before its last backslash, without
// that backslash. "C:\app\q.exe" gives "C:\app"; a file in a drive root, "D:\q.exe",
// gives "D:". A path without a backslash gives the empty text.
std::string FolderOfPath(std::string_view path);

// `folder` + "\" + `name`, without doubling a backslash that ends the folder ("D:\").
std::string JoinPath(std::string_view folder, std::string_view name);

}  // namespace quandrel

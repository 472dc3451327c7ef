// Forming an archive's new file name from its naming entry, and judging whether
// a name is one Windows can give a file in the chosen folder. All texts GBK.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quandrel {

// Longest full path the file functions take, in characters (UTF-16 units),
// terminating zero included; and the longest name a file system gives a file.
inline constexpr std::size_t kMaxPath = 260;
inline constexpr std::size_t kMaxFileName = 255;

// The entry's base name (after the last "/" and the last "\" that stand as
// characters of their own) without its extension (from the last "." on),
// followed by ".zip": "dir/游戏.exe" gives "游戏.zip".
std::string ArchiveNameFor(std::string_view entryName);

// Why `fileName` cannot be the name of a file directly in `folder` (a full
// path), or nothing when it can: empty or only dots, control characters,
// < > : " / \ | ? *, a trailing dot or space, a reserved device name (CON,
// NUL.zip, com1, ...), a name or a full path too long. Lengths count characters
// as Windows does, not bytes: 130 Chinese characters are 130, not 260.
std::optional<std::string> WhyNameIsUnusable(std::string_view folder, std::string_view fileName);

// Whether the file name ends in ".zip", letters in any case.
bool HasZipExtension(std::string_view fileName);

}  // namespace quandrel

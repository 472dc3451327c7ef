// Conversions between GBK (kGbkCodePage, the ANSI code page of the Chinese
// Windows this program is made for), UTF-16 and UTF-8. Only whole, exact conversions
// count: a character the target cannot hold is never replaced by a look-alike.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/gbk_text.h"

namespace quandrel {

std::wstring WideFromAnsi(std::string_view ansi);

// Nothing when a character has no exact form in the ANSI code page.
std::optional<std::string> AnsiFromWide(std::wstring_view wide);

// For showing only: characters the code page lacks become "?".
std::string AnsiForDisplay(std::wstring_view wide);

// Nothing when the bytes are not valid UTF-8.
std::optional<std::wstring> WideFromUtf8(std::string_view utf8);

// A file name as the file system compares names: letters of every script in
// one case, so two names that give equal keys name the same file.
std::wstring FileNameKey(std::string_view ansiName);
std::wstring FileNameKey(std::wstring key);

}  // namespace quandrel

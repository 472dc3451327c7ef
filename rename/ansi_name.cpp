#include "rename/ansi_name.h"

#include "base/code_page.h"
#include "rename/name_encoding.h"

namespace quandrel {
namespace {

std::optional<std::string> BaseNameFromUtf8(std::string_view name) {
    // In UTF-8 no byte of a multi-byte character is '/' or '\', so a plain byte
    // search finds the folder separators.
    const std::size_t separator = name.find_last_of("/\\");
    if (separator != std::string_view::npos) {
        name.remove_prefix(separator + 1);
    }
    const std::optional<std::wstring> wide = WideFromUtf8(name);
    if (!wide) {
        return std::nullopt;
    }
    return AnsiFromWide(*wide);
}

}  // namespace

std::optional<std::string> EntryNameInAnsi(const NamingEntry& entry) {
    if (entry.encoding == NameEncoding::Utf8) {
        return BaseNameFromUtf8(entry.name);
    }
    if (entry.unicodePathName) {
        return BaseNameFromUtf8(*entry.unicodePathName);
    }
    if (LooksLikeUtf8(entry.name)) {
        return BaseNameFromUtf8(entry.name);
    }
    return entry.name;
}

}  // namespace quandrel

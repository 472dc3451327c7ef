#include "rename/ansi_name.h"

#include "base/code_page.h"

namespace quandrel {

std::optional<std::string> EntryNameInAnsi(const NamingEntry& entry) {
    if (entry.encoding == NameEncoding::Ansi) {
        return entry.name;
    }
    // In UTF-8 no byte of a multi-byte character is '/' or '\', so a plain byte
    // search finds the folder separators.
    std::string_view baseName = entry.name;
    const std::size_t separator = baseName.find_last_of("/\\");
    if (separator != std::string_view::npos) {
        baseName.remove_prefix(separator + 1);
    }
    const std::optional<std::wstring> wide = WideFromUtf8(baseName);
    if (!wide) {
        return std::nullopt;
    }
    return AnsiFromWide(*wide);
}

}  // namespace quandrel

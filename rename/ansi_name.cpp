#include "rename/ansi_name.h"

#include <windows.h>

namespace quandrel {

std::optional<std::string> EntryNameInAnsi(const NamingEntry& entry) {
    if (entry.encoding == NameEncoding::Ansi || entry.name.empty()) {
        return entry.name;
    }
    const int inputLength = static_cast<int>(entry.name.size());
    const int wideLength =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, entry.name.data(), inputLength, nullptr, 0);
    if (wideLength == 0) {
        return std::nullopt;
    }
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, entry.name.data(), inputLength, wide.data(), wideLength);

    // Best-fit would turn an unrepresentable character into a look-alike (or '?'),
    // naming the archive after something that is not in it.
    BOOL usedDefault = FALSE;
    const int ansiLength =
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), wideLength, nullptr, 0, nullptr, &usedDefault);
    if (ansiLength == 0 || usedDefault) {
        return std::nullopt;
    }
    std::string ansi(static_cast<std::size_t>(ansiLength), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), wideLength, ansi.data(), ansiLength, nullptr,
                        &usedDefault);
    return ansi;
}

}  // namespace quandrel

#include "rename/suffix_match.h"

#include "base/gbk_text.h"

namespace quandrel {

bool EntryNameMatches(std::string_view storedName, std::string_view suffix, NameEncoding encoding) {
    if (suffix.empty() || suffix.size() > storedName.size()) {
        return false;
    }
    // Such a name cannot become a file name: Windows would cut it at the zero.
    if (storedName.find('\0') != std::string_view::npos) {
        return false;
    }
    if (storedName.back() == '/') {
        return false;
    }
    const std::size_t start = storedName.size() - suffix.size();
    if (encoding == NameEncoding::Ansi && !IsGbkCharBoundary(storedName, start)) {
        return false;
    }
    std::size_t at = start;
    while (at < storedName.size()) {
        // In UTF-8 every byte below 0x80 is a character of its own.
        const std::size_t length = encoding == NameEncoding::Ansi ? GbkCharLength(storedName, at) : 1;
        for (std::size_t i = at; i < at + length; ++i) {
            const char stored = storedName[i];
            const char wanted = suffix[i - start];
            const bool equal = length == 1 ? FoldAsciiCase(stored) == FoldAsciiCase(wanted) : stored == wanted;
            if (!equal) {
                return false;
            }
        }
        at += length;
    }
    return true;
}

}  // namespace quandrel

#include "base/gbk_text.h"

namespace quandrel {

std::size_t GbkCharLength(std::string_view text, std::size_t pos) {
    const bool lead = IsGbkLeadByte(static_cast<unsigned char>(text[pos]));
    return lead && pos + 1 < text.size() ? 2 : 1;
}

std::size_t GbkCharCount(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t at = 0; at < text.size(); at += GbkCharLength(text, at)) {
        ++count;
    }
    return count;
}

bool IsGbkCharBoundary(std::string_view text, std::size_t pos) {
    std::size_t at = 0;
    while (at < pos) {
        at += GbkCharLength(text, at);
    }
    return at == pos;
}

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t at = 0; at < a.size();) {
        const std::size_t length = GbkCharLength(a, at);
        if (length == 1 ? FoldAsciiCase(a[at]) != FoldAsciiCase(b[at]) : a.substr(at, 2) != b.substr(at, 2)) {
            return false;
        }
        at += length;
    }
    return true;
}

std::size_t FindLastGbkChar(std::string_view text, char ch) {
    std::size_t found = std::string_view::npos;
    for (std::size_t at = 0; at < text.size(); at += GbkCharLength(text, at)) {
        if (text[at] == ch) {
            found = at;
        }
    }
    return found;
}

}  // namespace quandrel

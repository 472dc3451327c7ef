#include "base/path_text.h"

#include "base/gbk_text.h"

namespace quandrel {

std::string FolderOfPath(std::string_view path) {
    const std::size_t slash = FindLastGbkChar(path, '\\');
    if (slash == std::string_view::npos) {
        return {};
    }
    return std::string(path.substr(0, slash));
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string joined(folder);
    const bool endsWithSeparator = !folder.empty() && FindLastGbkChar(folder, '\\') == folder.size() - 1;
    if (!endsWithSeparator) {
        joined += '\\';
    }
    joined += name;
    return joined;
}

}  // namespace quandrel

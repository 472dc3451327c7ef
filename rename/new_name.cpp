#include "rename/new_name.h"

#include <algorithm>
#include <array>

#include "base/gbk_text.h"
#include "base/path_text.h"

namespace quandrel {
namespace {

bool IsReservedDeviceName(std::string_view fileName) {
    // Windows treats a device name as reserved with any extension, and ignores
    // spaces before the extension: "nul.zip" and "CON .zip" both name devices.
    std::string_view stem = fileName.substr(0, fileName.find('.'));
    while (!stem.empty() && stem.back() == ' ') {
        stem.remove_suffix(1);
    }
    constexpr std::array kFixed = {"con", "prn", "aux", "nul", "conin$", "conout$"};
    for (const char* device : kFixed) {
        if (EqualIgnoringAsciiCase(stem, device)) {
            return true;
        }
    }
    if (stem.size() == 4 && stem[3] >= '0' && stem[3] <= '9') {
        return EqualIgnoringAsciiCase(stem.substr(0, 3), "com") || EqualIgnoringAsciiCase(stem.substr(0, 3), "lpt");
    }
    return false;
}

}  // namespace

bool HasZipExtension(std::string_view fileName) {
    constexpr std::string_view kZip = ".zip";
    return fileName.size() >= kZip.size() && IsGbkCharBoundary(fileName, fileName.size() - kZip.size()) &&
           EqualIgnoringAsciiCase(fileName.substr(fileName.size() - kZip.size()), kZip);
}

std::string ArchiveNameFor(std::string_view entryName) {
    std::string_view base = entryName;
    for (char separator : {'/', '\\'}) {
        const std::size_t at = FindLastGbkChar(base, separator);
        if (at != std::string_view::npos) {
            base.remove_prefix(at + 1);
        }
    }
    const std::size_t dot = FindLastGbkChar(base, '.');
    if (dot != std::string_view::npos) {
        base = base.substr(0, dot);
    }
    return std::string(base) + ".zip";
}

std::optional<std::string> WhyNameIsUnusable(std::string_view folder, std::string_view fileName) {
    const std::string_view stem = fileName.substr(0, fileName.size() - (HasZipExtension(fileName) ? 4 : 0));
    if (std::all_of(stem.begin(), stem.end(), [](char c) { return c == '.'; })) {
        return "名称为空";
    }
    for (std::size_t at = 0; at < fileName.size(); at += GbkCharLength(fileName, at)) {
        const auto byte = static_cast<unsigned char>(fileName[at]);
        if (GbkCharLength(fileName, at) == 2) {
            // A trail byte may be '\' or '|' and is part of the character; but a
            // byte no GBK character ends with (the '.' of ".zip" after a lone
            // lead byte, say) makes no character at all.
            const auto trail = static_cast<unsigned char>(fileName[at + 1]);
            if (trail < 0x40 || trail == 0x7F || trail == 0xFF) {
                return "名称含有不完整的双字节字符";
            }
            continue;
        }
        if (IsGbkLeadByte(byte)) {
            return "名称含有不完整的双字节字符";  // a lead byte at the very end
        }
        if (byte < 0x20 || byte == 0x7F) {
            return "名称含有控制字符";
        }
        if (std::string_view("<>:\"/\\|?*").find(static_cast<char>(byte)) != std::string_view::npos) {
            return std::string("名称含有不允许的字符 ") + static_cast<char>(byte);
        }
    }
    if (fileName.back() == '.' || fileName.back() == ' ') {
        return "名称以点或空格结尾";
    }
    if (IsReservedDeviceName(fileName)) {
        return "名称是系统保留的设备名";
    }
    if (GbkCharCount(fileName) > kMaxFileName) {
        return "名称过长";
    }
    if (GbkCharCount(JoinPath(folder, fileName)) >= kMaxPath) {
        return "完整路径过长";
    }
    return std::nullopt;
}

}  // namespace quandrel

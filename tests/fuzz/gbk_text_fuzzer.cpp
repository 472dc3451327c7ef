// GBK stepping and the path helpers built on it, held against a plain walk
// over the input taken as one text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/gbk_text.h"
#include "base/path_text.h"
#include "tests/fuzz/fuzz_reference.h"

namespace quandrel::fuzz {
namespace {

void CheckStepping(std::string_view text, const GbkWalk& walk) {
    Require(GbkCharCount(text) == walk.starts.size(), "GbkCharCount differs from the reference walk", {{"text", text}});
    for (std::size_t pos = 0; pos <= text.size(); ++pos) {
        if (IsGbkCharBoundary(text, pos) != walk.boundary[pos]) {
            Fail("IsGbkCharBoundary differs from the reference walk", {{"text", text}, {"pos", pos}});
        }
    }
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
        // Defined at any position, not only where a character starts.
        const auto byte = static_cast<unsigned char>(text[pos]);
        const std::size_t expected = byte >= 0x81 && byte <= 0xFE && pos + 1 < text.size() ? 2 : 1;
        if (GbkCharLength(text, pos) != expected) {
            Fail("GbkCharLength differs from the reference walk", {{"text", text}, {"pos", pos}});
        }
    }
}

void CheckFindLast(std::string_view text, const GbkWalk& walk) {
    std::size_t last[128];
    for (std::size_t& at : last) {
        at = npos;
    }
    for (const std::size_t start : walk.starts) {
        const auto byte = static_cast<unsigned char>(text[start]);
        if (byte < 0x80) {
            last[byte] = start;  // a lead byte is never ASCII, so this character is single-byte
        }
    }
    for (int ch = 0; ch < 128; ++ch) {
        const char c = static_cast<char>(ch);
        const std::size_t found = FindLastGbkChar(text, c);
        const std::string shown(1, c);
        if (found != npos) {
            Require(found < text.size() && text[found] == c, "FindLastGbkChar points at another byte",
                    {{"text", text}, {"char", shown}});
            Require(walk.Single(found), "FindLastGbkChar points inside a double-byte character",
                    {{"text", text}, {"char", shown}});
        }
        Require(found == last[ch], "FindLastGbkChar differs from the reference walk",
                {{"text", text}, {"char", shown}});
    }
}

// Position of the last '\' that stands as a character of its own.
std::size_t LastSeparator(std::string_view text) {
    const GbkWalk walk(text);
    for (std::size_t pos = text.size(); pos-- > 0;) {
        if (text[pos] == '\\' && walk.Single(pos)) {
            return pos;
        }
    }
    return npos;
}

void CheckPaths(const std::uint8_t* data, std::size_t size, std::string_view text) {
    const std::size_t slash = LastSeparator(text);
    const std::string folder = FolderOfPath(text);
    Require(folder == (slash == npos ? std::string_view() : text.substr(0, slash)),
            "FolderOfPath is not the text before the last separator", {{"path", text}, {"folder", folder}});

    // Every cut of the input into a folder and a name, each part in its own block.
    for (std::size_t cut = 0; cut <= size; ++cut) {
        const ExactBytes folderBytes(data, cut);
        const ExactBytes nameBytes(data + cut, size - cut);
        const std::string_view f = folderBytes.view();
        const std::string_view name = nameBytes.view();
        const bool endsWithSeparator = !f.empty() && LastSeparator(f) == f.size() - 1;
        const std::string expected = std::string(f) + (endsWithSeparator ? "" : "\\") + std::string(name);
        const std::string joined = JoinPath(f, name);
        Require(joined == expected, "JoinPath is not folder, one separator, name",
                {{"folder", f}, {"name", name}, {"joined", joined}});
    }
}

}  // namespace
}  // namespace quandrel::fuzz

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    using namespace quandrel;
    for (int byte = 0; byte < 256; ++byte) {
        const std::string shown(1, static_cast<char>(byte));
        fuzz::Require(IsGbkLeadByte(static_cast<unsigned char>(byte)) == (byte >= 0x81 && byte <= 0xFE),
                      "IsGbkLeadByte is not 0x81..0xFE", {{"byte", shown}});
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quandrel::fuzz;
    const ExactBytes bytes(data, size);
    const std::string_view text = bytes.view();
    const GbkWalk walk(text);
    CheckStepping(text, walk);
    CheckFindLast(text, walk);
    CheckPaths(data, size, text);
    return 0;
}

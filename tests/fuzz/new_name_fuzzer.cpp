// Forming an archive's new name and judging names. Input: the length of a
// folder, the folder, then an entry name. The new name formed from the entry and
// the entry name itself are both judged, in a fixed folder and in the input's.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/gbk_text.h"
#include "rename/new_name.h"
#include "tests/fuzz/fuzz_reference.h"

namespace quandrel::fuzz {
namespace {

constexpr std::string_view kFixedFolder = "C:\\archives";
constexpr std::size_t kMaxNameChars = 255;  // what a file system allows
constexpr std::size_t kMaxPathChars = 260;  // full path with its terminating zero

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// Base name after the last separator of either kind, cut at its last dot.
std::string ReferenceArchiveName(std::string_view entry) {
    const GbkWalk walk(entry);
    std::size_t base = 0;
    for (const std::size_t start : walk.starts) {
        if (walk.Single(start) && IsSeparator(entry[start])) {
            base = start + 1;
        }
    }
    std::size_t end = entry.size();
    for (const std::size_t start : walk.starts) {
        if (start >= base && walk.Single(start) && entry[start] == '.') {
            end = start;
        }
    }
    return std::string(entry.substr(base, end - base)) + ".zip";
}

bool ReferenceHasZip(std::string_view name) {
    if (name.size() < 4 || !GbkWalk(name).boundary[name.size() - 4]) {
        return false;
    }
    std::string folded;
    for (const char c : name.substr(name.size() - 4)) {
        folded += FoldAscii(c);
    }
    return folded == ".zip";
}

// Reserved with any extension; spaces before the extension do not count.
bool IsDeviceName(std::string_view name) {
    const GbkWalk walk(name);
    std::size_t end = name.size();
    for (const std::size_t start : walk.starts) {
        if (walk.Single(start) && name[start] == '.') {
            end = start;
            break;
        }
    }
    std::string stem;
    for (const char c : name.substr(0, end)) {
        stem += FoldAscii(c);
    }
    while (!stem.empty() && stem.back() == ' ') {
        stem.pop_back();
    }
    constexpr std::array<std::string_view, 6> kFixed = {"con", "prn", "aux", "nul", "conin$", "conout$"};
    if (std::find(kFixed.begin(), kFixed.end(), stem) != kFixed.end()) {
        return true;
    }
    return stem.size() == 4 && (stem.starts_with("com") || stem.starts_with("lpt")) && stem[3] >= '0' && stem[3] <= '9';
}

bool IsForbiddenByte(unsigned char byte) {
    return byte < 0x20 || byte == 0x7F || std::string_view("<>:\"/\\|?*").find(static_cast<char>(byte)) != npos;
}

// The full path the name would get: one separator, none added after a folder
// that already ends in one.
std::string Joined(std::string_view folder, std::string_view name) {
    const GbkWalk walk(folder);
    const bool endsWithSeparator = !folder.empty() && folder.back() == '\\' && walk.Single(folder.size() - 1);
    return std::string(folder) + (endsWithSeparator ? "" : "\\") + std::string(name);
}

std::string_view StemBeforeZip(std::string_view name) {
    return ReferenceHasZip(name) ? name.substr(0, name.size() - 4) : name;
}

// What a name judged usable must be, whatever its bytes.
void CheckUsable(std::string_view folder, std::string_view name, bool formedName) {
    const std::initializer_list<Shown> shown = {
        {"folder", folder}, {"name", name}, {"name is", formedName ? "formed from the entry" : "the entry's own"}};
    Require(!name.empty(), "usable: empty name", shown);
    const GbkWalk walk(name);
    for (const std::size_t start : walk.starts) {
        if (walk.Single(start) && IsForbiddenByte(static_cast<unsigned char>(name[start]))) {
            Fail("usable: holds a separator, < > : \" | ? * or a control byte", shown);
        }
    }
    const std::string_view stem = StemBeforeZip(name);
    Require(!std::all_of(stem.begin(), stem.end(), [](char c) { return c == '.'; }),
            "usable: nothing but dots before the extension", shown);
    Require(name.back() != '.' && name.back() != ' ', "usable: ends in a dot or a space", shown);
    Require(!IsDeviceName(name), "usable: a reserved device name", shown);
    Require(walk.starts.size() <= kMaxNameChars, "usable: longer than 255 characters", shown);
    Require(GbkWalk(Joined(folder, name)).starts.size() < kMaxPathChars, "usable: full path of 260 characters or more",
            shown);
    if (formedName) {
        Require(HasZipExtension(name), "usable: the new name does not end in .zip (HasZipExtension)", shown);
    }
}

// Text Windows can read as code page 936: every lead byte has a trail byte of
// 0x40..0xFE other than 0x7F, and no single byte lies above 0x7F. In such text
// no trail byte can be mistaken for '.', ' ' or a forbidden character.
bool IsWellFormedGbk(std::string_view text) {
    const GbkWalk walk(text);
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
        const auto byte = static_cast<unsigned char>(text[pos]);
        if (walk.Single(pos) ? byte >= 0x80 : !walk.boundary[pos] && (byte < 0x40 || byte == 0x7F || byte == 0xFF)) {
            return false;
        }
    }
    return true;
}

// Usable exactly when nothing of the rule stands against it (for well-formed names).
bool ReferenceUsable(std::string_view folder, std::string_view name) {
    const GbkWalk walk(name);
    for (const std::size_t start : walk.starts) {
        if (walk.Single(start) && IsForbiddenByte(static_cast<unsigned char>(name[start]))) {
            return false;
        }
    }
    const std::string_view stem = StemBeforeZip(name);
    return !std::all_of(stem.begin(), stem.end(), [](char c) { return c == '.'; }) && name.back() != '.' &&
           name.back() != ' ' && !IsDeviceName(name) && walk.starts.size() <= kMaxNameChars &&
           GbkWalk(Joined(folder, name)).starts.size() < kMaxPathChars;
}

void CheckJudgement(std::string_view folder, std::string_view name, bool formedName) {
    const std::optional<std::string> why = WhyNameIsUnusable(folder, name);
    if (!why) {
        CheckUsable(folder, name, formedName);
    }
    if (IsWellFormedGbk(name)) {
        Require(why.has_value() != ReferenceUsable(folder, name), "judged otherwise than the reference rule",
                {{"folder", folder},
                 {"name", name},
                 {"judged", why ? "unusable" : "usable"},
                 {"name is", formedName ? "formed from the entry" : "the entry's own"}});
    }
}

// Letters folded only where they stand alone; the bytes of double-byte characters compare exactly.
bool ReferenceEqualIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    const GbkWalk walk(a);
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (walk.doubleByte[i] ? a[i] != b[i] : FoldAscii(a[i]) != FoldAscii(b[i])) {
            return false;
        }
    }
    return true;
}

void CheckHelpers(std::string_view text) {
    Require(HasZipExtension(text) == ReferenceHasZip(text), "HasZipExtension differs from the reference",
            {{"name", text}});
    Require(EqualIgnoringAsciiCase(text, text), "EqualIgnoringAsciiCase: a text differs from itself", {{"text", text}});
    const ExactBytes swapped(SwapAsciiCase(text));
    Require(EqualIgnoringAsciiCase(text, swapped.view()) == ReferenceEqualIgnoringCase(text, swapped.view()),
            "EqualIgnoringAsciiCase differs from the reference", {{"a", text}, {"b", swapped.view()}});
    if (!text.empty()) {
        const ExactBytes shorter(text.substr(1));
        Require(!EqualIgnoringAsciiCase(text, shorter.view()), "EqualIgnoringAsciiCase: texts of other lengths equal",
                {{"a", text}, {"b", shorter.view()}});
    }
}

}  // namespace
}  // namespace quandrel::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quandrel;
    using namespace quandrel::fuzz;
    const Split input = SplitInput(data, size, false);
    const std::string_view folder = input.first.view();
    const std::string_view entry = input.rest.view();

    const std::string formed = ArchiveNameFor(entry);
    Require(formed.ends_with(".zip"), "ArchiveNameFor: the new name does not end in .zip bytes",
            {{"entry", entry}, {"new name", formed}});
    Require(formed == ReferenceArchiveName(entry), "ArchiveNameFor differs from the reference",
            {{"entry", entry}, {"new name", formed}, {"expected", ReferenceArchiveName(entry)}});
    const ExactBytes newName(formed);
    const GbkWalk walk(newName.view());
    for (const std::size_t start : walk.starts) {
        if (walk.Single(start) && IsSeparator(formed[start])) {
            Fail("ArchiveNameFor: the new name holds a folder separator", {{"entry", entry}, {"new name", formed}});
        }
    }

    CheckHelpers(entry);
    CheckHelpers(newName.view());
    for (const std::string_view where : {kFixedFolder, folder}) {
        const ExactBytes folderBytes(where);
        CheckJudgement(folderBytes.view(), newName.view(), true);
        CheckJudgement(folderBytes.view(), entry, false);
    }
    return 0;
}

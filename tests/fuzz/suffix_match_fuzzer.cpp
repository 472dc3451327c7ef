// Suffix matching of entry names. Input: a mode byte (bit 0: the name is flagged
// UTF-8), the suffix's length, the suffix, then the stored name. Every tail of
// the name is tried as a suffix too, as typed and with its letters' case
// swapped, since a random suffix seldom matches at all.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "rename/suffix_match.h"
#include "tests/fuzz/fuzz_reference.h"

namespace quandrel::fuzz {
namespace {

// The longest tails tried; longer ones add nothing the shorter do not.
constexpr std::size_t kTailsTried = 64;

const char* EncodingName(NameEncoding encoding) { return encoding == NameEncoding::Ansi ? "ANSI" : "UTF-8"; }

// The rule as the header states it, checked character by character of the name.
bool ReferenceMatch(std::string_view name, std::string_view suffix, NameEncoding encoding) {
    if (suffix.empty() || suffix.size() > name.size() || name.find('\0') != npos || name.back() == '/') {
        return false;
    }
    const std::size_t start = name.size() - suffix.size();
    const GbkWalk walk(name);
    const bool ansi = encoding == NameEncoding::Ansi;
    if (ansi && !walk.boundary[start]) {
        return false;
    }
    for (std::size_t i = start; i < name.size(); ++i) {
        const bool exact = ansi && walk.doubleByte[i];  // trail and lead bytes are never case-folded
        const bool equal = exact ? name[i] == suffix[i - start] : FoldAscii(name[i]) == FoldAscii(suffix[i - start]);
        if (!equal) {
            return false;
        }
    }
    return true;
}

bool EndsWithIgnoringCase(std::string_view name, std::string_view suffix) {
    return suffix.size() <= name.size() &&
           std::equal(suffix.begin(), suffix.end(), name.end() - static_cast<std::ptrdiff_t>(suffix.size()),
                      [](char a, char b) { return FoldAscii(a) == FoldAscii(b); });
}

void Check(std::string_view name, std::string_view suffix, NameEncoding encoding) {
    const bool matches = EntryNameMatches(name, suffix, encoding);
    const std::initializer_list<Shown> shown = {
        {"name", name}, {"suffix", suffix}, {"encoding", EncodingName(encoding)}};
    if (matches) {
        Require(!suffix.empty(), "an empty suffix matched", shown);
        Require(name.back() != '/', "a folder entry (name ending in '/') matched", shown);
        Require(name.find('\0') == npos, "a name holding a zero byte matched", shown);
        Require(suffix.size() <= name.size(), "a suffix longer than the name matched", shown);
        if (encoding == NameEncoding::Ansi) {
            Require(GbkWalk(name).boundary[name.size() - suffix.size()],
                    "an ANSI match starts inside a double-byte character", shown);
        }
    }
    if (IsAsciiOnly(name) && IsAsciiOnly(suffix)) {
        const bool plain =
            !suffix.empty() && EndsWithIgnoringCase(name, suffix) && name.back() != '/' && name.find('\0') == npos;
        Require(matches == plain, "ASCII texts: not the same as a case-blind ends-with", shown);
    }
    Require(matches == ReferenceMatch(name, suffix, encoding), "differs from the reference match", shown);
}

}  // namespace
}  // namespace quandrel::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quandrel;
    using namespace quandrel::fuzz;
    const Split input = SplitInput(data, size, true);
    const std::string_view suffix = input.first.view();
    const std::string_view name = input.rest.view();
    const NameEncoding encoding = (input.mode & 1) != 0 ? NameEncoding::Utf8 : NameEncoding::Ansi;
    Check(name, suffix, encoding);

    for (const NameEncoding each : {NameEncoding::Ansi, NameEncoding::Utf8}) {
        // A whole name that could be a file's ends with itself.
        if (!name.empty() && name.back() != '/' && name.find('\0') == npos) {
            Require(EntryNameMatches(name, name, each), "a name does not end with itself",
                    {{"name", name}, {"encoding", EncodingName(each)}});
        }
        for (std::size_t length = 1; length <= std::min(name.size(), kTailsTried); ++length) {
            const ExactBytes tail(name.substr(name.size() - length));
            Check(name, tail.view(), each);
            const ExactBytes swapped(SwapAsciiCase(tail.view()));
            Check(name, swapped.view(), each);
        }
    }
    return 0;
}

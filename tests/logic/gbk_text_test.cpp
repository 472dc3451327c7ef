#include "base/gbk_text.h"

#include <gtest/gtest.h>

#include <string>

namespace quandrel {
namespace {

// "\x95\x5c" is one GBK character whose trail byte is '\'; "\x81\x65" one whose trail byte is 'e'.
struct BoundaryCase {
    const char* label;
    std::string text;
    std::size_t pos;
    bool boundary;
};

TEST(GbkText, CharacterBoundaries) {
    const BoundaryCase cases[] = {
        {"start of text", "abc", 0, true},
        {"end of text", "abc", 3, true},
        {"between ASCII characters", "abc", 1, true},
        {"after a double-byte character", "\x81\x65x", 2, true},
        {"inside a double-byte character", "\x81\x65x", 1, false},
        {"trail byte that looks like a backslash", "a\x95\x5c", 2, false},
        {"lone lead byte at the end is one character", "ab\x81", 2, true},
        {"0x80 is a single-byte character in code page 936",
         "\x80"
         "e",
         1, true},
        {"0xFF is a single-byte character",
         "\xff"
         "e",
         1, true},
        {"two double-byte characters in a row", "\xd3\xce\xcf\xb7", 2, true},
        {"second of two double-byte characters", "\xd3\xce\xcf\xb7", 3, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsGbkCharBoundary(c.text, c.pos), c.boundary) << c.label;
    }
}

TEST(GbkText, CharCountCountsDoubleByteCharactersOnce) {
    EXPECT_EQ(GbkCharCount(""), 0u);
    EXPECT_EQ(GbkCharCount("abc"), 3u);
    EXPECT_EQ(GbkCharCount("\x95\x5c"
                           "a\x81\x65"),
              3u);
    EXPECT_EQ(GbkCharCount("a\x81"), 2u);  // a lead byte at the end stands alone
}

TEST(GbkText, FindLastCharSkipsTrailBytes) {
    const struct {
        const char* label;
        std::string text;
        std::size_t expected;
    } cases[] = {
        {"plain path", "C:\\dir\\a.exe", 6},
        {"trail byte backslash is not a separator", "C:\\\x95\x5c", 2},
        {"separator after a trail byte backslash", "C:\\\x95\x5c\\b", 5},
        {"none", "abc", std::string::npos},
        {"empty", "", std::string::npos},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FindLastGbkChar(c.text, '\\'), c.expected) << c.label;
    }
}

TEST(EqualIgnoringAsciiCase, FoldsOnlySingleByteLetters) {
    EXPECT_TRUE(EqualIgnoringAsciiCase("Setup.ZIP", "setup.zip"));
    EXPECT_TRUE(EqualIgnoringAsciiCase("游戏.zip", "游戏.ZIP"));
    EXPECT_FALSE(EqualIgnoringAsciiCase("a\x81\x45", "a\x81\x65"));  // trail bytes compare exactly
    EXPECT_FALSE(EqualIgnoringAsciiCase("ab", "abc"));
}

}  // namespace
}  // namespace quandrel

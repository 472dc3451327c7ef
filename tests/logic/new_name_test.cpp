#include "rename/new_name.h"

#include <gtest/gtest.h>

#include <string>

namespace quandrel {
namespace {

TEST(ArchiveNameFor, Table) {
    const struct {
        std::string entry;
        std::string name;
    } cases[] = {
        {"游戏.exe", "游戏.zip"},
        {"dir/游戏.exe", "游戏.zip"},
        {"a/b/c/setup.exe", "setup.zip"},
        {"dir\\win\\setup.exe", "setup.zip"},
        {"setup", "setup.zip"},
        {"archive.tar.gz", "archive.tar.zip"},
        {"dir.v2/readme", "readme.zip"},
        // The trail byte of this character is '\': it is no folder separator.
        {"\x95\x5c"
         "abc.exe",
         "\x95\x5c"
         "abc.zip"},
        {"x/.exe", ".zip"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ArchiveNameFor(c.entry), c.name) << c.entry;
    }
}

// `count` copies of one Chinese character: one character, two GBK bytes each.
std::string Chinese(std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        text += "游";
    }
    return text;
}

TEST(WhyNameIsUnusable, Table) {
    const std::string folder = "C:\\archives";
    const struct {
        const char* label;
        std::string name;
        bool usable;
    } cases[] = {
        {"plain", "setup.zip", true},
        {"GBK", "游戏.zip", true},
        {"trail byte '\\' is part of a character", "\x95\x5c.zip", true},
        {"trail byte '|' is part of a character", "\x81\x7c.zip", true},
        {"empty stem", ".zip", false},
        {"a lone lead byte takes the dot of \".zip\" as its second byte", "\xCE.zip", false},
        {"only dots", "...zip", false},
        {"empty", "", false},
        {"dot", ".", false},
        {"dot dot", "..", false},
        {"control character", "a\x01.zip", false},
        {"tab", "a\tb.zip", false},
        {"less than", "a<b.zip", false},
        {"greater than", "a>b.zip", false},
        {"colon (a stream or a drive)", "x:y.zip", false},
        {"double quote", "a\"b.zip", false},
        {"slash", "a/b.zip", false},
        {"backslash", "..\\up.zip", false},
        {"pipe", "a|b.zip", false},
        {"question mark", "a?.zip", false},
        {"star", "a*.zip", false},
        {"trailing dot", "a.zip.", false},
        {"trailing space", "a.zip ", false},
        {"device CON", "CON.zip", false},
        {"device in small letters", "nul.zip", false},
        {"device with a space before the extension", "aux .zip", false},
        {"device with two extensions", "prn.tar.zip", false},
        {"COM port", "com1.zip", false},
        {"COM0", "COM0.zip", false},
        {"LPT port", "Lpt9.zip", false},
        {"console input", "CONIN$.zip", false},
        {"console output", "conout$.zip", false},
        {"not a device: longer", "console.zip", true},
        {"not a device: COM10", "COM10.zip", true},
        {"not a device: inside the name", "my-con.zip", true},
        {"full path just fits", std::string(259 - folder.size() - 1 - 4, 'a') + ".zip", true},
        {"full path too long", std::string(259 - folder.size() - 4, 'a') + ".zip", false},
        // Windows counts characters: 200 Chinese characters are 400 GBK bytes, but fit.
        {"full path of 216 characters in 416 bytes", Chinese(200) + ".zip", true},
        {"full path just fits in characters", Chinese(259 - folder.size() - 1 - 4) + ".zip", true},
        {"full path too long in characters", Chinese(259 - folder.size() - 4) + ".zip", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(!WhyNameIsUnusable(folder, c.name).has_value(), c.usable) << c.label;
    }
}

// A name longer than a file system allows, in a folder short enough for the path.
TEST(WhyNameIsUnusable, NameLongerThanAFileSystemAllows) {
    EXPECT_FALSE(WhyNameIsUnusable("C:", std::string(251, 'n') + ".zip").has_value());
    EXPECT_TRUE(WhyNameIsUnusable("C:", std::string(252, 'n') + ".zip").has_value());
    EXPECT_FALSE(WhyNameIsUnusable("C:", Chinese(251) + ".zip").has_value());
    EXPECT_TRUE(WhyNameIsUnusable("C:", Chinese(252) + ".zip").has_value());
}

TEST(HasZipExtension, Table) {
    const struct {
        std::string name;
        bool zip;
    } cases[] = {
        {"a.zip", true},
        {"A.ZIP", true},
        {"a.Zip", true},
        {".zip", true},
        {"b.zipx", false},
        {"c.zip~", false},
        {"g.zip ", false},
        {"zip", false},
        {"a.zip.txt", false},
        {"", false},
        // ".zip" must stand as characters of their own, not after a lead byte.
        {"\x81\x2ezip", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HasZipExtension(c.name), c.zip) << c.name;
    }
}

}  // namespace
}  // namespace quandrel

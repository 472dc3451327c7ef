#include "rename/suffix_match.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/text.h"

namespace quandrel {
namespace {

using enum NameEncoding;

struct MatchCase {
    const char* label;
    std::string name;
    std::string suffix;
    NameEncoding encoding;
    bool matches;
};

// Literals are GBK bytes (the sources are compiled with -fexec-charset=GBK);
// Utf8() gives the UTF-8 bytes of a name as an archive flagged UTF-8 stores it.
TEST(EntryNameMatches, Table) {
    const MatchCase cases[] = {
        {"plain extension", "setup.exe", ".exe", Ansi, true},
        {"extension without dot", "setup.exe", "exe", Ansi, true},
        {"ASCII letters ignore case", "SETUP.EXE", ".exe", Ansi, true},
        {"suffix in capitals", "setup.exe", ".EXE", Ansi, true},
        {"whole name", "setup.exe", "setup.exe", Ansi, true},
        {"other extension", "setup.exe", ".txt", Ansi, false},
        {"suffix longer than the name", "a.exe", "xa.exe", Ansi, false},
        {"empty suffix matches nothing", "a.exe", "", Ansi, false},
        {"folder part belongs to the name", "dir/a.exe", "r/a.exe", Ansi, true},
        {"folder entry never matches", "tools.exe/", "exe/", Ansi, false},
        {"folder entry never matches a slash", "tools/", "/", Ansi, false},
        {"zero byte inside the name", std::string("a\0.exe", 6), ".exe", Ansi, false},
        {"GBK name, ASCII suffix", "游戏.exe", ".exe", Ansi, true},
        {"GBK suffix", "数据/游戏.exe", "游戏.exe", Ansi, true},
        {"GBK suffix, other character", "数据/游戏.exe", "游.exe", Ansi, false},
        {"suffix 'e' against a trail byte 'e'", "x\x81\x65", "e", Ansi, false},
        {"suffix 'E' against a trail byte 'e'", "x\x81\x65", "E", Ansi, false},
        {"suffix '\\' against a trail byte '\\'", "a\x95\x5c", "\\", Ansi, false},
        {"trail byte is never case-folded", "a\x81\x45", "\x81\x65", Ansi, false},
        {"same double-byte character", "a\x81\x65", "\x81\x65", Ansi, true},
        {"'e' after a double-byte character",
         "\x81\x65"
         "e",
         "e", Ansi, true},
        {"0x80 is single-byte, so 'e' after it stands alone",
         "\x80"
         "e",
         "e", Ansi, true},
        {"lone lead byte at the end", "ab\x81", "\x81", Ansi, true},
        {"UTF-8 name, ASCII suffix", Utf8Bytes(u8"游戏.exe"), ".exe", Utf8, true},
        {"UTF-8 name, ASCII suffix in capitals", Utf8Bytes(u8"游戏.EXE"), ".exe", Utf8, true},
        {"UTF-8 name against a GBK suffix", Utf8Bytes(u8"游戏.exe"), "游戏.exe", Utf8, false},
        {"UTF-8 name, suffix with the same bytes", Utf8Bytes(u8"游戏.exe"), Utf8Bytes(u8"戏.exe"), Utf8, true},
        // The same bytes read as GBK: the match would start inside a character.
        {"UTF-8 bytes in a name not flagged UTF-8", Utf8Bytes(u8"游戏.exe"), Utf8Bytes(u8"戏.exe"), Ansi, false},
        {"UTF-8 non-ASCII bytes compare exactly", Utf8Bytes(u8"Ä.exe"), Utf8Bytes(u8"ä.exe"), Utf8, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EntryNameMatches(c.name, c.suffix, c.encoding), c.matches) << c.label;
    }
}

}  // namespace
}  // namespace quandrel

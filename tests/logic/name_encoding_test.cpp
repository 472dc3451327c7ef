#include "rename/name_encoding.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/text.h"

namespace quandrel {
namespace {

TEST(Crc32, KnownValues) {
    EXPECT_EQ(Crc32(""), 0u);
    EXPECT_EQ(Crc32("123456789"), 0xCBF43926u);  // the standard check value
}

// Plain literals are GBK in these sources, u8 ones UTF-8: the real bytes each
// kind of tool writes.
TEST(LooksLikeUtf8, RealNames) {
    const struct {
        const char* label;
        std::string name;
        bool utf8;
    } cases[] = {
        {"GBK 游戏", "游戏.exe", false},
        {"GBK 工具", "工具/工具.exe", false},
        {"GBK 学生 (its first character is a valid two-byte UTF-8 sequence)", "学生.exe", false},
        {"GBK 新建文件夹", "新建文件夹/说明.txt", false},
        {"GBK 联通 (the classic Notepad case)", "联通.exe", false},
        {"GBK 中文名称", "中文名称.exe", false},
        {"ASCII", "setup.exe", false},
        {"UTF-8 from Info-ZIP on Linux", Utf8Bytes(u8"工具/无标.exe"), true},
        {"UTF-8 游戏", Utf8Bytes(u8"游戏.exe"), true},
        {"UTF-8 emoji (four bytes)", Utf8Bytes(u8"😀.exe"), true},
        {"UTF-8 with two-byte sequences only stays GBK", Utf8Bytes(u8"café.exe"), false},
        {"UTF-8 Cyrillic, two-byte sequences only", Utf8Bytes(u8"Привет.exe"), false},
        {"overlong form of '/'", "\xE0\x80\xAF.exe", false},
        {"a surrogate", "\xED\xA0\x80.exe", false},
        {"past U+10FFFF", "\xF4\x90\x80\x80.exe", false},
        {"cut short", "\xE6\x97", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LooksLikeUtf8(c.name), c.utf8) << c.label;
    }
}

std::string Field(std::uint16_t id, const std::string& data) {
    std::string field;
    field += static_cast<char>(id & 0xFF);
    field += static_cast<char>(id >> 8);
    field += static_cast<char>(data.size() & 0xFF);
    field += static_cast<char>(data.size() >> 8);
    return field + data;
}

std::string UnicodePath(char version, std::uint32_t crc, const std::string& name) {
    std::string data(1, version);
    for (int i = 0; i < 4; ++i) {
        data += static_cast<char>(crc >> (8 * i) & 0xFF);
    }
    return Field(0x7075, data + name);
}

TEST(UnicodePathName, Table) {
    const std::string header = "_.exe";
    const std::string real = Utf8Bytes(u8"工具/无标.exe");
    const std::uint32_t crc = Crc32(header);
    const struct {
        const char* label;
        std::string extra;
        std::optional<std::string> name;
    } cases[] = {
        {"the field alone", UnicodePath(1, crc, real), real},
        {"after Info-ZIP's time and owner fields",
         Field(0x5455, "\x03xxxx") + Field(0x7875, "\x01\x04") + UnicodePath(1, crc, real), real},
        {"CRC of another name: the header was renamed since", UnicodePath(1, crc ^ 1, real), std::nullopt},
        {"unknown version", UnicodePath(2, crc, real), std::nullopt},
        {"field cut short", UnicodePath(1, crc, real).substr(0, 8), std::nullopt},
        {"a field before it claims more than there is", Field(0x5455, "abc").substr(0, 5) + UnicodePath(1, crc, real),
         std::nullopt},
        {"no fields", "", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UnicodePathName(c.extra, header), c.name) << c.label;
    }
}

}  // namespace
}  // namespace quandrel

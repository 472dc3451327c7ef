#include "rename/entry_lookup.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "base/win_owners.h"
#include "tests/support/test_folder.h"
#include "tests/support/text.h"
#include "tests/support/zip_writer.h"

namespace quandrel {
namespace {

using testing::BuildZip;
using testing::TestFolder;
using testing::WriteFileBytes;
using testing::ZipEntry;

struct Expected {
    std::string name;
    NameEncoding encoding;
};

struct LookupCase {
    const char* label;
    std::vector<ZipEntry> entries;
    std::string suffix;
    std::optional<Expected> expected;
};

std::optional<NamingEntry> LookUp(const TestFolder& folder, const std::vector<ZipEntry>& entries,
                                  std::string_view suffix) {
    const std::string archive = folder / "83412.zip";
    WriteFileBytes(archive, BuildZip(entries));
    return FindNamingEntry(archive, suffix);
}

// Through the real zlibwapi.dll: every bound unzip function is called on each row.
TEST(FindNamingEntry, Table) {
    const std::string longName = std::string(300, 'a') + ".exe";
    const std::string longestName = std::string(65535 - 4, 'b') + ".exe";
    const LookupCase cases[] = {
        {"plain name", {{"readme.txt"}, {"game.exe"}}, ".exe", Expected{"game.exe", NameEncoding::Ansi}},
        {"letters in other case", {{"GAME.EXE"}}, "exe", Expected{"GAME.EXE", NameEncoding::Ansi}},
        {"GBK name", {{"说明.txt"}, {"游戏.exe"}}, ".exe", Expected{"游戏.exe", NameEncoding::Ansi}},
        {"GBK suffix", {{"游戏.exe"}}, "戏.exe", Expected{"游戏.exe", NameEncoding::Ansi}},
        {"name with folder parts",
         {{"bin/"}, {"bin/x86/tool.exe"}},
         ".exe",
         Expected{"bin/x86/tool.exe", NameEncoding::Ansi}},
        {"folder entry is passed over", {{"setup.exe/"}, {"setup.exe/run.exe"}}, "exe/", std::nullopt},
        {"first of several matches, in archive order",
         {{"b.exe"}, {"a.exe"}, {"c.exe"}},
         ".exe",
         Expected{"b.exe", NameEncoding::Ansi}},
        {"no match", {{"a.txt"}, {"b.dat"}}, ".exe", std::nullopt},
        {"suffix longer than every name", {{"a.exe"}, {"bb.exe"}}, "setup.exe", std::nullopt},
        {"trail byte 'e' is not a match", {{"x\x81\x65"}, {"real.e"}}, "e", Expected{"real.e", NameEncoding::Ansi}},
        {"trail byte '\\' is not a match", {{"a\x95\x5c"}}, "\\", std::nullopt},
        {"UTF-8 flagged name, ASCII suffix",
         {{Utf8Bytes(u8"游戏.exe"), "", true}},
         ".exe",
         Expected{Utf8Bytes(u8"游戏.exe"), NameEncoding::Utf8}},
        {"UTF-8 flagged name, GBK suffix", {{Utf8Bytes(u8"游戏.exe"), "", true}}, "游戏.exe", std::nullopt},
        {"zero byte inside a name",
         {{std::string("a\0.exe", 6)}, {"b.exe"}},
         ".exe",
         Expected{"b.exe", NameEncoding::Ansi}},
        {"long name", {{longName}}, ".exe", Expected{longName, NameEncoding::Ansi}},
        {"longest name the format allows",
         {{"x.txt"}, {longestName}},
         ".exe",
         Expected{longestName, NameEncoding::Ansi}},
    };
    TestFolder folder;
    for (const auto& c : cases) {
        const std::optional<NamingEntry> found = LookUp(folder, c.entries, c.suffix);
        ASSERT_EQ(found.has_value(), c.expected.has_value()) << c.label;
        if (found) {
            EXPECT_EQ(found->name, c.expected->name) << c.label;
            EXPECT_EQ(found->encoding, c.expected->encoding) << c.label;
        }
    }
}

TEST(FindNamingEntry, ArchiveInChineseFolder) {
    TestFolder folder("压缩包");
    const std::optional<NamingEntry> found = LookUp(folder, {{"游戏.exe"}}, ".exe");
    ASSERT_TRUE(found);
    EXPECT_EQ(found->name, "游戏.exe");
}

// Damaged and unreadable inputs give no result and never crash or hang.
TEST(FindNamingEntry, DamagedInputs) {
    const std::string good = BuildZip({{"game.exe", "data"}, {"other.exe", "more data"}});
    const std::size_t end = testing::EndRecordOffset(good);
    std::string badDirectoryOffset = good;
    badDirectoryOffset[end + 19] = '\x7f';  // the directory would start far past the end
    std::string noEndRecord = good;
    noEndRecord[end] = 'X';
    std::string brokenDirectoryHeader = good;
    brokenDirectoryHeader[good.find("PK\x01\x02")] = 'X';
    std::string countMismatch = good;
    countMismatch[end + 10] = '\x09';
    // The end record claims more entries than the directory holds: the walk runs
    // into the end record itself and must stop there.
    std::string walkPastDirectory = BuildZip({{"a.txt"}, {"b.txt"}});
    const std::size_t walkEnd = testing::EndRecordOffset(walkPastDirectory);
    walkPastDirectory[walkEnd + 8] = '\x09';
    walkPastDirectory[walkEnd + 10] = '\x09';

    // An archive with no entries is no damaged one: it simply holds no match.
    std::string emptyWithComment = BuildZip({});
    emptyWithComment[20] = 7;
    emptyWithComment += "comment";
    std::string endRecordClaimingAnEntry = BuildZip({});
    endRecordClaimingAnEntry[8] = 1;
    endRecordClaimingAnEntry[10] = 1;
    using enum EntryLookup::Status;

    const struct {
        const char* label;
        std::optional<std::string> bytes;  // nothing: no file at all
        EntryLookup::Status status;
    } cases[] = {
        {"not a ZIP", std::string("This is a text file, not an archive.\r\n"), Unreadable},
        {"zero bytes", std::string(), Unreadable},
        {"empty archive (end record only)", BuildZip({}), NoMatch},
        {"empty archive with a comment", emptyWithComment, NoMatch},
        {"empty archive with a comment cut short", emptyWithComment.substr(0, 25), Unreadable},
        {"end record only, but claiming an entry", endRecordClaimingAnEntry, Unreadable},
        {"truncated to half", good.substr(0, good.size() / 2), Unreadable},
        {"directory and end record cut off", good.substr(0, good.find("PK\x01\x02")), Unreadable},
        {"no end record", noEndRecord, Unreadable},
        {"directory offset past the end", badDirectoryOffset, Unreadable},
        {"entry counts that disagree", countMismatch, Unreadable},
        {"more entries claimed than the directory holds", walkPastDirectory, Unreadable},
        {"damaged directory header", brokenDirectoryHeader, Unreadable},
        {"missing file", std::nullopt, Unreadable},
    };
    TestFolder folder;
    for (const auto& c : cases) {
        const std::string archive = folder / "damaged.zip";
        DeleteFileA(archive.c_str());
        if (c.bytes) {
            WriteFileBytes(archive, *c.bytes);
        }
        EXPECT_FALSE(FindNamingEntry(archive, ".exe")) << c.label;
        EXPECT_EQ(LookUpNamingEntry(archive, ".exe").status, c.status) << c.label;
    }
}

TEST(FindNamingEntry, FolderNamedLikeAnArchive) {
    TestFolder folder;
    const std::string fake = folder / "fake.zip";
    ASSERT_TRUE(CreateDirectoryA(fake.c_str(), nullptr));
    EXPECT_FALSE(FindNamingEntry(fake, ".exe"));
}

TEST(FindNamingEntry, ArchiveLockedByAnotherHandle) {
    TestFolder folder;
    const std::string archive = folder / "locked.zip";
    WriteFileBytes(archive, BuildZip({{"game.exe"}}));
    UniqueFileHandle lock(CreateFileA(archive.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock);
    EXPECT_FALSE(FindNamingEntry(archive, ".exe"));
    lock.reset();
    EXPECT_TRUE(FindNamingEntry(archive, ".exe"));
}

// Each lookup closes its archive: afterwards the file can be renamed and removed.
TEST(FindNamingEntry, ClosesTheArchiveOnEveryPath) {
    TestFolder folder;
    const std::string archive = folder / "a.zip";
    for (const char* suffix : {".exe", ".none"}) {
        WriteFileBytes(archive, BuildZip({{"game.exe"}, {"readme.txt"}}));
        FindNamingEntry(archive, suffix);
        const std::string moved = folder / "moved.zip";
        EXPECT_TRUE(MoveFileA(archive.c_str(), moved.c_str())) << suffix;
        EXPECT_TRUE(DeleteFileA(moved.c_str())) << suffix;
    }
}

}  // namespace
}  // namespace quandrel

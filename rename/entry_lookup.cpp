#include "rename/entry_lookup.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <memory>

#include "base/win_owners.h"
#include "rename/name_encoding.h"
#include "rename/unzip_functions.h"

namespace quandrel {
namespace {

struct ArchiveCloser {
    void operator()(unzip::Archive archive) const { unzip::Bound().close(archive); }
};
using OpenArchive = std::unique_ptr<void, ArchiveCloser>;

// Whether the file is a ZIP archive with no entries: nothing but the end of
// central directory record (22 bytes, "PK\5\6", every count and size 0) and
// its comment. minizip will not open such an archive, yet it is no damaged one.
bool IsEmptyArchive(const std::string& archivePath) {
    UniqueFileHandle file(CreateFileA(archivePath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    constexpr DWORD kRecordSize = 22;
    std::array<unsigned char, kRecordSize> record{};
    DWORD read = 0;
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart < kRecordSize ||
        size.QuadPart > kRecordSize + 0xFFFF || !ReadFile(file.get(), record.data(), kRecordSize, &read, nullptr) ||
        read != kRecordSize) {
        return false;
    }
    const auto field16 = [&](std::size_t at) { return record[at] | record[at + 1] << 8; };
    const bool signature = record[0] == 'P' && record[1] == 'K' && record[2] == 5 && record[3] == 6;
    const bool noEntries = std::all_of(record.begin() + 4, record.begin() + 20, [](unsigned char b) { return b == 0; });
    return signature && noEntries && size.QuadPart == kRecordSize + field16(20);
}

// The Unicode Path name of the entry the archive stands on, read from its
// extra field in the central directory.
std::optional<std::string> UnicodePathOfCurrentEntry(const unzip::Functions& unzip, unzip::Archive archive,
                                                     const std::string& headerName) {
    constexpr unsigned long kExtraBufferSize = 65535;  // the most a 16-bit length can give
    std::string extra(kExtraBufferSize, '\0');
    unzip::FileInfo info{};
    if (unzip.getCurrentFileInfo(archive, &info, nullptr, 0, extra.data(), kExtraBufferSize, nullptr, 0) !=
        unzip::kOk) {
        return std::nullopt;
    }
    extra.resize(std::min<std::size_t>(info.sizeFileExtra, kExtraBufferSize));
    return UnicodePathName(extra, headerName);
}

}  // namespace

EntryLookup LookUpNamingEntry(const std::string& archivePath, std::string_view suffix) {
    const unzip::Functions& unzip = unzip::Bound();
    OpenArchive archive(unzip.open(archivePath.c_str()));
    if (!archive) {
        return {IsEmptyArchive(archivePath) ? EntryLookup::Status::NoMatch : EntryLookup::Status::Unreadable, {}};
    }
    const auto name = std::make_unique_for_overwrite<char[]>(unzip::kNameBufferSize);
    // Any error, not only the end of the list, ends the walk: a damaged
    // directory must not be stepped through.
    int status = unzip.goToFirstFile(archive.get());
    for (; status == unzip::kOk; status = unzip.goToNextFile(archive.get())) {
        unzip::FileInfo info{};
        status =
            unzip.getCurrentFileInfo(archive.get(), &info, name.get(), unzip::kNameBufferSize, nullptr, 0, nullptr, 0);
        if (status != unzip::kOk) {
            break;
        }
        if (info.sizeFilename >= unzip::kNameBufferSize) {
            continue;  // cannot happen with a 16-bit length field; never read past the buffer
        }
        const std::string_view storedName(name.get(), info.sizeFilename);
        const NameEncoding encoding = (info.flag & unzip::kUtf8NameFlag) ? NameEncoding::Utf8 : NameEncoding::Ansi;
        if (EntryNameMatches(storedName, suffix, encoding)) {
            NamingEntry entry{std::string(storedName), encoding, std::nullopt};
            if (encoding == NameEncoding::Ansi && info.sizeFileExtra > 0) {
                entry.unicodePathName = UnicodePathOfCurrentEntry(unzip, archive.get(), entry.name);
            }
            return {EntryLookup::Status::Found, std::move(entry)};
        }
    }
    return {status == unzip::kEndOfListOfFile ? EntryLookup::Status::NoMatch : EntryLookup::Status::Unreadable, {}};
}

std::optional<NamingEntry> FindNamingEntry(const std::string& archivePath, std::string_view suffix) {
    EntryLookup lookup = LookUpNamingEntry(archivePath, suffix);
    if (lookup.status != EntryLookup::Status::Found) {
        return std::nullopt;
    }
    return std::move(lookup.entry);
}

}  // namespace quandrel

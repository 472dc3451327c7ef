#include "rename/entry_lookup.h"

#include <memory>

#include "rename/unzip_functions.h"

namespace quandrel {
namespace {

struct ArchiveCloser {
    void operator()(unzip::Archive archive) const { unzip::Close(archive); }
};
using OpenArchive = std::unique_ptr<void, ArchiveCloser>;

}  // namespace

EntryLookup LookUpNamingEntry(const std::string& archivePath, std::string_view suffix) {
    OpenArchive archive(unzip::Open(archivePath.c_str()));
    if (!archive) {
        return {};
    }
    const auto name = std::make_unique_for_overwrite<char[]>(unzip::kNameBufferSize);
    // Any error, not only the end of the list, ends the walk: a damaged
    // directory must not be stepped through.
    int status = unzip::GoToFirstFile(archive.get());
    for (; status == unzip::kOk; status = unzip::GoToNextFile(archive.get())) {
        unzip::FileInfo info{};
        status = unzip::GetCurrentFileInfo(archive.get(), &info, name.get(), unzip::kNameBufferSize);
        if (status != unzip::kOk) {
            break;
        }
        if (info.sizeFilename >= unzip::kNameBufferSize) {
            continue;  // cannot happen with a 16-bit length field; never read past the buffer
        }
        const std::string_view storedName(name.get(), info.sizeFilename);
        const NameEncoding encoding = (info.flag & unzip::kUtf8NameFlag) ? NameEncoding::Utf8 : NameEncoding::Ansi;
        if (EntryNameMatches(storedName, suffix, encoding)) {
            return {EntryLookup::Status::Found, NamingEntry{std::string(storedName), encoding}};
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

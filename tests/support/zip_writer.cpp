#include "tests/support/zip_writer.h"

#include <cstdint>
#include <stdexcept>

#include "rename/name_encoding.h"

namespace quandrel::testing {
namespace {

constexpr std::uint16_t kUtf8Flag = 0x0800;
constexpr std::size_t kEndRecordSize = 22;

void Put16(std::string& out, std::size_t value) {
    if (value > 0xFFFF) {
        throw std::length_error("ZIP field over 16 bits");
    }
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

void Put32(std::string& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

}  // namespace

std::string BuildZip(const std::vector<ZipEntry>& entries) {
    std::string archive;
    std::string directory;
    for (const ZipEntry& entry : entries) {
        const auto offset = static_cast<std::uint32_t>(archive.size());
        const std::uint32_t crc = Crc32(entry.data);
        const auto size = static_cast<std::uint32_t>(entry.data.size());
        const std::uint16_t flag = entry.utf8Flag ? kUtf8Flag : 0;

        Put32(archive, 0x04034B50);  // local file header
        Put16(archive, 20);          // version needed
        Put16(archive, flag);
        Put16(archive, 0);     // stored
        Put16(archive, 0);     // time
        Put16(archive, 0x21);  // date: 1980-01-01
        Put32(archive, crc);
        Put32(archive, size);
        Put32(archive, size);
        Put16(archive, entry.name.size());
        Put16(archive, entry.extra.size());
        archive += entry.name;
        archive += entry.extra;
        archive += entry.data;

        Put32(directory, 0x02014B50);  // central directory header
        Put16(directory, 20);          // version made by
        Put16(directory, 20);          // version needed
        Put16(directory, flag);
        Put16(directory, 0);
        Put16(directory, 0);
        Put16(directory, 0x21);
        Put32(directory, crc);
        Put32(directory, size);
        Put32(directory, size);
        Put16(directory, entry.name.size());
        Put16(directory, entry.extra.size());
        Put16(directory, 0);                                     // comment length
        Put16(directory, 0);                                     // disk number
        Put16(directory, 0);                                     // internal attributes
        Put32(directory, entry.name.ends_with('/') ? 0x10 : 0);  // external: directory bit
        Put32(directory, offset);
        directory += entry.name;
        directory += entry.extra;
    }
    const auto directoryOffset = static_cast<std::uint32_t>(archive.size());
    archive += directory;

    Put32(archive, 0x06054B50);  // end of central directory
    Put16(archive, 0);
    Put16(archive, 0);
    Put16(archive, entries.size());
    Put16(archive, entries.size());
    Put32(archive, static_cast<std::uint32_t>(directory.size()));
    Put32(archive, directoryOffset);
    Put16(archive, 0);  // comment length
    return archive;
}

std::string UnicodePathField(std::uint32_t headerNameCrc, const std::string& utf8Name) {
    std::string field;
    Put16(field, 0x7075);
    Put16(field, 5 + utf8Name.size());
    field += '\x01';  // version
    Put32(field, headerNameCrc);
    return field + utf8Name;
}

std::size_t EndRecordOffset(const std::string& archive) { return archive.size() - kEndRecordSize; }

}  // namespace quandrel::testing

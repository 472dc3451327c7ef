// A minimal ZIP writer for tests: stored (uncompressed) entries, every byte of
// every name under the test's control, and the UTF-8 name flag set by hand.
// Damaged archives are made by editing the bytes it returns.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace quandrel::testing {

struct ZipEntry {
    ZipEntry(std::string entryName, std::string entryData = {}, bool flaggedUtf8 = false, std::string entryExtra = {})
        : name(std::move(entryName)), data(std::move(entryData)), utf8Flag(flaggedUtf8), extra(std::move(entryExtra)) {}

    std::string name;  // stored byte for byte
    std::string data;
    bool utf8Flag;      // general purpose bit 11
    std::string extra;  // the extra-field block, in the local header and the directory alike
};

// A complete archive: local headers with data, central directory, end record.
std::string BuildZip(const std::vector<ZipEntry>& entries);

// An Info-ZIP Unicode Path extra field (0x7075, version 1) naming `utf8Name`
// for the header name whose CRC-32 is `headerNameCrc`.
std::string UnicodePathField(std::uint32_t headerNameCrc, const std::string& utf8Name);

// Offset of the end of central directory record in an archive from BuildZip.
std::size_t EndRecordOffset(const std::string& archive);

}  // namespace quandrel::testing

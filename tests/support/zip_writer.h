// A minimal ZIP writer for tests: stored (uncompressed) entries, every byte of
// every name under the test's control, and the UTF-8 name flag set by hand.
// Damaged archives are made by editing the bytes it returns.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace quandrel::testing {

struct ZipEntry {
    ZipEntry(std::string entryName, std::string entryData = {}, bool flaggedUtf8 = false)
        : name(std::move(entryName)), data(std::move(entryData)), utf8Flag(flaggedUtf8) {}

    std::string name;  // stored byte for byte
    std::string data;
    bool utf8Flag;  // general purpose bit 11
};

// A complete archive: local headers with data, central directory, end record.
std::string BuildZip(const std::vector<ZipEntry>& entries);

// Offset of the end of central directory record in an archive from BuildZip.
std::size_t EndRecordOffset(const std::string& archive);

}  // namespace quandrel::testing

// How an entry name that the archive does not flag as UTF-8 is to be read.
// Info-ZIP's zip on Linux and macOS stores UTF-8 names without the flag; other
// tools keep the real name in Info-ZIP's Unicode Path extra field (0x7075) and
// a fallback in the header. Platform-free, for the native tests and the fuzzer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quandrel {

// The CRC-32 of ZIP (and zlib): polynomial 0xEDB88320, reflected.
std::uint32_t Crc32(std::string_view bytes);

// The UTF-8 name of a Unicode Path extra field (version 1) in the entry's
// extra-field block, when the field's CRC-32 is that of `headerName`, the name
// in the header (a field whose CRC differs belongs to a name changed since).
std::optional<std::string> UnicodePathName(std::string_view extraField, std::string_view headerName);

// Whether an unflagged name is to be read as UTF-8: it is valid UTF-8 (no
// overlong forms, no surrogates, nothing past U+10FFFF) and holds a sequence of
// three or four bytes. GBK text practically never forms one: the GBK names of
// Chinese words are invalid UTF-8 or, at most, two-byte sequences, and those
// stay GBK. A name of ASCII alone is the same either way and stays as it is.
bool LooksLikeUtf8(std::string_view name);

}  // namespace quandrel

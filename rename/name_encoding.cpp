#include "rename/name_encoding.h"

#include <array>

namespace quandrel {
namespace {

constexpr std::uint16_t kUnicodePathField = 0x7075;

constexpr std::array<std::uint32_t, 256> MakeCrcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k) {
            c = (c & 1) ? 0xEDB88320U ^ (c >> 1) : c >> 1;
        }
        table[n] = c;
    }
    return table;
}
constexpr std::array<std::uint32_t, 256> kCrcTable = MakeCrcTable();

std::uint32_t Little(std::string_view bytes, std::size_t at, int count) {
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) {
        value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    }
    return value;
}

}  // namespace

std::uint32_t Crc32(std::string_view bytes) {
    std::uint32_t crc = 0xFFFFFFFFU;
    for (char c : bytes) {
        crc = kCrcTable[(crc ^ static_cast<unsigned char>(c)) & 0xFF] ^ (crc >> 8);
    }
    return crc ^ 0xFFFFFFFFU;
}

std::optional<std::string> UnicodePathName(std::string_view extraField, std::string_view headerName) {
    // Fields: a 16-bit id, a 16-bit size, then that many bytes. A field that
    // claims more than is left ends the walk.
    for (std::size_t at = 0; at + 4 <= extraField.size();) {
        const std::uint32_t id = Little(extraField, at, 2);
        const std::size_t size = Little(extraField, at + 2, 2);
        if (at + 4 + size > extraField.size()) {
            break;
        }
        const std::string_view data = extraField.substr(at + 4, size);
        if (id == kUnicodePathField && data.size() >= 5 && data[0] == 1 && Little(data, 1, 4) == Crc32(headerName)) {
            return std::string(data.substr(5));
        }
        at += 4 + size;
    }
    return std::nullopt;
}

bool LooksLikeUtf8(std::string_view name) {
    bool longSequence = false;
    for (std::size_t at = 0; at < name.size();) {
        const auto lead = static_cast<unsigned char>(name[at]);
        int length = 0;
        std::uint32_t code = 0;
        if (lead < 0x80) {
            ++at;
            continue;
        }
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            code = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            code = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            code = lead & 0x07;
        } else {
            return false;  // a continuation byte first, or a lead no UTF-8 has
        }
        if (at + static_cast<std::size_t>(length) > name.size()) {
            return false;
        }
        for (int i = 1; i < length; ++i) {
            const auto next = static_cast<unsigned char>(name[at + static_cast<std::size_t>(i)]);
            if ((next & 0xC0) != 0x80) {
                return false;
            }
            code = code << 6 | (next & 0x3F);
        }
        const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
        const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
        if (overlong || surrogate || code > 0x10FFFF) {
            return false;
        }
        longSequence = longSequence || length >= 3;
        at += static_cast<std::size_t>(length);
    }
    return longSequence;
}

}  // namespace quandrel

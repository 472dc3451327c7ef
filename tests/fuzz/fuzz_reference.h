// What the fuzz targets hold the name logic against: a plain walk over GBK text
// written apart from base/gbk_text.cpp, and a failure report that names the
// broken rule. Only the standard library here, so a fault in the product's
// helpers cannot hide in the reference too.
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quandrel::fuzz {

inline constexpr std::size_t npos = std::string_view::npos;

inline std::string Hex(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 0xF];
        hex += ' ';
    }
    return hex;
}

// One value in a failure report: bytes in hex, a number, or a word as it is.
struct Shown {
    Shown(const char* label, std::string_view bytes) : label(label), bytes(bytes) {}
    Shown(const char* label, std::size_t number) : label(label), number(number), isNumber(true) {}
    Shown(const char* label, const char* word) : label(label), word(word) {}
    const char* label;
    std::string_view bytes;
    std::size_t number = 0;
    bool isNumber = false;
    const char* word = nullptr;
};

// Aborts, so that libFuzzer keeps the input as a crash file; the message names
// the rule, since a plain crash would not tell which one broke.
[[noreturn]] inline void Fail(const char* rule, std::initializer_list<Shown> shown) {
    std::fprintf(stderr, "\n==== invariant broken: %s\n", rule);
    for (const Shown& s : shown) {
        if (s.isNumber) {
            std::fprintf(stderr, "     %-10s %zu\n", s.label, s.number);
        } else if (s.word != nullptr) {
            std::fprintf(stderr, "     %-10s %s\n", s.label, s.word);
        } else {
            std::fprintf(stderr, "     %-10s (%zu bytes) %s\n", s.label, s.bytes.size(), Hex(s.bytes).c_str());
        }
    }
    std::fflush(stderr);
    std::abort();
}

inline void Require(bool holds, const char* rule, std::initializer_list<Shown> shown) {
    if (!holds) {
        Fail(rule, shown);
    }
}

// A text cut into characters the simplest way: from the start, a byte 0x81..0xFE
// with a byte after it takes that byte along, any other byte stands alone.
struct GbkWalk {
    std::vector<std::size_t> starts;  // where each character begins
    std::vector<bool> boundary;       // per position 0..size: a character begins there (or the text ends)
    std::vector<bool> doubleByte;     // per position: the byte belongs to a two-byte character

    explicit GbkWalk(std::string_view text) : boundary(text.size() + 1, false), doubleByte(text.size(), false) {
        std::size_t at = 0;
        while (at < text.size()) {
            starts.push_back(at);
            boundary[at] = true;
            const auto byte = static_cast<unsigned char>(text[at]);
            if (byte >= 0x81 && byte <= 0xFE && at + 1 < text.size()) {
                doubleByte[at] = doubleByte[at + 1] = true;
                at += 2;
            } else {
                at += 1;
            }
        }
        boundary[text.size()] = true;
    }

    // The byte at `pos` is a character of its own (not part of a two-byte one).
    bool Single(std::size_t pos) const { return boundary[pos] && !doubleByte[pos]; }
};

inline char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// ASCII letters in the other case; every other byte as it is.
inline std::string SwapAsciiCase(std::string_view text) {
    std::string swapped(text);
    for (char& c : swapped) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        } else if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return swapped;
}

inline bool IsAsciiOnly(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

// Bytes in a heap block of exactly their size: a std::string would keep a
// terminating zero and, when short, an inline buffer behind its end, where ASan
// sees no read that goes one byte too far.
class ExactBytes {
public:
    ExactBytes(const unsigned char* data, std::size_t size) : bytes_(new char[size]), size_(size) {
        if (size != 0) {
            std::memcpy(bytes_.get(), data, size);
        }
    }
    explicit ExactBytes(std::string_view text)
        : ExactBytes(reinterpret_cast<const unsigned char*>(text.data()), text.size()) {}
    std::string_view view() const { return {bytes_.get(), size_}; }

private:
    std::unique_ptr<char[]> bytes_;
    std::size_t size_;
};

// A fuzz input cut in parts: an optional mode byte, then a byte giving the length
// of the first part (cut short where the input ends), the first part, and the
// rest of the input as the second part.
struct Split {
    unsigned char mode;
    ExactBytes first;
    ExactBytes rest;
};

inline Split SplitInput(const unsigned char* data, std::size_t size, bool withMode) {
    std::size_t at = 0;
    const unsigned char mode = withMode && at < size ? data[at++] : 0;
    std::size_t length = at < size ? data[at++] : 0;
    if (length > size - at) {
        length = size - at;
    }
    return Split{mode, ExactBytes(data + at, length), ExactBytes(data + at + length, size - at - length)};
}

}  // namespace quandrel::fuzz

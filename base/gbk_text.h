// Stepping through GBK (code page 936) text by characters. A byte from 0x81 to
// 0xFE leads a two-byte character whose trail byte may be any byte, ASCII
// letters and '\' included, so byte searches must skip trail bytes.
#pragma once

#include <cstddef>
#include <string_view>

namespace quandrel {

constexpr bool IsGbkLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

// Bytes taken by the character at `pos`: 2 for a lead byte with a byte after it, else 1.
std::size_t GbkCharLength(std::string_view text, std::size_t pos);

// Characters in the text. Every GBK character is one UTF-16 unit, so this is
// also the length Windows measures names and paths in.
std::size_t GbkCharCount(std::string_view text);

// Whether a character starts at `pos` (the end of the text counts as a boundary).
bool IsGbkCharBoundary(std::string_view text, std::size_t pos);

// Position of the last `ch` (an ASCII character) that stands as a character of its
// own, never as the trail byte of a double-byte character; npos when there is none.
std::size_t FindLastGbkChar(std::string_view text, char ch);

}  // namespace quandrel

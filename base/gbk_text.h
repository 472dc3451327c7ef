// Stepping through GBK (code page 936) text by characters. A byte from 0x81 to
// 0xFE leads a two-byte character whose trail byte may be any byte, ASCII
// letters and '\' included, so byte searches must skip trail bytes.
#pragma once

#include <cstddef>
#include <string_view>

namespace quandrel {

// The ANSI code page the program is made for: its every 8-bit text is in it.
inline constexpr unsigned kGbkCodePage = 936;

constexpr bool IsGbkLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

// Bytes taken by the character at `pos`: 2 for a lead byte with a byte after it, else 1.
std::size_t GbkCharLength(std::string_view text, std::size_t pos);

// Characters in the text. Every GBK character is one UTF-16 unit, so this is
// also the length Windows measures names and paths in.
std::size_t GbkCharCount(std::string_view text);

// Whether a character starts at `pos` (the end of the text counts as a boundary).
bool IsGbkCharBoundary(std::string_view text, std::size_t pos);

// ASCII letters in small letters; every other byte as it is.
constexpr char FoldAsciiCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Byte comparison with ASCII letters folded, trail bytes of double-byte characters left alone.
bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b);

// Position of the last `ch` (an ASCII character) that stands as a character of its
// own, never as the trail byte of a double-byte character; npos when there is none.
std::size_t FindLastGbkChar(std::string_view text, char ch);

}  // namespace quandrel

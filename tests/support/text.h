// Test texts: UTF-8 bytes from u8 literals (plain literals are GBK in these sources).
#pragma once

#include <string>
#include <string_view>

namespace quandrel {

inline std::string Utf8Bytes(std::u8string_view text) { return std::string(text.begin(), text.end()); }

}  // namespace quandrel

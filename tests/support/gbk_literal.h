// GBK bytes of a UTF-8 text, converted by the system rather than by the compiler,
// so a test can check the program's own literals against an independent source.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace quandrel::testing {

inline std::string Gbk(std::u8string_view utf8) {
    const std::string bytes(utf8.begin(), utf8.end());
    std::wstring wide(bytes.size(), L'\0');
    wide.resize(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()),
                                                             wide.data(), static_cast<int>(wide.size()))));
    std::string gbk(wide.size() * 2, '\0');
    gbk.resize(
        static_cast<std::size_t>(WideCharToMultiByte(936, 0, wide.data(), static_cast<int>(wide.size()), gbk.data(),
                                                     static_cast<int>(gbk.size()), nullptr, nullptr)));
    return gbk;
}

}  // namespace quandrel::testing

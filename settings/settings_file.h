// The settings file "peizhi.ini" beside the executable: the folder of archives
// and the suffix, kept between uses.
#pragma once

#include <string>
#include <string_view>

namespace quandrel {

struct Settings {
    std::string folder;  // key "路径"; empty when absent
    std::string suffix;  // key "后缀"; empty when absent

    bool operator==(const Settings&) const = default;
};

// Reads take a buffer of this many bytes, so a longer value comes back cut to
// one byte less.
constexpr unsigned kSettingsReadBufferSize = 10240;

// The settings file of the program at `programPath` ("D:\q.exe" gives "D:\peizhi.ini").
std::string SettingsFilePathOf(std::string_view programPath);

// An absent file, section or key reads as the empty text.
Settings ReadSettings(const std::string& iniPath);
// Creates the file and its section when needed. A failed write (read-only file
// or folder) is not reported: the settings are simply not kept.
void WriteSettings(const std::string& iniPath, const Settings& settings);

}  // namespace quandrel

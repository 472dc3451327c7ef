// The settings file "peizhi.ini" beside the executable: the folder of archives
// and the suffix, kept between uses.
#pragma once

#include <string>

namespace quandrel {

struct Settings {
    std::string folder;  // key "路径"; empty when absent
    std::string suffix;  // key "后缀"; empty when absent
};

// The program folder + "\peizhi.ini".
std::string SettingsFilePath();

Settings ReadSettings(const std::string& iniPath);
void WriteSettings(const std::string& iniPath, const Settings& settings);

// The folder the folder box shows before any settings are loaded: the current
// user's desktop folder.
std::string DefaultArchiveFolder();

}  // namespace quandrel

// Placeholder until the settings file is built.
#include "settings/settings_file.h"

namespace quandrel {

std::string SettingsFilePath() { return {}; }
Settings ReadSettings(const std::string&) { return {}; }
void WriteSettings(const std::string&, const Settings&) {}
std::string DefaultArchiveFolder() { return {}; }

}  // namespace quandrel

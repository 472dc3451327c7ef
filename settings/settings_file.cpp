#include "settings/settings_file.h"

#include <windows.h>

#include "base/path_text.h"

namespace quandrel {

namespace {

constexpr char kSection[] = "配置";
constexpr char kFolderKey[] = "路径";
constexpr char kSuffixKey[] = "后缀";
constexpr char kFileName[] = "peizhi.ini";

bool IsProfileSpace(char byte) { return byte == ' ' || byte == '\t'; }

// The profile functions trim spaces around a value and drop one pair of matching
// quotes when reading it back. Quoting exactly those values makes every text
// come back as it was written ("  目录 " stays "  目录 "); other values are
// written plain, an empty one as "key=".
std::string ProfileValue(const std::string& text) {
    if (text.empty()) {
        return text;
    }
    const bool spaceAtEnds = IsProfileSpace(text.front()) || IsProfileSpace(text.back());
    const bool quotedAlready =
        text.size() >= 2 && (text.front() == '"' || text.front() == '\'') && text.back() == text.front();
    return spaceAtEnds || quotedAlready ? "\"" + text + "\"" : text;
}

std::string ReadValue(const std::string& iniPath, const char* key) {
    std::string value(kSettingsReadBufferSize, '\0');
    const DWORD length =
        GetPrivateProfileStringA(kSection, key, "", value.data(), kSettingsReadBufferSize, iniPath.c_str());
    value.resize(length);
    return value;
}

}  // namespace

std::string SettingsFilePathOf(std::string_view programPath) { return JoinPath(FolderOfPath(programPath), kFileName); }

Settings ReadSettings(const std::string& iniPath) {
    return {ReadValue(iniPath, kFolderKey), ReadValue(iniPath, kSuffixKey)};
}

void WriteSettings(const std::string& iniPath, const Settings& settings) {
    // Results ignored on purpose: an unwritable file only means nothing is kept.
    WritePrivateProfileStringA(kSection, kFolderKey, ProfileValue(settings.folder).c_str(), iniPath.c_str());
    WritePrivateProfileStringA(kSection, kSuffixKey, ProfileValue(settings.suffix).c_str(), iniPath.c_str());
}

}  // namespace quandrel

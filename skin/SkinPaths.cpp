#include "skin/SkinPaths.h"

#include <algorithm>

#include "settings/Settings.h"

namespace snickit {

std::string SkinsFolder(const std::string& programFolder) {
    return programFolder + "\\skins\\";
}

std::string SkinFilePath(const std::string& programFolder, const std::string& currentSkin,
                         const std::string& fileName) {
    return SkinsFolder(programFolder) + currentSkin + fileName;
}

std::string SoundFileName(int index) {
    return std::to_string(index + 1) + ".wav";
}

bool StaysInSkinsFolder(std::string_view currentSkin) {
    if (currentSkin.empty()) return true;
    std::string_view name = currentSkin;
    if (name.ends_with('\\')) name.remove_suffix(1);
    const bool drive = name.size() >= 2 && name[1] == ':' && ((name[0] | 0x20) >= 'a' && (name[0] | 0x20) <= 'z');
    return !name.empty() && name != "." && name != ".." && name.find_first_of("\\/") == std::string_view::npos &&
           !drive;
}

bool SurvivesSettingsFile(std::string_view name) {
    const bool control = std::any_of(name.begin(), name.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
    });
    return !name.empty() && !control && name.find('\\') == std::string_view::npos && StaysInSkinsFolder(name) &&
           IsUtf8(name);
}

void KeepSkinNames(std::vector<std::string>& names) {
    std::erase_if(names, [](const std::string& name) { return !SurvivesSettingsFile(name); });
}

}  // namespace snickit

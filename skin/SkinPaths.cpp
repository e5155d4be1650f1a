#include "skin/SkinPaths.h"

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

}  // namespace snickit

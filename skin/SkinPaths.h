// Where a skin's files are: the program folder, "\skins\", the current skin's
// name with its trailing backslash, and the file name, concatenated as they
// are (nothing is inserted, trimmed or checked).
#pragma once

#include <string>

namespace snickit {

std::string SkinsFolder(const std::string& programFolder);
std::string SkinFilePath(const std::string& programFolder, const std::string& currentSkin,
                         const std::string& fileName);
// The sound of sound button `index` (0 to 3): "1.wav" to "4.wav".
std::string SoundFileName(int index);

}  // namespace snickit

// Where a skin's files are: the program folder, "\skins\", the current skin's
// name with its trailing backslash, and the file name, concatenated as they
// are (nothing is inserted, trimmed or checked).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace snickit {

std::string SkinsFolder(const std::string& programFolder);
std::string SkinFilePath(const std::string& programFolder, const std::string& currentSkin,
                         const std::string& fileName);
// The sound of sound button `index` (0 to 3): "1.wav" to "4.wav".
std::string SoundFileName(int index);

// Whether a current skin (a settings file's line 3) names a place inside the
// skins folder: empty, or a name (without its one trailing backslash) that
// is not "." or "..", holds no backslash or slash and starts with no drive
// ("C:"). Any other line names no skin, whatever lies where it leads: its
// files are missing, as those of a skin that does not exist.
bool StaysInSkinsFolder(std::string_view currentSkin);

// Whether a skin folder's name survives the settings file: written as line
// 3 and read back at the next start, on either system, it names the same
// folder again. A name that stays in the skins folder (above), in UTF-8,
// without control characters (a CR would end line 3 early) and without a
// backslash.
bool SurvivesSettingsFile(std::string_view name);

// Leaves out of a skins folder's listing the names that do not survive the
// settings file: every skin Snickit offers (the list, the checker, a
// message's example) can be saved as the current skin.
void KeepSkinNames(std::vector<std::string>& names);

}  // namespace snickit

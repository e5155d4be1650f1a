#include "skin/SkinFailure.h"

#include "settings/Settings.h"
#include "skin/SkinPaths.h"

namespace snickit {

std::string SkinFailureAdvice(Platform& platform, const std::string& failedPath) {
    const std::string programFolder = platform.ProgramFolder();
    const std::string skins = SkinsFolder(programFolder);
    if (failedPath.size() <= skins.size() || failedPath.compare(0, skins.size(), skins) != 0) return "";
    const std::string rest = failedPath.substr(skins.size());
    const size_t slash = rest.find('\\');
    std::string skin = slash == std::string::npos ? "" : rest.substr(0, slash);

    // The skin config.sn names is the one every start loads.
    const std::string settingsPath = LocateSettings(platform, programFolder).read;
    const std::string config = platform.DisplayPath(settingsPath);
    std::string stored;
    bool readable = true;
    try {
        stored = ParseSettings(platform.ReadTextFile(settingsPath), settingsPath).currentSkin;
    } catch (const Failure&) {
        readable = false;
    }
    // A line 3 that leads out of the skins folder names no skin folder; the
    // failing file is then one of its files.
    const bool strayLine = readable && !StaysInSkinsFolder(stored) && rest.starts_with(stored);
    if (strayLine) skin.clear();
    std::string example;
    try {
        std::vector<std::string> names = platform.ListSubfolders(skins);
        KeepSkinNames(names);
        for (const std::string& name : names)
            if (name != skin) {
                example = ", for example " + name + "\\";
                break;
            }
    } catch (const Failure&) {
    }

    const std::string checker = " (snickit-skin-check, beside Snickit, tells what is wrong with a skin)";
    std::string text = skin.empty() ? "\n\nThe last line of " + config + " names no skin folder."
                                    : "\n\nThe file belongs to the skin \"" + skin + "\".";
    if (readable && !strayLine && stored != (skin.empty() ? "" : skin + "\\")) {
        text += " " + config + " still names the skin \"" + stored.substr(0, stored.find_last_of('\\')) +
                "\", so Snickit starts with it as before. Fix this skin's file" + checker +
                " before choosing the skin again.";
    } else if (strayLine) {
        text += " Snickit stops this way at every start until you change the last line of " + config +
                " to the name of a folder in the skins folder followed by a backslash" + example + ".";
    } else {
        text += " Snickit stops this way at every start until you fix that file" + checker +
                " or choose another skin: change the last line of " + config +
                " to the name of another folder in the skins folder followed by a backslash" + example + ".";
    }
    return text;
}

}  // namespace snickit

// Start-up: restore the place and the skin, list the skins, show the about
// picture and wait for OK, then show the pad with the current skin.
#include <string_view>

#include "settings/Settings.h"
#include "shell/FormMain.h"
#include "skin/SkinPaths.h"

namespace snickit {

void Form_Main::Form_Load() {
    const std::string& programFolder = programFolder_;
    const std::string skinsFolder = SkinsFolder(programFolder);

    // The folder lister looks at the skins folder.
    Dir1.SetPath(skinsFolder);

    // The settings file: place (the window is still hidden) and skin.
    // Beside the program, or in the user's own folder when this user may
    // not replace the program's file.
    settings_ = LocateSettings(platform_, programFolder);
    StoredSettings settings = ParseSettings(platform_.ReadTextFile(settings_.read), settings_.read);
    window_.SetPosition(TwipsToPixels(settings.left, twipsPerPixel_), TwipsToPixels(settings.top, twipsPerPixel_));
    // A place on no monitor (one taken away, another layout) would leave the
    // window out of reach.
    KeepInReach();
    CurrentSkin = settings.currentSkin;

    // One list entry per skin folder, by its bare name.
    List1.AddItems(Dir1.TakeNames());
    List1.Publish();

    // Select the stored skin's entry: its name and one backslash, compared
    // exactly. The selection previews it while the window is still hidden.
    const bool named = CurrentSkin.ends_with('\\');
    const std::string_view storedName(CurrentSkin.data(), named ? CurrentSkin.size() - 1 : 0);
    for (int i = 0; named && i < List1.ListCount(); ++i) {
        if (List1.List(i) == storedName) {
            if (List1.SetListIndex(i)) List1_Click();
        }
    }

    // The about picture sets the window's size; show it and wait.
    window_.SetSize(Picture_Splach.Picture->Width() * scale_, Picture_Splach.Picture->Height() * scale_);
    SetPicture(Picture_Splach);
    AboutOpen = 1;
    window_.Show();
    WaitForOk();

    // The pad screen, then the skin's pictures.
    for (HotSpot& button : Image_BTN) button.Show();
    Image_Menu.Show();
    command_Ok.Hide();
    Image_Net.Hide();
    LoadSkin();
}

}  // namespace snickit

// Moving, minimizing and quitting: what a frame would give a window that has
// none.
#include "settings/Settings.h"
#include "shell/FormMain.h"

namespace snickit {

// A press on the background, with any button, moves the window until that
// button is released.
void Form_Main::Form_MouseDown(int button, int /*shift*/, float /*x*/, float /*y*/) {
    captured_ = nullptr;
    heldButtons_ = 0;
    window_.InteractiveMove(static_cast<MouseButton>(button));
}

void Form_Main::Image_Min_Click() {
    window_.Minimize();
}

// Both quit hot spots: save the place and the skin, then end at once.
void Form_Main::Image_quit_Click(int /*index*/) {
    StoredSettings settings;
    settings.left = Left();
    settings.top = Top();
    settings.currentSkin = CurrentSkin;
    if (!settings_.folder.empty()) platform_.MakeFolders(settings_.folder);
    platform_.WriteTextFileAtomic(settings_.write, FormatSettings(settings));
    throw ProgramExit{0};
}

}  // namespace snickit

#include "shell/FormMain.h"

namespace snickit {

// Toggles between the pad and the menu. Whether the menu shows is read from
// the Skins item's visibility; the picture changes before the hot spots.
void Form_Main::Image_Menu_Click() {
    if (!Image_skin.Visible()) {
        SetPicture(Picture_Menu);
        Image_skin.Show();
        Image_About.Show();
        Image_quit[1].Show();
        for (HotSpot& button : Image_BTN) button.Hide();
    } else {
        SetPicture(Picture_Etat1);
        Image_skin.Hide();
        Image_About.Hide();
        Image_quit[1].Hide();
        for (HotSpot& button : Image_BTN) button.Show();
    }
}

}  // namespace snickit

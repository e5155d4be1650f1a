// The skin chooser: the list of skin folders over the current skin's normal
// picture. A selection previews a skin (and makes it current); a double
// click applies it and returns to the pad.
#include "shell/FormMain.h"

namespace snickit {

void Form_Main::Image_skin_Click() {
    SetPicture(Picture_Etat1);
    Image_Menu.Hide();
    Image_skin.Hide();
    Image_About.Hide();
    Image_quit[1].Hide();
    for (HotSpot& button : Image_BTN) button.Hide();
    List1.Move(6, 21, 227, 67);
    List1.Show();
}

void Form_Main::List1_Click() {
    CurrentSkin = List1.Text() + "\\";
    LoadSkinPicture(Picture_Etat1, "box.bmp");
    SetPicture(Picture_Etat1);
}

void Form_Main::List1_DblClick() {
    // A double click where nothing is selected (an empty list) does nothing.
    if (List1.ListIndex() < 0) return;
    List1.Hide();
    CurrentSkin = List1.Text() + "\\";
    for (HotSpot& button : Image_BTN) button.Show();
    Image_Menu.Show();
    LoadSkinPicture(Picture_Etat2, "box2.bmp");
    LoadSkinPicture(Picture_Menu, "menu.bmp");
}

}  // namespace snickit

#include "shell/FormMain.h"

namespace snickit {

// Loads the current skin's three pictures, then shows the normal one. Each
// path is built afresh from CurrentSkin; a missing or unreadable picture
// ends the program.
void Form_Main::LoadSkin() {
    LoadSkinPicture(Picture_Etat1, "box.bmp");
    LoadSkinPicture(Picture_Etat2, "box2.bmp");
    LoadSkinPicture(Picture_Menu, "menu.bmp");
    SetPicture(Picture_Etat1);
}

}  // namespace snickit

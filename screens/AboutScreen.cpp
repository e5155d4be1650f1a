// The about screen: the built-in picture with OK and the web link. From the
// menu it waits for OK, then returns to the pad with the skin loaded again.
#include "shell/FormMain.h"

namespace snickit {

// The product's web page, opened by the maker's logo on the about picture.
const char* const kProductWebPage = "https://snickit.example.org/";

void Form_Main::Image_About_Click() {
    for (HotSpot& button : Image_BTN) button.Hide();
    Image_skin.Hide();
    Image_About.Hide();
    Image_quit[1].Hide();
    Image_Menu.Hide();
    SetPicture(Picture_Splach);
    command_Ok.Show();
    Image_Net.Show();

    WaitForOk();

    for (HotSpot& button : Image_BTN) button.Show();
    command_Ok.Hide();
    Image_Net.Hide();
    Image_Menu.Show();
    LoadSkin();
}

void Form_Main::Command_OK_Click() {
    AboutOpen = 0;
}

// Opening the page is a courtesy: when no opener can be started, the about
// screen simply stays.
void Form_Main::Image_Net_Click() {
    platform_.OpenUrl(kProductWebPage);
}

}  // namespace snickit

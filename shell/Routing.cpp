// Raw input to handlers, the same for every backend.
//
// A press goes to the list when it is shown and under the point (the list
// lies above all hot spots and handles its own mouse), else to the highest
// visible hot spot under the point, else to the window background. The
// pressed hot spot holds the capture until every button pressed on it is
// released, so a release outside it still reaches it. A click is a press and
// a release on the same hot spot.
//
// Handlers may dispatch events again (the OK waits, the pass at the end of
// each sound-button handler, the move), so every entry here can be re-entered
// from inside a handler that an earlier entry started.
#include "shell/FormMain.h"

namespace snickit {

HotSpot* Form_Main::HitTest(float x, float y) {
    for (HotSpot* spot : stacking_) {
        if (spot->Visible() && spot->Rect().Contains(x, y)) return spot;
    }
    return nullptr;
}

void Form_Main::MouseDown(MouseButton button, int x, int y) {
    const unsigned bit = static_cast<unsigned>(button);
    if (captured_ == nullptr) {
        const PixelRect& list = List1.Bounds();
        if (List1.Visible() && x >= list.left && x < list.left + list.width && y >= list.top &&
            y < list.top + list.height) {
            return;
        }
        HotSpot* spot = HitTest(static_cast<float>(x), static_cast<float>(y));
        if (spot == nullptr) {
            Form_MouseDown(static_cast<int>(button), 0, static_cast<float>(x), static_cast<float>(y));
            return;
        }
        captured_ = spot;
        heldButtons_ = 0;
    }
    heldButtons_ |= bit;
    for (int i = 0; i < 4; ++i) {
        if (captured_ == &Image_BTN[i]) {
            Image_BTN_MouseDown(i, static_cast<int>(button), 0, static_cast<float>(x), static_cast<float>(y));
            return;
        }
    }
}

void Form_Main::MouseUp(MouseButton button, int x, int y) {
    const unsigned bit = static_cast<unsigned>(button);
    if (captured_ == nullptr || (heldButtons_ & bit) == 0) return;
    HotSpot* spot = captured_;
    heldButtons_ &= ~bit;
    if (heldButtons_ == 0) captured_ = nullptr;
    for (int i = 0; i < 4; ++i) {
        if (spot == &Image_BTN[i]) {
            Image_BTN_MouseUp(i, static_cast<int>(button), 0, static_cast<float>(x), static_cast<float>(y));
            return;
        }
    }
    if (captured_ == nullptr && spot->Visible() && spot->Rect().Contains(static_cast<float>(x), static_cast<float>(y))) {
        Click(*spot);
    }
}

void Form_Main::Click(HotSpot& spot) {
    if (&spot == &Image_Menu) Image_Menu_Click();
    else if (&spot == &Image_Min) Image_Min_Click();
    else if (&spot == &Image_quit[0]) Image_quit_Click(0);
    else if (&spot == &Image_quit[1]) Image_quit_Click(1);
    else if (&spot == &Image_skin) Image_skin_Click();
    else if (&spot == &Image_About) Image_About_Click();
    else if (&spot == &command_Ok) Command_OK_Click();
    else if (&spot == &Image_Net) Image_Net_Click();
}

bool Form_Main::KeyDown(int virtualKey) {
    return Form_KeyDown(virtualKey, 0);
}

void Form_Main::KeyUp(int virtualKey) {
    Form_KeyUp(virtualKey, 0);
}

void Form_Main::ListSelect(int index) {
    if (index < 0 || index >= List1.ListCount()) return;
    if (List1.SetListIndex(index)) List1_Click();
}

void Form_Main::ListDoubleClick() {
    List1_DblClick();
}

void Form_Main::CloseRequested() {
    // A close from outside (window manager, task bar) ends the program
    // without saving, also while an OK wait runs: the settings file is
    // written only by the program's own quit.
    throw ProgramExit{0};
}

}  // namespace snickit

// Keypad 1 to 4 (virtual keys 97 to 100) press and release the four sound
// buttons, on every screen, also while the skin list has the focus (the
// list then does not see them). Every other key is left to the list.
#include "shell/FormMain.h"

namespace snickit {

namespace {
constexpr int kKeypad1 = 97;

// The button a key stands for, or -1.
int ButtonOfKey(int keyCode) {
    unsigned offset = static_cast<unsigned>(keyCode - kKeypad1);
    return offset > 3 ? -1 : static_cast<int>(offset);
}
}  // namespace

bool Form_Main::Form_KeyDown(int keyCode, int /*shift*/) {
    int index = ButtonOfKey(keyCode);
    if (index < 0) return false;
    Image_BTN_MouseDown(index, 0, 0, 0, 0);
    return true;
}

void Form_Main::Form_KeyUp(int keyCode, int /*shift*/) {
    int index = ButtonOfKey(keyCode);
    if (index >= 0) Image_BTN_MouseUp(index, 0, 0, 0, 0);
}

}  // namespace snickit

#include "platform/sdl/KeyMap.h"

namespace snickit::sdl {

namespace {

enum Vk {
    kBack = 8, kTab = 9, kClear = 12, kReturn = 13, kShift = 16, kControl = 17,
    kMenu = 18, kPause = 19, kCapital = 20, kEscape = 27, kSpace = 32,
    kPrior = 33, kNext = 34, kEnd = 35, kHome = 36, kLeft = 37, kUp = 38,
    kRight = 39, kDown = 40, kSnapshot = 44, kInsert = 45, kDelete = 46,
    kLWin = 91, kRWin = 92, kApps = 93, kNumpad0 = 96, kMultiply = 106,
    kAdd = 107, kSubtract = 109, kDecimal = 110, kDivide = 111, kF1 = 112,
    kNumLock = 144, kScroll = 145,
};

// The keypad's second meaning, used while NumLock is off: keypad 0 to 9,
// then the keypad's point.
constexpr int kKeypadNavigation[] = {kInsert, kEnd, kDown, kNext, kLeft, kClear,
                                     kRight, kHome, kUp, kPrior};

int KeypadKey(SDL_Scancode code, bool numLockOn) {
    if (code >= SDL_SCANCODE_KP_1 && code <= SDL_SCANCODE_KP_0) {
        // SDL orders the keypad digits 1, 2, ..., 9, 0.
        const int digit = code == SDL_SCANCODE_KP_0 ? 0 : code - SDL_SCANCODE_KP_1 + 1;
        return numLockOn ? kNumpad0 + digit : kKeypadNavigation[digit];
    }
    switch (code) {
    case SDL_SCANCODE_KP_PERIOD: return numLockOn ? kDecimal : kDelete;
    case SDL_SCANCODE_KP_DIVIDE: return kDivide;
    case SDL_SCANCODE_KP_MULTIPLY: return kMultiply;
    case SDL_SCANCODE_KP_MINUS: return kSubtract;
    case SDL_SCANCODE_KP_PLUS: return kAdd;
    case SDL_SCANCODE_KP_ENTER: return kReturn;
    default: return 0;
    }
}

}  // namespace

int VirtualKeyFor(const SDL_Keysym& key, bool numLockOn) {
    const SDL_Scancode code = key.scancode;
    if (const int keypad = KeypadKey(code, numLockOn)) return keypad;

    // Letters follow the keyboard layout, as the system's key codes do.
    if (key.sym >= SDLK_a && key.sym <= SDLK_z) return 'A' + (key.sym - SDLK_a);
    if (code >= SDL_SCANCODE_A && code <= SDL_SCANCODE_Z) return 'A' + (code - SDL_SCANCODE_A);
    // The digit row keeps its place whatever the layout prints on it.
    if (code >= SDL_SCANCODE_1 && code <= SDL_SCANCODE_9) return '1' + (code - SDL_SCANCODE_1);
    if (code == SDL_SCANCODE_0) return '0';
    if (code >= SDL_SCANCODE_F1 && code <= SDL_SCANCODE_F12) return kF1 + (code - SDL_SCANCODE_F1);

    switch (code) {
    case SDL_SCANCODE_RETURN: return kReturn;
    case SDL_SCANCODE_ESCAPE: return kEscape;
    case SDL_SCANCODE_BACKSPACE: return kBack;
    case SDL_SCANCODE_TAB: return kTab;
    case SDL_SCANCODE_SPACE: return kSpace;
    case SDL_SCANCODE_MINUS: return 189;
    case SDL_SCANCODE_EQUALS: return 187;
    case SDL_SCANCODE_LEFTBRACKET: return 219;
    case SDL_SCANCODE_RIGHTBRACKET: return 221;
    case SDL_SCANCODE_BACKSLASH: return 220;
    case SDL_SCANCODE_SEMICOLON: return 186;
    case SDL_SCANCODE_APOSTROPHE: return 222;
    case SDL_SCANCODE_GRAVE: return 192;
    case SDL_SCANCODE_COMMA: return 188;
    case SDL_SCANCODE_PERIOD: return 190;
    case SDL_SCANCODE_SLASH: return 191;
    case SDL_SCANCODE_NONUSBACKSLASH: return 226;
    case SDL_SCANCODE_CAPSLOCK: return kCapital;
    case SDL_SCANCODE_PRINTSCREEN: return kSnapshot;
    case SDL_SCANCODE_SCROLLLOCK: return kScroll;
    case SDL_SCANCODE_PAUSE: return kPause;
    case SDL_SCANCODE_INSERT: return kInsert;
    case SDL_SCANCODE_HOME: return kHome;
    case SDL_SCANCODE_PAGEUP: return kPrior;
    case SDL_SCANCODE_DELETE: return kDelete;
    case SDL_SCANCODE_END: return kEnd;
    case SDL_SCANCODE_PAGEDOWN: return kNext;
    case SDL_SCANCODE_RIGHT: return kRight;
    case SDL_SCANCODE_LEFT: return kLeft;
    case SDL_SCANCODE_DOWN: return kDown;
    case SDL_SCANCODE_UP: return kUp;
    case SDL_SCANCODE_NUMLOCKCLEAR: return kNumLock;
    case SDL_SCANCODE_APPLICATION: return kApps;
    case SDL_SCANCODE_LCTRL: case SDL_SCANCODE_RCTRL: return kControl;
    case SDL_SCANCODE_LSHIFT: case SDL_SCANCODE_RSHIFT: return kShift;
    case SDL_SCANCODE_LALT: case SDL_SCANCODE_RALT: return kMenu;
    case SDL_SCANCODE_LGUI: return kLWin;
    case SDL_SCANCODE_RGUI: return kRWin;
    default: return 0;
    }
}

int ShiftMaskFor(Uint16 mod) {
    int mask = 0;
    if (mod & KMOD_SHIFT) mask |= 1;
    if (mod & KMOD_CTRL) mask |= 2;
    if (mod & KMOD_ALT) mask |= 4;
    return mask;
}

}  // namespace snickit::sdl

#include "platform/sdl/KeyMap.h"

namespace snickit::sdl {

namespace {

enum Vk { kPrior = 33, kNext = 34, kEnd = 35, kHome = 36, kUp = 38, kDown = 40 };

// Keypad 0 to 9: with NumLock on, keypad 1 to 4 are the sound buttons' keys
// (97 to 100); with it off, the keys the list uses.
struct KeypadKey {
    int numLockOn, numLockOff;
};
constexpr KeypadKey kKeypad[10] = {{0, 0},   {97, kEnd}, {98, kDown}, {99, kNext}, {100, 0},
                                   {0, 0},   {0, 0},     {0, kHome},  {0, kUp},    {0, kPrior}};

}  // namespace

int VirtualKeyFor(SDL_Scancode code, bool numLockOn) {
    if (code >= SDL_SCANCODE_KP_1 && code <= SDL_SCANCODE_KP_0) {
        // SDL orders the keypad digits 1, 2, ..., 9, 0.
        const KeypadKey& key = kKeypad[code == SDL_SCANCODE_KP_0 ? 0 : code - SDL_SCANCODE_KP_1 + 1];
        return numLockOn ? key.numLockOn : key.numLockOff;
    }
    switch (code) {
    case SDL_SCANCODE_HOME: return kHome;
    case SDL_SCANCODE_PAGEUP: return kPrior;
    case SDL_SCANCODE_END: return kEnd;
    case SDL_SCANCODE_PAGEDOWN: return kNext;
    case SDL_SCANCODE_DOWN: return kDown;
    case SDL_SCANCODE_UP: return kUp;
    default: return 0;
    }
}

char32_t TypedCharacter(const SDL_Keysym& key) {
    if (key.mod & (KMOD_CTRL | KMOD_ALT | KMOD_GUI)) return 0;
    if (key.scancode >= SDL_SCANCODE_KP_1 && key.scancode <= SDL_SCANCODE_KP_0) {
        if (!(key.mod & KMOD_NUM)) return 0;
        return key.scancode == SDL_SCANCODE_KP_0 ? U'0' : U'1' + (key.scancode - SDL_SCANCODE_KP_1);
    }
    const SDL_Keycode sym = key.sym;
    // Control characters (Return, Esc, Backspace, Tab, Delete) and keys
    // without a character of their own type nothing.
    if ((sym & SDLK_SCANCODE_MASK) || sym < 0x20 || sym == 0x7F || sym > 0x10FFFF) return 0;
    const bool asciiLetter = sym >= 'a' && sym <= 'z';
    if ((key.mod & KMOD_SHIFT) && sym < 0x80 && !asciiLetter) return 0;
    return static_cast<char32_t>(sym);
}

}  // namespace snickit::sdl

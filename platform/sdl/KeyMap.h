// SDL keys to the Windows virtual-key codes that the program's logic and
// the drawn list work with.
#pragma once

#include <SDL.h>

namespace snickit::sdl {

// The virtual-key code of a key, or 0 for a key that neither the program
// nor the list uses. Translated are the keypad's digits and the list's
// navigation keys (arrows up and down, Home, End, Page Up, Page Down). The
// keypad follows the NumLock state given (SDL 2 reports the keypad's own
// keys whatever NumLock says): with NumLock on keypad 1 to 4 are 97 to 100,
// with it off keypad 1 is End (35), keypad 2 Down (40), and so on.
int VirtualKeyFor(SDL_Scancode code, bool numLockOn);

// The character a key types into the list's search, or 0 for none. Keys
// come as key events (no text input): the key's character in the keyboard's
// layout, a letter whatever Shift says (the search ignores letter case),
// keypad digits with NumLock on. Nothing with Ctrl, Alt or the system key
// held, and nothing for another key with Shift held, whose character the
// key event does not tell.
char32_t TypedCharacter(const SDL_Keysym& key);

}  // namespace snickit::sdl

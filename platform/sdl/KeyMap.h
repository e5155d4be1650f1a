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

// The modifier mask of a key event: 1 Shift, 2 Ctrl, 4 Alt.
int ShiftMaskFor(Uint16 mod);

}  // namespace snickit::sdl

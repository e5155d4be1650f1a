// The SDL key table: only the keys the program and the skin list use get a
// virtual-key code, the keypad following NumLock; and the characters a key
// types into the list's search.
#include <gtest/gtest.h>

#include "platform/sdl/KeyMap.h"

namespace snickit::sdl {
namespace {

TEST(SdlKeys, TranslatesTheKeysTheProgramAndTheListUseAndNoOthers) {
    const struct { SDL_Scancode key; bool numLock; int expected; } rows[] = {
        {SDL_SCANCODE_KP_1, true, 97},   {SDL_SCANCODE_KP_2, true, 98},    {SDL_SCANCODE_KP_3, true, 99},
        {SDL_SCANCODE_KP_4, true, 100},  {SDL_SCANCODE_KP_5, true, 0},     {SDL_SCANCODE_KP_1, false, 35},
        {SDL_SCANCODE_KP_2, false, 40},  {SDL_SCANCODE_KP_3, false, 34},   {SDL_SCANCODE_KP_4, false, 0},
        {SDL_SCANCODE_KP_7, false, 36},  {SDL_SCANCODE_KP_8, false, 38},   {SDL_SCANCODE_KP_9, false, 33},
        {SDL_SCANCODE_KP_0, false, 0},   {SDL_SCANCODE_UP, false, 38},     {SDL_SCANCODE_DOWN, true, 40},
        {SDL_SCANCODE_HOME, true, 36},   {SDL_SCANCODE_END, true, 35},     {SDL_SCANCODE_PAGEUP, true, 33},
        {SDL_SCANCODE_PAGEDOWN, true, 34}, {SDL_SCANCODE_A, true, 0},
    };
    for (const auto& row : rows)
        EXPECT_EQ(VirtualKeyFor(row.key, row.numLock), row.expected)
            << SDL_GetScancodeName(row.key) << (row.numLock ? " with" : " without") << " NumLock";
}

TEST(SdlKeys, TypesTheCharactersTheKeyEventTells) {
    const struct { SDL_Scancode code; SDL_Keycode sym; Uint16 mod; char32_t typed; } rows[] = {
        {SDL_SCANCODE_A, SDLK_a, KMOD_NONE, U'a'},
        {SDL_SCANCODE_A, SDLK_a, KMOD_LSHIFT | KMOD_CAPS, U'a'},  // case is the search's business
        {SDL_SCANCODE_A, SDLK_a, KMOD_RCTRL, 0},
        {SDL_SCANCODE_A, SDLK_a, KMOD_LALT, 0},
        {SDL_SCANCODE_1, SDLK_1, KMOD_NONE, U'1'},
        {SDL_SCANCODE_1, SDLK_1, KMOD_RSHIFT, 0},                  // what Shift makes of it is the layout's
        {SDL_SCANCODE_R, 0x43A, KMOD_LSHIFT, U'\u043A'},            // a Cyrillic layout's letter
        {SDL_SCANCODE_KP_0, SDLK_KP_0, KMOD_NUM, U'0'},
        {SDL_SCANCODE_KP_9, SDLK_KP_9, KMOD_NUM, U'9'},
        {SDL_SCANCODE_KP_9, SDLK_KP_9, KMOD_NONE, 0},
        {SDL_SCANCODE_RETURN, SDLK_RETURN, KMOD_NONE, 0},
        {SDL_SCANCODE_DELETE, SDLK_DELETE, KMOD_NONE, 0},
        {SDL_SCANCODE_F1, SDLK_F1, KMOD_NONE, 0},
    };
    for (const auto& row : rows) {
        const SDL_Keysym key{row.code, row.sym, row.mod, 0};
        EXPECT_EQ(TypedCharacter(key), row.typed) << SDL_GetScancodeName(row.code) << " mod " << row.mod;
    }
}

}  // namespace
}  // namespace snickit::sdl

// The SDL key table: only the keys the program and the skin list use get a
// virtual-key code; the keypad follows NumLock.
#include <gtest/gtest.h>

#include <tuple>

#include "platform/sdl/KeyMap.h"

namespace snickit::sdl {
namespace {

TEST(SdlKeys, TranslatesTheKeysTheProgramAndTheListUseAndNoOthers) {
    const struct { SDL_Scancode key; bool numLock; int expected; } rows[] = {
        {SDL_SCANCODE_KP_1, true, 97},  {SDL_SCANCODE_KP_2, true, 98},   {SDL_SCANCODE_KP_3, true, 99},
        {SDL_SCANCODE_KP_4, true, 100}, {SDL_SCANCODE_KP_5, true, 0},    {SDL_SCANCODE_KP_0, true, 0},
        {SDL_SCANCODE_KP_1, false, 35}, {SDL_SCANCODE_KP_2, false, 40},  {SDL_SCANCODE_KP_3, false, 34},
        {SDL_SCANCODE_KP_4, false, 0},  {SDL_SCANCODE_KP_7, false, 36},  {SDL_SCANCODE_KP_8, false, 38},
        {SDL_SCANCODE_KP_9, false, 33}, {SDL_SCANCODE_KP_0, false, 0},   {SDL_SCANCODE_UP, true, 38},
        {SDL_SCANCODE_DOWN, false, 40}, {SDL_SCANCODE_HOME, true, 36},   {SDL_SCANCODE_END, true, 35},
        {SDL_SCANCODE_PAGEUP, true, 33}, {SDL_SCANCODE_PAGEDOWN, true, 34}, {SDL_SCANCODE_1, true, 0},
        {SDL_SCANCODE_A, true, 0},      {SDL_SCANCODE_LEFT, true, 0},    {SDL_SCANCODE_ESCAPE, true, 0},
        {SDL_SCANCODE_KP_ENTER, true, 0},
    };
    for (const auto& row : rows)
        EXPECT_EQ(VirtualKeyFor(row.key, row.numLock), row.expected)
            << SDL_GetScancodeName(row.key) << (row.numLock ? " with" : " without") << " NumLock";
    EXPECT_EQ(std::tuple(ShiftMaskFor(KMOD_LSHIFT), ShiftMaskFor(KMOD_RCTRL | KMOD_NUM), ShiftMaskFor(KMOD_LALT | KMOD_RSHIFT)),
              std::tuple(1, 2, 5));
}

}  // namespace
}  // namespace snickit::sdl

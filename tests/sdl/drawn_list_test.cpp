// The SDL backend's input: the key table (only the keys the program and the
// skin list use get a virtual-key code, the keypad following NumLock) and the
// characters a key types into the list's search; the desktop's density as
// read from GDK_SCALE and the X resources; and the drawn skin list at its
// seam: input in as plain values, selection,
// double clicks, typing and scrolling out; and what it draws, in every script
// and at twice the size. Ten entries in the chooser's place (6, 21, 227 x 67):
// rows of 13 pixels from y 23, four of them whole, the scroll bar from x 215;
// at scale 2 (12, 42, 454 x 134): rows of 26 from y 46, the scroll bar from
// x 430.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "platform/sdl/DesktopDensity.h"
#include "platform/sdl/DrawnList.h"
#include "platform/sdl/KeyMap.h"
#include "platform/sdl/ListText.h"

#if defined(__SANITIZE_ADDRESS__)
// fontconfig keeps, unreferenced, a little of what it read from its own
// configuration files when it started (allocated while expat parses them):
// not the list's to free.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so.1\n"; }
#endif

namespace snickit::sdl {
namespace {

TEST(SdlKeys, TranslatesTheKeysTheProgramAndTheListUseAndNoOthers) {
    // Keypad 1 to 9, then 0: the sound buttons' keys with NumLock on, the list's keys with it off.
    const int numLockOn[] = {97, 98, 99, 100, 0, 0, 0, 0, 0, 0}, numLockOff[] = {35, 40, 34, 0, 0, 0, 36, 38, 33, 0};
    for (int i = 0; i < 10; ++i) {
        const auto key = static_cast<SDL_Scancode>(SDL_SCANCODE_KP_1 + i);
        EXPECT_EQ(VirtualKeyFor(key, true), numLockOn[i]) << SDL_GetScancodeName(key) << " with NumLock";
        EXPECT_EQ(VirtualKeyFor(key, false), numLockOff[i]) << SDL_GetScancodeName(key) << " without NumLock";
    }
    const struct { SDL_Scancode key; int expected; } rows[] = {
        {SDL_SCANCODE_UP, 38}, {SDL_SCANCODE_DOWN, 40}, {SDL_SCANCODE_HOME, 36}, {SDL_SCANCODE_END, 35},
        {SDL_SCANCODE_PAGEUP, 33}, {SDL_SCANCODE_PAGEDOWN, 34}, {SDL_SCANCODE_A, 0},
    };
    for (const auto& row : rows)
        for (bool numLock : {false, true}) EXPECT_EQ(VirtualKeyFor(row.key, numLock), row.expected) << row.key;
}

TEST(SdlKeys, TypesTheCharactersTheKeyEventTells) {
    const struct { SDL_Scancode code; SDL_Keycode sym; Uint16 mod; char32_t typed; } rows[] = {
        {SDL_SCANCODE_A, SDLK_a, KMOD_LSHIFT | KMOD_CAPS, U'a'},  // case is the search's business
        {SDL_SCANCODE_A, SDLK_a, KMOD_RCTRL, 0}, {SDL_SCANCODE_A, SDLK_a, KMOD_LALT, 0},
        {SDL_SCANCODE_1, SDLK_1, KMOD_NONE, U'1'}, {SDL_SCANCODE_1, SDLK_1, KMOD_RSHIFT, 0},  // Shift: the layout's
        {SDL_SCANCODE_R, 0x43A, KMOD_LSHIFT, U'\u043A'},  // a Cyrillic layout's letter
        {SDL_SCANCODE_KP_0, SDLK_KP_0, KMOD_NUM, U'0'}, {SDL_SCANCODE_KP_9, SDLK_KP_9, KMOD_NUM, U'9'},
        {SDL_SCANCODE_KP_9, SDLK_KP_9, KMOD_NONE, 0}, {SDL_SCANCODE_RETURN, SDLK_RETURN, KMOD_NONE, 0},
        {SDL_SCANCODE_DELETE, SDLK_DELETE, KMOD_NONE, 0}, {SDL_SCANCODE_F1, SDLK_F1, KMOD_NONE, 0},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(TypedCharacter({row.code, row.sym, row.mod, 0}), row.typed)
            << SDL_GetScancodeName(row.code) << " mod " << row.mod;
    }
}

TEST(SdlDensity, ReadsWholeScalesAndXftDpiAndRejectsTheRest) {
    const struct { const char* text; int scale; } scales[] = {
        {nullptr, 0}, {"", 0}, {"2", 2}, {"3", 3}, {"1.5", 0}, {"-2", 0}, {"2x", 0}, {" 2", 0}, {"99999999999", 0},
    };
    for (const auto& row : scales) EXPECT_EQ(WholeScaleFromText(row.text), row.scale) << (row.text ? row.text : "null");
    const struct { const char* resources; int dotsPerInch; } resources[] = {
        {nullptr, 0}, {"", 0}, {"Xft.antialias:\t1\nXft.dpi:\t144.4\nXft.hinting:\t1\n", 144},
        {"Xft.dpi: 120.5 \n", 121}, {"*dpi:\t192\n", 192} /* as a wildcard matches it */, {"Xft.dpi:\t0\n", 0},
        {"Xft.dpi:\tlarge\n", 0}, {"Xft.dpi:\t192dpi\n", 0}, {"Xft.dpi:\t1e9\n", 0}, {"Xcursor.size:\t48\n", 0},
    };
    for (const auto& row : resources)
        EXPECT_EQ(DotsPerInchFromResources(row.resources), row.dotsPerInch) << (row.resources ? row.resources : "null");
}

DrawnList TenEntries(int scale = 1) {
    DrawnList list;
    // Кот, кит and Été for typing in other scripts.
    list.SetItems({"alpha", "Apple", "beta", "Blue", "\xD0\x9A\xD0\xBE\xD1\x82", "\xD0\xBA\xD0\xB8\xD1\x82",
                   "\xC3\x89t\xC3\xA9", "zed", "y", "x"});
    list.SetScale(scale);
    list.SetBounds({6 * scale, 21 * scale, 227 * scale, 67 * scale});
    list.SetVisible(true);
    return list;
}

TEST(DrawnList, APressSelectsTheRowUnderItAndNothingElse) {
    const struct { int scale, x, y, top, selected; } rows[] = {
        {1, 10, 23, 0, 0}, {1, 10, 35, 0, 0}, {1, 10, 36, 0, 1}, {1, 214, 74, 0, 3}, {1, 10, 85, 0, 4},
        {1, 10, 74, 6, 9}, {1, 10, 80, 6, -1},  // under the last
        {1, 215, 60, 0, -1}, {1, 7, 50, 0, -1}, {1, 10, 87, 0, -1}, {1, 10, 22, 0, -1},  // scroll bar, border
        {2, 16, 46, 0, 0}, {2, 16, 71, 0, 0}, {2, 16, 72, 0, 1}, {2, 429, 150, 0, 4},
        {2, 430, 120, 0, -1}, {2, 15, 100, 0, -1}, {2, 16, 45, 0, -1}, {2, 16, 172, 0, -1},
    };
    for (const auto& row : rows) {
        DrawnList list = TenEntries(row.scale);
        list.Wheel(-row.top / 3);  // three rows a notch
        ASSERT_EQ(list.TopIndex(), row.top);
        const DrawnList::Outcome outcome = list.LeftDown(row.x, row.y, 1000);
        EXPECT_EQ(std::tuple(list.Selection(), outcome.selectionChanged, outcome.doubleClick),
                  std::tuple(row.selected, row.selected >= 0, false))
            << row.x << "," << row.y << " from row " << row.top << " at scale " << row.scale;
    }
}

// A typed character selects the next entry after the selection that starts
// with it, letter case ignored, round from the end. Key: a virtual key.
// Outcome: whether the selection changed, or a double click was made.
TEST(DrawnList, ClicksKeysTypingWheelAndScrollBarWorkAsOnTheDesktop) {
    enum Kind { Press, Key, Type, Wheel, Drag, Release };
    enum Outcome { None, Changed, Double };
    const struct { Kind kind; int a, b; unsigned time; int selected, top; Outcome outcome; } steps[] = {
        {Type, 'b', 0, 0, -1, 0, None}, {Key, 40, 0, 0, -1, 0, None},  // no focus before a press
        {Press, 220, 30, 0, -1, 0, None},                                // on the scroll bar: the focus only
        {Type, 'B', 0, 0, 2, 0, Changed}, {Type, 'b', 0, 0, 3, 0, Changed},  // from the first entry
        {Type, 'b', 0, 0, 2, 0, Changed}, {Type, 'q', 0, 0, 2, 0, None},     // round from the end; no entry
        // Cyrillic small ka and Latin small e acute find the capitals.
        {Type, 0x43A, 0, 0, 4, 1, Changed}, {Type, 0xE9, 0, 0, 6, 3, Changed}, {Type, 'z', 0, 0, 7, 4, Changed},
        {Key, 40, 0, 0, 8, 5, Changed}, {Key, 35, 0, 0, 9, 6, Changed},  // Down, End
        {Press, 10, 30, 1000, 6, 6, Changed}, {Press, 12, 32, 1500, 6, 6, Double},  // 500 ms and 2 pixels
        {Press, 12, 32, 1600, 6, 6, None},  // a third press starts a new pair
        {Press, 12, 32, 2101, 6, 6, None}, {Press, 15, 32, 2200, 6, 6, None},  // too late, too far
        {Key, 36, 0, 0, 0, 0, Changed}, {Key, 34, 0, 0, 3, 0, Changed},  // Home, Page Down: three rows on
        {Key, 34, 0, 0, 6, 3, Changed}, {Key, 97, 0, 0, 6, 3, None},     // not a list key
        {Wheel, 1, 0, 0, 6, 0, None}, {Wheel, -5, 0, 0, 6, 6, None},
        {Press, 220, 30, 5000, 6, 5, None}, {Press, 220, 80, 6000, 6, 6, None},  // the arrows
        {Press, 220, 45, 7000, 6, 3, None},  // the track above the thumb: a page up
        {Press, 220, 50, 8000, 6, 3, None},  // grabs the thumb (48 to 59) 2 pixels down
        {Drag, 0, 41, 0, 6, 0, None}, {Drag, 0, 80, 0, 6, 6, None}, {Release, 0, 0, 0, 6, 6, None},
        {Drag, 0, 41, 0, 6, 6, None},  // let go: no longer follows
    };
    DrawnList list = TenEntries();
    for (const auto& step : steps) {
        DrawnList::Outcome outcome;
        switch (step.kind) {
        case Press: outcome = list.LeftDown(step.a, step.b, step.time); break;
        case Key: outcome = list.Key(step.a); break;
        case Type: outcome = list.Type(static_cast<char32_t>(step.a)); break;
        case Wheel: outcome = list.Wheel(step.a); break;
        case Drag: outcome = list.Motion(step.a, step.b); break;
        case Release: outcome = list.LeftUp(); break;
        }
        EXPECT_EQ(std::tuple(list.Selection(), list.TopIndex(), outcome.selectionChanged + 2 * outcome.doubleClick),
                  std::tuple(step.selected, step.top, static_cast<int>(step.outcome)))
            << "step " << &step - steps + 1;
    }
}

// What a list holding only `name` draws at `scale` in its first row's text
// area: a string per pixel row, '#' where the text darkened the grey.
using Ink = std::vector<std::string>;

Ink Draw(const std::string& name, int scale) {
    DrawnList list;
    list.SetItems({name});
    list.SetScale(scale);
    list.SetBounds({0, 0, 160 * scale, 20 * scale});
    list.SetVisible(true);
    const std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)> surface(
        SDL_CreateRGBSurfaceWithFormat(0, 160 * scale, 20 * scale, 32, SDL_PIXELFORMAT_RGB888), SDL_FreeSurface);
    list.Draw(surface.get());
    Ink ink(static_cast<size_t>(std::max(DrawnList::kRowHeight * scale, ListTextHeight(scale))));
    int y = DrawnList::kBorder * scale;
    for (std::string& line : ink) {
        const auto* row = static_cast<const Uint32*>(surface->pixels) + y++ * surface->pitch / 4;
        for (int x = (DrawnList::kBorder + 2) * scale; x < (DrawnList::kBorder + 152) * scale; ++x)
            line += (row[x] & 0xFFFFFF) != 0xC0C0C0 ? '#' : ' ';
    }
    return ink;
}

// '#' for each column with ink in any row; with `rows`, for each row with ink.
std::string Inked(const Ink& ink, bool rows = false) {
    std::string inked(rows ? ink.size() : ink[0].size(), ' ');
    for (size_t y = 0; y < ink.size(); ++y)
        for (size_t x = 0; x < ink[y].size(); ++x) if (ink[y][x] == '#') inked[rows ? y : x] = '#';
    return inked;
}

// Names the built-in glyphs cover draw from them with no font library; any
// other script draws with the desktop's fonts (fontconfig, FreeType and
// HarfBuzz, loaded then): glyphs of their own, not the boxes drawn for what
// no font has, distinct from each other's, at twice the height at scale 2
// and not simply enlarged.
TEST(DrawnList, EveryScriptDrawsItsOwnGlyphsAtEveryScale) {
    const struct { const char* name; int characters; bool builtIn; } rows[] = {
        {"Classic", 7, true}, {"\xCE\xB1\xCE\xB2\xCE\xB3", 3, true}, {"\xD0\x9A\xD0\xBE\xD1\x82", 3, true},
        {"\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x82\xB9\xE3\x82\xAD\xE3\x83\xB3", 6, false},
        {"\xD7\xA2\xD7\x91\xD7\xA8\xD7\x99\xD7\xAA", 5, false},  // Hebrew
        {"\xD8\xB9\xD8\xB1\xD8\xA8\xD9\x8A", 4, false},          // Arabic
        {"\xE0\xB9\x84\xE0\xB8\x97\xE0\xB8\xA2", 3, false},      // Thai
        {"\xF0\x9F\x90\xB1", 1, false},                              // a cat's face
    };
    const auto mapped = [](const std::string& library) {
        std::ifstream maps("/proc/self/maps");
        return std::string(std::istreambuf_iterator<char>(maps), {}).find("/" + library) != std::string::npos;
    };
    const char* libraries[] = {"libfontconfig.so.1", "libfreetype.so.6", "libharfbuzz.so.0"};
    for (const auto& row : rows) {
        for (int scale = 1; row.builtIn && scale <= 2; ++scale) Draw(row.name, scale);
    }
    for (const char* library : libraries) EXPECT_FALSE(mapped(library)) << library << " after built-in names";
    std::vector<Ink> drawn;
    for (const auto& row : rows) drawn.push_back(Draw(row.name, 1));

    const auto height = [](const Ink& ink) {
        const std::string inked = Inked(ink, true);
        return inked.find('#') == std::string::npos ? 0 : static_cast<int>(inked.rfind('#') - inked.find('#') + 1);
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        std::string boxes;
        for (int c = 0; c < rows[i].characters; ++c) boxes += "\xF4\x8F\xBF\xBD";  // no font has U+10FFFD
        EXPECT_GT(height(drawn[i]), 0) << rows[i].name;
        EXPECT_NE(drawn[i], Draw(boxes, 1)) << rows[i].name << " draws as boxes";
        for (size_t j = 0; j < i; ++j) EXPECT_NE(drawn[i], drawn[j]) << rows[i].name << " as " << rows[j].name;
        const Ink twice = Draw(rows[i].name, 2);
        // Hinting rounds each edge to a whole pixel at either size.
        EXPECT_NEAR(height(twice), 2 * height(drawn[i]), 2) << rows[i].name;
        bool enlarged = true;
        for (size_t y = 0; y < twice.size(); ++y) {
            for (size_t x = 0; x < twice[y].size(); ++x) enlarged = enlarged && twice[y][x] == drawn[i][y / 2][x / 2];
        }
        EXPECT_FALSE(enlarged) << rows[i].name << " at scale 2 is scale 1 enlarged";
    }

    // Right to left: in BET ALEF the ALEF is read first, drawn on the right,
    // so the BET stands alone at the left as when it is drawn by itself.
    const Ink bet = Draw("\xD7\x91", 1), betAlef = Draw("\xD7\x90\xD7\x91", 1);
    const size_t betRight = Inked(bet).rfind('#') + 1;  // 0 when nothing is drawn
    ASSERT_GT(betRight, 0u);
    for (size_t y = 0; y < bet.size(); ++y)
        EXPECT_EQ(bet[y].substr(0, betRight), betAlef[y].substr(0, betRight)) << "BET ALEF is not right to left";
    // Arabic joined: three BEH make one unbroken stroke, apart they do not.
    const auto connected = [](const std::string& inked) {
        return inked.find('#') != std::string::npos && inked.find(' ', inked.find('#')) > inked.rfind('#');
    };
    EXPECT_TRUE(connected(Inked(Draw("\xD8\xA8\xD8\xA8\xD8\xA8", 1))));
    EXPECT_FALSE(connected(Inked(Draw("\xD8\xA8 \xD8\xA8", 1))));
}

}  // namespace
}  // namespace snickit::sdl

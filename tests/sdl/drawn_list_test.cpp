// The drawn skin list at its seam: input in as plain values, selection,
// double clicks and scrolling out; and what it draws, in every script and at
// twice the size. Ten entries in the chooser's place (6, 21, 227 x 67): rows
// of 13 pixels from y 23, four of them whole, the scroll bar from x 215; at
// scale 2 (12, 42, 454 x 134): rows of 26 from y 46, the scroll bar from
// x 430.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "platform/sdl/DrawnList.h"
#include "platform/sdl/ListText.h"

#if defined(__SANITIZE_ADDRESS__)
// fontconfig keeps, unreferenced, a little of what it read from its own
// configuration files when it started (allocated while expat parses them):
// not the list's to free.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so.1\n"; }
#endif

namespace snickit::sdl {
namespace {

DrawnList TenEntries(int scale = 1) {
    DrawnList list;
    list.SetItems({"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"});
    list.SetScale(scale);
    list.SetBounds({6 * scale, 21 * scale, 227 * scale, 67 * scale});
    list.SetVisible(true);
    return list;
}

TEST(DrawnList, APressSelectsTheRowUnderItAndNothingElse) {
    const struct { int scale, x, y, top, selected; } rows[] = {
        {1, 10, 23, 0, 0}, {1, 10, 35, 0, 0},  {1, 10, 36, 0, 1},  {1, 214, 74, 0, 3}, {1, 10, 75, 0, 4},
        {1, 10, 85, 0, 4}, {1, 10, 23, 3, 3},  {1, 10, 74, 6, 9},  {1, 10, 80, 6, -1},  // under the last
        {1, 215, 60, 0, -1},  // the scroll bar
        {1, 7, 50, 0, -1}, {1, 10, 87, 0, -1}, {1, 10, 22, 0, -1}, {1, 5, 50, 0, -1},  // border, outside
        {2, 16, 46, 0, 0}, {2, 16, 71, 0, 0},  {2, 16, 72, 0, 1},  {2, 429, 150, 0, 4}, {2, 16, 46, 6, 6},
        {2, 430, 120, 0, -1},  // the scroll bar, twice as wide
        {2, 15, 100, 0, -1}, {2, 16, 45, 0, -1}, {2, 16, 172, 0, -1},  // border, four pixels wide
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

// The ink of the first row's text area when a list holding only `name` is
// drawn at `scale`: 1 where the text darkened the grey background.
struct Ink {
    int width = 0, height = 0;
    std::vector<char> dots;
    bool At(int x, int y) const { return dots[static_cast<size_t>(y * width + x)] != 0; }
    int Top() const { return Find(true); }
    int Bottom() const { return Find(false); }  // the last inked row
    int Find(bool fromTop) const {
        for (int i = 0; i < height; ++i) {
            const int y = fromTop ? i : height - 1 - i;
            for (int x = 0; x < width; ++x) if (At(x, y)) return y;
        }
        return -1;
    }
    // Whether every column from the first inked one to the last has ink.
    bool Connected() const {
        std::vector<bool> columns(static_cast<size_t>(width));
        for (int x = 0; x < width; ++x) for (int y = 0; y < height; ++y) columns[static_cast<size_t>(x)] = columns[static_cast<size_t>(x)] || At(x, y);
        const auto first = std::find(columns.begin(), columns.end(), true);
        const auto last = std::find(columns.rbegin(), columns.rend(), true).base();
        return first < last && std::find(first, last, false) == last;
    }
};

Ink Draw(const std::string& name, int scale) {
    DrawnList list;
    list.SetItems({name});
    list.SetScale(scale);
    list.SetBounds({0, 0, 160 * scale, 20 * scale});
    list.SetVisible(true);
    const std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)> surface(
        SDL_CreateRGBSurfaceWithFormat(0, 160 * scale, 20 * scale, 32, SDL_PIXELFORMAT_RGB888), SDL_FreeSurface);
    list.Draw(surface.get());
    Ink ink;
    const int left = (DrawnList::kBorder + 2) * scale, top = DrawnList::kBorder * scale;
    ink.width = 150 * scale;
    ink.height = std::max(DrawnList::kRowHeight * scale, ListTextHeight(scale));
    for (int y = top; y < top + ink.height; ++y) {
        for (int x = left; x < left + ink.width; ++x) {
            const Uint32 pixel = static_cast<const Uint32*>(surface->pixels)[y * surface->pitch / 4 + x];
            ink.dots.push_back(static_cast<char>((pixel & 0xFFFFFF) != 0xC0C0C0));
        }
    }
    return ink;
}

bool Mapped(const std::string& library) {
    std::ifstream maps("/proc/self/maps");
    for (std::string line; std::getline(maps, line);) {
        if (line.find("/" + library) != std::string::npos) return true;
    }
    return false;
}

// Names the built-in glyphs cover draw from them with no font library; any
// other script draws with the desktop's fonts (fontconfig, FreeType and
// HarfBuzz, loaded then): glyphs of their own, not the boxes drawn for what
// no font has, distinct from each other's, at twice the height at scale 2
// and not simply enlarged.
TEST(DrawnList, EveryScriptDrawsItsOwnGlyphsAtEveryScale) {
    const struct { const char* name; int characters; bool builtIn; } rows[] = {
        {"Classic", 7, true}, {"\xCE\xB1\xCE\xB2\xCE\xB3", 3, true}, {"\xD0\x9A\xD0\xBE\xD1\x82", 3, true},
        {"\xE7\x8C\xAB", 1, false},                                  // Chinese / Japanese cat
        {"\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x82\xB9\xE3\x82\xAD\xE3\x83\xB3", 6, false},
        {"\xD7\xA2\xD7\x91\xD7\xA8\xD7\x99\xD7\xAA", 5, false},  // Hebrew
        {"\xD8\xB9\xD8\xB1\xD8\xA8\xD9\x8A", 4, false},          // Arabic
        {"\xE0\xB9\x84\xE0\xB8\x97\xE0\xB8\xA2", 3, false},      // Thai
        {"\xF0\x9F\x90\xB1", 1, false},                              // a cat's face
    };
    const char* libraries[] = {"libfontconfig.so.1", "libfreetype.so.6", "libharfbuzz.so.0"};
    std::vector<Ink> drawn;
    for (const auto& row : rows) {
        if (!row.builtIn) continue;
        drawn.push_back(Draw(row.name, 1));
        drawn.push_back(Draw(row.name, 2));
    }
    for (const char* library : libraries) EXPECT_FALSE(Mapped(library)) << library << " after built-in names";
    drawn.clear();
    for (const auto& row : rows) drawn.push_back(Draw(row.name, 1));
    for (const char* library : libraries) EXPECT_TRUE(Mapped(library)) << library << " after other scripts";

    for (size_t i = 0; i < std::size(rows); ++i) {
        const Ink& ink = drawn[i];
        std::string boxes;
        for (int c = 0; c < rows[i].characters; ++c) boxes += "\xF4\x8F\xBF\xBD";  // no font has U+10FFFD
        EXPECT_NE(ink.Top(), -1) << rows[i].name;
        EXPECT_NE(ink.dots, Draw(boxes, 1).dots) << rows[i].name << " draws as boxes";
        for (size_t j = 0; j < i; ++j) EXPECT_NE(ink.dots, drawn[j].dots) << rows[i].name << " as " << rows[j].name;
        const Ink twice = Draw(rows[i].name, 2);
        // Hinting rounds each edge to a whole pixel at either size.
        EXPECT_NEAR(twice.Bottom() - twice.Top() + 1, 2 * (ink.Bottom() - ink.Top() + 1), 2) << rows[i].name;
        bool enlarged = true;
        for (int y = 0; y < twice.height && enlarged; ++y) {
            for (int x = 0; x < twice.width && enlarged; ++x) enlarged = twice.At(x, y) == ink.At(x / 2, y / 2);
        }
        EXPECT_FALSE(enlarged) << rows[i].name << " at scale 2 is scale 1 enlarged";
    }

    // Right to left: in BET ALEF the ALEF is read first, drawn on the right,
    // so the BET stands alone at the left as when it is drawn by itself.
    const Ink bet = Draw("\xD7\x91", 1), betAlef = Draw("\xD7\x90\xD7\x91", 1);
    int betRight = 0;
    for (int x = 0; x < bet.width; ++x) for (int y = 0; y < bet.height; ++y) if (bet.At(x, y)) betRight = x;
    bool sameLeft = betRight > 0;
    for (int x = 0; x <= betRight; ++x) for (int y = 0; y < bet.height; ++y) sameLeft = sameLeft && bet.At(x, y) == betAlef.At(x, y);
    EXPECT_TRUE(sameLeft) << "BET ALEF is not drawn right to left";
    // Arabic joined: three BEH make one unbroken stroke, apart they do not.
    EXPECT_TRUE(Draw("\xD8\xA8\xD8\xA8\xD8\xA8", 1).Connected());
    EXPECT_FALSE(Draw("\xD8\xA8 \xD8\xA8", 1).Connected());
}

TEST(DrawnList, DoubleClicksKeysWheelAndScrollBarWorkAsOnTheDesktop) {
    enum Kind { Press, Key, Wheel, Drag, Release };
    const struct { Kind kind; int a, b; unsigned time; int selected, top; bool doubleClick; } steps[] = {
        {Key, 40, 0, 0, -1, 0, false},       // no focus before the first press
        {Press, 10, 30, 1000, 0, 0, false},
        {Press, 12, 32, 1500, 0, 0, true},   // 500 ms and 2 pixels
        {Press, 12, 32, 1600, 0, 0, false},  // a third press starts a new pair
        {Press, 12, 32, 2101, 0, 0, false},  // too late
        {Press, 15, 32, 2200, 0, 0, false},  // too far
        {Press, 10, 43, 2300, 1, 0, false},
        {Key, 40, 0, 0, 2, 0, false},        // Down
        {Key, 35, 0, 0, 9, 6, false},        // End
        {Key, 36, 0, 0, 0, 0, false},        // Home
        {Key, 34, 0, 0, 3, 0, false},        // Page Down: three rows on
        {Key, 34, 0, 0, 6, 3, false},
        {Key, 97, 0, 0, 6, 3, false},        // not a list key
        {Wheel, 1, 0, 0, 6, 0, false},
        {Wheel, -5, 0, 0, 6, 6, false},
        {Press, 220, 30, 5000, 6, 5, false},  // the up arrow
        {Press, 220, 80, 6000, 6, 6, false},  // the down arrow
        {Press, 220, 45, 7000, 6, 3, false},  // the track above the thumb: a page up
        {Press, 220, 50, 8000, 6, 3, false},  // grabs the thumb (48 to 59) 2 pixels down
        {Drag, 0, 41, 0, 6, 0, false},
        {Drag, 0, 80, 0, 6, 6, false},
        {Release, 0, 0, 0, 6, 6, false},
        {Drag, 0, 41, 0, 6, 6, false},        // let go: no longer follows
    };
    DrawnList list = TenEntries();
    for (const auto& step : steps) {
        DrawnList::Outcome outcome;
        switch (step.kind) {
        case Press: outcome = list.LeftDown(step.a, step.b, step.time); break;
        case Key: outcome = list.Key(step.a); break;
        case Wheel: outcome = list.Wheel(step.a); break;
        case Drag: outcome = list.Motion(step.a, step.b); break;
        case Release: outcome = list.LeftUp(); break;
        }
        EXPECT_EQ(std::tuple(list.Selection(), list.TopIndex(), outcome.doubleClick),
                  std::tuple(step.selected, step.top, step.doubleClick)) << "step " << &step - steps + 1;
    }
}

// A typed character selects the next entry after the selection that starts
// with it, letter case ignored, round from the end; no entry: nothing.
TEST(DrawnList, TypingSelectsTheNextEntryThatStartsWithTheCharacter) {
    DrawnList list;
    list.SetItems({"alpha", "Apple", "beta", "Blue", "\xD0\x9A\xD0\xBE\xD1\x82", "\xD0\xBA\xD0\xB8\xD1\x82",
                   "\xC3\x89t\xC3\xA9", "zed"});  // Кот, кит, Été
    list.SetBounds({6, 21, 227, 67});
    list.SetVisible(true);
    enum Kind { Press, Type };
    const struct { Kind kind; char32_t typed; int selected, top; bool changed; } steps[] = {
        {Type, U'b', -1, 0, false},        // no focus before the first press
        {Press, 0, -1, 0, false},          // on the scroll bar: the focus, no selection
        {Type, U'B', 2, 0, true},          // from the first entry
        {Type, U'b', 3, 0, true},
        {Type, U'b', 2, 0, true},          // round from the end
        {Type, U'x', 2, 0, false},
        {Type, U'A', 0, 0, true},
        {Type, U'\u043A', 4, 1, true},     // Cyrillic small ka finds the capital
        {Type, U'\u041A', 5, 2, true},
        {Type, U'\u00E9', 6, 3, true},     // Latin small e acute finds the capital
        {Type, U'z', 7, 4, true},
        {Type, U'z', 7, 4, false},         // the only one: stays
        {Type, 0, 7, 4, false},            // a key that types nothing
    };
    for (const auto& step : steps) {
        const DrawnList::Outcome outcome =
            step.kind == Press ? list.LeftDown(220, 30, 1000) : list.Type(step.typed);
        EXPECT_EQ(std::tuple(list.Selection(), list.TopIndex(), outcome.selectionChanged),
                  std::tuple(step.selected, step.top, step.changed)) << "step " << &step - steps + 1;
    }
}

}  // namespace
}  // namespace snickit::sdl

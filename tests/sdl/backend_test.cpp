// The SDL backend at its seams, none of which needs a display. Its input as
// plain values: the characters a key types into the skin list's search; the
// desktop's density as read from GDK_SCALE and the X resources; and the drawn
// skin list: presses, keys (through the key table, the keypad following
// NumLock), typing, the wheel and the scroll bar in, selection, double clicks
// and scrolling out; and what it draws, in every script and at twice the
// size. Ten entries in the chooser's place (6, 21, 227 x 67): rows of 13
// pixels from y 23, four of them whole, the scroll bar from x 215; at scale 2
// (12, 42, 454 x 134): rows of 26 from y 46, the scroll bar from x 430.
//
// Then the picture loader and sound player on hostile files, each in a child
// process that may take no more than 64 MiB beyond what it inherits, in
// address space (a limit) and in memory touched: a picture must load or fail
// as a bad picture (a sound fall back to the default sound) within it.
#include <dlfcn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "platform/NativeFilesPlatform.h"
#include "platform/sdl/DesktopDensity.h"
#include "platform/sdl/DrawnList.h"
#include "platform/sdl/KeyMap.h"
#include "platform/sdl/ListText.h"
#include "platform/sdl/SdlPicture.h"
#include "platform/sdl/SoundPlayer.h"
#include "skin/BitmapCheck.h"
#include "tests/support/MediaFiles.h"
#include "tests/support/TempFolder.h"

#if defined(__SANITIZE_ADDRESS__)
// fontconfig keeps, unreferenced, a little of what it read from its own
// configuration files when it started (allocated while expat parses them):
// not the list's to free.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so.1\n"; }
#endif

namespace snickit::test {
namespace {

using namespace sdl;

TEST(SdlKeys, TypesTheCharactersTheKeyEventTells) {
    const struct { SDL_Scancode code; SDL_Keycode sym; Uint16 mod; char32_t typed; } rows[] = {
        {SDL_SCANCODE_A, SDLK_a, KMOD_LSHIFT | KMOD_CAPS, U'a'},  // case is the search's business
        {SDL_SCANCODE_A, SDLK_a, KMOD_RCTRL, 0}, {SDL_SCANCODE_A, SDLK_a, KMOD_LALT, 0},
        {SDL_SCANCODE_1, SDLK_1, KMOD_NONE, U'1'}, {SDL_SCANCODE_1, SDLK_1, KMOD_RSHIFT, 0},  // Shift: the layout's
        {SDL_SCANCODE_R, 0x43A, KMOD_LSHIFT, U'\u043A'},  // a Cyrillic layout's letter
        {SDL_SCANCODE_KP_0, SDLK_KP_0, KMOD_NUM, U'0'}, {SDL_SCANCODE_KP_9, SDLK_KP_9, KMOD_NUM, U'9'},
        {SDL_SCANCODE_KP_9, SDLK_KP_9, KMOD_NONE, 0},  // without NumLock: Page Up
    };
    for (const auto& row : rows)
        EXPECT_EQ(TypedCharacter({row.code, row.sym, row.mod, 0}), row.typed)
            << SDL_GetScancodeName(row.code) << " mod " << row.mod;
}

TEST(SdlDensity, ReadsWholeScalesAndXftDpiAndRejectsTheRest) {
    const struct { const char* text; int scale; } scales[] = {
        {nullptr, 0}, {"", 0}, {"2", 2}, {"1.5", 0}, {"2x", 0}, {" 2", 0}, {"99999999999", 0}};
    for (const auto& row : scales) EXPECT_EQ(WholeScaleFromText(row.text), row.scale) << (row.text ? row.text : "null");
    const struct { const char* resources; int dotsPerInch; } resources[] = {
        {nullptr, 0}, {"", 0}, {"Xft.antialias:\t1\nXft.dpi:\t144.4\nXft.hinting:\t1\n", 144},
        {"Xft.dpi: 120.5 \n", 121}, {"*dpi:\t192\n", 192} /* as a wildcard matches it */, {"Xft.dpi:\t0\n", 0},
        {"Xft.dpi:\tlarge\n", 0}, {"Xft.dpi:\t192dpi\n", 0}, {"Xft.dpi:\t1e9\n", 0}, {"Xcursor.size:\t48\n", 0},
    };
    for (const auto& row : resources)
        EXPECT_EQ(DotsPerInchFromResources(row.resources), row.dotsPerInch) << (row.resources ? row.resources : "null");
}

// A shown list of `items` at `scale`; its place (x, y, width, height) at scale 1.
DrawnList Shown(const std::vector<std::string>& items, int scale, SDL_Rect place) {
    DrawnList list;
    list.SetItems(items);
    list.SetScale(scale);
    list.SetBounds({place.x * scale, place.y * scale, place.w * scale, place.h * scale});
    list.SetVisible(true);
    return list;
}

// Ten entries in the chooser's place; Кот, кит and Été for typing in other scripts.
const std::vector<std::string> kTen = {"alpha", "Apple", "beta", "Blue", "\xD0\x9A\xD0\xBE\xD1\x82",
                                       "\xD0\xBA\xD0\xB8\xD1\x82", "\xC3\x89t\xC3\xA9", "zed", "y", "x"};
constexpr SDL_Rect kChooser{6, 21, 227, 67};

// A typed character selects the next entry after the selection that starts
// with it, letter case ignored, round from the end. Key: an SDL key, with
// NumLock on (1) or off (0). Outcome: whether the selection changed, or a
// double click was made.
TEST(DrawnList, ClicksKeysTypingWheelAndScrollBarWorkAsOnTheDesktop) {
    enum Kind { Press, Key, Type, Wheel, Drag, Release, Show };
    enum Outcome { None, Changed, Double };
    const struct { Kind kind; int a, b; unsigned time; int selected, top; Outcome outcome; } steps[] = {
        {Type, 'b', 0, 0, -1, 0, None}, {Key, SDL_SCANCODE_DOWN, 0, 0, -1, 0, None},  // no focus before a press
        {Press, 220, 30, 0, -1, 0, None},                                // on the scroll bar: the focus only
        {Type, 'B', 0, 0, 2, 0, Changed}, {Type, 'b', 0, 0, 3, 0, Changed},  // from the first entry
        {Type, 'b', 0, 0, 2, 0, Changed}, {Type, 'q', 0, 0, 2, 0, None},     // round from the end; no entry
        // Cyrillic small ka and Latin small e acute find the capitals.
        {Type, 0x43A, 0, 0, 4, 1, Changed}, {Type, 0xE9, 0, 0, 6, 3, Changed}, {Type, 'z', 0, 0, 7, 4, Changed},
        {Key, SDL_SCANCODE_DOWN, 0, 0, 8, 5, Changed}, {Key, SDL_SCANCODE_END, 0, 0, 9, 6, Changed},
        {Press, 10, 30, 1000, 6, 6, Changed}, {Press, 12, 32, 1500, 6, 6, Double},  // 500 ms and 2 pixels
        {Press, 12, 32, 1600, 6, 6, None},  // a third press starts a new pair
        {Press, 12, 32, 2101, 6, 6, None}, {Press, 15, 32, 2200, 6, 6, None},  // too late, too far
        // Home, Page Down, then keypad 3 and 2 without NumLock: Page Down, Down; Up, Page Up, then keypad 7, 1, 8
        // and 9: Home, End, Up, Page Up. Keypad 4 (Left) is no list key, nor is a sound button's key
        // (keypad 1 to 4 with NumLock on: the desktop test plays them).
        {Key, SDL_SCANCODE_HOME, 0, 0, 0, 0, Changed}, {Key, SDL_SCANCODE_PAGEDOWN, 0, 0, 3, 0, Changed},
        {Key, SDL_SCANCODE_KP_3, 0, 0, 6, 3, Changed}, {Key, SDL_SCANCODE_KP_2, 0, 0, 7, 4, Changed},
        {Key, SDL_SCANCODE_UP, 0, 0, 6, 4, Changed}, {Key, SDL_SCANCODE_PAGEUP, 0, 0, 3, 3, Changed},
        {Key, SDL_SCANCODE_KP_7, 0, 0, 0, 0, Changed}, {Key, SDL_SCANCODE_KP_1, 0, 0, 9, 6, Changed},
        {Key, SDL_SCANCODE_KP_8, 0, 0, 8, 6, Changed}, {Key, SDL_SCANCODE_KP_9, 0, 0, 5, 5, Changed},
        {Key, SDL_SCANCODE_KP_4, 0, 0, 5, 5, None}, {Key, SDL_SCANCODE_KP_1, 1, 0, 5, 5, None},
        {Wheel, 1, 0, 0, 5, 2, None}, {Wheel, -5, 0, 0, 5, 6, None},  // three rows a notch
        {Press, 220, 30, 5000, 5, 5, None}, {Press, 220, 80, 6000, 5, 6, None},  // the arrows
        {Press, 220, 45, 7000, 5, 3, None},  // the track above the thumb: a page up
        {Press, 220, 50, 8000, 5, 3, None},  // grabs the thumb (48 to 59) 2 pixels down
        {Drag, 0, 41, 0, 5, 0, None}, {Drag, 0, 80, 0, 5, 6, None}, {Release, 0, 0, 0, 5, 6, None},
        {Drag, 0, 41, 0, 5, 6, None},  // let go: no longer follows
        // A press selects the row under it, and nothing on the borders, the scroll bar or below the last entry:
        // shown afresh at scale 1, then at scale 2.
        {Show, 1, 0, 0, -1, 0, None}, {Press, 10, 35, 10000, 0, 0, Changed}, {Press, 10, 36, 11000, 1, 0, Changed},
        {Press, 214, 74, 12000, 3, 0, Changed}, {Press, 10, 85, 13000, 4, 1, Changed},  // scrolled in whole
        {Press, 7, 50, 14000, 4, 1, None}, {Press, 10, 87, 15000, 4, 1, None}, {Press, 10, 22, 16000, 4, 1, None},
        {Press, 215, 60, 17000, 4, 4, None}, {Wheel, -2, 0, 0, 4, 6, None},  // the track: a page down
        {Press, 10, 80, 18000, 4, 6, None}, {Press, 10, 74, 19000, 9, 6, Changed},
        {Show, 2, 0, 0, -1, 0, None}, {Press, 16, 71, 20000, 0, 0, Changed}, {Press, 16, 72, 21000, 1, 0, Changed},
        {Press, 429, 150, 22000, 4, 1, Changed}, {Press, 430, 120, 23000, 4, 4, None},
    };
    DrawnList list = Shown(kTen, 1, kChooser);
    for (const auto& step : steps) {
        DrawnList::Outcome outcome;
        switch (step.kind) {
        case Press: outcome = list.LeftDown(step.a, step.b, step.time); break;
        case Key: outcome = list.Key(VirtualKeyFor(static_cast<SDL_Scancode>(step.a), step.b)); break;
        case Type: outcome = list.Type(static_cast<char32_t>(step.a)); break;
        case Wheel: outcome = list.Wheel(step.a); break;
        case Drag: outcome = list.Motion(step.a, step.b); break;
        case Release: outcome = list.LeftUp(); break;
        case Show: list = Shown(kTen, step.a, kChooser); break;
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
    const DrawnList list = Shown({name}, scale, {0, 0, 160, 20});
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

// '#' for each column with ink in any row.
std::string Inked(const Ink& ink) {
    std::string inked(ink[0].size(), ' ');
    for (const std::string& line : ink)
        for (size_t x = 0; x < line.size(); ++x) if (line[x] == '#') inked[x] = '#';
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
        // Hebrew, Arabic, Thai, a cat's face
        {"\xD7\xA2\xD7\x91\xD7\xA8\xD7\x99\xD7\xAA", 5, false}, {"\xD8\xB9\xD8\xB1\xD8\xA8\xD9\x8A", 4, false},
        {"\xE0\xB9\x84\xE0\xB8\x97\xE0\xB8\xA2", 3, false}, {"\xF0\x9F\x90\xB1", 1, false},
    };
    for (const auto& row : rows)
        for (int scale = 1; row.builtIn && scale <= 2; ++scale) Draw(row.name, scale);
    for (const char* library : {"libfontconfig.so.1", "libfreetype.so.6", "libharfbuzz.so.0"})
        EXPECT_EQ(dlopen(library, RTLD_NOW | RTLD_NOLOAD), nullptr) << library << " loaded for built-in names";
    std::vector<Ink> drawn;
    for (const auto& row : rows) drawn.push_back(Draw(row.name, 1));

    const auto height = [](const Ink& ink) {  // rows with ink
        return std::count_if(ink.begin(), ink.end(), [](const std::string& l) { return l.find('#') != l.npos; });
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        std::string boxes;
        for (int c = 0; c < rows[i].characters; ++c) boxes += "\xF4\x8F\xBF\xBD";  // no font has U+10FFFD
        EXPECT_NE(drawn[i], Draw(boxes, 1)) << rows[i].name << " draws as boxes";
        for (size_t j = 0; j < i; ++j) EXPECT_NE(drawn[i], drawn[j]) << rows[i].name << " as " << rows[j].name;
        const Ink twice = Draw(rows[i].name, 2);
        // Hinting rounds each edge to a whole pixel at either size.
        EXPECT_NEAR(height(twice), 2 * height(drawn[i]), 2) << rows[i].name;
        bool enlarged = true;
        for (size_t y = 0; y < twice.size(); ++y)
            for (size_t x = 0; x < twice[y].size(); ++x) enlarged = enlarged && twice[y][x] == drawn[i][y / 2][x / 2];
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
    const std::string joined = Inked(Draw("\xD8\xA8\xD8\xA8\xD8\xA8", 1)), apart = Inked(Draw("\xD8\xA8 \xD8\xA8", 1));
    EXPECT_EQ(joined.find(' ', joined.find('#')), joined.rfind('#') + 1);
    EXPECT_LT(apart.find(' ', apart.find('#')), apart.rfind('#'));
}


// ThreadSanitizer's shadow memory grows with every byte the program touches:
// the bound is held by the other builds.
#if defined(__SANITIZE_THREAD__)
constexpr long kBoundKb = 4 * 64 * 1024;
#else
constexpr long kBoundKb = 64 * 1024;
#endif

[[maybe_unused]] const int kDummyAudio = setenv("SDL_AUDIODRIVER", "dummy", 1);  // whichever test runs alone

// The exit status of `run` in a child process, or 100 + the signal that
// ended it. The child may take 64 MiB more than it starts with.
int InChild(const std::function<int()>& run) {
    long space = 0, resident = 0;  // in pages, then kilobytes
    std::ifstream("/proc/self/statm") >> space >> resident;
    space *= sysconf(_SC_PAGESIZE) / 1024;
    resident *= sysconf(_SC_PAGESIZE) / 1024;
    const pid_t child = fork();
    if (child == 0) {
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)  // they reserve terabytes of address space
        const rlim_t bytes = static_cast<rlim_t>(space + kBoundKb) * 1024;
        const rlimit limit{bytes, bytes};
        setrlimit(RLIMIT_AS, &limit);
#endif
        [&]() noexcept { _exit(run()); }();  // anything thrown ends it on SIGABRT
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    EXPECT_LT(usage.ru_maxrss - resident, kBoundKb)
        << "kilobytes at the peak beyond the " << resident << " at the start";
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

TEST(SdlLoaders, HostilePicturesFailAsBadPicturesWithinTheBound) {
    TempFolder folder;
    std::filesystem::create_directory(folder.root / "Blue");
    mkfifo((folder.path() + "/Blue/fifo.bmp").c_str(), 0600);
    // The program's picture loader over POSIX files and SDL's pictures, as
    // SdlPlatform and the skin checker give them (without a display).
    struct : MediaHost {
        BinaryFile ReadBinaryFile(const std::string& p, size_t max) override { return native::ReadFileBytes(p, max); }
        PictureRef MakePicture(const PicturePixels& pixels) override { return sdl::PictureFromPixels(pixels); }
    } host;
    std::vector<PictureRow> rows = CommonPictureRows();
    rows.push_back({"Blue\\fifo.bmp", "", Code(FailureKind::BadPicture)});
    for (auto& row : rows) {
        if (!row.file.empty()) folder.Write(row.path, row.file);
        if (row.growTo) folder.Grow(row.path, row.growTo);
        row.file = {};
        const std::string path = folder.path() + "\\" + row.path;
        EXPECT_EQ(InChild([&] { return Answer([&] { return LoadPictureFile(host, path); }); }), row.expected)
            << row.path;
    }
}

TEST(SdlLoaders, SoundsSdlCannotPlayWithinTheBoundFallBackToTheDefaultSound) {
    using Started = sdl::SoundPlayer::Started;
    const struct { const char* what; std::string file; Started expected; } rows[] = {
        {"16-bit mono", WavFile({}), Started::Wave},
        // Not checked here: the backend's own bound on the conversion.
        {"1 Hz, 8-bit mono, 20 KB", WavFile({.rate = 1, .bits = 8, .dataBytes = 20000}), Started::DefaultSound},
        // SDL refuses to decode it (as it refuses anything that is not a WAV file).
        {"MS ADPCM without its coefficients", WavFile({.tag = 2, .bits = 4, .blockAlign = 256, .dataBytes = 1024}),
         Started::DefaultSound},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(InChild([&] {
            sdl::SoundPlayer player;
            const auto wave = std::make_shared<const std::vector<unsigned char>>(Bytes(row.file));
            const Started first = player.Play(wave);  // twice: the second comes from the cache
            return first == player.Play(wave) ? static_cast<int>(first) : 99;
        }), static_cast<int>(row.expected)) << row.what;
    }
}

// Sounds started, cut off and parked while the audio thread plays them: the
// unit-tsan suite runs this under ThreadSanitizer, which fails on any access
// to the shared sound outside the device lock.
TEST(SdlLoaders, TheSoundPlayerHandsSoundsToTheAudioThreadUnderItsLock) {
    ASSERT_EQ(SDL_Init(SDL_INIT_EVENTS), 0);
    {
        sdl::SoundPlayer player;
        const auto wave = std::make_shared<const std::vector<unsigned char>>(Bytes(WavFile({.dataBytes = 2000})));
        int parks = 0;
        for (int i = 0; i < 40; ++i) {
            player.Play(i % 4 == 3 ? nullptr : wave);
            SDL_Delay(static_cast<Uint32>(i % 5) * 7);
            // Now and then the sound ends and the device runs idle: park it.
            for (SDL_Event event; i % 8 == 7 ? SDL_WaitEventTimeout(&event, 2000) : SDL_PollEvent(&event);) {
                if (event.type != player.IdleEventType()) continue;
                player.Park();
                ++parks;
                break;
            }
        }
        EXPECT_GE(parks, 5);  // so the device was opened, and went idle
    }
    SDL_Quit();
}

}  // namespace
}  // namespace snickit::test

// The screens, the switches between them in the order the user sees them,
// which hot spot a press reaches, and the window's place on every density.
#include "tests/support/Fixture.h"

namespace snickit::test {
namespace {

using ScreensTest = SnickitTest;

const std::string kToChooser = R"(picture \skins\Blue\menu.bmp; picture \skins\Blue\box.bmp; list shown; )";

TEST_F(ScreensTest, EachSwitchShowsItsPictureAndHotSpotsInOrder) {
    const struct { const char* steps; std::string screen, log; } kRows[] = {
        {"Ok", Pad("Blue"),
         R"(size 240,95; position 200,100; items apple,Blue,red; load \skins\Blue\box.bmp; picture \skins\Blue\box.bmp; )"
         "size 240,95; picture about; show; " + kReload},
        {"| Net Net Min B0 Menu +bg.R", kAbout,
         "open https://snickit.example.org/; open https://snickit.example.org/; minimize; move 1; move 1; move 2"},
        {"Ok | Menu Min @200,50", MenuOf("Blue"), R"(picture \skins\Blue\menu.bmp; minimize; move 1)"},
        {"Ok | Menu Menu", Pad("Blue"), R"(picture \skins\Blue\menu.bmp; picture \skins\Blue\box.bmp)"},
        {"Ok | Menu Skins Min", Chooser("Blue", 1), kToChooser + "minimize"},
        {"Ok | Menu Skins s0 dbl", Pad("apple"),
         kToChooser + R"(load \skins\apple\box.bmp; picture \skins\apple\box.bmp; list hidden; )"
                      R"(load \skins\apple\box2.bmp; load \skins\apple\menu.bmp)"},
        {"Ok | Menu Skins s0 s1 dbl", Pad("Blue"),
         kToChooser + R"(load \skins\apple\box.bmp; picture \skins\apple\box.bmp; load \skins\Blue\box.bmp; )"
                      R"(picture \skins\Blue\box.bmp; list hidden; load \skins\Blue\box2.bmp; )"
                      R"(load \skins\Blue\menu.bmp)"},
        {"Ok | Menu Skins s1 dbl", Pad("Blue"),  // the current skin selected again: no preview
         kToChooser + R"(list hidden; load \skins\Blue\box2.bmp; load \skins\Blue\menu.bmp)"},
        {"Ok | Menu Skins s2 dbl B2 Menu Skins", Chooser("red", 2),
         kToChooser + R"(load \skins\red\box.bmp; picture \skins\red\box.bmp; list hidden; load \skins\red\box2.bmp; )"
                      R"(load \skins\red\menu.bmp; copy \skins\red\box2.bmp 119,19,58,71; sound \skins\red\3.wav; )"
                      R"(copy \skins\red\box.bmp 119,19,58,71; picture \skins\red\menu.bmp; )"
                      R"(picture \skins\red\box.bmp; list shown)"},
        {"Ok | Menu About", kAbout, R"(picture \skins\Blue\menu.bmp; picture about)"},
        {"Ok | Menu About Menu B0 Ok Menu", MenuOf("Blue"),
         R"(picture \skins\Blue\menu.bmp; picture about; move 1; move 1; )" + kReload +
             R"(; picture \skins\Blue\menu.bmp)"},
    };
    for (const auto& row : kRows) {
        EXPECT_EQ(Play(row.steps), kStillRunning) << row.steps;
        EXPECT_EQ(std::pair(Screen(), Log()), std::pair(row.screen, row.log)) << row.steps;
    }
}

TEST_F(ScreensTest, AStoredNameThatDiffersInCaseSelectsNothingButLoads) {
    folder.Write("config.sn", " 0 \r\n 0 \r\nblue\\\r\n");
    EXPECT_EQ(Play("Ok Menu Skins dbl"), kStillRunning);
    EXPECT_EQ(Screen(), R"(\skins\blue\box.bmp | Close Min | list 6,21,227,67 @-1)");
    EXPECT_EQ(Log("load"), R"(load \skins\blue\box.bmp; load \skins\blue\box2.bmp; load \skins\blue\menu.bmp)");
}

// On every screen, each pixel just inside and just outside each hot spot's
// edges goes to the highest visible hot spot that holds it.
TEST_F(ScreensTest, APressReachesTheHighestVisibleHotSpotUnderIt) {
    const struct { std::string name; int l, t, w, h; } kRects[] = {
        {"Ok", 32, 58, 61, 27}, {"Net", 130, 56, 106, 35}, {"Quit", 8, 55, 116, 18}, {"About", 9, 39, 116, 18},
        {"Skins", 8, 23, 116, 18}, {"Menu", 1, 1, 26, 21}, {"B3", 176, 19, 60, 71}, {"B2", 119, 19, 58, 71},
        {"B1", 62, 19, 58, 71}, {"B0", 3, 19, 60, 71}, {"Close", 221, 3, 16, 14}, {"Min", 205, 3, 16, 13}};
    for (const char* steps : {"", "Ok", "Ok Menu", "Ok Menu Skins"}) {
        Play(steps);
        const std::string visible = Screen() + " ";
        for (const auto& r : kRects)
            for (int x : {r.l - 1, r.l, r.l + r.w - 1, r.l + r.w})
                for (int y : {r.t - 1, r.t, r.t + r.h - 1, r.t + r.h}) {
                    std::string expected, hit;
                    for (const auto& s : kRects)
                        if (expected.empty() && visible.find(" " + s.name + " ") != std::string::npos &&
                            x >= s.l && x < s.l + s.w && y >= s.t && y < s.t + s.h)
                            expected = s.name;
                    for (auto& [name, spot] : Spots())
                        if (form->HitTest(static_cast<float>(x), static_cast<float>(y)) == spot) hit = name;
                    EXPECT_EQ(hit, expected) << "'" << steps << "' at " << x << "," << y;
                }
    }
}

TEST_F(ScreensTest, TheShownListTakesThePressesInsideItsBoundsOnly) {
    const struct { const char* at; bool moves; } kRows[] = {
        {"@5,50", true},   {"@6,50", false},   {"@232,50", false}, {"@233,50", true},
        {"@100,20", true}, {"@100,21", false}, {"@100,87", false}, {"@100,88", true}};
    for (const auto& row : kRows) {
        Play(std::string("Ok Menu Skins | ") + row.at);
        EXPECT_EQ(Log(), row.moves ? "move 1" : "") << row.at;
    }
}

// Twips per pixel differ between the axes: the place read at start-up, the
// button rectangles (rounded halves to even) and the place saved at quit.
TEST_F(ScreensTest, PlacesAndRectanglesFollowEachAxisOwnTwipsPerPixel) {
    const struct { float x, y; const char *numbers, *ok, *close, *place, *button0, *button1, *saved; } kRows[] = {
        {15, 15, " 3000 \r\n 1500 ", "Ok", "Close", "200,100", "3,19,60,71", "62,19,58,71", "-150 \r\n 10995 "},
        {15, 12, " 3000 \r\n-150 ", "@60,80", "Close", "200,-13", "3,24,60,89", "62,24,58,89", "-150 \r\n 7440 "},
        {10, 12, "left\r\n", "@60,80", "@335,8", "0,0", "4,24,90,89", "93,24,87,89", "-2100 \r\n 7596 "},
        {12, 10, " 3000 \r\n 1500 ", "@60,100", "@280,8", "250,150", "4,28,75,106", "78,28,72,106", " 480 \r\n 7830 "},
    };
    for (const auto& row : kRows) {
        // OK, the two keys, a move, and the close box where it lies now.
        const std::string kBlue = "\r\nBlue\\\r\n";
        folder.Write("config.sn", row.numbers + kBlue);
        EXPECT_EQ(Play(std::string(row.ok) + " k97 k98 bg " + row.close, row.x, row.y), 0) << row.close;
        std::string expected = std::string("position ") + row.place;
        for (std::string rect : {row.button0, row.button1})
            expected += R"(; copy \skins\Blue\box2.bmp )" + rect + R"(; copy \skins\Blue\box.bmp )" + rect;
        EXPECT_EQ(std::pair(Log("position copy"), folder.Read("config.sn")), std::pair(expected, row.saved + kBlue));
    }
}

}  // namespace
}  // namespace snickit::test

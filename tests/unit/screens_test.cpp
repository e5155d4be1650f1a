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
    // At 200 % the same, in design pixels (the recording window divides by
    // the scale and marks what does not divide); only the place is in
    // screen pixels.
    for (int s : {1, 2}) {
        scale = s;
        for (const auto& row : kRows) {
            std::string log = row.log;
            if (const size_t at = log.find("position 200,100"); s == 2 && at != std::string::npos)
                log.replace(at, 16, "position 400,200");
            EXPECT_EQ(Play(row.steps), kStillRunning) << row.steps;
            EXPECT_EQ(std::pair(Screen(), Log()), std::pair(row.screen, log)) << row.steps << " at scale " << s;
        }
    }
}

TEST_F(ScreensTest, AStoredNameThatDiffersInCaseSelectsNothingButLoads) {
    folder.Write("config.sn", " 0 \r\n 0 \r\nblue\\\r\n");
    EXPECT_EQ(Play("Ok Menu Skins dbl"), kStillRunning);
    EXPECT_EQ(Screen(), R"(\skins\blue\box.bmp | Close Min | list 6,21,227,67 @-1)");
    EXPECT_EQ(Log("load"), R"(load \skins\blue\box.bmp; load \skins\blue\box2.bmp; load \skins\blue\menu.bmp)");
}

// On every screen, points in window pixels at the edges and overlaps of the
// hot spots, and the highest visible hot spot each reaches ("-": none).
TEST_F(ScreensTest, APressReachesTheHighestVisibleHotSpotUnderIt) {
    const struct { int scale; const char *steps, *points; } kRows[] = {
        {1, "", "Ok@32,58 -@31,58 Ok@92,84 -@93,84 -@92,85 Net@130,56 Net@235,90 -@236,90 -@130,55 -@10,30 -@5,5"},
        {1, "Ok", "-@0,0 Menu@1,1 Menu@10,21 B0@27,21 B0@61,89 -@61,90 B1@62,19 -@62,18 B2@119,50 B3@176,50 "
                  "B3@235,89 -@236,50 Min@205,15 -@205,16 Close@221,3 Close@236,16 -@237,16 -@236,17"},
        {1, "Ok Menu", "Quit@50,55 About@124,56 About@9,39 Skins@8,39 Skins@123,23 -@124,23 -@7,60 Quit@123,72 -@123,73 "
                       "Menu@5,5 -@150,50"},
        {1, "Ok Menu Skins", "Close@221,3 Min@220,15 -@10,30 -@150,50 -@5,5"},
        {2, "", "Ok@64,116 -@63,116 Ok@185,169 -@186,169 -@185,170 Net@471,181 -@472,181"},
        {2, "Ok", "-@1,1 Menu@2,2 Menu@53,43 B0@54,43 B0@123,179 -@123,180 B1@124,38 -@124,37 B3@471,179 -@472,100 "
                  "Min@410,31 -@410,32 Close@473,33 -@474,33 -@473,34"},
        {2, "Ok Menu", "Quit@100,110 About@249,113 -@250,113 Skins@16,81 About@18,81 -@15,50 -@300,100"},
        {2, "Ok Menu Skins", "Close@442,6 -@20,60"},
    };
    for (const auto& row : kRows) {
        scale = row.scale;
        Play(row.steps);
        std::istringstream points(row.points);
        for (std::string point; points >> point;) {
            const size_t at = point.find('@');
            const float x = std::stof(point.substr(at + 1)), y = std::stof(point.substr(point.find(',') + 1));
            std::string hit = "-";
            for (auto& [name, spot] : Spots())
                if (form->HitTest(x, y) == spot) hit = name;
            EXPECT_EQ(hit, point.substr(0, at)) << "'" << row.steps << "' at scale " << row.scale;
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

// The density sets a whole-number scale: the place read at start-up, the
// window's size, the button rectangles and the place saved at quit follow it,
// and config.sn keeps meaning inches (15 / scale twips a pixel).
TEST_F(ScreensTest, TheDensitySetsAWholeScaleAndTwipsKeepMeaningInches) {
    const struct { int dpi, scale; const char *numbers, *place, *saved; } kRows[] = {
        {96, 1, " 3000 \r\n 1500 ", "200,100", "-150 \r\n 10995 "},
        {143, 1, " 3000 \r\n 150 ", "200,10", "-150 \r\n 9645 "},
        {144, 2, " 3000 \r\n 1500 ", "400,200", " 1425 \r\n 6247.5 "},
        {192, 2, "left\r\n", "0,0", "-1575 \r\n 4747.5 "},
        {239, 2, " 3001 \r\n 1500 ", "400,200", " 1425 \r\n 6247.5 "},
        {240, 3, " 3000 \r\n 1500 ", "600,300", " 1950 \r\n 4665 "},
        {20, 1, " 3000 \r\n 1500 ", "200,100", "-150 \r\n 10995 "},
    };
    for (const auto& row : kRows) {
        // OK, the two keys, a move, and the close box.
        const std::string kBlue = "\r\nBlue\\\r\n";
        folder.Write("config.sn", row.numbers + kBlue);
        scale = row.scale;
        EXPECT_EQ(Play("Ok k97 k98 bg Close", row.dpi), 0) << row.dpi;
        std::string expected = std::string("size 240,95; position ") + row.place + "; size 240,95";
        for (std::string rect : {"3,19,60,71", "62,19,58,71"})
            expected += R"(; copy \skins\Blue\box2.bmp )" + rect + R"(; copy \skins\Blue\box.bmp )" + rect;
        EXPECT_EQ(std::tuple(p->scale, Log("size position copy"), folder.Read("config.sn")),
                  std::tuple(row.scale, expected, row.saved + kBlue)) << row.dpi;
    }
}

// A saved place that would leave the menu button off every monitor comes
// back the shortest way onto the nearest one; a place partly past an edge
// stays as it was saved. Two monitors side by side, the right one smaller.
TEST_F(ScreensTest, APlaceOffEveryMonitorComesBackTheShortestWay) {
    const struct { int scale; const char *numbers, *place; bool noMonitors = false; } kRows[] = {
        {1, " 48000 \r\n 1500 ", "2960,100"},   // past the right monitor's right edge
        {1, "-1500 \r\n 1500 ", "0,100"},       // off the left
        {1, " 3000 \r\n 16050 ", "200,985"},    // the menu button below the left monitor
        {1, " 3000 \r\n-30000 ", "200,0"},      // off the top
        {1, " 27000 \r\n 15000 ", "1800,1000"}, // partly past two edges: the menu button is on
        {1, " 45000 \r\n 1500 ", "3000,100", true},
        {2, " 45000 \r\n 1500 ", "2720,200"},
        {2, " 3000 \r\n 7800 ", "400,890"},     // 95 x 2 pixels high at 1040: its menu button below
        {2, " 3000 \r\n 7425 ", "400,990"},
    };
    for (const auto& row : kRows) {
        folder.Write("config.sn", row.numbers + std::string("\r\nBlue\\\r\n"));
        scale = row.scale;
        monitors.clear();
        if (!row.noMonitors) monitors = {{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}};
        Play("");
        EXPECT_EQ(Pair(p->x, p->y), row.place) << row.numbers;
    }
}

}  // namespace
}  // namespace snickit::test

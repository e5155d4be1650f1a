// The screens and the sound buttons (by mouse and keypad, with the capture):
// what each step shows and plays, in the order the user sees and hears it;
// which hot spot a press reaches, and the window's place on every density.
#include "tests/support/Fixture.h"

namespace snickit::test {
namespace {

using ScreensTest = SnickitTest;

const std::string kToChooser = R"(picture \skins\Blue\menu.bmp; picture \skins\Blue\box.bmp; list shown; )";
const char* const kRects[4] = {"3,19,60,71", "62,19,58,71", "119,19,58,71", "176,19,60,71"};
// A press of button i, its release.
std::string Down(int i) { return std::string(R"(copy \skins\Blue\box2.bmp )") + kRects[i]; }
std::string Up(int i) {
    return R"(sound \skins\Blue\)" + std::to_string(i + 1) + R"(.wav; copy \skins\Blue\box.bmp )" + kRects[i];
}
std::string Join(std::initializer_list<std::string> parts) {
    std::string joined;
    for (const std::string& part : parts) joined += (joined.empty() ? "" : "; ") + part;
    return joined;
}

TEST_F(ScreensTest, EachStepShowsAndPlaysInOrder) {
    struct Row { std::string steps, screen, log; };
    std::vector<Row> rows = {
        {"Ok", Pad("Blue"),
         R"(size 240,95; position 200,100; items apple,Blue,red; load \skins\Blue\box.bmp; picture \skins\Blue\box.bmp; )"
         "size 240,95; picture about; show; " + kReload},
        {"| Net Net Min B0 Menu +bg.R", kAbout,
         "open https://snickit.example.org/; open https://snickit.example.org/; minimize; move 1; move 1; move 2"},
        {"Ok | Menu Min @200,50 Menu", Pad("Blue"),
         R"(picture \skins\Blue\menu.bmp; minimize; move 1; picture \skins\Blue\box.bmp)"},
        // The shown list, above the buttons, takes the presses inside its bounds only.
        {"Ok | Menu Skins Min @5,50 @6,50 @232,50 @233,50 @100,20 @100,21 @100,87 @100,88", Chooser("Blue", 1),
         kToChooser + "minimize; move 1; move 1; move 1; move 1"},
        {"Ok | Menu Skins s1 s0 s1 dbl", Pad("Blue"),  // the current skin selected again: no preview
         kToChooser + R"(load \skins\apple\box.bmp; picture \skins\apple\box.bmp; load \skins\Blue\box.bmp; )"
                      R"(picture \skins\Blue\box.bmp; list hidden; load \skins\Blue\box2.bmp; )"
                      R"(load \skins\Blue\menu.bmp)"},
        {"Ok | Menu Skins s0 dbl B2 Menu Skins", Chooser("apple", 0),
         kToChooser + R"(load \skins\apple\box.bmp; picture \skins\apple\box.bmp; list hidden; )"
                      R"(load \skins\apple\box2.bmp; load \skins\apple\menu.bmp; )"
                      R"(copy \skins\apple\box2.bmp 119,19,58,71; sound \skins\apple\3.wav; )"
                      R"(copy \skins\apple\box.bmp 119,19,58,71; picture \skins\apple\menu.bmp; )"
                      R"(picture \skins\apple\box.bmp; list shown)"},
        {"Ok | Menu About Skins Menu B0 Ok Menu", MenuOf("Blue"),
         R"(picture \skins\Blue\menu.bmp; picture about; move 1; move 1; move 1; )" + kReload +
             R"(; picture \skins\Blue\menu.bmp)"},
        {"Ok | k96 k101 k35 k40 k34 k37 k12 k45 k49 k0 k-1 k65535", Pad("Blue"), ""},
        {"Ok | kd98 kd98 ku98", Pad("Blue"), Join({Down(1), Down(1), Up(1)})},
        {"Ok | kd99 kd100 ku99 ku100", Pad("Blue"), Join({Down(2), Down(3), Up(2), Up(3)})},
        {"| k97", kAbout, Join({"copy  3,19,60,71", Up(0)})},  // the pressed picture is not loaded yet
        {"Ok | Menu k98 About k99 Ok Menu Skins k100", Chooser("Blue", 1),
         Join({R"(picture \skins\Blue\menu.bmp)", Down(1), Up(1), "picture about", Down(2), Up(2), kReload,
               R"(picture \skins\Blue\menu.bmp; picture \skins\Blue\box.bmp; list shown)", Down(3), Up(3)})},
        {"Ok | +B1 +B3.R -out -out.R", Pad("Blue"), Join({Down(1), Down(1), Up(1), Up(1)})},
        {"Ok | -B0 +B0 -B0.R -B0", Pad("Blue"), Join({Down(0), Up(0)})},
        {"Ok | +Menu +Menu.R -Menu -bg.R", Pad("Blue"), ""},
        {"Ok | +Menu +bg.R -bg.R -Menu", MenuOf("Blue"), R"(picture \skins\Blue\menu.bmp)"},
        {"Ok | +Menu -bg +Min.M -Min.M", Pad("Blue"), "minimize"},
        {"Ok | +bg.R +bg.M +bg", Pad("Blue"), "move 2; move 4; move 1"},
    };
    for (int i = 0; i < 4; ++i) {
        // A click, its key, the right button released outside, the middle
        // one released over the next button: each presses and releases button i.
        const std::string b = "B" + std::to_string(i), once = Join({Down(i), Up(i)});
        rows.push_back({"Ok | " + b + " k" + std::to_string(97 + i) + " +" + b + ".R -out.R +" + b + ".M -B" +
                            std::to_string((i + 1) % 4) + ".M", Pad("Blue"), Join({once, once, once, once})});
    }
    // At 200 % the same, in design pixels (the recording window divides by
    // the scale and marks what does not divide); only the place is in
    // screen pixels.
    for (int s : {1, 2}) {
        scale = s;
        for (const Row& row : rows) {
            std::string log = row.log;
            if (const size_t at = log.find("position 200,100"); s == 2 && at != std::string::npos)
                log.replace(at, 16, "position 400,200");
            EXPECT_EQ(Play(row.steps), kStillRunning) << row.steps;
            EXPECT_EQ(std::pair(Screen(), Log()), std::pair(row.screen, log)) << row.steps << " at scale " << s;
        }
    }
}

// On every screen, points in window pixels at the edges and overlaps of the
// hot spots, and the highest visible hot spot each reaches ("-": none).
TEST_F(ScreensTest, APressReachesTheHighestVisibleHotSpotUnderIt) {
    const struct { int scale; const char *steps, *points; } kRows[] = {
        {1, "", "Ok@32,58 -@31,58 Ok@92,84 -@93,84 -@92,85 Net@130,56 Net@235,90 -@236,90 -@130,55 -@10,30"},
        {1, "Ok", "-@0,0 Menu@1,1 Menu@10,21 B0@27,21 B0@61,89 -@61,90 B1@62,19 -@62,18 B2@119,50 B3@176,50 "
                  "B3@235,89 -@236,50 Min@205,15 -@205,16 Close@221,3 Close@236,16 -@237,16 -@236,17"},
        {1, "Ok Menu", "Quit@50,55 About@124,56 About@9,39 Skins@8,39 Skins@123,23 -@124,23 Quit@123,72 -@123,73"},
        {2, "", "Ok@64,116 -@63,116 Ok@185,169 -@186,169 -@185,170 Net@471,181 -@472,181"},
        {2, "Ok", "-@1,1 Menu@2,2 Menu@53,43 B0@54,43 B0@123,179 -@123,180 B1@124,38 -@124,37 B3@471,179 -@472,100 "
                  "Min@410,31 -@410,32 Close@473,33 -@474,33 -@473,34"},
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

// The density sets a whole-number scale: the place read at start-up, the
// window's size, the button rectangles and the place saved at quit follow it,
// and config.sn keeps meaning inches (15 / scale twips a pixel). A saved
// place that would leave the menu button off every monitor comes back the
// shortest way onto the nearest one; a place partly past an edge stays as it
// was saved. Two monitors side by side, the right one smaller. Rows with
// what quit saves press OK, the two keys, move and close; the others only
// start.
TEST_F(ScreensTest, TheDensitySetsAWholeScaleAndThePlaceStaysReachable) {
    const struct { int dpi, scale; const char *numbers, *place, *saved; bool noMonitors = false; } kRows[] = {
        {143, 1, " 3000 \r\n 150 ", "200,10", "-150 \r\n 9645 "},
        {144, 2, " 3000 \r\n 1500 ", "400,200", " 1425 \r\n 6247.5 "},
        {192, 2, "left\r\n", "0,0", "-1575 \r\n 4747.5 "},
        {240, 3, " 3000 \r\n 1500 ", "600,300", " 1950 \r\n 4665 "},
        {20, 1, " 3008 \r\n 1493 ", "201,100", "-135 \r\n 10995 "},  // twips rounded to pixels
        {96, 1, " 48000 \r\n 1500 ", "2960,100", nullptr},   // past the right monitor's right edge
        {96, 1, "-1500 \r\n 1500 ", "0,100", nullptr},       // off the left
        {96, 1, " 3000 \r\n 16050 ", "200,985", nullptr},    // the menu button below the left monitor
        {96, 1, " 3000 \r\n-30000 ", "200,0", nullptr},      // off the top
        {96, 1, " 27000 \r\n 15000 ", "1800,1000", nullptr}, // partly past two edges: the menu button is on
        {96, 1, " 45000 \r\n 1500 ", "3000,100", nullptr, true},
        {192, 2, " 45000 \r\n 1500 ", "2720,200", nullptr},
        {192, 2, " 3000 \r\n 7800 ", "400,890", nullptr},     // 95 x 2 pixels high at 1040: its menu button below
        {192, 2, " 3000 \r\n 7425 ", "400,990", nullptr},
    };
    for (const auto& row : kRows) {
        const std::string kBlue = "\r\nBlue\\\r\n";
        folder.Write("config.sn", row.numbers + kBlue);
        scale = row.scale;
        monitors.clear();
        if (!row.noMonitors) monitors = {{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}};
        EXPECT_EQ(Play(row.saved ? "Ok k97 k98 bg Close" : "", row.dpi), row.saved ? 0 : kStillRunning) << row.dpi;
        std::string expected = "size 240,95; size 240,95", set = Log("position");
        for (std::string r : {"3,19,60,71", "62,19,58,71"})
            if (row.saved) expected += R"(; copy \skins\Blue\box2.bmp )" + r + R"(; copy \skins\Blue\box.bmp )" + r;
        // The last place set is the one the window keeps.
        EXPECT_EQ(std::tuple(p->scale, set.substr(set.rfind(' ') + 1), Log("size copy"), folder.Read("config.sn")),
                  std::tuple(row.scale, row.place, expected, (row.saved ? row.saved : row.numbers) + kBlue)) << row.dpi;
    }
}

}  // namespace
}  // namespace snickit::test

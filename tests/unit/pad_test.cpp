// Sound buttons by mouse and keypad, the capture, clicks, and what quitting
// saves.
#include "tests/support/Fixture.h"

namespace snickit::test {
namespace {

using PadTest = SnickitTest;

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

TEST_F(PadTest, MouseKeysAndCaptureReachTheButtonsAsTheUserMeansThem) {
    std::vector<std::pair<std::string, std::string>> rows = {
        {"Ok | k96 k101 k35 k40 k34 k37 k12 k45 k49 k0 k-1 k65535", ""},
        {"Ok | kd98 kd98 ku98", Join({Down(1), Down(1), Up(1)})},
        {"Ok | kd99 kd100 ku99 ku100", Join({Down(2), Down(3), Up(2), Up(3)})},
        {"| k97", Join({"copy  3,19,60,71", Up(0)})},  // the pressed picture is not loaded yet
        {"Ok | Menu k98 About k99 Ok Menu Skins k100",
         Join({R"(picture \skins\Blue\menu.bmp)", Down(1), Up(1), "picture about", Down(2), Up(2), kReload,
               R"(picture \skins\Blue\menu.bmp; picture \skins\Blue\box.bmp; list shown)", Down(3), Up(3)})},
        {"Ok | +B1 +B3.R -out -out.R", Join({Down(1), Down(1), Up(1), Up(1)})},
        {"Ok | -B0 +B0 -B0.R -B0", Join({Down(0), Up(0)})},
        {"Ok | +Menu +Menu.R -Menu -bg.R", ""},
        {"Ok | +Menu +bg.R -bg.R -Menu", R"(picture \skins\Blue\menu.bmp)"},
        {"Ok | +Menu -bg +Min.M -Min.M", "minimize"},
        {"Ok | +bg.R +bg.M +bg", "move 2; move 4; move 1"},
    };
    for (int i = 0; i < 4; ++i) {
        // A click, its key, the right button released outside, the middle
        // one released over the next button: each presses and releases button i.
        const std::string b = "B" + std::to_string(i), once = Join({Down(i), Up(i)});
        rows.emplace_back("Ok | " + b + " k" + std::to_string(97 + i) + " +" + b + ".R -out.R +" + b + ".M -B" +
                              std::to_string((i + 1) % 4) + ".M", Join({once, once, once, once}));
    }
    for (const auto& [steps, log] : rows) {
        EXPECT_EQ(Play(steps), kStillRunning) << steps;
        EXPECT_EQ(Log(), log) << steps;
    }
}

TEST_F(PadTest, OnlyTheQuitHotSpotsSaveThePlaceAndTheSkin) {
    const std::string kOld = std::string(kConfig) + "old fourth line\r\n";
    const std::string kMoved = "-150 \r\n 10995 \r\nBlue\\\r\n";
    // A line 3 that leads out of the skins folder: no sound of its own, and
    // saved as it was.
    const std::string kStray = " 3000 \r\n 1500 \r\n..\\skins\\Blue\\\r\n";
    const struct { const char* steps; std::string saved, log, config = ""; } kRows[] = {
        {"Ok | bg Menu Quit", kMoved, R"(move 1; write \config.sn)"},
        {"bg Close Ok", kMoved, R"(load \skins\Blue\box.bmp; move 1; write \config.sn)"},
        {"Ok | Menu Skins s2 Close", " 3000 \r\n 1500 \r\nred\\\r\n", R"(load \skins\red\box.bmp; write \config.sn)"},
        {"Ok | Menu About Close Ok", kConfig, R"(write \config.sn)"},
        {"Ok | bg Menu Skins s2 x Close", kOld, R"(move 1; load \skins\red\box.bmp)"},
        {"x Ok", kOld, R"(load \skins\Blue\box.bmp)"},
        {"k97 Close", kStray, R"(copy  3,19,60,71; sound default; copy  3,19,60,71; write \config.sn)", kStray},
    };
    for (const auto& row : kRows) {
        folder.Write("config.sn", row.config.empty() ? kOld : row.config);
        EXPECT_EQ(Play(row.steps), 0) << row.steps;
        EXPECT_EQ(std::pair(folder.Read("config.sn"), Log("load move copy sound write")), std::pair(row.saved, row.log))
            << row.steps;
    }
}

}  // namespace
}  // namespace snickit::test

// Sound buttons by mouse and keypad, quitting, and what is saved.
#include "tests/support/Fixture.h"

namespace snickit::test {
namespace {

using PadTest = SnickitTest;

const char* const kRects[4] = {"3,19,60,71", "62,19,58,71", "119,19,58,71", "176,19,60,71"};

TEST_F(PadTest, EachButtonShowsPressedThenPlaysAndRestores) {
    RecordingPlatform& p = StartOnPad();
    for (int i = 0; i < 4; ++i) {
        p.Press(kButton[i].x, kButton[i].y);
        p.Idle();  // held down
        p.Then([&, i] {
            EXPECT_EQ(p.ShownAt(kButton[i].x, kButton[i].y), "\\skins\\Blue\\box2.bmp");
            EXPECT_EQ(p.ShownAt(kBackground.x, kBackground.y), "\\skins\\Blue\\box.bmp");
            EXPECT_TRUE(p.Effects("sound").size() == static_cast<size_t>(i));  // nothing on a press
        });
        p.Release(kButton[i].x, kButton[i].y);
        p.Then([&, i] { EXPECT_EQ(p.ShownAt(kButton[i].x, kButton[i].y), "\\skins\\Blue\\box.bmp"); });
    }
    EXPECT_EQ(Run(), RecordingPlatform::kStillRunning);
    Names expected;
    for (int i = 0; i < 4; ++i) {
        expected.push_back(std::string("copy \\skins\\Blue\\box2.bmp ") + kRects[i]);
        expected.push_back("sound \\skins\\Blue\\" + std::to_string(i + 1) + ".wav");
        expected.push_back(std::string("copy \\skins\\Blue\\box.bmp ") + kRects[i]);
    }
    EXPECT_EQ(p.log, expected);
}

TEST_F(PadTest, ASoundThatIsMissingOrFailsItsCheckPlaysTheDefaultSound) {
    folder.Write("skins/Blue/1.wav", WavFile({.rate = 1, .bits = 8, .dataBytes = 20000}));
    folder.Remove("skins/Blue/2.wav");
    folder.Write("skins/Blue/3.wav", "RIFF");
    RecordingPlatform& p = StartOnPad();
    for (int i = 0; i < 4; ++i) Click(kButton[i]);
    EXPECT_EQ(Run(), RecordingPlatform::kStillRunning);
    EXPECT_EQ(p.Effects("sound"), (Names{"sound default", "sound default", "sound default", "sound \\skins\\Blue\\4.wav"}));
}

TEST_F(PadTest, TheCaptureKeepsTheReleaseWithThePressedButton) {
    RecordingPlatform& p = StartOnPad();
    p.Press(kButton[1].x, kButton[1].y, MouseButton::Right);
    p.Idle();
    p.Release(500, -40, MouseButton::Right);  // far outside the window
    p.Press(kButton[3].x, kButton[3].y, MouseButton::Middle);
    p.Idle();
    p.Release(kButton[0].x, kButton[0].y, MouseButton::Middle);  // over another button
    p.Release(kButton[0].x, kButton[0].y);  // a release with nothing pressed
    EXPECT_EQ(Run(), RecordingPlatform::kStillRunning);
    EXPECT_EQ(p.Effects("sound"), (Names{"sound \\skins\\Blue\\2.wav", "sound \\skins\\Blue\\4.wav"}));
    EXPECT_EQ(p.Effects("copy").size(), 4u);
    EXPECT_TRUE(p.Effects("move").empty());
}

TEST_F(PadTest, ARepaintLosesThePressedLookTheReleaseStillPlays) {
    RecordingPlatform& p = StartOnPad();
    p.Press(kButton[2].x, kButton[2].y);
    p.Idle();
    p.Expose();
    p.Then([&] { EXPECT_EQ(p.ShownAt(kButton[2].x, kButton[2].y), "\\skins\\Blue\\box.bmp"); });
    p.Release(kButton[2].x, kButton[2].y);
    EXPECT_EQ(Run(), RecordingPlatform::kStillRunning);
    EXPECT_EQ(p.Effects("sound"), (Names{"sound \\skins\\Blue\\3.wav"}));
}

TEST_F(PadTest, KeypadOneToFourPlayTheButtonsOnEveryScreen) {
    RecordingPlatform& p = StartOnPad();
    // Pad.
    p.KeyDown(97);
    p.Idle();
    p.Then([&] { EXPECT_EQ(p.ShownAt(kButton[0].x, kButton[0].y), "\\skins\\Blue\\box2.bmp"); });
    p.KeyUp(97);
    // Menu: painted over the menu picture.
    Click(kMenu);
    p.KeyDown(98, 1);  // a modifier changes nothing
    p.KeyUp(98, 1);
    p.Then([&] {
        EXPECT_EQ(p.ShownAt(kButton[1].x, kButton[1].y), "\\skins\\Blue\\box.bmp");
        EXPECT_EQ(p.ShownAt(kSkinsItem.x, kSkinsItem.y), "\\skins\\Blue\\menu.bmp");
    });
    // About, opened from the menu.
    Click(kAboutItem);
    p.KeyDown(99);
    p.KeyUp(99);
    p.Then([&] { EXPECT_EQ(p.ShownAt(kButton[2].x, kButton[2].y), "\\skins\\Blue\\box.bmp"); });
    Click(kOk);
    // Chooser.
    Click(kMenu);
    Click(kSkinsItem);
    p.KeyDown(100);
    p.KeyUp(100);
    EXPECT_EQ(Run(), RecordingPlatform::kStillRunning);
    EXPECT_EQ(p.Effects("sound"), (Names{"sound \\skins\\Blue\\1.wav", "sound \\skins\\Blue\\2.wav",
                                         "sound \\skins\\Blue\\3.wav", "sound \\skins\\Blue\\4.wav"}));
}

TEST_F(PadTest, OnlyKeypadOneToFourAreShortcuts) {
    RecordingPlatform& p = StartOnPad();
    for (int key : {96, 101, 49, 50, 51, 52, 35, 40, 34, 37, 0, -1, 65535}) {
        p.KeyDown(key);
        p.KeyUp(key);
    }
    EXPECT_EQ(Run(), RecordingPlatform::kStillRunning);
    EXPECT_TRUE(p.log.empty()) << p.log.front();
}

TEST_F(PadTest, AutoRepeatPaintsAgainAndPlaysOnceOnTheKeyUp) {
    RecordingPlatform& p = StartOnPad();
    p.KeyDown(98);
    p.KeyDown(98);
    p.KeyDown(98);
    p.KeyUp(98);
    // Overlapping keys: both pressed, each plays at its own key-up.
    p.KeyDown(99);
    p.Idle();
    p.KeyDown(100);
    p.Idle();
    p.Then([&] {
        EXPECT_EQ(p.ShownAt(kButton[2].x, kButton[2].y), "\\skins\\Blue\\box2.bmp");
        EXPECT_EQ(p.ShownAt(kButton[3].x, kButton[3].y), "\\skins\\Blue\\box2.bmp");
    });
    p.KeyUp(99);
    p.KeyUp(100);
    EXPECT_EQ(Run(), RecordingPlatform::kStillRunning);
    EXPECT_EQ(p.Effects("copy \\skins\\Blue\\box2.bmp 62").size(), 3u);
    EXPECT_EQ(p.Effects("sound"), (Names{"sound \\skins\\Blue\\2.wav", "sound \\skins\\Blue\\3.wav",
                                         "sound \\skins\\Blue\\4.wav"}));
}

TEST_F(PadTest, KeysDuringTheStartUpScreenPaintWhatTheBuffersHold) {
    RecordingPlatform& p = Start();
    p.KeyDown(97);
    p.KeyUp(97);
    EXPECT_EQ(Run(), RecordingPlatform::kStillRunning);
    // The pressed picture is not loaded yet: nothing is copied from it.
    EXPECT_EQ(p.Effects("copy"), (Names{"copy  3,19,60,71", "copy \\skins\\Blue\\box.bmp 3,19,60,71"}));
    EXPECT_EQ(p.Effects("sound"), (Names{"sound \\skins\\Blue\\1.wav"}));
}

TEST_F(PadTest, ButtonRectanglesRoundHalvesToEvenOnOtherScreens) {
    // At 10 twips per pixel button 1 sits at 93, 28.5 with size 87 x 106.5.
    RecordingPlatform& p = Start(10.0f);
    p.KeyDown(98);
    p.KeyUp(98);
    p.KeyDown(97);  // 4.5, 28.5, 90, 106.5
    EXPECT_EQ(Run(), RecordingPlatform::kStillRunning);
    EXPECT_EQ(p.Effects("copy").front(), "copy  93,28,87,106");
    EXPECT_EQ(p.Effects("copy").back(), "copy  4,28,90,106");
    EXPECT_EQ(RoundHalfEven(2.5f), 2);
    EXPECT_EQ(RoundHalfEven(3.5f), 4);
    EXPECT_EQ(RoundHalfEven(-2.5f), -2);
    EXPECT_EQ(RoundHalfEven(2.6f), 3);
}

TEST_F(PadTest, AfterASkinChangeTheNextReleasePlaysTheNewSkin) {
    RecordingPlatform& p = StartOnPad();
    Click(kButton[0]);
    Click(kMenu);
    Click(kSkinsItem);
    p.SelectInList(1);
    p.DoubleClickList();
    Click(kButton[0]);
    EXPECT_EQ(Run(), RecordingPlatform::kStillRunning);
    EXPECT_EQ(p.Effects("sound"), (Names{"sound \\skins\\Blue\\1.wav", "sound \\skins\\red\\1.wav"}));
    EXPECT_EQ(p.Effects("copy").back(), "copy \\skins\\red\\box.bmp 3,19,60,71");
}

TEST_F(PadTest, BothQuitHotSpotsSaveThePlaceAndTheSkinThenEnd) {
    for (Point quit : {kClose, kQuitItem}) {
        folder.Write("config.sn", " 3000 \r\n 1500 \r\nBlue\\\r\nold fourth line\r\n");
        RecordingPlatform& p = StartOnPad();
        p.MoveDestination(-10, 733);
        p.Press(kBackground.x, kBackground.y);
        if (quit.y == kQuitItem.y) Click(kMenu);
        Click(quit);
        Click(kButton[0]);  // never runs
        EXPECT_EQ(Run(), 0);
        EXPECT_EQ(folder.Read("config.sn"), "-150 \r\n 10995 \r\nBlue\\\r\n");
        EXPECT_EQ(p.log.back(), "write \\config.sn");
        EXPECT_TRUE(p.Effects("sound").empty());
        EXPECT_FALSE(folder.Exists("config.sn.new"));
    }
}

TEST_F(PadTest, APreviewedSkinIsSavedAtQuitAndUsedAtTheNextStart) {
    RecordingPlatform& p = StartOnPad();
    Click(kMenu);
    Click(kSkinsItem);
    p.SelectInList(1);
    Click(kClose);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(folder.Read("config.sn"), " 3000 \r\n 1500 \r\nred\\\r\n");

    RecordingPlatform& next = StartOnPad();
    EXPECT_EQ(Run(), RecordingPlatform::kStillRunning);
    EXPECT_EQ(next.WindowPicture(), "\\skins\\red\\box.bmp");
    EXPECT_EQ(next.listSelection(), 1);
}

TEST_F(PadTest, ACloseFromOutsideForgetsWhatChangedSinceTheLastQuit) {
    RecordingPlatform& p = StartOnPad();
    p.MoveDestination(5, 5);
    p.Press(kBackground.x, kBackground.y);
    Click(kMenu);
    Click(kSkinsItem);
    p.SelectInList(1);
    p.CloseFromOutside();
    Click(kClose);  // never runs
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(folder.Read("config.sn"), " 3000 \r\n 1500 \r\nBlue\\\r\n");
    EXPECT_TRUE(p.Effects("write").empty());
}

TEST_F(PadTest, AFailedSaveLeavesTheOldFileAndSaysSo) {
    // The settings file's place is taken by a folder: nothing can replace it.
    RecordingPlatform& p = StartOnPad();
    p.Then([&] {
        folder.Remove("config.sn");
        folder.MakeFolder("config.sn");
        folder.Write("config.sn/keep", "x");
    });
    Click(kClose);
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(p.fatalMessage().rfind("The file cannot be written", 0), 0u) << p.fatalMessage();
    EXPECT_NE(p.fatalMessage().find("config.sn"), std::string::npos);
    EXPECT_EQ(folder.Read("config.sn/keep"), "x");
    EXPECT_FALSE(folder.Exists("config.sn.new"));
}

}  // namespace
}  // namespace snickit::test

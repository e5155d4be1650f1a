// The four screens, the switches between them and which hot spot a press
// reaches.
#include "tests/support/Fixture.h"

namespace snickit::test {
namespace {

using ScreensTest = SnickitTest;

const Names kPadSpots{"Image_Menu", "Image_BTN(3)", "Image_BTN(2)", "Image_BTN(1)",
                      "Image_BTN(0)", "Image_quit(0)", "Image_Min"};
const Names kMenuSpots{"Image_quit(1)", "Image_About", "Image_skin", "Image_Menu", "Image_quit(0)", "Image_Min"};
const Names kAboutSpots{"command_Ok", "Image_Net", "Image_quit(0)", "Image_Min"};
const Names kChooserSpots{"Image_quit(0)", "Image_Min"};

TEST_F(ScreensTest, MenuOpensAndClosesPictureFirst) {
    RecordingPlatform& p = StartOnPad();
    Click(kMenu);
    p.Then([&] {
        EXPECT_EQ(VisibleHotSpots(*form), kMenuSpots);
        EXPECT_EQ(p.WindowPicture(), "\\skins\\Blue\\menu.bmp");
        EXPECT_FALSE(p.listVisible());
    });
    Click(kMenu);
    EXPECT_EQ(Run(), RecordingPlatform::kStillRunning);
    EXPECT_EQ(VisibleHotSpots(*form), kPadSpots);
    EXPECT_EQ(p.log, (Names{"picture \\skins\\Blue\\menu.bmp", "picture \\skins\\Blue\\box.bmp"}));
}

TEST_F(ScreensTest, AboutFromTheMenuWaitsForOkThenReloadsTheSkinOnThePad) {
    RecordingPlatform& p = StartOnPad();
    Click(kMenu);
    Click(kAboutItem);
    p.Idle();
    p.Then([&] {
        EXPECT_EQ(VisibleHotSpots(*form), kAboutSpots);
        EXPECT_EQ(p.WindowPicture(), "about");
        EXPECT_EQ(form->AboutOpen, 1);
        // Files replaced while the about screen shows are the ones loaded.
        folder.Write("skins/Blue/box.bmp", FakeBitmap(200, 80));
    });
    Click(kMenu);  // hidden during the wait: a move, no menu
    Click(kOk);
    EXPECT_EQ(Run(), RecordingPlatform::kStillRunning);
    EXPECT_EQ(VisibleHotSpots(*form), kPadSpots);
    EXPECT_EQ(form->AboutOpen, 0);
    EXPECT_EQ(p.log, (Names{"picture \\skins\\Blue\\menu.bmp", "picture about", "move 1",
                            "load \\skins\\Blue\\box.bmp", "load \\skins\\Blue\\box2.bmp",
                            "load \\skins\\Blue\\menu.bmp", "picture \\skins\\Blue\\box.bmp"}));
    EXPECT_EQ(form->Picture_Etat1.Picture->Width(), 200);
}

TEST_F(ScreensTest, ChooserOpensOverTheNormalPictureAndAppliesOnDoubleClick) {
    RecordingPlatform& p = StartOnPad();
    Click(kMenu);
    Click(kSkinsItem);
    p.Then([&] {
        EXPECT_EQ(VisibleHotSpots(*form), kChooserSpots);
        EXPECT_TRUE(p.listVisible());
        EXPECT_EQ(p.listBounds().left, 6);
        EXPECT_EQ(p.listBounds().top, 21);
        EXPECT_EQ(p.listBounds().width, 227);
        EXPECT_EQ(p.listBounds().height, 67);
        EXPECT_EQ(p.WindowPicture(), "\\skins\\Blue\\box.bmp");
        EXPECT_EQ(p.listSelection(), 0);  // the stored skin, selected at start-up
        p.log.clear();
    });
    p.SelectInList(1);
    p.Then([&] {
        EXPECT_EQ(form->CurrentSkin, "red\\");
        EXPECT_EQ(p.log, (Names{"load \\skins\\red\\box.bmp", "picture \\skins\\red\\box.bmp"}));
        p.log.clear();
    });
    p.DoubleClickList();
    Click(kButton[2]);
    Click(kMenu);
    EXPECT_EQ(Run(), RecordingPlatform::kStillRunning);
    EXPECT_FALSE(p.listVisible());
    EXPECT_EQ(p.log, (Names{"list hidden", "load \\skins\\red\\box2.bmp", "load \\skins\\red\\menu.bmp",
                            "copy \\skins\\red\\box2.bmp 119,19,58,71", "sound \\skins\\red\\3.wav",
                            "copy \\skins\\red\\box.bmp 119,19,58,71", "picture \\skins\\red\\menu.bmp"}));
    EXPECT_EQ(VisibleHotSpots(*form), kMenuSpots);
}

TEST_F(ScreensTest, WhileTheListShowsNoHotSpotBeneathItAnswers) {
    RecordingPlatform& p = StartOnPad();
    Click(kMenu);
    Click(kSkinsItem);
    p.Then([&] { p.log.clear(); });
    Click(kButton[0]);   // under the list: the list's own
    Click(kQuitItem);    // under the list too
    Click({3, 10});      // beside the list: background
    Click(kMin);
    EXPECT_EQ(Run(), RecordingPlatform::kStillRunning);
    EXPECT_EQ(p.log, (Names{"move 1", "minimize"}));
    EXPECT_TRUE(p.listVisible());
}

TEST_F(ScreensTest, ReopeningTheChooserKeepsTheLastSelection) {
    RecordingPlatform& p = StartOnPad();
    Click(kMenu);
    Click(kSkinsItem);
    p.SelectInList(1);
    p.SelectInList(0);
    p.SelectInList(1);
    p.DoubleClickList();
    Click(kMenu);
    Click(kSkinsItem);
    EXPECT_EQ(Run(), RecordingPlatform::kStillRunning);
    EXPECT_TRUE(p.listVisible());
    EXPECT_EQ(p.listSelection(), 1);
    EXPECT_EQ(p.WindowPicture(), "\\skins\\red\\box.bmp");
    EXPECT_EQ(p.Effects("load \\skins\\red\\box.bmp").size(), 2u);
}

TEST_F(ScreensTest, ADoubleClickWithNothingSelectedDoesNothing) {
    folder.Write("config.sn", " 0 \r\n 0 \r\nblue\\\r\n");  // matches no entry exactly
    RecordingPlatform& p = StartOnPad();
    Click(kMenu);
    Click(kSkinsItem);
    p.DoubleClickList();
    EXPECT_EQ(Run(), RecordingPlatform::kStillRunning);
    EXPECT_TRUE(p.listVisible());
    EXPECT_EQ(form->CurrentSkin, "blue\\");
    EXPECT_EQ(VisibleHotSpots(*form), kChooserSpots);
}

TEST_F(ScreensTest, ApplyingAnIncompleteSkinEndsTheProgramWithoutSaving) {
    MakeSkin("Half", false);
    RecordingPlatform& p = StartOnPad();
    Click(kMenu);
    Click(kSkinsItem);
    p.SelectInList(1);  // Blue, Half, red
    p.DoubleClickList();
    EXPECT_EQ(Run(), 1);
    EXPECT_NE(p.fatalMessage().find("box2.bmp"), std::string::npos);
    EXPECT_EQ(form->CurrentSkin, "Half\\");
    EXPECT_EQ(folder.Read("config.sn"), " 3000 \r\n 1500 \r\nBlue\\\r\n");
    // By then the list was hidden and the pad's hot spots shown again.
    EXPECT_FALSE(p.listVisible());
    EXPECT_EQ(VisibleHotSpots(*form), kPadSpots);
}

TEST_F(ScreensTest, SelectingASkinWithoutPicturesEndsTheProgram) {
    folder.MakeFolder("skins/Empty");
    RecordingPlatform& p = StartOnPad();
    Click(kMenu);
    Click(kSkinsItem);
    p.SelectInList(1);  // Blue, Empty, red
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(p.fatalMessage().rfind("File not found", 0), 0u);
}

TEST_F(ScreensTest, PressesGoToTheHighestVisibleHotSpot) {
    RecordingPlatform& p = StartOnPad();
    p.Then([&] {
        // Pad: the menu button over button 0 in their shared strip; in a
        // shared column the higher index wins; a hidden menu item's area
        // belongs to the button beneath.
        EXPECT_EQ(form->HitTest(10, 20), &form->Image_Menu);
        EXPECT_EQ(form->HitTest(10, 22), &form->Image_BTN[0]);
        EXPECT_EQ(form->HitTest(62, 50), &form->Image_BTN[1]);
        EXPECT_EQ(form->HitTest(61, 50), &form->Image_BTN[0]);
        EXPECT_EQ(form->HitTest(119, 50), &form->Image_BTN[2]);
        EXPECT_EQ(form->HitTest(176, 50), &form->Image_BTN[3]);
        EXPECT_EQ(form->HitTest(235, 89), &form->Image_BTN[3]);
        EXPECT_EQ(form->HitTest(236, 50), nullptr);
        EXPECT_EQ(form->HitTest(20, 30), &form->Image_BTN[0]);
        EXPECT_EQ(form->HitTest(2, 50), nullptr);
        EXPECT_EQ(form->HitTest(120, 8), nullptr);
        EXPECT_EQ(form->HitTest(220, 8), &form->Image_Min);
        EXPECT_EQ(form->HitTest(221, 8), &form->Image_quit[0]);
    });
    Click(kMenu);
    p.Then([&] {
        // Menu: the lower item wins in shared rows; the buttons are gone.
        EXPECT_EQ(form->HitTest(20, 39), &form->Image_About);
        EXPECT_EQ(form->HitTest(20, 40), &form->Image_About);
        EXPECT_EQ(form->HitTest(20, 38), &form->Image_skin);
        EXPECT_EQ(form->HitTest(20, 55), &form->Image_quit[1]);
        EXPECT_EQ(form->HitTest(20, 56), &form->Image_quit[1]);
        EXPECT_EQ(form->HitTest(20, 73), nullptr);
        EXPECT_EQ(form->HitTest(8, 40), &form->Image_skin);  // About starts at x 9
        EXPECT_EQ(form->HitTest(200, 50), nullptr);
    });
    EXPECT_EQ(Run(), RecordingPlatform::kStillRunning);
}

TEST_F(ScreensTest, AClickNeedsThePressAndTheReleaseOnTheSameHotSpot) {
    RecordingPlatform& p = StartOnPad();
    p.Press(kMenu.x, kMenu.y);
    p.Release(kBackground.x, kBackground.y);  // released elsewhere: no click
    p.Press(kMin.x, kMin.y, MouseButton::Right);
    p.Release(kMin.x, kMin.y, MouseButton::Right);  // any button clicks
    EXPECT_EQ(Run(), RecordingPlatform::kStillRunning);
    EXPECT_EQ(p.log, (Names{"minimize"}));
    EXPECT_EQ(VisibleHotSpots(*form), kPadSpots);
}

TEST_F(ScreensTest, MinimizeAndRestoreKeepEveryScreen) {
    RecordingPlatform& p = StartOnPad();
    Click(kMenu);
    Click(kMin);
    p.Restore();
    p.Then([&] {
        EXPECT_FALSE(p.minimized());
        EXPECT_EQ(VisibleHotSpots(*form), kMenuSpots);
        EXPECT_EQ(p.WindowPicture(), "\\skins\\Blue\\menu.bmp");
    });
    Click(kSkinsItem);
    Click(kMin);
    p.Restore();
    EXPECT_EQ(Run(), RecordingPlatform::kStillRunning);
    EXPECT_TRUE(p.listVisible());
    EXPECT_EQ(VisibleHotSpots(*form), kChooserSpots);
    EXPECT_EQ(p.Effects("minimize").size(), 2u);
}

TEST_F(ScreensTest, BackgroundPressesMoveWithEveryButtonOnEveryScreen) {
    RecordingPlatform& p = StartOnPad();
    p.Press(kBackground.x, kBackground.y, MouseButton::Right);
    p.Press(kBackground.x, kBackground.y, MouseButton::Middle);
    Click(kMenu);
    p.Press(200, 50);  // a button's place, hidden on the menu
    EXPECT_EQ(Run(), RecordingPlatform::kStillRunning);
    EXPECT_EQ(p.Effects("move"), (Names{"move 2", "move 4", "move 1"}));
    EXPECT_TRUE(p.Effects("sound").empty());
}

}  // namespace
}  // namespace snickit::test

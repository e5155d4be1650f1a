#include "tests/support/Fixture.h"

namespace snickit::test {
namespace {

using StartupTest = SnickitTest;

TEST_F(StartupTest, ShowsTheAboutScreenAtTheStoredPlaceThenThePadAfterOk) {
    RecordingPlatform& p = Start();
    p.Then([&] {
        // Waiting for OK: the about picture at 200,100, 240 x 95.
        EXPECT_TRUE(p.shown());
        EXPECT_EQ(p.x(), 200);
        EXPECT_EQ(p.y(), 100);
        EXPECT_EQ(p.width(), 240);
        EXPECT_EQ(p.height(), 95);
        EXPECT_EQ(p.WindowPicture(), "about");
        EXPECT_EQ(form->AboutOpen, 1);
        EXPECT_EQ(VisibleHotSpots(*form), (Names{"command_Ok", "Image_Net", "Image_quit(0)", "Image_Min"}));
        EXPECT_FALSE(p.listVisible());
    });
    Click(kOk);
    EXPECT_EQ(Run(), RecordingPlatform::kStillRunning);

    EXPECT_EQ(p.log, (Names{
                         "position 200,100",
                         "load \\skins\\Blue\\box.bmp",  // the stored entry's preview, still hidden
                         "picture \\skins\\Blue\\box.bmp",
                         "picture about",
                         "show",
                         "load \\skins\\Blue\\box.bmp",
                         "load \\skins\\Blue\\box2.bmp",
                         "load \\skins\\Blue\\menu.bmp",
                         "picture \\skins\\Blue\\box.bmp",
                     }));
    EXPECT_EQ(VisibleHotSpots(*form), (Names{"Image_Menu", "Image_BTN(3)", "Image_BTN(2)", "Image_BTN(1)",
                                             "Image_BTN(0)", "Image_quit(0)", "Image_Min"}));
    EXPECT_EQ(form->CurrentSkin, "Blue\\");
    EXPECT_EQ(form->AboutOpen, 0);
    EXPECT_EQ(p.listItems(), (Names{"Blue", "red"}));
    EXPECT_EQ(p.listSelection(), 0);
}

TEST_F(StartupTest, TheOkWaitBlocksWhileIdleInsteadOfSpinning) {
    RecordingPlatform& p = Start();
    p.Idle();
    p.Idle();
    p.Idle();
    Click(kOk);
    EXPECT_EQ(Run(), RecordingPlatform::kStillRunning);
    // One pass before the first wait, then one after each time something
    // arrived: passes never outnumber the waits by more than the first.
    EXPECT_LE(p.dispatchPasses, p.waits + 1);
    EXPECT_EQ(form->AboutOpen, 0);
}

TEST_F(StartupTest, ListsEverySkinFolderSortedIgnoringCaseAndSelectsTheStoredOne) {
    MakeSkin("apple");
    MakeSkin("Zebra");
    folder.MakeFolder("skins/empty");
    folder.MakeFolder("skins/.hidden");
    folder.Write("skins/not-a-folder.bmp", "x");
    folder.Write("config.sn", "0\r\n0\r\nZebra\\\r\n");
    RecordingPlatform& p = Start();
    EXPECT_EQ(Run(), RecordingPlatform::kStillRunning);
    EXPECT_EQ(p.listItems(), (Names{"apple", "Blue", "empty", "red", "Zebra"}));
    EXPECT_EQ(p.listSelection(), 4);
    EXPECT_EQ(form->List1.ListIndex(), 4);
}

TEST_F(StartupTest, AStoredNameThatMatchesNoEntryExactlySelectsNothing) {
    // Differs in letter case only: nothing selected, nothing loaded before OK,
    // and the skin still loads after OK (the folder is found ignoring case).
    folder.Write("config.sn", " 0 \r\n 0 \r\nblue\\\r\n");
    RecordingPlatform& p = Start();
    p.Then([&] { EXPECT_TRUE(p.Effects("load").empty()); });
    Click(kOk);
    EXPECT_EQ(Run(), RecordingPlatform::kStillRunning);
    EXPECT_EQ(form->List1.ListIndex(), -1);
    EXPECT_EQ(form->CurrentSkin, "blue\\");
    EXPECT_EQ(p.Effects("load"), (Names{"load \\skins\\blue\\box.bmp", "load \\skins\\blue\\box2.bmp",
                                        "load \\skins\\blue\\menu.bmp"}));
    EXPECT_EQ(p.fatalMessage(), "");
}

TEST_F(StartupTest, NumberLinesWithoutNumbersPlaceTheWindowAtTheEdge) {
    folder.Write("config.sn", "left\r\n\r\nBlue\\\r\n");
    RecordingPlatform& p = Start();
    EXPECT_EQ(Run(), RecordingPlatform::kStillRunning);
    EXPECT_EQ(p.x(), 0);
    EXPECT_EQ(p.y(), 0);
    EXPECT_TRUE(p.shown());
}

TEST_F(StartupTest, PlacesByTheScreensTwipsPerPixel) {
    folder.Write("config.sn", "3000\r\n-150\r\nBlue\\\r\n");
    RecordingPlatform& p = Start(12.0f);  // 120 dots per inch
    EXPECT_EQ(Run(), RecordingPlatform::kStillRunning);
    EXPECT_EQ(p.x(), 250);
    EXPECT_EQ(p.y(), -13);  // -12.5 rounds away from zero
    // Hot spots scale with the screen; pictures do not.
    EXPECT_FLOAT_EQ(form->Image_BTN[1].Left(), 62 * 15 / 12.0f);
    EXPECT_EQ(p.width(), 240);
}

struct StartupFailure {
    const char* what;
    std::function<void(TempFolder&)> arrange;
    const char* message;
};

TEST_F(StartupTest, FailuresEndWithAMessageNamingTheFileAndWriteNothing) {
    const std::vector<StartupFailure> cases = {
        {"missing settings file", [](TempFolder& f) { f.Remove("config.sn"); }, "File not found"},
        {"short settings file", [](TempFolder& f) { f.Write("config.sn", " 3000 \r\n 1500 \r\n"); },
         "Input past end of file"},
        {"LF-only settings file", [](TempFolder& f) { f.Write("config.sn", "3000\n1500\nBlue\\\n"); },
         "Input past end of file"},
        {"missing skins folder", [](TempFolder& f) { f.Remove("skins"); }, "Path not found"},
        {"stored skin without box.bmp", [](TempFolder& f) { f.Remove("skins/Blue/box.bmp"); }, "File not found"},
        {"stored skin with a broken box.bmp", [](TempFolder& f) { f.Write("skins/Blue/box.bmp", "GIF89a"); },
         "Not a picture"},
    };
    for (const StartupFailure& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder fresh;
        fresh.Write("config.sn", " 3000 \r\n 1500 \r\nBlue\\\r\n");
        for (const char* file : {"box.bmp", "box2.bmp", "menu.bmp"}) fresh.Write(std::string("skins/Blue/") + file, FakeBitmap());
        c.arrange(fresh);
        const bool hadSettings = fresh.Exists("config.sn");
        const std::string settingsBefore = hadSettings ? fresh.Read("config.sn") : "";

        RecordingPlatform p(fresh.path());
        Form_Main f(p);
        p.Click(kOk.x, kOk.y);  // never reached: the window is not shown
        EXPECT_EQ(p.Run(f), 1);
        EXPECT_EQ(p.fatalMessage().rfind(c.message, 0), 0u) << p.fatalMessage();
        EXPECT_FALSE(p.shown());
        EXPECT_TRUE(p.Effects("write").empty());
        EXPECT_EQ(fresh.Exists("config.sn"), hadSettings);
        if (hadSettings) {
            EXPECT_EQ(fresh.Read("config.sn"), settingsBefore);
        }
    }
}

TEST_F(StartupTest, ASkinThatFailsAfterOkEndsTheProgram) {
    folder.Write("config.sn", " 0 \r\n 0 \r\nGone\\\r\n");
    RecordingPlatform& p = Start();
    Click(kOk);
    EXPECT_EQ(Run(), 1);
    EXPECT_NE(p.fatalMessage().find("box.bmp"), std::string::npos);
    EXPECT_TRUE(p.shown());
    EXPECT_EQ(folder.Read("config.sn"), " 0 \r\n 0 \r\nGone\\\r\n");

    // A skin with only box.bmp fails at box2.bmp, after the buttons showed.
    MakeSkin("Half", false);
    folder.Write("config.sn", " 0 \r\n 0 \r\nHalf\\\r\n");
    RecordingPlatform& q = Start();
    Click(kOk);
    EXPECT_EQ(Run(), 1);
    EXPECT_NE(q.fatalMessage().find("box2.bmp"), std::string::npos);
}

TEST_F(StartupTest, AnEmptySkinLineLooksInTheSkinsFolderItself) {
    folder.Write("config.sn", " 0 \r\n 0 \r\n\r\n");
    for (const char* file : {"box.bmp", "box2.bmp", "menu.bmp"}) folder.Write(std::string("skins/") + file, FakeBitmap());
    RecordingPlatform& p = Start();
    Click(kOk);
    EXPECT_EQ(Run(), RecordingPlatform::kStillRunning);
    EXPECT_EQ(p.WindowPicture(), "\\skins\\box.bmp");
}

TEST_F(StartupTest, DuringTheAboutScreenOnlyItsHotSpotsAnswer) {
    RecordingPlatform& p = Start();
    Click(kButton[0]);  // hidden button: the background, so a move
    Click(kMenu);       // hidden menu button: a move too
    Click(kNet);
    Click(kNet);
    Click(kMin);
    p.Restore();
    p.Then([&] {
        EXPECT_EQ(p.WindowPicture(), "about");
        EXPECT_EQ(form->AboutOpen, 1);
    });
    EXPECT_EQ(Run(), RecordingPlatform::kStillRunning);
    EXPECT_EQ(p.Effects("move").size(), 2u);
    EXPECT_TRUE(p.Effects("sound").empty());
    EXPECT_EQ(p.Effects("open"), (Names{"open " + std::string(kProductWebPage), "open " + std::string(kProductWebPage)}));
    EXPECT_EQ(p.Effects("minimize").size(), 1u);
    EXPECT_EQ(form->AboutOpen, 1);  // still waiting for OK
}

TEST_F(StartupTest, QuittingDuringTheAboutScreenSavesTheStoredSkinAndEnds) {
    RecordingPlatform& p = Start();
    p.MoveDestination(30, 40);
    Click(kBackground);
    Click(kClose);
    Click(kOk);  // never runs
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(folder.Read("config.sn"), " 450 \r\n 600 \r\nBlue\\\r\n");
    EXPECT_EQ(p.Effects("load"), (Names{"load \\skins\\Blue\\box.bmp"}));
    EXPECT_EQ(form->AboutOpen, 1);
}

TEST_F(StartupTest, ACloseFromOutsideDuringTheWaitEndsWithoutSaving) {
    RecordingPlatform& p = Start();
    p.CloseFromOutside();
    Click(kOk);
    EXPECT_EQ(Run(), 0);
    EXPECT_TRUE(p.Effects("write").empty());
    EXPECT_EQ(folder.Read("config.sn"), " 3000 \r\n 1500 \r\nBlue\\\r\n");
}

TEST_F(StartupTest, AFailingWebLinkIsNoFailure) {
    RecordingPlatform& p = Start();
    p.SetOpenUrlResult(false);
    Click(kNet);
    Click(kOk);
    EXPECT_EQ(Run(), RecordingPlatform::kStillRunning);
    EXPECT_EQ(p.fatalMessage(), "");
    EXPECT_EQ(p.WindowPicture(), "\\skins\\Blue\\box.bmp");
}

}  // namespace
}  // namespace snickit::test

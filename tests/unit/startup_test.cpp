// Every failing file at each point where the program reads one: the message
// names the kind and the file, the screen is what the steps had reached, and
// the settings file is left as it was; what quitting saves, and where.
#include <optional>
#include <string_view>

#include "tests/support/Fixture.h"

namespace snickit::test {
namespace {

using FailureTest = SnickitTest;
using namespace std::literals;

// After OK, the pad's hot spots over the about picture: LoadSkin failed.
const std::string kFinishing = "about | Menu B3 B2 B1 B0 Close Min";

TEST_F(FailureTest, AFailingFileEndsTheProgramNamingItAndSavesNothing) {
    using enum FailureKind;
    // The file changed (content nullopt: removed), the steps, the failure;
    // a skin's file adds which skin it is and how to start again.
    const std::string kSettings = folder.path() + "\\config.sn";
    const std::string kStray = "\n\nThe last line of " + kSettings + " names no skin folder. Snickit stops this way";
    const struct { const char* file; std::optional<std::string_view> content; const char* steps; FailureKind kind; const char* failing; std::string screen, advice = ""; }
        kRows[] = {
        {"config.sn", std::nullopt, "Ok", FileNotFound, R"(\config.sn)", "hidden"},
        {"config.sn", " 3000 \r\n 1500 \r\n", "Ok", InputPastEnd, R"(\config.sn)", "hidden"},
        {"skins", std::nullopt, "Ok", PathNotFound, R"(\skins\)", "hidden"},
        {"skins/Blue/box.bmp", std::nullopt, "Ok", FileNotFound, R"(\skins\Blue\box.bmp)", "hidden"},
        {"skins/Blue/box2.bmp", std::nullopt, "Ok", FileNotFound, R"(\skins\Blue\box2.bmp)", kFinishing,
         "\n\nThe file belongs to the skin \"Blue\". Snickit stops this way at every start until you fix that file"},
        {"config.sn", " 0 \r\n 0 \r\nGone\\\r\n", "Ok", PathNotFound, R"(\skins\Gone\box.bmp)", kFinishing},
        // A line 3 that leads out of the skins folder names no skin, even
        // one that comes back to a complete skin; a zero byte (as UTF-16
        // holds) makes no settings file.
        {"config.sn", " 0 \r\n 0 \r\n..\\skins\\Blue\\\r\n", "Ok", PathNotFound, R"(\skins\..\skins\Blue\box.bmp)", kFinishing, kStray},
        {"config.sn", " 0 \r\n 0 \r\nBlue\0\\\r\n"sv, "Ok", BadSettings, R"(\config.sn)", "hidden"},
        {"skins/apple/box.bmp", std::nullopt, "Ok Menu Skins s0", FileNotFound, R"(\skins\apple\box.bmp)",
         Chooser("Blue", 0)},
        {"skins/red/box.bmp", "GIF89a", "Ok Menu Skins s2", BadPicture, R"(\skins\red\box.bmp)", Chooser("Blue", 2),
         "\n\nThe file belongs to the skin \"red\". " + kSettings + " still names the skin \"Blue\", so Snickit starts with it as before."},
        {"skins/red/box2.bmp", std::nullopt, "Ok Menu Skins s2 dbl", FileNotFound, R"(\skins\red\box2.bmp)", Pad("red")},
        {"", std::nullopt, "Ok Menu About rm:skins/Blue/menu.bmp Ok", FileNotFound, R"(\skins\Blue\menu.bmp)", kFinishing},
        {"", std::nullopt, "Ok w! Close", CannotWrite, R"(\config.sn)", Pad("Blue")},
    };
    for (const auto& row : kRows) {
        Reset();
        if (*row.file) row.content ? folder.Write(row.file, std::string(*row.content)) : folder.Remove(row.file);
        const std::string before = folder.Read("config.sn");
        EXPECT_EQ(Play(row.steps), 1) << row.steps;
        EXPECT_EQ(std::tuple(p->fatal.substr(0, p->fatal.find("\n\n")), Screen(), folder.Read("config.sn")),
                  std::tuple(DescribeFailure(row.kind, folder.path() + row.failing), row.screen, before)) << row.file << " " << row.steps;
        EXPECT_NE(p->fatal.find(row.advice), std::string::npos) << p->fatal;
        EXPECT_EQ(p->fatal.find("example a\\b"), std::string::npos) << p->fatal;  // a folder config.sn cannot name
    }
}

// A config.sn this user may not replace: the settings live in the user's own
// folder from then on, read from there once it exists; config.sn is left as
// it is. One this user may replace stays where it is, as a portable copy
// keeps it.
TEST_F(FailureTest, SettingsGoToTheUsersFolderWhenConfigSnCannotBeReplaced) {
    const std::string kUser = " 600 \r\n 300 \r\nred\\\r\n";
    const struct { bool readOnly, userFile, userKnown; int status; std::string screen, savedWhere, saved; } kRows[] = {
        {false, true, true, 0, "200,100 Blue", "config.sn", kConfig},
        {true, false, true, 0, "200,100 Blue", "user/snickit/config.sn", kConfig},
        {true, true, true, 0, "40,20 red", "user/snickit/config.sn", kUser},
        {true, false, false, 1, "200,100 Blue", "user/snickit/config.sn", ""},
    };
    namespace fs = std::filesystem;
    const fs::path config = folder.root / "config.sn";
    for (const auto& row : kRows) {
        Reset();
        folder.Remove("user");
        if (row.userFile) folder.Write("user/snickit/config.sn", kUser == row.saved ? kUser : "");
        if (row.readOnly) fs::permissions(config, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        userFolder = row.userKnown ? folder.path() + "/user/snickit" : "";
        EXPECT_EQ(Play("Ok | Close"), row.status);
        fs::permissions(config, fs::perms::owner_all);
        EXPECT_EQ(std::tuple(Pair(p->x, p->y) + " " + form->CurrentSkin.substr(0, form->CurrentSkin.size() - 1),
                             folder.Read(row.savedWhere), folder.Read("config.sn")),
                  std::tuple(row.screen, row.saved, std::string(kConfig))) << row.savedWhere;
    }
}

// Only the quit hot spots save, the place and the skin.
TEST_F(SnickitTest, OnlyTheQuitHotSpotsSaveThePlaceAndTheSkin) {
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

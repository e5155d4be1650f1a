// The program as a whole. Every failing file at each point where the
// program reads one, and whatever else escapes: the message names the kind
// and the file, the screen is what the steps had reached, and the settings
// file is left as it was. The settings file's lines and numbers, read and
// written; what quitting saves, and where. The order of the skin list.
#include <algorithm>
#include <cmath>
#include <new>
#include <optional>
#include <stdexcept>
#include <string_view>

#include "settings/Settings.h"
#include "shell/Program.h"
#include "skin/SkinPaths.h"
#include "tests/support/Fixture.h"

namespace snickit::test {
namespace {

using Names = std::vector<std::string>;
using ProgramTest = SnickitTest;
using namespace std::literals;

// After OK, the pad's hot spots over the about picture: LoadSkin failed.
const std::string kFinishing = "about | Menu B3 B2 B1 B0 Close Min";

TEST_F(ProgramTest, AFailingFileEndsTheProgramNamingItAndSavesNothing) {
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
TEST_F(ProgramTest, SettingsGoToTheUsersFolderWhenConfigSnCannotBeReplaced) {
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
TEST_F(ProgramTest, OnlyTheQuitHotSpotsSaveThePlaceAndTheSkin) {
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


// Whatever escapes a handler, or the building of the platform, ends the
// program with a message naming it and status 1.
TEST_F(ProgramTest, EveryUnexpectedErrorEndsWithAMessageAndAFailingStatus) {
    const struct { const char* what; std::function<void()> thrower; bool duringBuild; std::string message; } cases[] = {
        {"failure", [] { throw Failure(FailureKind::CannotRead, "C:\\x\\config.sn"); }, false,
         "The file cannot be read: C:\\x\\config.sn"},
        {"no memory", [] { throw std::bad_alloc(); }, false, "Out of memory."},
        {"std::exception", [] { throw std::logic_error("odd"); }, false, "Unexpected error: odd"},
        {"anything else", [] { throw 42; }, false, "Unexpected error."},
        {"no platform", [] { throw std::runtime_error("no display"); }, true, "Unexpected error: no display"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto make = [&]() -> std::unique_ptr<Platform> {
            if (c.duringBuild) c.thrower();
            auto platform = std::make_unique<RecordingPlatform>(folder.path(), 96);
            platform->script.push_back(c.thrower);  // inside the first dispatch, while OK is awaited
            return platform;
        };
        testing::internal::CaptureStderr();
        const int status = RunSnickit(make);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "Snickit: " + c.message + "\n");
        EXPECT_EQ(status, 1);
    }
}

// Names sort as the desktop sorts them for people, letter case ignored;
// names equal but for case go by their bytes, whatever order they come in:
// at once into an empty list, or the second part into a list that has the
// first, or sorted all at once (which plain ASCII names do their own quicker
// way); given sorted, and reversed.
TEST_F(ProgramTest, TheSkinListSortsNamesAsPeopleReadThem) {
    const std::vector<Names> orders = {
        {"Abel", "Ábel", "blue", "Émile", "émile", "Zeta", "zeta", "Кот"},
        {"9lives", "a b", "a_b", "abc", "Abcdefgh", "abcdefgh", "abcdefgh1", "ABCDEFGH2", "ABD", "Z", "z"}};
    RecordingPlatform platform(folder.path(), 96);
    for (const Names& sorted : orders) {
        for (int turn = 0; turn < 6; ++turn) {
            Names given = sorted, shown;
            if (turn % 2) std::reverse(given.begin(), given.end());
            ListBox list(platform);
            const auto split = given.begin() + (turn < 2 ? 0 : 5);
            list.AddItems(Names(given.begin(), split));
            list.AddItems(Names(split, given.end()));
            for (int i = 0; i < list.ListCount(); ++i) shown.push_back(list.List(i));
            if (turn >= 4) platform.SortNames(shown = given);
            EXPECT_EQ(shown, sorted) << sorted[0] << " turn " << turn;
        }
    }
}

TEST(Settings, TheReaderTakesThreeCrOrCrLfLines) {
    // skin nullptr: fewer than three lines. (Start-up's failure table has
    // the two-line file and those with a zero byte.)
    const struct { std::string_view content; float left, top; const char* skin; } kRows[] = {
        {" 3000 \r\n 1500 \r\nBlue\\\r\n", 3000, 1500, "Blue\\"},
        {"3000\r\n1500\r\n Blue \r\nextra", 3000, 1500, " Blue "},  // blanks kept, a fourth line ignored
        {"1\r2\rB\nC", 1, 2, "B\nC"},  // CR alone ends a line, LF does not; the last needs no end
        {"1\r\n2\r\n\r\n", 1, 2, ""},
        // UTF-8 kept; any other text is Windows-1252 (its undefined bytes as
        // the control characters of their value)
        {"1\r2\r\xF0\x9F\x8E\xB5 Caf\xC3\xA9", 1, 2, "\xF0\x9F\x8E\xB5 Caf\xC3\xA9"},
        {"1\r2\rGr\xFCn \x80\x8A\x9F\x81\\", 1, 2, "Gr\xC3\xBCn \xE2\x82\xAC\xC5\xA0\xC5\xB8\xC2\x81\\"},
        {"1\r2\r\xC0\xAF", 1, 2, "\xC3\x80\xC2\xAF"},                                    // overlong '/'
        {"1\r2\r\xED\xA0\x80", 1, 2, "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},                    // a surrogate
        {"1\r2\r\xF4\x90\x80\x80", 1, 2, "\xC3\xB4\xC2\x90\xE2\x82\xAC\xE2\x82\xAC"},  // above U+10FFFF
        {"1\r2\r\xE2\x82", 1, 2, "\xC3\xA2\xE2\x80\x9A"},                               // cut short
        {"", 0, 0, nullptr},
    };
    for (const auto& row : kRows) {
        try {
            const StoredSettings s = ParseSettings(row.content, "C:\\S\\config.sn");
            EXPECT_EQ(std::tuple(s.left, s.top, s.currentSkin),
                      std::tuple(row.left, row.top, std::string(row.skin ? row.skin : "(a failure)"))) << row.content;
        } catch (const Failure& failure) {
            EXPECT_EQ(std::tuple(row.skin == nullptr, failure.kind(), failure.path()),
                      std::tuple(true, FailureKind::InputPastEnd, std::string("C:\\S\\config.sn"))) << row.content;
        }
    }
}

// The numbers config.sn holds: what start-up and quit (the screens' density
// table) leave unchecked, each row a slip of its own.
TEST(Settings, NumbersAreReadAndWrittenWithSevenDigits) {
    const std::pair<const char*, double> kScanned[] = {
        {"\t-1\t50 ", -150}, {" .5 ", 0.5}, {"-1.234568E+07", -12345680}, {"1E-05", 1e-5}, {"1e-999", 0}, {"1e999", INFINITY}};
    for (const auto& [text, value] : kScanned) EXPECT_EQ(ScanNumber(text), value) << text;
    const std::pair<float, const char*> kWritten[] = {
        {-0.0f, " 0 "}, {0.001f, " .001 "}, {1234567, " 1234567 "}, {12345678, " 1.234568E+07 "}, {0.00001f, " 1E-05 "}};
    for (const auto& [value, text] : kWritten) EXPECT_EQ(FormatNumber(value), text) << value;
}

TEST(Settings, SkinNamesStayInTheSkinsFolderAndSurviveTheFile) {
    // Line 3 or a folder's name; whether line 3 stays in the skins folder;
    // whether a folder of that name is offered as a skin.
    const struct { std::string_view name; bool stays, offered; } kRows[] = {
        {"Blue", true, true},       {"Caf\xC3\xA9", true, true}, {"ab:c", true, true},      {"a?b*", true, true},
        {".Blue", true, true},      {"Blue\\", true, false},    {"", true, false},         {"a\rb", true, false},
        {"a\x7F", true, false},     {"Caf\xE9", true, false},    {"..\\", false, false},    {"..", false, false},
        {".", false, false},        {"\\", false, false},       {"Blue/x\\", false, false}, {"a\\b", false, false},
        {"/etc\\", false, false},  {"C:\\", false, false},     {"c:Blue", false, false},  {"a:b", false, false},
    };
    for (const auto& row : kRows)
        EXPECT_EQ(std::pair(StaysInSkinsFolder(row.name), SurvivesSettingsFile(row.name)), std::pair(row.stays, row.offered))
            << row.name;
}

}  // namespace
}  // namespace snickit::test

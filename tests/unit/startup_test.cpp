// Every failing file at each point where the program reads one: the message
// names the kind and the file, the screen is what the steps had reached, and
// the settings file is left as it was.
#include "tests/support/Fixture.h"

namespace snickit::test {
namespace {

using FailureTest = SnickitTest;

// After OK, the pad's hot spots over the about picture: LoadSkin failed.
const std::string kFinishing = "about | Menu B3 B2 B1 B0 Close Min";

TEST_F(FailureTest, AFailingFileEndsTheProgramNamingItAndSavesNothing) {
    using enum FailureKind;
    // The file changed (content nullptr: removed), the steps, the failure.
    const struct { const char *file, *content, *steps; FailureKind kind; const char* failing; std::string screen; }
        kRows[] = {
        {"config.sn", nullptr, "Ok", FileNotFound, R"(\config.sn)", "hidden"},
        {"config.sn", " 3000 \r\n 1500 \r\n", "Ok", InputPastEnd, R"(\config.sn)", "hidden"},
        {"config.sn", "3000\n1500\nBlue\\\n", "Ok", InputPastEnd, R"(\config.sn)", "hidden"},
        {"skins", nullptr, "Ok", PathNotFound, R"(\skins\)", "hidden"},
        {"skins/Blue/box.bmp", nullptr, "Ok", FileNotFound, R"(\skins\Blue\box.bmp)", "hidden"},
        {"skins/Blue/box.bmp", "GIF89a", "Ok", BadPicture, R"(\skins\Blue\box.bmp)", "hidden"},
        {"skins/Blue/box2.bmp", nullptr, "Ok", FileNotFound, R"(\skins\Blue\box2.bmp)", kFinishing},
        {"skins/Blue/menu.bmp", "GIF89a", "Ok", BadPicture, R"(\skins\Blue\menu.bmp)", kFinishing},
        {"config.sn", " 0 \r\n 0 \r\nGone\\\r\n", "Ok", PathNotFound, R"(\skins\Gone\box.bmp)", kFinishing},
        {"config.sn", " 0 \r\n 0 \r\n\r\n", "Ok", FileNotFound, R"(\skins\box.bmp)", kFinishing},
        {"skins/apple/box.bmp", nullptr, "Ok Menu Skins s0", FileNotFound, R"(\skins\apple\box.bmp)",
         Chooser("Blue", 0)},
        {"skins/red/box.bmp", "GIF89a", "Ok Menu Skins s2", BadPicture, R"(\skins\red\box.bmp)", Chooser("Blue", 2)},
        {"skins/red/box2.bmp", nullptr, "Ok Menu Skins s2 dbl", FileNotFound, R"(\skins\red\box2.bmp)", Pad("red")},
        {"", nullptr, "Ok Menu About rm:skins/Blue/menu.bmp Ok", FileNotFound, R"(\skins\Blue\menu.bmp)", kFinishing},
        {"", nullptr, "Ok w! Close", CannotWrite, R"(\config.sn)", Pad("Blue")},
    };
    for (const auto& row : kRows) {
        Reset();
        if (*row.file) row.content ? folder.Write(row.file, row.content) : folder.Remove(row.file);
        const bool hadSettings = folder.Exists("config.sn");
        const std::string before = hadSettings ? folder.Read("config.sn") : "";
        EXPECT_EQ(Play(row.steps), 1) << row.steps;
        EXPECT_EQ(p->fatal.substr(0, p->fatal.find("\n\n")), DescribeFailure(row.kind, folder.path() + row.failing)) << row.file << " " << row.steps;
        EXPECT_EQ(Screen(), row.screen) << row.file << " " << row.steps;
        EXPECT_EQ(folder.Exists("config.sn"), hadSettings);
        EXPECT_EQ(hadSettings ? folder.Read("config.sn") : "", before) << row.file;
    }
}

}  // namespace
}  // namespace snickit::test

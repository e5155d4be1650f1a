// The skin checker over a skin held in memory (the shipped skins are checked
// by the real program, see tests/CMakeLists.txt), and the advice a skin's
// failure adds to the message that ends the program.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>

#include "shell/Layout.h"
#include "skin/BitmapCheck.h"
#include "skin/SkinCheck.h"
#include "tests/support/Fixture.h"
#include "tests/support/MediaFiles.h"

namespace snickit::test {
namespace {

PictureRef Drawn(std::function<std::uint32_t(int, int)> pixels, int width = 240, int height = 95) {
    return std::make_shared<RecordingPicture>("", width, height, std::move(pixels));
}

// A good skin: every button changes when pressed (two pixels in from its
// edges, clear of the shared columns), the menu differs everywhere.
std::uint32_t Box(int x, int y) { return static_cast<std::uint32_t>(x * 256 + y); }
std::uint32_t Pressed(int x, int y) {
    for (const PixelRect& r : layout::kSoundButton)
        if (x > r.left + 1 && x < r.left + r.width - 2 && y > r.top + 1 && y < r.top + r.height - 2)
            return Box(x, y) ^ 0xFF0000;
    return Box(x, y);
}
std::uint32_t Menu(int x, int y) { return Box(x, y) ^ 0x00FF00; }

// A mono 16-bit WAV file of `count` samples.
std::vector<unsigned char> Wav(int count, int rate, const std::function<int(int)>& sample) {
    std::string file = WavFile({.rate = static_cast<unsigned>(rate), .dataBytes = 2 * count});
    for (int i = 0; i < count; ++i) Put(file, 44 + 2 * std::size_t(i), std::uint16_t(sample(i)), 2);
    return Bytes(file);
}
int Tone(int i) { return static_cast<int>(16000 * std::sin(i * 0.1)); }

struct FakeHost : SkinCheckHost {
    std::string ProgramFolder() const override { return "P"; }
    std::vector<std::string> ListSubfolders(const std::string& path) override {
        if (path == "P\\skins\\") return {"Good", "a\\b"};  // no skin: config.sn could not name it
        if (path != "P\\skins\\Good") throw Failure(FailureKind::PathNotFound, path);
        return {};
    }
    // A drawn picture is read as a bitmap of its size, and made as drawn.
    BinaryFile ReadBinaryFile(const std::string& path, std::size_t) override {
        read = path.substr(path.rfind('\\') + 1);
        if (failures.count(read)) return {{}, failures[read]};
        if (files.count(read)) return {files[read], std::nullopt};
        if (!pictures.count(read)) return {{}, FailureKind::FileNotFound};
        const PictureRef& p = pictures[read];
        return {Bytes(BmpFile({.width = p ? p->Width() : 240, .height = p ? p->Height() : 95})), std::nullopt};
    }
    PictureRef MakePicture(const PicturePixels&) override { return pictures[read]; }
    void WriteFile(const std::string& path, const std::vector<unsigned char>& bytes) override {
        if (path == "no\\such\\folder.bmp") throw Failure(FailureKind::CannotWrite, path);
        written[path] = bytes;
    }

    std::map<std::string, PictureRef> pictures{
        {"box.bmp", Drawn(Box)}, {"box2.bmp", Drawn(Pressed)}, {"menu.bmp", Drawn(Menu)}};
    std::map<std::string, FailureKind> failures;
    std::string read;  // the file last read
    const std::vector<unsigned char> kTone = Wav(11025, 22050, Tone);
    std::map<std::string, std::vector<unsigned char>> written, files{
        {"1.wav", kTone}, {"2.wav", kTone}, {"3.wav", kTone}, {"4.wav", kTone}};
};

TEST(SkinCheck, ReportsEachProblemWithItsFileAndExitsByTheWorstOne) {
    // expected: texts in the output, in this order.
    const struct { const char* what; std::function<void(FakeHost&)> change; std::vector<std::string> args; int status;
                   std::vector<std::string> expected; } rows[] = {
        {"good", [](FakeHost&) {}, {}, 0, {"Good  (P\\skins\\Good)\n  => Good: good, no errors and no warnings.\n"}},
        {"missing", [](FakeHost& h) { h.pictures.erase("box2.bmp"); }, {}, 1,
         {"  error:   box2.bmp is missing.", "=> Good: NOT USABLE, 1 error and 0 warnings. Snickit stops"}},
        {"unreadable", [](FakeHost& h) { h.failures["menu.bmp"] = FailureKind::CannotRead; }, {}, 1,
         {"  error:   menu.bmp cannot be loaded as a picture. The file is longer than the 16842752 bytes a picture may have, or cannot be read."}},
        {"rejected", [](FakeHost& h) { h.files["box.bmp"] = {'B', 'M'}; }, {}, 1,
         {"  error:   box.bmp cannot be loaded as a picture. "}},
        {"refused by the system", [](FakeHost& h) { h.pictures["menu.bmp"] = nullptr; }, {}, 1,
         {"  error:   menu.bmp cannot be loaded: this system refuses to make a picture of it (a 240 x 95 bitmap of 24 bits per pixel)."}},
        {"small", [](FakeHost& h) { h.pictures["box.bmp"] = Drawn(Box, 32, 32); }, {}, 0,
         {"  warning: box.bmp is 32 x 32 pixels, not 240 x 95. The window shows no picture right of x 31 and below y 31, "
          "where sound button 1, sound button 2, sound button 3, sound button 4, the minimize box and the close box "
          "are not drawn completely.\n  =>"}},
        {"large", [](FakeHost& h) { h.pictures["box2.bmp"] = Drawn(Pressed, 240, 96); }, {}, 0,
         {"  warning: box2.bmp is 240 x 96 pixels, not 240 x 95. What lies beyond the window's 240 x 95 pixels is cut off.\n  =>"}},
        {"no pressed look", [](FakeHost& h) { h.pictures["box2.bmp"] = Drawn(Box); }, {}, 0,
         {"  warning: box2.bmp: sound button 1 looks the same pressed as in box.bmp (nothing differs inside its rectangle, x 3, y 19, 60 x 71)",
          "sound button 4 looks the same", "=> Good: usable, with 4 warnings."}},
        {"shared column", [](FakeHost& h) { h.pictures["box2.bmp"] = Drawn([](int x, int y) { return x == 62 ? 1 : Pressed(x, y); }); }, {}, 0,
         {"  warning: box2.bmp differs from box.bmp where sound button 1 and sound button 2 overlap (x 62, y 19, 1 x 71)", "1 warning"}},
        {"menu not drawn", [](FakeHost& h) { h.pictures["menu.bmp"] = Drawn(Box); }, {}, 0,
         {"  warning: menu.bmp: the menu item Skins is not drawn: menu.bmp is the same as box.bmp inside its rectangle (x 8, y 23, 116 x 18).",
          "About", "Quit", "3 warnings"}},
        {"sound missing", [](FakeHost& h) { h.files.erase("3.wav"); }, {}, 0,
         {"  warning: 3.wav is missing: sound button 3 plays Snickit's default sound instead.\n"}},
        {"not a sound", [](FakeHost& h) { h.files["2.wav"] = {'R', 'I', 'F', 'F'}; }, {}, 0,
         {"  warning: 2.wav: sound button 2 plays Snickit's default sound instead. "}},
        {"long", [](FakeHost& h) { h.files["4.wav"] = Wav(48000, 8000, Tone); }, {}, 0, {"  warning: 4.wav is very long (6.0 seconds)"}},
        {"silent", [](FakeHost& h) { h.files["1.wav"] = Wav(11025, 22050, [](int i) { return i % 2; }); }, {}, 0,
         {"  warning: 1.wav is silent: its loudest sample is at -90 dBFS."}},
        {"clipped", [](FakeHost& h) { h.files["1.wav"] = Wav(220, 22050, [](int i) { return i % 40 < 20 ? 32767 : -32768; }); }, {}, 0,
         {"  warning: 1.wav is clipped: it stays at full scale for 3 samples or more in 11 places"}},
        {"no folder", [](FakeHost&) {}, {"P\\skins\\Gone\\"}, 1, {"Gone  (P\\skins\\Gone)\n  error:   There is no folder P\\skins\\Gone."}},
        {"sheet unwritable", [](FakeHost&) {}, {"--sheet", "no\\such\\folder.bmp"}, 2, {}},
        {"unknown option", [](FakeHost&) {}, {"-x", "P\\skins\\Good"}, 2, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        FakeHost host;
        row.change(host);
        std::string out, err;
        EXPECT_EQ(RunSkinCheck(host, row.args, out, err), row.status) << out << err;
        size_t at = 0;
        for (const std::string& text : row.expected)
            ASSERT_NE(at = out.find(text, at), std::string::npos) << "no \"" << text << "\" in:\n" << out;
        EXPECT_EQ(err.empty(), row.status != 2) << err;
    }
}

TEST(SkinCheck, ContactSheetShowsThePicturesWithTheHotSpotsOutlined) {
    FakeHost host;
    std::string out, err;
    ASSERT_EQ(RunSkinCheck(host, {"--sheet", "S.bmp"}, out, err), 0);
    PicturePixels sheet;
    const BitmapVerdict bmp = DecodeBitmap(host.written["S.bmp"], 1000, 1000, sheet);
    ASSERT_TRUE(bmp.ok && bmp.bitsPerPixel == 24 && sheet.width < 1000 && sheet.height < 1000) << bmp.why;
    // box.bmp at twice its size, 36 pixels down and 8 across.
    const auto pixel = [&](int x, int y) { return sheet.pixels[static_cast<size_t>(y * sheet.width + x)]; };
    EXPECT_EQ(pixel(8 + 2 * 100, 36 + 2 * 50), Box(100, 50));
    EXPECT_EQ(pixel(8 + 2 * 3, 36 + 2 * 19), 0xFF00FFu);  // sound button 1's outline
}

}  // namespace
}  // namespace snickit::test

// Skins from strangers: the checks of their pictures and sounds before any
// decoder sees them (one table of headers each) and the decoder's pictures;
// then the skin checker over a skin held in memory (the shipped skins are
// checked by the real program, see tests/CMakeLists.txt), and the advice a
// skin's failure adds to the message that ends the program.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>

#include "pad/WaveCheck.h"
#include "shell/Layout.h"
#include "skin/BitmapCheck.h"
#include "skin/SkinCheck.h"
#include "tests/support/Fixture.h"
#include "tests/support/MediaFiles.h"

namespace snickit::test {
namespace {

// A table row: what the file is, the file, and whether it is taken.
struct Row { const char* what; std::string file; bool ok; };

template <typename Verdict>
void ExpectVerdict(const Verdict& verdict, const Row& row) {
    EXPECT_EQ(std::pair(verdict.ok, verdict.why.empty()), std::pair(row.ok, row.ok)) << row.what << ": " << verdict.why;
}

// The headers checked against the file and sane bounds, on their own: the
// decoder checks them first, but a slip there could hide behind what the
// decoder then refuses. What the decoder keeps of every valid layout, small
// and larger than the window, and what it refuses of pixels the headers
// cannot tell about. (The loaders' common rows hold the compressed pictures
// that declare 4096 x 4096.)
TEST(MediaChecks, BitmapsAreCheckedThenDecodedToTheirTopLeftPixels) {
    const Row headers[] = {
        {"4 bits, all 16 colours", BmpFile({.bits = 4, .colorsUsed = 16}), true},
        {"cut inside the header", BmpFile({.cutTo = 40}), false}, {"cut by one byte", BmpFile({.cutTo = 68453}), false},
        {"width 0", BmpFile({.width = 0}), false}, {"height 0", BmpFile({.height = 0}), false},
        {"height INT_MIN", BmpFile({.height = INT32_MIN, .pixelBytes = 16}), false},
        {"4097 wide", BmpFile({.width = 4097, .height = 1}), false}, {"two planes", BmpFile({.planes = 2}), false},
        {"3 bits", BmpFile({.bits = 3}), false}, {"OS/2 1.x header, 32 bits", PatternBmp({"", 12, 32}, 13, 6), false},
        {"header of 11 bytes", BmpFile({.headerBytes = 11}), false},
        {"JPEG", BmpFile({.compression = 4, .imageBytes = 100}), false},
        {"Huffman in an OS/2 2.x header", BmpFile({.bits = 1, .compression = 3, .headerBytes = 64}), false},
        {"bit fields sharing a bit", PatternBmp({"", 40, 16, 3, false, {0xFC00, 0x07E0, 0x001F}}, 13, 6), false},
        {"a bit field split in two", PatternBmp({"", 40, 16, 3, false, {0x7C00, 0x03E0, 0x0015}}, 13, 6), false},
        {"an empty bit field", PatternBmp({"", 40, 32, 3, false, {0xFF0000, 0xFF00, 0}}, 13, 6), false},
        {"a 16-bit field past 16 bits", PatternBmp({"", 40, 16, 3, false, {0x7C000, 0x03E0, 0x001F}}, 13, 6), false},
        {"RLE8 on 24 bits", BmpFile({.compression = 1, .imageBytes = 100}), false},
        {"RLE8 top-down", BmpFile({.height = -95, .bits = 8, .compression = 1, .imageBytes = 100}), false},
        {"RLE8 without its length", BmpFile({.bits = 8, .compression = 1, .pixelBytes = 100}), false},
        {"bit fields without room for the masks", BmpFile({.bits = 16, .compression = 3}), false},
        {"300 colours on 8 bits", BmpFile({.bits = 8, .colorsUsed = 300}), false},
        {"pixels past the end", BmpFile({.offset = 70000}), false}, {"pixels inside", BmpFile({.offset = 20}), false},
        {"image size past the end", BmpFile({.imageBytes = 68401}), false},
        {"not BM", "MB" + BmpFile({}).substr(2), false}, {"empty", "", false},
    };
    for (const Row& row : headers) ExpectVerdict(CheckBitmap(Bytes(row.file)), row);
    const BitmapVerdict good = CheckBitmap(Bytes(BmpFile({.height = -95})));
    EXPECT_EQ(good.width * 1000 + good.height * 10 + good.bitsPerPixel / 8, 240953);
    EXPECT_EQ(CheckBitmap(Bytes(BmpFile({.width = 65535, .height = 65535, .pixelBytes = 16}))).why,
              "declares 65535 x 65535 pixels; at most 4096 x 4096 are read");
    for (const BmpLayout& layout : ValidLayouts())
        for (auto [width, height] : {std::pair{13, 6}, {251, 97}}) {
            PicturePixels kept;
            const auto verdict = DecodeBitmap(Bytes(PatternBmp(layout, width, height)), 240, 95, kept);
            ASSERT_TRUE(verdict.ok) << layout.what << ": " << verdict.why;
            // The top-left part: the pattern at the kept size.
            const int keptWidth = std::min(width, 240), keptHeight = std::min(height, 95);
            ASSERT_EQ(std::pair(kept.width, kept.height), std::pair(keptWidth, keptHeight)) << layout.what;
            EXPECT_EQ(kept.pixels, PatternPixels(layout, keptWidth, keptHeight)) << layout.what << ", " << width;
        }
    // An index outside the palette far outside the kept part: byte 299 of
    // the bottom row of 300 x 100.
    std::string outside = BmpFile({.width = 300, .height = 100, .bits = 8, .colorsUsed = 65});
    Put(outside, 14 + 40 + 4 * 65 + 299, 200, 1);
    const Row rows[] = {
        {"RLE4 literal run past the right edge", RleBmp(std::string("\0\3\x11\x10\0\1", 6), 2, 1, 4), false},
        {"RLE8 run above the top", RleBmp(std::string("\0\0\1\0\0\1", 6), 240, 1), false},
        {"RLE8 without its end mark", RleBmp(std::string("\1\0", 2)), false},
        {"RLE8 cut inside a literal run", RleBmp(std::string("\0\5\1\2", 4)), false},
        {"RLE8 cut inside a move", RleBmp(std::string("\0\2\1", 3)), false},
        {"RLE8 index outside the palette", RleBmp(std::string("\1\5\0\1", 4), 240, 95, 8, 2), false},
        {"RLE4 literal index outside the palette", RleBmp(std::string("\0\3\x01\x90\0\1", 6), 240, 95, 4, 8), false},
        {"1 bit, palette of 1", BmpFile({.bits = 1, .colorsUsed = 1}), false},
        {"index outside the palette outside the kept part", outside, false},
    };
    for (const Row& row : rows) {
        PicturePixels kept;
        ExpectVerdict(DecodeBitmap(Bytes(row.file), 240, 95, kept), row);
        EXPECT_EQ(kept.pixels.size(), row.ok ? 240u * 95 : 0u) << row.what;
    }
    // A short palette is taken, and skipped pixels have its first colour: a
    // move 5 across and 64 up, then 3 pixels of colour 1.
    std::string moved = RleBmp(std::string("\0\2\5\x40\3\1\0\1", 8), 240, 95, 8, 2);
    Put(moved, 54, 0x00ABCDEF'00123456, 8);  // the palette: 0x123456, 0xABCDEF
    PicturePixels kept;
    ASSERT_TRUE(DecodeBitmap(Bytes(moved), 240, 95, kept).ok);
    EXPECT_EQ(std::vector(kept.pixels.begin() + 30 * 240 + 4, kept.pixels.begin() + 30 * 240 + 9),
              (std::vector<uint32_t>{0x123456, 0xABCDEF, 0xABCDEF, 0xABCDEF, 0x123456}));
    EXPECT_EQ(std::pair(kept.pixels.front(), kept.pixels.back()), std::pair(0x123456u, 0x123456u));
    EXPECT_EQ(DecodeBitmap(Bytes(RleBmp(std::string("\xF1\0\0\1", 4))), 240, 95, kept).why,
              "has compressed pixels past the picture's edges");
}

// 16-bit PCM in stereo is taken by the last checks, 8-bit by "exactly 10 s";
// the last check refuses a rate below 4000 Hz.
TEST(MediaChecks, WaveHeadersAreCheckedAgainstTheFileAndSaneBounds) {
    // The extension of the extensible format: 22 bytes, 16 bits, no channel
    // mask, then a sub-format's first byte and the rest of its GUID.
    const std::string ext("\x16\0\x10\0\0\0\0\0", 8), guidTail("\0\0\0\0\0\x10\0\x80\0\0\xaa\0\x38\x9b\x71", 15);
    const Row rows[] = {
        {"24 bits", WavFile({.bits = 24, .dataBytes = 300}), true}, {"A-law", WavFile({.tag = 6, .bits = 8}), true},
        {"32-bit float, 8 channels, 192 kHz", WavFile({.tag = 3, .channels = 8, .rate = 192000, .bits = 32}), true},
        {"mu-law", WavFile({.tag = 7, .bits = 8, .extra = std::string(2, '\0')}), true},
        {"IMA ADPCM", WavFile({.tag = 0x11, .bits = 4, .blockAlign = 256, .dataBytes = 1024}), true},
        {"MS ADPCM stereo", WavFile({.tag = 2, .channels = 2, .bits = 4, .blockAlign = 512, .dataBytes = 1024}), true},
        {"extensible PCM", WavFile({.tag = 0xFFFE, .extra = ext + '\1' + guidTail}), true},
        {"exactly 10 s", WavFile({.rate = 4000, .bits = 8, .dataBytes = 40000}), true},
        {"192001 Hz", WavFile({.rate = 192001}), false}, {"block alignment 3", WavFile({.blockAlign = 3}), false},
        {"no channels", WavFile({.channels = 0}), false}, {"9 channels", WavFile({.channels = 9}), false},
        {"12-bit PCM", WavFile({.bits = 12}), false}, {"no data chunk", WavFile({.withData = false}), false},
        {"IMA ADPCM blocks too short", WavFile({.tag = 0x11, .channels = 2, .bits = 4, .blockAlign = 8}), false},
        {"extensible with an unknown sub-format", WavFile({.tag = 0xFFFE, .extra = ext + '\x55' + guidTail}), false},
        {"huge data chunk on a small file", WavFile({.dataBytes = 100, .declared = 0x7fffffff}), false},
        {"no format chunk", WavFile({.withFormat = false}), false}, {"no sound", WavFile({.dataBytes = 0}), false},
        {"data first", WavFile({.formatFirst = false}), false}, {"not RIFF", "RIFX" + WavFile({}).substr(4), false},
        {"10.001 s", WavFile({.rate = 4000, .bits = 8, .dataBytes = 40004}), false},
        {"IMA ADPCM decoding to 30 MB in 10 s", WavFile({.tag = 0x11, .channels = 8, .rate = 192000, .bits = 4,
                                                          .blockAlign = 4096, .dataBytes = 7680000}), false},
    };
    for (const Row& row : rows) ExpectVerdict(CheckWave(Bytes(row.file)), row);
    const WaveVerdict good = CheckWave(Bytes(WavFile({.channels = 2, .rate = 44100, .dataBytes = 4400})));
    EXPECT_EQ(std::tuple(good.channels, good.rate, good.seconds), std::tuple(2, 44100, 1100.0 / 44100));
    EXPECT_EQ(CheckWave(Bytes(WavFile({.rate = 1, .bits = 8}))).why, "plays at 1 Hz; 4000 to 192000 Hz are played");
}

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

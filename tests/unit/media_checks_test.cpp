// The checks of pictures and sounds from strangers, before any decoder sees
// them: one table of headers each.
#include <gtest/gtest.h>

#include "pad/WaveCheck.h"
#include "skin/BitmapCheck.h"
#include "tests/support/MediaFiles.h"

namespace snickit::test {
namespace {

struct Row { const char* what; std::string file; bool ok; };

TEST(MediaChecks, BitmapHeadersAreCheckedAgainstTheFileAndSaneBounds) {
    const Row rows[] = {
        {"240 x 95, 24 bits", BmpFile({}), true}, {"top-down", BmpFile({.height = -95}), true},
        {"1 bit", BmpFile({.bits = 1}), true}, {"4 bits", BmpFile({.bits = 4, .colorsUsed = 16}), true},
        {"8 bits, 2 colours", BmpFile({.bits = 8, .colorsUsed = 2}), true},
        {"32 bits, V5 header", BmpFile({.bits = 32, .headerBytes = 124}), true},
        {"16-bit bit fields in a V4 header", BmpFile({.bits = 16, .compression = 3, .headerBytes = 108}), true},
        {"RLE8 with its length", BmpFile({.bits = 8, .compression = 1, .imageBytes = 100, .pixelBytes = 100}), true},
        {"4096 x 1", BmpFile({.width = 4096, .height = 1}), true},
        {"cut inside the header", BmpFile({.cutTo = 40}), false}, {"cut by one byte", BmpFile({.cutTo = 68453}), false},
        {"width 0", BmpFile({.width = 0}), false}, {"height 0", BmpFile({.height = 0}), false},
        {"height INT_MIN", BmpFile({.height = INT32_MIN, .pixelBytes = 16}), false},
        {"4097 wide", BmpFile({.width = 4097, .height = 1}), false}, {"two planes", BmpFile({.planes = 2}), false},
        {"2 bits", BmpFile({.bits = 2}), false},
        {"RLE8 on 24 bits", BmpFile({.compression = 1, .imageBytes = 100}), false},
        {"RLE8 top-down", BmpFile({.height = -95, .bits = 8, .compression = 1, .imageBytes = 100, .pixelBytes = 100}), false},
        {"RLE8 without its length", BmpFile({.bits = 8, .compression = 1, .pixelBytes = 100}), false},
        {"bit fields without room for the masks", BmpFile({.bits = 16, .compression = 3}), false},
        {"300 colours on 8 bits", BmpFile({.bits = 8, .colorsUsed = 300}), false},
        {"pixels past the end", BmpFile({.offset = 70000}), false},
        {"pixels inside the header", BmpFile({.offset = 20}), false},
        {"image size past the end", BmpFile({.imageBytes = 68401}), false},
        {"OS/2 header", BmpFile({.headerBytes = 12}), false}, {"not BM", "MB" + BmpFile({}).substr(2), false},
        {"empty", "", false},
    };
    for (const Row& row : rows) {
        const BitmapVerdict verdict = CheckBitmap(Bytes(row.file));
        EXPECT_EQ(std::pair(verdict.ok, verdict.why.empty()), std::pair(row.ok, row.ok)) << row.what << ": " << verdict.why;
    }
    const BitmapVerdict good = CheckBitmap(Bytes(BmpFile({.height = -95})));
    EXPECT_EQ(good.width * 1000 + good.height * 10 + good.bitsPerPixel / 8, 240953);
    EXPECT_EQ(CheckBitmap(Bytes(BmpFile({.width = 65535, .height = 65535, .pixelBytes = 16}))).why,
              "declares 65535 x 65535 pixels; at most 4096 x 4096 are read");
}

// The extension of the extensible format: 22 bytes, then the sub-format.
std::string Extensible(unsigned subFormat) {
    std::string ext;
    for (auto [at, value] : {std::pair{0, 22u}, {2, 16u}, {8, subFormat}}) Put(ext, at, value, 2);
    return ext + std::string("\0\0\0\0\x10\0\x80\0\0\xaa\0\x38\x9b\x71", 14);  // the rest of the sub-format's GUID
}

TEST(MediaChecks, WaveHeadersAreCheckedAgainstTheFileAndSaneBounds) {
    const Row rows[] = {
        {"16-bit mono 22050 Hz", WavFile({}), true}, {"8-bit stereo", WavFile({.channels = 2, .bits = 8}), true},
        {"24 bits", WavFile({.bits = 24, .dataBytes = 300}), true},
        {"32-bit float, 8 channels, 192 kHz", WavFile({.tag = 3, .channels = 8, .rate = 192000, .bits = 32}), true},
        {"A-law", WavFile({.tag = 6, .bits = 8}), true},
        {"mu-law", WavFile({.tag = 7, .bits = 8, .extra = std::string(2, '\0')}), true},
        {"IMA ADPCM", WavFile({.tag = 0x11, .bits = 4, .blockAlign = 256, .dataBytes = 1024}), true},
        {"MS ADPCM stereo", WavFile({.tag = 2, .channels = 2, .bits = 4, .blockAlign = 512, .dataBytes = 1024}), true},
        {"extensible PCM", WavFile({.tag = 0xFFFE, .extra = Extensible(1)}), true},
        {"exactly 10 s", WavFile({.rate = 4000, .bits = 8, .dataBytes = 40000}), true},
        {"3999 Hz", WavFile({.rate = 3999}), false}, {"192001 Hz", WavFile({.rate = 192001}), false},
        {"zero block alignment", WavFile({.blockAlign = 0}), false},
        {"block alignment of another format", WavFile({.blockAlign = 3}), false},
        {"no channels", WavFile({.channels = 0}), false}, {"9 channels", WavFile({.channels = 9}), false},
        {"12-bit PCM", WavFile({.bits = 12}), false},
        {"IMA ADPCM blocks too short for their headers", WavFile({.tag = 0x11, .channels = 2, .bits = 4, .blockAlign = 8}), false},
        {"extensible with an unknown sub-format", WavFile({.tag = 0xFFFE, .extra = Extensible(0x55)}), false},
        {"huge data chunk on a small file", WavFile({.dataBytes = 100, .declared = 0x7fffffff}), false},
        {"no format chunk", WavFile({.withFormat = false}), false},
        {"data before the format", WavFile({.formatFirst = false}), false},
        {"no data chunk", WavFile({.withData = false}), false},
        {"no sound in the data", WavFile({.dataBytes = 0}), false},
        {"10.001 s", WavFile({.rate = 4000, .bits = 8, .dataBytes = 40004}), false},
        {"IMA ADPCM decoding to 30 MB in 10 s",
         WavFile({.tag = 0x11, .channels = 8, .rate = 192000, .bits = 4, .blockAlign = 4096, .dataBytes = 7680000}), false},
        {"not RIFF", "RIFX" + WavFile({}).substr(4), false},
    };
    for (const Row& row : rows) {
        const WaveVerdict verdict = CheckWave(Bytes(row.file));
        EXPECT_EQ(std::pair(verdict.ok, verdict.why.empty()), std::pair(row.ok, row.ok)) << row.what << ": " << verdict.why;
    }
    const WaveVerdict good = CheckWave(Bytes(WavFile({.channels = 2, .rate = 44100, .dataBytes = 4400})));
    EXPECT_EQ(good.channels * 100000 + good.rate, 244100);
    EXPECT_DOUBLE_EQ(good.seconds, 1100.0 / 44100);
    EXPECT_EQ(CheckWave(Bytes(WavFile({.rate = 1, .bits = 8}))).why, "plays at 1 Hz; 4000 to 192000 Hz are played");
}

}  // namespace
}  // namespace snickit::test

// The files that ship with Snickit beside the skins (which the skin checker
// judges, see tests/CMakeLists.txt): the first-start config.sn, and the
// built-in about picture, icon and default sound under resources/. The bitmaps and WAVs are parsed here byte by byte,
// independently of any loader, so a broken file shows up as a named failure.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "settings/Settings.h"

namespace snickit {
namespace {

namespace fs = std::filesystem;

const fs::path kRoot = SNICKIT_SOURCE_DIR;
const fs::path kSkins = kRoot / "dist" / "skins";
const fs::path kResources = kRoot / "resources";

constexpr int kWidth = 240;
constexpr int kHeight = 95;

struct Rect {
    int x, y, w, h;
};

// Window rectangles (x, y, width, height) of the about picture's controls.
constexpr Rect kMinimize{205, 3, 16, 13};
constexpr Rect kClose{221, 3, 16, 14};
constexpr Rect kOk{32, 58, 61, 27};
constexpr Rect kWebLink{130, 56, 106, 35};

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t U32(const std::string& d, size_t at) {
    return uint32_t(uint8_t(d[at])) | uint32_t(uint8_t(d[at + 1])) << 8 |
           uint32_t(uint8_t(d[at + 2])) << 16 | uint32_t(uint8_t(d[at + 3])) << 24;
}
uint16_t U16(const std::string& d, size_t at) {
    return uint16_t(uint8_t(d[at]) | uint8_t(d[at + 1]) << 8);
}

std::vector<std::string> ShippedSkins() {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(kSkins, ec))
        if (entry.is_directory()) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// ------------------------------------------------------------------ bitmaps

struct Bitmap {
    std::string error;  // empty when the file is a readable bitmap
    int width = 0, height = 0, bitCount = 0;
    uint32_t compression = 0;
    bool bottomUp = true;
    std::vector<uint32_t> pixels;  // 0xRRGGBB, top row first (24-bit files only)

    uint32_t At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

// Reads a Windows bitmap: file header, BITMAPINFOHEADER (or a later,
// larger header), and for 24-bit files the pixel rows.
Bitmap ParseBitmap(const std::string& d) {
    Bitmap b;
    if (d.size() < 54) return b.error = "shorter than a bitmap header", b;
    if (d[0] != 'B' || d[1] != 'M') return b.error = "does not start with 'BM'", b;
    if (U32(d, 2) != d.size()) return b.error = "file size field " + std::to_string(U32(d, 2)) + " is not the file's size", b;
    const uint32_t offset = U32(d, 10);
    const uint32_t headerSize = U32(d, 14);
    if (headerSize < 40) return b.error = "info header of " + std::to_string(headerSize) + " bytes", b;
    b.width = int32_t(U32(d, 18));
    int32_t height = int32_t(U32(d, 22));
    b.bottomUp = height > 0;
    b.height = std::abs(height);
    if (U16(d, 26) != 1) return b.error = "planes is not 1", b;
    b.bitCount = U16(d, 28);
    b.compression = U32(d, 30);
    if (b.compression != 0) return b.error = "compressed (not BI_RGB)", b;
    if (b.width <= 0 || b.height <= 0) return b.error = "empty picture", b;
    const size_t stride = (size_t(b.width) * size_t(b.bitCount) + 31) / 32 * 4;
    if (offset < 14 + headerSize || offset + stride * size_t(b.height) > d.size())
        return b.error = "pixel data missing or cut short", b;
    if (b.bitCount != 24) return b;
    b.pixels.resize(size_t(b.width) * size_t(b.height));
    for (int row = 0; row < b.height; ++row) {
        const int y = b.bottomUp ? b.height - 1 - row : row;
        const size_t base = offset + stride * size_t(row);
        for (int x = 0; x < b.width; ++x) {
            const size_t p = base + size_t(x) * 3;
            b.pixels[size_t(y) * size_t(b.width) + size_t(x)] =
                uint32_t(uint8_t(d[p + 2])) << 16 | uint32_t(uint8_t(d[p + 1])) << 8 | uint8_t(d[p]);
        }
    }
    return b;
}

Bitmap LoadWindowPicture(const fs::path& path) {
    const std::string data = ReadAll(path);
    Bitmap b = data.empty() ? Bitmap{"missing or empty", 0, 0, 0, 0, true, {}} : ParseBitmap(data);
    if (b.error.empty() && (b.width != kWidth || b.height != kHeight))
        b.error = "is " + std::to_string(b.width) + "x" + std::to_string(b.height) + ", not 240x95";
    if (b.error.empty() && b.bitCount != 24)
        b.error = "has " + std::to_string(b.bitCount) + " bits per pixel, not 24";
    return b;
}

int DistinctColours(const Bitmap& b, const Rect& r) {
    std::set<uint32_t> colours;
    for (int y = r.y; y < r.y + r.h; ++y)
        for (int x = r.x; x < r.x + r.w; ++x) colours.insert(b.At(x, y));
    return int(colours.size());
}

// ------------------------------------------------------------------ sounds

struct Sound {
    std::string error;
    uint16_t format = 0, channels = 0, bits = 0;
    uint32_t rate = 0;
    std::vector<int16_t> samples;  // interleaved

    double Seconds() const { return channels && rate ? double(samples.size()) / channels / rate : 0; }
    int Peak() const {
        int peak = 0;
        for (int16_t s : samples) peak = std::max(peak, std::abs(int(s)));
        return peak;
    }
    double Rms() const {
        double sum = 0;
        for (int16_t s : samples) sum += double(s) * s;
        return samples.empty() ? 0 : std::sqrt(sum / double(samples.size()));
    }
};

// Reads a RIFF WAVE file: walks the chunks for "fmt " and "data".
Sound ParseWav(const std::string& d) {
    Sound s;
    if (d.size() < 12 || d.compare(0, 4, "RIFF") != 0 || d.compare(8, 4, "WAVE") != 0)
        return s.error = "not a RIFF WAVE file", s;
    if (size_t(U32(d, 4)) + 8 != d.size()) return s.error = "RIFF size is not the file's size", s;
    bool haveFormat = false, haveData = false;
    for (size_t at = 12; at + 8 <= d.size();) {
        const std::string id = d.substr(at, 4);
        const size_t size = U32(d, at + 4);
        const size_t body = at + 8;
        if (body + size > d.size()) return s.error = "chunk '" + id + "' runs past the end", s;
        if (id == "fmt ") {
            if (size < 16) return s.error = "fmt chunk too short", s;
            s.format = U16(d, body);
            s.channels = U16(d, body + 2);
            s.rate = U32(d, body + 4);
            s.bits = U16(d, body + 14);
            if (U16(d, body + 12) != s.channels * s.bits / 8) return s.error = "bad block alignment", s;
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat) return s.error = "data before fmt", s;
            if (s.format != 1 || s.bits != 16) return s;
            for (size_t i = 0; i + 1 < size; i += 2) s.samples.push_back(int16_t(U16(d, body + i)));
            haveData = true;
        }
        at = body + size + (size & 1);
    }
    if (!haveFormat || !haveData) s.error = "no fmt or data chunk";
    return s;
}

constexpr int kPeakLimit = 29204;   // -1 dBFS of 16-bit full scale
constexpr int kEndLimit = 330;      // about 1 % of full scale: no click
constexpr uintmax_t kMaxWavBytes = 200 * 1024;

// Checks one WAV against the limits every shipped sound keeps.
void ExpectCleanShortSound(const fs::path& path, double minSeconds, double maxSeconds) {
    SCOPED_TRACE(path.string());
    const std::string data = ReadAll(path);
    ASSERT_FALSE(data.empty()) << "missing or empty";
    EXPECT_LT(data.size(), kMaxWavBytes);
    const Sound s = ParseWav(data);
    ASSERT_EQ(s.error, "");
    EXPECT_EQ(s.format, 1) << "not PCM";
    EXPECT_EQ(s.bits, 16);
    EXPECT_TRUE(s.channels == 1 || s.channels == 2) << s.channels << " channels";
    EXPECT_TRUE(s.rate == 22050 || s.rate == 44100) << s.rate << " Hz";
    ASSERT_FALSE(s.samples.empty());
    EXPECT_GE(s.Seconds(), minSeconds);
    EXPECT_LE(s.Seconds(), maxSeconds);
    EXPECT_LE(s.Peak(), kPeakLimit) << "peak above -1 dBFS";
    EXPECT_GT(s.Peak(), 3000) << "nearly silent";
    EXPECT_GT(s.Rms(), 300.0) << "nearly silent";
    EXPECT_LE(std::abs(int(s.samples.front())), kEndLimit) << "starts with a click";
    EXPECT_LE(std::abs(int(s.samples.back())), kEndLimit) << "ends with a click";
}

// ------------------------------------------------------------------ built-ins

TEST(ArtworkBuiltIns, AboutPictureDrawsItsControls) {
    const Bitmap about = LoadWindowPicture(kResources / "about.bmp");
    ASSERT_EQ(about.error, "");
    EXPECT_TRUE(about.bottomUp);
    for (const Rect& r : {kOk, kWebLink, kMinimize, kClose})
        EXPECT_GE(DistinctColours(about, r), 3) << "nothing drawn at " << r.x << "," << r.y;
}

TEST(ArtworkBuiltIns, IconHas16And32PixelImagesIn256Colours) {
    const std::string d = ReadAll(kResources / "icon.ico");
    ASSERT_GE(d.size(), 6u + 2 * 16) << "icon.ico missing or too short";
    EXPECT_EQ(U16(d, 0), 0);
    EXPECT_EQ(U16(d, 2), 1) << "not an icon";
    ASSERT_EQ(U16(d, 4), 2) << "image count";
    std::set<int> sizes;
    for (int i = 0; i < 2; ++i) {
        const size_t entry = 6 + 16 * size_t(i);
        const int size = uint8_t(d[entry]);
        SCOPED_TRACE("icon image " + std::to_string(size));
        sizes.insert(size);
        EXPECT_EQ(uint8_t(d[entry + 1]), size) << "not square";
        EXPECT_EQ(U16(d, entry + 6), 8) << "bits per pixel in the directory";
        const size_t bytes = U32(d, entry + 8), offset = U32(d, entry + 12);
        ASSERT_LE(offset + bytes, d.size());
        // BMP-in-ICO: the header counts the XOR image and the AND mask.
        EXPECT_EQ(U32(d, offset), 40u);
        EXPECT_EQ(int32_t(U32(d, offset + 4)), size);
        EXPECT_EQ(int32_t(U32(d, offset + 8)), 2 * size);
        EXPECT_EQ(U16(d, offset + 14), 8);
        EXPECT_EQ(U32(d, offset + 16), 0u) << "compressed";
        const size_t colours = U32(d, offset + 32) ? U32(d, offset + 32) : 256;
        const size_t xorBytes = (size_t(size) + 3) / 4 * 4 * size_t(size);
        const size_t andBytes = (size_t(size) + 31) / 32 * 4 * size_t(size);
        EXPECT_EQ(bytes, 40 + 4 * colours + xorBytes + andBytes);
        // Some of the image is opaque and some transparent (a figure, not a square).
        int transparent = 0;
        const size_t mask = offset + 40 + 4 * colours + xorBytes;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                transparent += (uint8_t(d[mask + size_t(y) * ((size_t(size) + 31) / 32 * 4) + size_t(x) / 8]) >> (7 - x % 8)) & 1;
        EXPECT_GT(transparent, 0);
        EXPECT_LT(transparent, size * size / 2);
    }
    EXPECT_EQ(sizes, (std::set<int>{16, 32}));

    const std::string bmp = ReadAll(kResources / "icon32.bmp");
    const Bitmap icon32 = bmp.empty() ? Bitmap{"missing", 0, 0, 0, 0, true, {}} : ParseBitmap(bmp);
    EXPECT_EQ(icon32.error, "") << "icon32.bmp";
    EXPECT_EQ(icon32.width, 32);
    EXPECT_EQ(icon32.height, 32);
    EXPECT_TRUE(icon32.bitCount == 24 || icon32.bitCount == 8) << icon32.bitCount;
}

TEST(ArtworkBuiltIns, DefaultDingIsShortAndClean) {
    ExpectCleanShortSound(kResources / "ding.wav", 0.05, 0.5);
    const Sound ding = ParseWav(ReadAll(kResources / "ding.wav"));
    EXPECT_EQ(ding.channels, 1);
    EXPECT_LT(ding.Seconds(), 0.5);
}

// ------------------------------------------------------------------ first start

TEST(ArtworkFirstStart, ConfigPlacesTheWindowOnScreenWithAShippedSkin) {
    const fs::path path = kRoot / "dist" / "config.sn";
    const std::string content = ReadAll(path);
    ASSERT_FALSE(content.empty()) << path.string() << " missing or empty";
    const StoredSettings s = ParseSettings(content, path.string());

    // Twips at 15 per pixel; the whole 240 x 95 window on a 1024 x 768 screen.
    const double x = s.left / 15.0, y = s.top / 15.0;
    EXPECT_GE(x, 0);
    EXPECT_GE(y, 0);
    EXPECT_LE(x + kWidth, 1024);
    EXPECT_LE(y + kHeight, 768);

    ASSERT_GE(s.currentSkin.size(), 2u);
    EXPECT_EQ(s.currentSkin.back(), '\\');
    const std::string name = s.currentSkin.substr(0, s.currentSkin.size() - 1);
    const std::vector<std::string> skins = ShippedSkins();
    EXPECT_NE(std::find(skins.begin(), skins.end(), name), skins.end()) << "no skin folder " << name;

    // Written exactly as the program itself writes the file at quit.
    EXPECT_EQ(content, FormatSettings(s));
}

}  // namespace
}  // namespace snickit

#include "skin/SkinCheck.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

#include "pad/WaveCheck.h"
#include "shell/Layout.h"
#include "skin/BitmapCheck.h"
#include "skin/SkinPaths.h"
#include "skin/SkinSpots.h"

namespace snickit {

namespace {

using layout::kWindowHeight;
using layout::kWindowWidth;

// No file of a skin needs more; a longer one is not read whole.
constexpr std::size_t kMaxFileBytes = std::size_t{96} << 20;
// A gag sound longer than this plays on and on.
constexpr double kLongSoundSeconds = 5.0;
// Below this peak (about -60 dBFS) a sound is as good as silent.
constexpr double kSilentPeak = 0.001;
// A sound at full scale for this many samples in a row was clipped.
constexpr int kClippedRun = 3;
constexpr int kPcm = 1;

// A file's bytes read through the host. Throws FileNotFound, PathNotFound
// or CannotRead (a longer file than `limit` cannot be read).
std::vector<unsigned char> ReadFile(SkinCheckHost& host, const std::string& path, std::size_t limit) {
    BinaryFile file = host.ReadBinaryFile(path, limit);
    if (!file) throw Failure(*file.failure, path);
    return std::move(file.bytes);
}

std::string Number(double value, int decimals) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string Place(const PixelRect& r) {
    return "x " + std::to_string(r.left) + ", y " + std::to_string(r.top) + ", " +
           std::to_string(r.width) + " x " + std::to_string(r.height);
}

// "a", "a and b", "a, b and c".
std::string JoinNames(const std::vector<std::string>& names) {
    std::string text;
    for (size_t i = 0; i < names.size(); ++i) {
        if (i > 0) text += i + 1 == names.size() ? " and " : ", ";
        text += names[i];
    }
    return text;
}

// The picture or sound check's reason as a sentence of its own. A reason
// that starts in lower case tells what the file does ("is not a WAV file").
std::string Sentence(std::string text) {
    if (text.empty()) return "";
    if (std::islower(static_cast<unsigned char>(text[0]))) text = "The file " + text;
    if (text.back() != '.') text += '.';
    return " " + text;
}

WindowPixels ReadWindowPixels(const Picture& picture) {
    WindowPixels pixels(static_cast<size_t>(kWindowWidth * kWindowHeight), kNoPixel);
    const int width = std::min(picture.Width(), kWindowWidth);
    const int height = std::min(picture.Height(), kWindowHeight);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[static_cast<size_t>(y * kWindowWidth + x)] = picture.PixelAt(x, y);
    return pixels;
}

bool SameInside(const WindowPixels& a, const WindowPixels& b, const PixelRect& r) {
    for (int y = r.top; y < r.top + r.height; ++y)
        for (int x = r.left; x < r.left + r.width; ++x)
            if (a[static_cast<size_t>(y * kWindowWidth + x)] != b[static_cast<size_t>(y * kWindowWidth + x)])
                return false;
    return true;
}

bool Overlap(const PixelRect& a, const PixelRect& b, PixelRect& both) {
    const int left = std::max(a.left, b.left), top = std::max(a.top, b.top);
    const int right = std::min(a.left + a.width, b.left + b.width);
    const int bottom = std::min(a.top + a.height, b.top + b.height);
    both = {left, top, right - left, bottom - top};
    return right > left && bottom > top;
}

// --- Pictures ----------------------------------------------------------------

std::string PictureError(SkinCheckHost& host, const std::string& path, const std::string& file,
                         const Failure& failure) {
    switch (failure.kind()) {
    case FailureKind::FileNotFound: return file + " is missing.";
    case FailureKind::BadPicture: {
        std::vector<unsigned char> bytes;
        try {
            bytes = ReadFile(host, path, kMaxBitmapFileBytes);
        } catch (const Failure&) {
            return file + " cannot be loaded as a picture." +
                   Sentence("is longer than the " + std::to_string(kMaxBitmapFileBytes) +
                            " bytes a picture may have, or cannot be read");
        }
        PicturePixels kept;
        const BitmapVerdict verdict = DecodeBitmap(bytes, kWindowWidth, kWindowHeight, kept);
        if (!verdict.ok) return file + " cannot be loaded as a picture." + Sentence(verdict.why);
        return file + " cannot be loaded: this system refuses to make a picture of it (a " +
               std::to_string(verdict.width) + " x " + std::to_string(verdict.height) + " bitmap of " +
               std::to_string(verdict.bitsPerPixel) + " bits per pixel).";
    }
    default: return file + ": " + DescribeFailure(failure.kind(), host.DisplayPath(failure.path())) + ".";
    }
}

// What a picture of the wrong size does to the window.
std::string SizeWarning(const std::string& file, int width, int height, const std::vector<Spot>& spots,
                        bool pressed) {
    std::string text = file + " is " + std::to_string(width) + " x " + std::to_string(height) +
                       " pixels, not " + std::to_string(kWindowWidth) + " x " + std::to_string(kWindowHeight) + ".";
    std::vector<std::string> bare;
    if (width < kWindowWidth) bare.push_back("right of x " + std::to_string(width - 1));
    if (height < kWindowHeight) bare.push_back("below y " + std::to_string(height - 1));
    if (!bare.empty()) {
        std::vector<std::string> cut;
        for (const Spot& spot : spots)
            if (spot.place.left + spot.place.width > width || spot.place.top + spot.place.height > height)
                cut.push_back(spot.name);
        text += pressed ? " Nothing is drawn " : " The window shows no picture ";
        text += JoinNames(bare);
        if (!cut.empty()) {
            text += pressed ? ", so the pressed look of " : ", where ";
            text += JoinNames(cut) + (pressed ? " is" : cut.size() == 1 ? " is" : " are");
            text += pressed ? " incomplete" : " not drawn completely";
        }
        text += ".";
    }
    if (width > kWindowWidth || height > kWindowHeight)
        text += " What lies beyond the window's " + std::to_string(kWindowWidth) + " x " + std::to_string(kWindowHeight) +
                " pixels is cut off.";
    return text;
}

bool CoversWindow(const WindowPixels& pixels) {
    return !pixels.empty() && pixels.back() != kNoPixel;
}

// Compares the pictures that cover the whole window (the size warning tells
// about the others).
void CheckPictures(SkinReport& report) {
    static const WindowPixels kNone;
    auto covering = [&](size_t i) -> const WindowPixels& { return CoversWindow(report.pictures[i]) ? report.pictures[i] : kNone; };
    const WindowPixels& box = covering(0);
    const WindowPixels& pressed = covering(1);
    const WindowPixels& menu = covering(2);
    if (!box.empty() && !pressed.empty()) {
        for (const Spot& button : kButtonSpots)
            if (SameInside(box, pressed, button.place))
                report.warnings.push_back("box2.bmp: " + button.name + " looks the same pressed as in box.bmp (nothing differs inside its rectangle, " +
                                          Place(button.place) + "), so a press shows nothing.");
        // Only the pressed button's rectangle is copied from box2.bmp, and
        // neighbours share a column: both presses paint it, so it must look
        // the same in both pictures.
        for (size_t i = 0; i + 1 < kButtonSpots.size(); ++i) {
            PixelRect both{};
            if (!Overlap(kButtonSpots[i].place, kButtonSpots[i + 1].place, both) || SameInside(box, pressed, both)) continue;
            report.warnings.push_back("box2.bmp differs from box.bmp where " + kButtonSpots[i].name + " and " +
                                      kButtonSpots[i + 1].name + " overlap (" + Place(both) +
                                      "): pressing either one paints that strip of its pressed look onto the other. Keep the two pictures the same there.");
        }
    }
    if (!box.empty() && !menu.empty())
        for (const Spot& item : kMenuItemSpots)
            if (SameInside(box, menu, item.place))
                report.warnings.push_back("menu.bmp: " + item.name + " is not drawn: menu.bmp is the same as box.bmp inside its rectangle (" +
                                          Place(item.place) + ").");
}

// --- Sounds ------------------------------------------------------------------

// Loudness of integer PCM: the peak as a fraction of full scale, and how
// many times a channel stays at full scale for kClippedRun samples or more.
struct Levels {
    double peak = 0;
    int clipped = 0;
};

Levels MeasurePcm(const std::vector<unsigned char>& file, size_t at, size_t size, int channels, int bits) {
    Levels levels;
    const int bytes = bits / 8;
    const size_t frame = static_cast<size_t>(bytes) * static_cast<size_t>(channels);
    const std::int64_t full = std::int64_t{1} << (bits - 1);
    std::vector<int> run(static_cast<size_t>(channels), 0);
    std::int64_t peak = 0;
    for (size_t f = 0; f + frame <= size; f += frame)
        for (int c = 0; c < channels; ++c) {
            const unsigned char* p = &file[at + f + static_cast<size_t>(c * bytes)];
            std::int64_t value = 0;
            for (int b = bytes - 1; b >= 0; --b) value = value << 8 | p[b];
            if (bits == 8) value -= 128;  // 8-bit samples are unsigned
            else if (value >= full) value -= 2 * full;
            peak = std::max(peak, value < 0 ? -value : value);
            // A run counts samples at the same extreme: +1 per sample at the
            // top, -1 per sample at the bottom.
            int& r = run[static_cast<size_t>(c)];
            if (value >= full - 1) r = r > 0 ? r + 1 : 1;
            else if (value <= 1 - full) r = r < 0 ? r - 1 : -1;
            else r = 0;
            if (r == kClippedRun || r == -kClippedRun) ++levels.clipped;
        }
    levels.peak = static_cast<double>(peak) / static_cast<double>(full);
    return levels;
}

void CheckSound(SkinCheckHost& host, SkinReport& report, int index) {
    const std::string file = SoundFileName(index);
    const std::string button = kButtonSpots[static_cast<size_t>(index)].name;
    const std::string fallback = ": " + button + " plays Snickit's default sound instead";
    std::vector<unsigned char> bytes;
    try {
        bytes = ReadFile(host, report.folder + "\\" + file, kMaxFileBytes);
    } catch (const Failure& failure) {
        report.warnings.push_back(file + (failure.kind() == FailureKind::FileNotFound ? " is missing" : " cannot be read") +
                                  fallback + ".");
        return;
    }
    if (bytes.size() > kMaxFileBytes) {
        report.warnings.push_back(file + fallback + ". The file is far too large for a sound.");
        return;
    }
    const WaveVerdict wave = CheckWave(bytes);
    if (!wave.ok) {
        report.warnings.push_back(file + fallback + "." + Sentence(wave.why));
        return;
    }
    if (wave.seconds > kLongSoundSeconds)
        report.warnings.push_back(file + " is very long (" + Number(wave.seconds, 1) +
                                  " seconds): it plays on until another button cuts it off. Gag sounds last a second or two.");
    const bool pcm = wave.formatTag == kPcm && (wave.bits == 8 || wave.bits == 16 || wave.bits == 24 || wave.bits == 32);
    if (!pcm || wave.channels < 1) return;
    const Levels levels = MeasurePcm(bytes, wave.dataAt, wave.dataBytes, wave.channels, wave.bits);
    if (levels.peak < kSilentPeak)
        report.warnings.push_back(file + " is silent: " +
                                  (levels.peak > 0 ? "its loudest sample is at " + Number(20 * std::log10(levels.peak), 0) + " dBFS."
                                                   : "every sample is zero."));
    if (levels.clipped > 0)
        report.warnings.push_back(file + " is clipped: it stays at full scale for " + std::to_string(kClippedRun) +
                                  " samples or more in " + std::to_string(levels.clipped) +
                                  (levels.clipped == 1 ? " place" : " places") + ", which sounds distorted. Make it quieter.");
}

std::string SkinName(const std::string& folder) {
    const size_t slash = folder.find_last_of('\\');
    const std::string name = slash == std::string::npos ? folder : folder.substr(slash + 1);
    return name.empty() ? folder : name;
}

std::string Plural(size_t count, const char* word) {
    return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
}

void Print(SkinCheckHost& host, const SkinReport& report, std::string& out) {
    out += report.name + "  (" + host.DisplayPath(report.folder) + ")\n";
    for (const std::string& error : report.errors) out += "  error:   " + error + "\n";
    for (const std::string& warning : report.warnings) out += "  warning: " + warning + "\n";
    if (!report.Usable())
        out += "  => " + report.name + ": NOT USABLE, " + Plural(report.errors.size(), "error") + " and " +
               Plural(report.warnings.size(), "warning") + ". Snickit stops when it loads this skin.\n";
    else if (!report.warnings.empty())
        out += "  => " + report.name + ": usable, with " + Plural(report.warnings.size(), "warning") + ".\n";
    else
        out += "  => " + report.name + ": good, no errors and no warnings.\n";
}

constexpr const char* kUsage =
    "Usage: snickit-skin-check [--sheet FILE.bmp] [SKIN_FOLDER...]\n"
    "Checks Snickit skins as Snickit loads them: every folder in the skins folder\n"
    "beside this program, or the skin folders given. --sheet writes a contact sheet\n"
    "(the pictures with every hot spot outlined and labelled) to FILE.bmp.\n"
    "Exit status: 0 every skin is usable, 1 a skin has errors, 2 bad usage.\n";

}  // namespace

SkinReport CheckSkin(SkinCheckHost& host, const std::string& folder) {
    SkinReport report;
    report.folder = folder;
    report.name = SkinName(folder);
    std::vector<std::string> subfolders;
    try {
        subfolders = host.ListSubfolders(folder);
    } catch (const Failure&) {
        report.errors.push_back("There is no folder " + host.DisplayPath(folder) + ".");
        return report;
    }
    for (size_t i = 0; i < 3; ++i) {
        const std::string file = kSkinPictures[i];
        const std::string path = folder + "\\" + file;
        try {
            const PictureRef picture = LoadPictureFile(host, path);
            report.pictures[i] = ReadWindowPixels(*picture);
            // The loader keeps no more than the window's part: a picture
            // that fills it may be larger, as its header tells.
            int width = picture->Width(), height = picture->Height();
            if (width == kWindowWidth || height == kWindowHeight) {
                try {
                    const BitmapVerdict verdict = CheckBitmap(ReadFile(host, path, kMaxBitmapFileBytes));
                    if (verdict.ok) width = verdict.width, height = verdict.height;
                } catch (const Failure&) {
                }
            }
            if (width != kWindowWidth || height != kWindowHeight)
                report.warnings.push_back(SizeWarning(file, width, height, PictureSpots(i), i == 1));
        } catch (const Failure& failure) {
            report.errors.push_back(PictureError(host, path, file, failure));
        }
    }
    if (report.errors.size() == 3 && !subfolders.empty()) {
        // Most likely the skins folder itself, given instead of its skins.
        report.errors = {"This folder holds none of a skin's pictures but has folders in it (" + subfolders.front() +
                         ", ...): it looks like a folder of skins. Give the skin folders in it, or no folder at all "
                         "to check every skin in the skins folder beside the checker."};
        return report;
    }
    CheckPictures(report);
    for (int index = 0; index < 4; ++index) CheckSound(host, report, index);
    return report;
}

int RunSkinCheck(SkinCheckHost& host, std::vector<std::string> args, std::string& out, std::string& err) {
    // Paths in the program's own form, whichever slash was typed.
    for (std::string& arg : args) std::replace(arg.begin(), arg.end(), '/', '\\');
    std::vector<std::string> folders;
    std::string sheet;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            out += kUsage;
            return 0;
        }
        if (arg == "--sheet" && i + 1 < args.size() && !args[i + 1].empty() && sheet.empty()) {
            sheet = args[++i];
        } else if (!arg.empty() && arg[0] == '-') {
            err += (arg == "--sheet" ? "--sheet needs one file name.\n" : "Unknown option: " + arg + "\n") + kUsage;
            return 2;
        } else {
            std::string folder = arg;
            while (folder.size() > 1 && folder.back() == '\\') folder.pop_back();
            folders.push_back(folder);
        }
    }
    if (folders.empty()) {
        const std::string skins = SkinsFolder(host.ProgramFolder());
        std::vector<std::string> names;
        try {
            names = host.ListSubfolders(skins);
            KeepSkinNames(names);
        } catch (const Failure&) {
            out += "There is no skins folder " + host.DisplayPath(skins) + ": Snickit cannot start without one.\n";
            return 1;
        }
        if (names.empty()) {
            out += "There is no skin in " + host.DisplayPath(skins) + ": Snickit needs at least one.\n";
            return 1;
        }
        for (const std::string& name : names) folders.push_back(skins + name);
    }
    std::vector<SkinReport> reports;
    bool usable = true;
    for (const std::string& folder : folders) {
        reports.push_back(CheckSkin(host, folder));
        Print(host, reports.back(), out);
        usable = usable && reports.back().Usable();
        if (sheet.empty()) reports.back().pictures = {};
    }
    if (!sheet.empty()) {
        try {
            host.WriteFile(sheet, ContactSheet(reports));
        } catch (const Failure& failure) {
            err += DescribeFailure(failure.kind(), host.DisplayPath(failure.path())) + "\n";
            return 2;
        }
        out += "Contact sheet: " + host.DisplayPath(sheet) + "\n";
    }
    return usable ? 0 : 1;
}

}  // namespace snickit

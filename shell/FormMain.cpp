#include "shell/FormMain.h"

#include <algorithm>
#include <cmath>

#include "shell/Layout.h"
#include "skin/BitmapCheck.h"
#include "skin/SkinPaths.h"

namespace snickit {

namespace {
HotSpot Spot(const PixelRect& place, bool visible) {
    return HotSpot(place.left, place.top, place.width, place.height, visible);
}
}  // namespace

int RoundHalfEven(float value) {
    double whole = std::floor(static_cast<double>(value));
    double rest = static_cast<double>(value) - whole;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(whole, 2.0) != 0.0)) whole += 1.0;
    return static_cast<int>(whole);
}

int TwipsToPixels(float twips, float twipsPerPixel) {
    // Far beyond any screen, but small enough for every window system.
    constexpr double kLimit = 1000000.0;
    double pixels = static_cast<double>(twips) / static_cast<double>(twipsPerPixel);
    if (std::isnan(pixels)) return 0;
    return static_cast<int>(std::lround(std::clamp(pixels, -kLimit, kLimit)));
}

int ScaleForDensity(int dotsPerInch) {
    // Beyond 16 times no screen is dense enough; the bound keeps sizes sane.
    return std::clamp((std::clamp(dotsPerInch, 0, 1 << 20) + 48) / 96, 1, 16);
}

PixelRect PlaceInReach(const PixelRect& window, const PixelRect& handle, const std::vector<PixelRect>& monitors) {
    auto inside = [](const PixelRect& r, const PixelRect& m) {
        return r.left >= m.left && r.top >= m.top && static_cast<long long>(r.left) + r.width <= static_cast<long long>(m.left) + m.width &&
               static_cast<long long>(r.top) + r.height <= static_cast<long long>(m.top) + m.height;
    };
    PixelRect best = window;
    long long bestDistance = -1;
    for (const PixelRect& m : monitors) {
        if (inside(handle, m)) return window;
        // The whole window on this monitor, moved as little as it takes (its
        // top-left corner first when it is larger than the monitor).
        auto clamp = [](long long at, int size, int from, int length) {
            return static_cast<int>(std::max<long long>(from, std::min<long long>(at, static_cast<long long>(from) + length - size)));
        };
        PixelRect moved{clamp(window.left, window.width, m.left, m.width), clamp(window.top, window.height, m.top, m.height),
                        window.width, window.height};
        const long long dx = static_cast<long long>(moved.left) - window.left;
        const long long dy = static_cast<long long>(moved.top) - window.top;
        if (bestDistance < 0 || dx * dx + dy * dy < bestDistance) best = moved, bestDistance = dx * dx + dy * dy;
    }
    return best;
}

// --- Form_Main -------------------------------------------------------------

Form_Main::Form_Main(Platform& platform)
    : Image_BTN{Spot(layout::kSoundButton[0], false), Spot(layout::kSoundButton[1], false),
                Spot(layout::kSoundButton[2], false), Spot(layout::kSoundButton[3], false)},
      Image_Menu(Spot(layout::kMenuButton, false)),
      Image_Min(Spot(layout::kMinimize, true)),
      Image_quit{Spot(layout::kClose, true), Spot(layout::kQuitItem, false)},
      Image_skin(Spot(layout::kSkinsItem, false)),
      Image_About(Spot(layout::kAboutItem, false)),
      command_Ok(Spot(layout::kOk, true)),
      Image_Net(Spot(layout::kWebLink, true)),
      List1(platform),
      Dir1(platform),
      platform_(platform),
      window_(platform.MainWindow()),
      programFolder_(platform.ProgramFolder()),
      stacking_{&command_Ok,   &Image_Net,    &Image_quit[1], &Image_About,
                &Image_skin,   &Image_Menu,   &Image_BTN[3],  &Image_BTN[2],
                &Image_BTN[1], &Image_BTN[0], &Image_quit[0], &Image_Min} {
    Picture_Splach.Picture = platform.BuiltinAboutPicture();
    ApplyDensity(platform.DotsPerInch());
    window_.ListSetVisible(false);
    window_.SetInputSink(this);
}

void Form_Main::ApplyDensity(int dotsPerInch) {
    scale_ = ScaleForDensity(dotsPerInch);
    twipsPerPixel_ = 15.0f / static_cast<float>(scale_);
    for (HotSpot* spot : stacking_) spot->Scale(twipsPerPixel_, twipsPerPixel_);
    window_.SetScale(scale_);
    window_.SetSize(layout::kWindowWidth * scale_, layout::kWindowHeight * scale_);
    List1.SetScale(scale_);
}

void Form_Main::DensityChanged(int dotsPerInch) {
    if (ScaleForDensity(dotsPerInch) == scale_) return;
    ApplyDensity(dotsPerInch);
    KeepInReach();
}

void Form_Main::KeepInReach() {
    int x = 0, y = 0;
    window_.GetPosition(x, y);
    const PixelRect window{x, y, layout::kWindowWidth * scale_, layout::kWindowHeight * scale_};
    const PixelRect& menu = layout::kMenuButton;
    const PixelRect handle{x + menu.left * scale_, y + menu.top * scale_, menu.width * scale_, menu.height * scale_};
    const PixelRect place = PlaceInReach(window, handle, platform_.UsableAreas());
    if (place.left != x || place.top != y) window_.SetPosition(place.left, place.top);
}

float Form_Main::Left() const {
    int x = 0, y = 0;
    window_.GetPosition(x, y);
    return static_cast<float>(x * static_cast<double>(twipsPerPixel_));
}

float Form_Main::Top() const {
    int x = 0, y = 0;
    window_.GetPosition(x, y);
    return static_cast<float>(y * static_cast<double>(twipsPerPixel_));
}

void Form_Main::SetPicture(const PictureBuffer& buffer) {
    window_.SetPicture(buffer.Picture);
}

void Form_Main::WaitForOk() {
    AboutOpen = 1;
    for (;;) {
        window_.DispatchPending();
        if (AboutOpen != 1) break;
        window_.WaitEvent();
    }
}

void Form_Main::LoadSkinPicture(PictureBuffer& buffer, const std::string& fileName) {
    const std::string path = SkinFilePath(programFolder_, CurrentSkin, fileName);
    // A line 3 that leads out of the skins folder names no skin: its files
    // are missing, as those of a skin that does not exist.
    if (!StaysInSkinsFolder(CurrentSkin)) {
        throw Failure(CurrentSkin.ends_with('\\') ? FailureKind::PathNotFound : FailureKind::FileNotFound, path);
    }
    buffer.Picture = LoadPictureFile(platform_, path);
}

}  // namespace snickit

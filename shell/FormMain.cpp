#include "shell/FormMain.h"

#include <algorithm>
#include <cmath>

#include "shell/Layout.h"
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
      twipsPerPixelX_(platform.TwipsPerPixelX()),
      twipsPerPixelY_(platform.TwipsPerPixelY()),
      stacking_{&command_Ok,   &Image_Net,    &Image_quit[1], &Image_About,
                &Image_skin,   &Image_Menu,   &Image_BTN[3],  &Image_BTN[2],
                &Image_BTN[1], &Image_BTN[0], &Image_quit[0], &Image_Min} {
    for (HotSpot* spot : stacking_) spot->Scale(twipsPerPixelX_, twipsPerPixelY_);
    Picture_Splach.Picture = platform.BuiltinAboutPicture();
    window_.SetSize(layout::kWindowWidth, layout::kWindowHeight);
    window_.ListSetBounds(List1.Bounds());
    window_.ListSetVisible(false);
    window_.SetInputSink(this);
}

float Form_Main::Left() const {
    int x = 0, y = 0;
    window_.GetPosition(x, y);
    return static_cast<float>(x * static_cast<double>(twipsPerPixelX_));
}

float Form_Main::Top() const {
    int x = 0, y = 0;
    window_.GetPosition(x, y);
    return static_cast<float>(y * static_cast<double>(twipsPerPixelY_));
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
    buffer.Picture = platform_.LoadPicture(SkinFilePath(programFolder_, CurrentSkin, fileName));
}

}  // namespace snickit

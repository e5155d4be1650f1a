#include "shell/FormMain.h"

#include <algorithm>
#include <cmath>

#include "skin/SkinPaths.h"

namespace snickit {

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
    : Image_BTN{HotSpot(3, 19, 60, 71, false), HotSpot(62, 19, 58, 71, false),
                HotSpot(119, 19, 58, 71, false), HotSpot(176, 19, 60, 71, false)},
      Image_Menu(1, 1, 26, 21, false),
      Image_Min(205, 3, 16, 13, true),
      Image_quit{HotSpot(221, 3, 16, 14, true), HotSpot(8, 55, 116, 18, false)},
      Image_skin(8, 23, 116, 18, false),
      Image_About(9, 39, 116, 18, false),
      command_Ok(32, 58, 61, 27, true),
      Image_Net(130, 56, 106, 35, true),
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
    window_.SetSize(kFormWidth, kFormHeight);
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

#include "shell/HotSpot.h"

namespace snickit {

namespace {
constexpr float kDesignTwipsPerPixel = 15.0f;
}

HotSpot::HotSpot(int left, int top, int width, int height, bool visible)
    : design_{left, top, width, height},
      rect_{static_cast<float>(left), static_cast<float>(top), static_cast<float>(width),
            static_cast<float>(height)},
      visible_(visible) {}

void HotSpot::Scale(float twipsPerPixelX, float twipsPerPixelY) {
    auto px = [](int design, float tpp) { return design * kDesignTwipsPerPixel / tpp; };
    rect_ = {px(design_[0], twipsPerPixelX), px(design_[1], twipsPerPixelY),
             px(design_[2], twipsPerPixelX), px(design_[3], twipsPerPixelY)};
}

}  // namespace snickit

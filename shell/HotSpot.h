// A hot spot: an invisible rectangle of the window that reacts to the mouse.
#pragma once

namespace snickit {

// A rectangle in window pixels; fractional on displays whose twips per pixel
// is not 15.
struct FloatRect {
    float left, top, width, height;
    bool Contains(float x, float y) const {
        return x >= left && x < left + width && y >= top && y < top + height;
    }
};

// Its place is a design value (pixels at 15 twips per pixel), converted
// with the screen's twips per pixel. A hidden hot spot is neither drawn nor
// hit: its area belongs to what lies beneath it.
class HotSpot {
public:
    HotSpot(int left, int top, int width, int height, bool visible);
    float Left() const { return rect_.left; }
    float Top() const { return rect_.top; }
    float Width() const { return rect_.width; }
    float Height() const { return rect_.height; }
    const FloatRect& Rect() const { return rect_; }
    bool Visible() const { return visible_; }
    void Show() { visible_ = true; }
    void Hide() { visible_ = false; }
    // Converts the design place for a screen.
    void Scale(float twipsPerPixelX, float twipsPerPixelY);

private:
    int design_[4];
    FloatRect rect_;
    bool visible_;
};

}  // namespace snickit

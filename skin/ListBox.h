// The skin list List1: the skin folders' names, sorted as the desktop sorts
// names for people, one selection or none. What it shows on screen is
// mirrored to the platform's list box.
#pragma once

#include <string>
#include <vector>

#include "platform/Platform.h"

namespace snickit {

class ListBox {
public:
    explicit ListBox(Platform& platform) : platform_(platform), window_(platform.MainWindow()) {}
    // Adds an entry at its sorted place and returns that place. Names the
    // desktop's order holds equal go by their bytes, so the order is the
    // same whatever order the entries come in.
    int AddItem(const std::string& text);
    // Adds entries as AddItem adds each. An empty list takes names that
    // already come in its order as they are, without copying them.
    void AddItems(std::vector<std::string> texts);
    int ListCount() const { return static_cast<int>(items_.size()); }
    const std::string& List(int index) const { return items_.at(static_cast<size_t>(index)); }
    int ListIndex() const { return listIndex_; }
    // Sets the selection; returns whether it changed.
    bool SetListIndex(int index);
    const std::string& Text() const { return List(listIndex_); }
    bool Visible() const { return visible_; }
    void Show();
    void Hide();
    // Places the list, in design pixels; the window gets them at its scale.
    void Move(int left, int top, int width, int height);
    void SetScale(int scale);
    // Where the list is, in window pixels.
    const PixelRect& Bounds() const { return bounds_; }
    // Hands the entries to the platform's list box once it is filled, before
    // anything is selected.
    void Publish();

private:
    Platform& platform_;
    Window& window_;
    std::vector<std::string> items_;
    int listIndex_ = -1;
    bool visible_ = false;
    // Where the list is made: outside the window's 240 x 95 pixels.
    PixelRect design_{301, 23, 227, 67};
    int scale_ = 1;
    PixelRect bounds_ = design_;
};

}  // namespace snickit

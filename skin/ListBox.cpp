#include "skin/ListBox.h"

#include <algorithm>

namespace snickit {

namespace {
auto ListOrder(const Platform& platform) {
    return [&platform](const std::string& a, const std::string& b) { return platform.NameBefore(a, b); };
}
}  // namespace

int ListBox::AddItem(const std::string& text) {
    const auto before = ListOrder(platform_);
    // Names mostly come in the list's order: one comparison appends them.
    auto at = items_.empty() || !before(text, items_.back())
                  ? items_.end()
                  : std::upper_bound(items_.begin(), items_.end(), text, before);
    int index = static_cast<int>(at - items_.begin());
    items_.insert(at, text);
    if (listIndex_ >= index) ++listIndex_;
    return index;
}

void ListBox::AddItems(std::vector<std::string> texts) {
    if (items_.empty() && std::is_sorted(texts.begin(), texts.end(), ListOrder(platform_))) {
        items_ = std::move(texts);
        return;
    }
    for (const std::string& text : texts) AddItem(text);
}

bool ListBox::SetListIndex(int index) {
    if (index < -1 || index >= ListCount()) index = -1;
    if (index == listIndex_) return false;
    listIndex_ = index;
    window_.ListSetSelection(index);
    return true;
}

void ListBox::Show() {
    visible_ = true;
    window_.ListSetVisible(true);
}

void ListBox::Hide() {
    visible_ = false;
    window_.ListSetVisible(false);
}

void ListBox::Move(int left, int top, int width, int height) {
    design_ = {left, top, width, height};
    SetScale(scale_);
}

void ListBox::SetScale(int scale) {
    scale_ = scale;
    bounds_ = {design_.left * scale, design_.top * scale, design_.width * scale, design_.height * scale};
    window_.ListSetBounds(bounds_);
}

void ListBox::Publish() {
    window_.ListSetItems(items_);
}

}  // namespace snickit

#include "platform/sdl/DrawnList.h"

#include "platform/Platform.h"
#include "platform/sdl/ListText.h"

#include <algorithm>
#include <cstdlib>

namespace snickit::sdl {

namespace {

constexpr int kVkPrior = 33, kVkNext = 34, kVkEnd = 35, kVkHome = 36, kVkUp = 38, kVkDown = 40;
constexpr int kMinThumb = 8;
constexpr int kWheelRows = 3;  // rows per wheel notch, as the desktop scrolls

constexpr SDL_Color kBackground{static_cast<Uint8>(Window::kListBackground >> 16), static_cast<Uint8>(Window::kListBackground >> 8),
                                 static_cast<Uint8>(Window::kListBackground), 255};
constexpr SDL_Color kText{0, 0, 0, 255};
constexpr SDL_Color kHighlight{0, 0, 128, 255};
constexpr SDL_Color kHighlightText{255, 255, 255, 255};
constexpr SDL_Color kShadow{128, 128, 128, 255};
constexpr SDL_Color kDarkShadow{64, 64, 64, 255};
constexpr SDL_Color kLight{255, 255, 255, 255};
constexpr SDL_Color kFace{192, 192, 192, 255};
constexpr SDL_Color kTrack{224, 224, 224, 255};
constexpr SDL_Color kBlack{0, 0, 0, 255};

bool Inside(const SDL_Rect& r, int x, int y) {
    return x >= r.x && y >= r.y && x < r.x + r.w && y < r.y + r.h;
}

Uint32 Map(const SDL_Surface* s, SDL_Color c) { return SDL_MapRGB(s->format, c.r, c.g, c.b); }

void Fill(SDL_Surface* s, SDL_Rect r, SDL_Color c) {
    if (r.w > 0 && r.h > 0) SDL_FillRect(s, &r, Map(s, c));
}

// A frame `t` pixels wide: `topLeft` along the top and left edges,
// `bottomRight` along the bottom and right ones.
void Edge(SDL_Surface* s, const SDL_Rect& r, SDL_Color topLeft, SDL_Color bottomRight, int t) {
    Fill(s, {r.x, r.y, r.w, t}, topLeft);
    Fill(s, {r.x, r.y, t, r.h}, topLeft);
    Fill(s, {r.x, r.y + r.h - t, r.w, t}, bottomRight);
    Fill(s, {r.x + r.w - t, r.y, t, r.h}, bottomRight);
}

SDL_Rect Shrink(const SDL_Rect& r, int by) { return {r.x + by, r.y + by, r.w - 2 * by, r.h - 2 * by}; }

// A raised push button, as the scroll bar's arrows and thumb are drawn, its
// edges `t` pixels wide.
void RaisedButton(SDL_Surface* s, const SDL_Rect& r, int t) {
    if (r.w <= 0 || r.h <= 0) return;
    Fill(s, r, kFace);
    Edge(s, r, kFace, kBlack, t);
    if (r.w > 2 * t && r.h > 2 * t) Edge(s, Shrink(r, t), kLight, kShadow, t);
}

// A solid triangle pointing up or down, centred in `r`.
void Arrow(SDL_Surface* s, const SDL_Rect& r, bool up) {
    const int half = std::max(1, std::min(r.w, r.h) / 4);  // 4 rows for 16 px
    const int cx = r.x + r.w / 2 - 1;
    const int top = r.y + (r.h - half) / 2;
    for (int row = 0; row < half; ++row) {
        const int width = up ? row : half - 1 - row;
        Fill(s, {cx - width, top + row, 2 * width + 1, 1}, kBlack);
    }
}

// A dotted rectangle in the colour opposite to what lies beneath, as the
// focused entry of a list is marked; dots of `t` x `t` pixels.
void FocusRect(SDL_Surface* s, const SDL_Rect& r, SDL_Color under, int t) {
    const SDL_Color dot{static_cast<Uint8>(255 - under.r), static_cast<Uint8>(255 - under.g),
                        static_cast<Uint8>(255 - under.b), 255};
    for (int x = r.x; x < r.x + r.w; x += 2 * t) {
        Fill(s, {x, r.y, t, t}, dot);
        Fill(s, {x, r.y + r.h - t, t, t}, dot);
    }
    for (int y = r.y; y < r.y + r.h; y += 2 * t) {
        Fill(s, {r.x, y, t, t}, dot);
        Fill(s, {r.x + r.w - t, y, t, t}, dot);
    }
}

}  // namespace

DrawnList::DrawnList() : rowHeight_(std::max(kRowHeight, ListTextHeight())) {}

void DrawnList::SetItems(const std::vector<std::string>& items) {
    size_t length = 0;
    for (const std::string& item : items) length += item.size();
    std::string text;
    text.reserve(length);
    std::vector<size_t> starts;
    starts.reserve(items.size() + 1);
    starts.push_back(0);
    for (const std::string& item : items) {
        text += item;
        starts.push_back(text.size());
    }
    text_ = std::move(text);
    starts_ = std::move(starts);
    selection_ = -1;
    top_ = 0;
}

void DrawnList::SetSelection(int index) {
    selection_ = index >= 0 && index < Count() ? index : -1;
    if (selection_ >= 0) EnsureVisible(selection_);
}

void DrawnList::SetBounds(const SDL_Rect& bounds) {
    bounds_ = bounds;
    ScrollTo(top_);
    if (selection_ >= 0) EnsureVisible(selection_);
}

void DrawnList::SetScale(int scale) {
    scale_ = std::max(1, scale);
    rowHeight_ = std::max(kRowHeight * scale_, ListTextHeight(scale_));
    ScrollTo(top_);
    if (selection_ >= 0) EnsureVisible(selection_);
}

void DrawnList::SetVisible(bool visible) {
    visible_ = visible;
    if (!visible) {
        focused_ = false;  // a hidden control gives the focus back
        thumbGrab_ = -1;
        clickPending_ = false;
    }
}

bool DrawnList::Contains(int x, int y) const { return visible_ && Inside(bounds_, x, y); }

SDL_Rect DrawnList::Client() const { return Shrink(bounds_, kBorder * scale_); }

bool DrawnList::NeedsScrollBar() const {
    return Count() * rowHeight_ > Client().h;
}

SDL_Rect DrawnList::ItemArea() const {
    SDL_Rect area = Client();
    if (NeedsScrollBar()) area.w = std::max(0, area.w - kScrollBarWidth * scale_);
    return area;
}

int DrawnList::FullRows() const { return std::max(1, Client().h / rowHeight_); }

int DrawnList::MaxTop() const { return std::max(0, Count() - FullRows()); }

DrawnList::ScrollBarParts DrawnList::ScrollParts() const {
    const SDL_Rect client = Client();
    const int width = kScrollBarWidth * scale_, minThumb = kMinThumb * scale_;
    const int x = client.x + client.w - width;
    const int arrow = std::min(width, client.h / 2);
    ScrollBarParts parts{};
    parts.up = {x, client.y, width, arrow};
    parts.down = {x, client.y + client.h - arrow, width, arrow};
    parts.track = {x, client.y + arrow, width, client.h - 2 * arrow};
    const int count = Count();
    parts.hasThumb = parts.track.h >= minThumb && count > 0;
    if (parts.hasThumb) {
        const int length = std::clamp(parts.track.h * FullRows() / count, minThumb, parts.track.h);
        const int maxTop = MaxTop();
        const int offset = maxTop > 0 ? (parts.track.h - length) * top_ / maxTop : 0;
        parts.thumb = {x, parts.track.y + offset, width, length};
    }
    return parts;
}

bool DrawnList::ScrollTo(int top) {
    const int clamped = std::clamp(top, 0, MaxTop());
    if (clamped == top_) return false;
    top_ = clamped;
    return true;
}

void DrawnList::EnsureVisible(int index) {
    if (index < top_) {
        ScrollTo(index);
    } else if (index >= top_ + FullRows()) {
        ScrollTo(index - FullRows() + 1);
    }
}

DrawnList::Outcome DrawnList::Select(int index) {
    Outcome outcome;
    const int count = Count();
    if (count == 0) return outcome;
    index = std::clamp(index, 0, count - 1);
    const int oldTop = top_;
    EnsureVisible(index);
    outcome.redraw = top_ != oldTop;
    if (index != selection_) {
        selection_ = index;
        outcome.redraw = true;
        outcome.selectionChanged = true;
    }
    return outcome;
}

DrawnList::Outcome DrawnList::LeftDown(int x, int y, Uint32 timeMs) {
    Outcome outcome;
    if (!Contains(x, y)) return outcome;
    const bool secondClick = clickPending_ && timeMs - clickTime_ <= kDoubleClickMs &&
                             std::abs(x - clickX_) <= kDoubleClickReach * scale_ &&
                             std::abs(y - clickY_) <= kDoubleClickReach * scale_;
    clickPending_ = false;
    if (!focused_) {
        focused_ = true;
        outcome.redraw = true;
    }
    const SDL_Rect items = ItemArea();
    if (Inside(items, x, y)) {
        const int index = top_ + (y - items.y) / rowHeight_;
        if (index < Count()) {
            const Outcome selected = Select(index);
            outcome.redraw |= selected.redraw;
            outcome.selectionChanged = selected.selectionChanged;
        }
        // A third click starts a new pair, as on the desktop.
        outcome.doubleClick = secondClick;
        if (!secondClick) {
            clickPending_ = true;
            clickX_ = x;
            clickY_ = y;
            clickTime_ = timeMs;
        }
        return outcome;
    }
    if (!NeedsScrollBar()) return outcome;
    const ScrollBarParts parts = ScrollParts();
    if (Inside(parts.up, x, y)) {
        outcome.redraw |= ScrollTo(top_ - 1);
    } else if (Inside(parts.down, x, y)) {
        outcome.redraw |= ScrollTo(top_ + 1);
    } else if (parts.hasThumb && Inside(parts.thumb, x, y)) {
        thumbGrab_ = y - parts.thumb.y;
    } else if (parts.hasThumb && Inside(parts.track, x, y)) {
        const int page = std::max(1, FullRows() - 1);
        outcome.redraw |= ScrollTo(y < parts.thumb.y ? top_ - page : top_ + page);
    }
    return outcome;
}

DrawnList::Outcome DrawnList::Motion(int, int y) {
    Outcome outcome;
    if (thumbGrab_ < 0) return outcome;
    const ScrollBarParts parts = ScrollParts();
    const int room = parts.track.h - parts.thumb.h;
    if (room <= 0) return outcome;
    const int offset = std::clamp(y - thumbGrab_ - parts.track.y, 0, room);
    // The nearest top entry for the thumb's new place.
    outcome.redraw = ScrollTo((offset * MaxTop() + room / 2) / room);
    return outcome;
}

DrawnList::Outcome DrawnList::LeftUp() {
    thumbGrab_ = -1;
    return {};
}

DrawnList::Outcome DrawnList::Wheel(int notches) {
    Outcome outcome;
    if (!visible_ || notches == 0) return outcome;
    outcome.redraw = ScrollTo(top_ - notches * kWheelRows);
    return outcome;
}

DrawnList::Outcome DrawnList::Key(int virtualKey) {
    if (!visible_ || !focused_ || Count() == 0) return {};
    const int last = Count() - 1;
    const int page = std::max(1, FullRows() - 1);
    const int from = selection_;
    switch (virtualKey) {
    case kVkUp: return Select(from < 0 ? 0 : from - 1);
    case kVkDown: return Select(from < 0 ? 0 : from + 1);
    case kVkHome: return Select(0);
    case kVkEnd: return Select(last);
    case kVkPrior: return Select(from < 0 ? 0 : from - page);
    case kVkNext: return Select(from < 0 ? 0 : from + page);
    default: return {};
    }
}

DrawnList::Outcome DrawnList::Type(char32_t character) {
    if (!visible_ || !focused_ || character == 0) return {};
    const int index =
        Window::NextEntryStartingWith(Count(), selection_, character, [this](int i) { return Item(i); });
    return index < 0 ? Outcome{} : Select(index);
}

std::string_view DrawnList::Item(int index) const {
    const auto i = static_cast<size_t>(index);
    return std::string_view(text_).substr(starts_[i], starts_[i + 1] - starts_[i]);
}

void DrawnList::DrawText(SDL_Surface* target, std::string_view text, int x, int y, SDL_Color color,
                       const SDL_Rect& clip) const {
    DrawListText(target, text, x, y, color, clip, scale_);
}

void DrawnList::Draw(SDL_Surface* target) const {
    if (!visible_ || bounds_.w <= 0 || bounds_.h <= 0) return;
    SDL_Rect oldClip;
    SDL_GetClipRect(target, &oldClip);
    SDL_SetClipRect(target, &bounds_);

    // Sunken border, then the grey client area.
    const int t = scale_;
    Edge(target, bounds_, kShadow, kLight, t);
    Edge(target, Shrink(bounds_, t), kDarkShadow, kFace, t);
    const SDL_Rect client = Client();
    Fill(target, client, kBackground);

    const SDL_Rect items = ItemArea();
    const int textHeight = ListTextHeight(scale_);
    for (int index = top_, y = items.y; index < Count() && y < items.y + items.h;
         ++index, y += rowHeight_) {
        const SDL_Rect row{items.x, y, items.w, rowHeight_};
        SDL_Rect visibleRow;
        if (!SDL_IntersectRect(&row, &items, &visibleRow)) break;
        const bool selected = index == selection_;
        if (selected) Fill(target, visibleRow, kHighlight);
        // Long names are cut at the list's edge.
        DrawText(target, Item(index), items.x + 2 * scale_, y + (rowHeight_ - textHeight) / 2,
                 selected ? kHighlightText : kText, visibleRow);
        if (selected && focused_) {
            SDL_SetClipRect(target, &items);
            FocusRect(target, row, kHighlight, t);
            SDL_SetClipRect(target, &bounds_);
        }
    }

    if (NeedsScrollBar()) {
        const ScrollBarParts parts = ScrollParts();
        Fill(target, parts.track, kTrack);
        RaisedButton(target, parts.up, t);
        Arrow(target, parts.up, true);
        RaisedButton(target, parts.down, t);
        Arrow(target, parts.down, false);
        if (parts.hasThumb) RaisedButton(target, parts.thumb, t);
    }
    SDL_SetClipRect(target, &oldClip);
}

}  // namespace snickit::sdl

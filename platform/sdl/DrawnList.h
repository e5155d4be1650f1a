// The skin list on Linux: a single-selection list box that the backend draws
// itself over the window, with a vertical scroll bar when its entries do not
// fit. It looks like the
// classic desktop list box (light grey, black text, highlighted selection)
// and behaves like one: click selects, double click applies, the wheel
// scrolls, and once clicked it has the focus: the navigation keys move the
// selection, and a typed character selects the next entry it starts. Input goes in as plain values and comes out as an Outcome,
// so its behaviour needs no display.
#pragma once

#include <SDL.h>

#include <string>
#include <string_view>
#include <vector>

namespace snickit::sdl {

class DrawnList {
public:
    // What an input did: whether the list must be redrawn, whether the
    // user changed the selection, whether it was a double click.
    struct Outcome {
        bool redraw = false;
        bool selectionChanged = false;
        bool doubleClick = false;
    };

    DrawnList();

    void SetItems(const std::vector<std::string>& items);
    void SetSelection(int index);
    void SetBounds(const SDL_Rect& bounds);
    void SetVisible(bool visible);
    // Draws and measures everything at `scale` times its size (a whole
    // number, 1 at 96 dots per inch): rows, borders, the scroll bar, the
    // text. Bounds and points are window pixels, already scaled.
    void SetScale(int scale);

    bool Visible() const { return visible_; }
    const SDL_Rect& Bounds() const { return bounds_; }
    int Selection() const { return selection_; }
    int TopIndex() const { return top_; }
    bool HasFocus() const { return focused_; }
    bool Contains(int x, int y) const;

    // Left button pressed at window point x, y, at `timeMs` (event time).
    // A second press on the entries within the double-click time and a few
    // pixels of the first is a double click.
    Outcome LeftDown(int x, int y, Uint32 timeMs);
    // Pointer moved while the list holds the mouse (dragging the thumb).
    Outcome Motion(int x, int y);
    Outcome LeftUp();
    // Wheel notches, positive away from the user.
    Outcome Wheel(int notches);
    // A key went down while the list has the focus (virtual-key code).
    Outcome Key(int virtualKey);
    // A character was typed while the list has the focus: the selection
    // goes to the next entry that starts with it (Window::NextEntryStartingWith).
    Outcome Type(char32_t character);

    void Draw(SDL_Surface* target) const;

    // Metrics, in pixels at scale 1.
    static constexpr int kBorder = 2;
    static constexpr int kRowHeight = 13;
    static constexpr int kScrollBarWidth = 16;
    // The desktop's usual double click: within 500 ms, and within a box of
    // 4 x 4 pixels around the first click.
    static constexpr Uint32 kDoubleClickMs = 500;
    static constexpr int kDoubleClickReach = 2;

private:
    SDL_Rect Client() const;
    SDL_Rect ItemArea() const;
    bool NeedsScrollBar() const;
    int FullRows() const;
    int MaxTop() const;
    struct ScrollBarParts {
        SDL_Rect up, down, track, thumb;
        bool hasThumb;
    };
    ScrollBarParts ScrollParts() const;
    bool ScrollTo(int top);
    Outcome Select(int index);
    void EnsureVisible(int index);
    void DrawText(SDL_Surface* target, std::string_view text, int x, int y, SDL_Color color,
                  const SDL_Rect& clip) const;
    int Count() const { return static_cast<int>(starts_.size()) - 1; }
    std::string_view Item(int index) const;

    // The entries' texts one after another, entry i from starts_[i] up to
    // starts_[i + 1]: one block for thousands of entries instead of a string
    // each, quick to copy in.
    std::string text_;
    std::vector<size_t> starts_{0};
    SDL_Rect bounds_{0, 0, 0, 0};
    bool visible_ = false;
    bool focused_ = false;
    int selection_ = -1;
    int top_ = 0;
    int scale_ = 1;
    int rowHeight_ = kRowHeight;
    // Thumb drag: the pointer's offset from the thumb's top, or -1.
    int thumbGrab_ = -1;
    // The last single click on the entries, for double clicks.
    bool clickPending_ = false;
    int clickX_ = 0, clickY_ = 0;
    Uint32 clickTime_ = 0;
};

}  // namespace snickit::sdl

// The program's one window over SDL2: a borderless 240 x 95 window painted
// from the window picture, the skin list drawn over it, and the event loop
// that turns SDL events into the raw input of the program's logic.
#pragma once

#include <SDL.h>

#include <deque>
#include <memory>
#include <vector>

#include "platform/Platform.h"
#include "platform/sdl/DrawnList.h"

namespace snickit::sdl {

class SoundPlayer;

class SdlWindow final : public Window {
public:
    explicit SdlWindow(SoundPlayer& sound);
    ~SdlWindow() override;
    SdlWindow(const SdlWindow&) = delete;
    SdlWindow& operator=(const SdlWindow&) = delete;

    void SetInputSink(InputSink* sink) override { sink_ = sink; }
    void SetScale(int scale) override;
    void SetPosition(int x, int y) override;
    void GetPosition(int& x, int& y) const override;
    void SetSize(int width, int height) override;
    void Show() override;
    void Minimize() override;
    bool IsMinimized() const override;
    void SetPicture(PictureRef picture) override;
    void CopyFromPicture(const PictureRef& source, const PixelRect& rect) override;
    void DispatchPending() override;
    void WaitEvent() override;
    void InteractiveMove(MouseButton button) override;
    void ListSetItems(const std::vector<std::string>& items) override;
    void ListSetSelection(int index) override;
    void ListSetBounds(const PixelRect& rect) override;
    void ListSetVisible(bool visible) override;

    // The window's icon (copied; set when the window is made, if it is not
    // made yet).
    void SetIcon(SDL_Surface* icon);
    // Puts what was drawn since the last time on the screen.
    void Present();
    bool IsShown() const;
    // Null until the window is first shown.
    SDL_Window* Handle() const { return window_; }

private:
    void Create();
    void Deliver(const SDL_Event& event);
    void OnWindowEvent(const SDL_WindowEvent& event);
    void OnButtonDown(const SDL_MouseButtonEvent& event);
    void OnButtonUp(const SDL_MouseButtonEvent& event);
    void OnKey(const SDL_KeyboardEvent& event);
    void Apply(const DrawnList::Outcome& outcome);
    bool FollowPointer(int offsetX, int offsetY);
    void PointerInWindow(int& x, int& y) const;

    SDL_Surface* Canvas();
    // The picture as the window shows it: its surface, or at scales above 1
    // a copy with each pixel a scale x scale block, made at the picture's
    // first use and kept while the program holds the picture.
    SDL_Surface* Drawn(const PictureRef& picture);
    void ForgetScaledCopies();
    // Paints `area` from the window picture (what was copied there is
    // lost), with the list over it.
    void PaintFromPicture(const SDL_Rect& area);
    void DrawList();
    void Invalidate(const SDL_Rect& area);
    SDL_Rect Whole() const;

    SDL_Window* window_ = nullptr;  // made at the first Show
    SoundPlayer& sound_;
    InputSink* sink_ = nullptr;
    int scale_ = 1;
    PictureRef picture_;
    struct ScaledCopy {
        std::weak_ptr<const Picture> picture;
        SDL_Surface* surface;
    };
    std::vector<ScaledCopy> scaled_;
    DrawnList list_;
    // Where the window is to appear and its size, until it is made.
    SDL_Rect place_;
    SDL_Surface* icon_ = nullptr;
    // Events taken from SDL's queue but not yet dispatched: the one that
    // WaitEvent woke up for, and those set aside during a move.
    std::deque<SDL_Event> pending_;
    // Buttons (SDL_BUTTON masks) whose press went to the program's logic,
    // and to the list.
    Uint32 coreButtons_ = 0;
    Uint32 listButtons_ = 0;
    // Where the last press that went to the program's logic was, in the
    // window: the place a move holds under the pointer.
    int pressX_ = 0;
    int pressY_ = 0;
    // After a move SDL's last pointer position is relative to where the
    // window stood before; until the pointer moves again, button events
    // take the position from the window system.
    bool pointerStale_ = false;
    bool dirty_ = false;
    SDL_Rect dirtyArea_{0, 0, 0, 0};
};

}  // namespace snickit::sdl

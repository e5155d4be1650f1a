#include "platform/sdl/SdlWindow.h"

#include <stdexcept>
#include <string>

#include "platform/sdl/KeyMap.h"
#include "platform/sdl/SdlPicture.h"
#include "platform/sdl/SoundPlayer.h"
#include "platform/sdl/WindowPlace.h"

namespace snickit::sdl {

namespace {

// While the window is being moved, how long to wait for the pointer
// before checking that the button is still held (guards against a release
// that never arrives, e.g. when another client broke the pointer grab).
constexpr int kMoveCheckMs = 500;
// After the move, how long to wait at most for the window manager to put
// the window where the pointer is, checking every few milliseconds.
constexpr Uint32 kFinalMoveMs = 500;
constexpr Uint32 kFinalMoveStepMs = 10;

bool ToMouseButton(Uint8 sdlButton, MouseButton& button) {
    switch (sdlButton) {
    case SDL_BUTTON_LEFT: button = MouseButton::Left; return true;
    case SDL_BUTTON_RIGHT: button = MouseButton::Right; return true;
    case SDL_BUTTON_MIDDLE: button = MouseButton::Middle; return true;
    default: return false;
    }
}

Uint8 ToSdlButton(MouseButton button) {
    switch (button) {
    case MouseButton::Right: return SDL_BUTTON_RIGHT;
    case MouseButton::Middle: return SDL_BUTTON_MIDDLE;
    case MouseButton::Left: break;
    }
    return SDL_BUTTON_LEFT;
}

SDL_Rect ToSdlRect(const PixelRect& r) { return {r.left, r.top, r.width, r.height}; }

// `source` (RGB888) with each pixel a scale x scale block: nearest
// neighbour, never smoothed. Null when there is no memory for it.
SDL_Surface* ScaledUp(SDL_Surface* source, int scale) {
    SDL_Surface* converted = source->format->format == SDL_PIXELFORMAT_RGB888
                                 ? source
                                 : SDL_ConvertSurfaceFormat(source, SDL_PIXELFORMAT_RGB888, 0);
    if (!converted) return nullptr;
    SDL_Surface* scaled =
        SDL_CreateRGBSurfaceWithFormat(0, converted->w * scale, converted->h * scale, 32, SDL_PIXELFORMAT_RGB888);
    // Same format, no blending: SDL's stretch copies the nearest pixel.
    if (scaled && (SDL_SetSurfaceBlendMode(converted, SDL_BLENDMODE_NONE) != 0 ||
                   SDL_BlitScaled(converted, nullptr, scaled, nullptr) != 0)) {
        SDL_FreeSurface(scaled);
        scaled = nullptr;
    }
    if (converted != source) SDL_FreeSurface(converted);
    return scaled;
}

}  // namespace

SdlWindow::SdlWindow(SoundPlayer& sound) : sound_(sound), place_{0, 0, 1, 1} {}

SdlWindow::~SdlWindow() {
    ForgetScaledCopies();
    if (window_) SDL_DestroyWindow(window_);
    if (icon_) SDL_FreeSurface(icon_);
}

// The window system's window is made when the window is first shown, at
// the place and size the program set until then: moving a window that is
// already there (even a hidden one) waits for the window manager to agree.
void SdlWindow::Create() {
    // No frame. A normal top-level window, so it has a task bar entry to
    // restore it from.
    window_ = SDL_CreateWindow("Snickit", place_.x, place_.y, place_.w, place_.h,
                               SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS);
    if (!window_) throw std::runtime_error(std::string("cannot create the window: ") + SDL_GetError());
    if (icon_) {
        SDL_SetWindowIcon(window_, icon_);
        SDL_FreeSurface(icon_);
        icon_ = nullptr;
    }
    // Keys arrive as key events; no text input or input method is needed.
    SDL_StopTextInput();
    // SDL holds the mouse for the window while any button is down (the
    // program's logic decides what the press and release reach); no
    // environment setting turns that off.
    SDL_SetHintWithPriority(SDL_HINT_MOUSE_AUTO_CAPTURE, "1", SDL_HINT_OVERRIDE);
}

void SdlWindow::SetIcon(SDL_Surface* icon) {
    if (!icon) return;
    if (window_) {
        SDL_SetWindowIcon(window_, icon);
    } else {
        if (icon_) SDL_FreeSurface(icon_);
        icon_ = SDL_DuplicateSurface(icon);  // set when the window is made
    }
}

void SdlWindow::SetScale(int scale) {
    list_.SetScale(scale);
    if (scale == scale_) return;
    scale_ = scale;
    ForgetScaledCopies();
    PaintFromPicture(Whole());
}

void SdlWindow::ForgetScaledCopies() {
    for (const ScaledCopy& copy : scaled_) SDL_FreeSurface(copy.surface);
    scaled_.clear();
}

SDL_Surface* SdlWindow::Drawn(const PictureRef& picture) {
    SDL_Surface* surface = static_cast<const SdlPicture&>(*picture).Surface();
    if (scale_ <= 1) return surface;
    // Copies of pictures the program let go of go too (before the search:
    // a new picture may stand where a freed one stood).
    for (auto it = scaled_.begin(); it != scaled_.end();) {
        if (it->picture.expired()) {
            SDL_FreeSurface(it->surface);
            it = scaled_.erase(it);
        } else {
            ++it;
        }
    }
    for (const ScaledCopy& copy : scaled_) {
        if (!copy.picture.owner_before(picture) && !picture.owner_before(copy.picture)) return copy.surface;
    }
    SDL_Surface* scaled = ScaledUp(surface, scale_);
    if (!scaled) return surface;  // drawn small rather than not at all
    scaled_.push_back({picture, scaled});
    return scaled;
}

void SdlWindow::SetPosition(int x, int y) {
    if (!window_) {
        place_.x = x;
        place_.y = y;
        return;
    }
    SDL_SetWindowPosition(window_, x, y);
}

void SdlWindow::GetPosition(int& x, int& y) const {
    if (!window_) {
        x = place_.x;
        y = place_.y;
        return;
    }
    GetWindowPlace(window_, x, y);
}

void SdlWindow::SetSize(int width, int height) {
    if (!window_) {
        place_.w = width;
        place_.h = height;
        return;
    }
    int w = 0, h = 0;
    SDL_GetWindowSize(window_, &w, &h);
    if (w == width && h == height) return;
    SDL_SetWindowSize(window_, width, height);
    PaintFromPicture(Whole());
}

void SdlWindow::Show() {
    if (!window_) Create();
    SDL_ShowWindow(window_);
    SDL_RaiseWindow(window_);
    PaintFromPicture(Whole());
    Present();
}

void SdlWindow::Minimize() {
    if (window_) SDL_MinimizeWindow(window_);
}

bool SdlWindow::IsMinimized() const {
    return window_ && (SDL_GetWindowFlags(window_) & SDL_WINDOW_MINIMIZED) != 0;
}

bool SdlWindow::IsShown() const {
    if (!window_) return false;
    const Uint32 flags = SDL_GetWindowFlags(window_);
    return (flags & SDL_WINDOW_SHOWN) && !(flags & (SDL_WINDOW_HIDDEN | SDL_WINDOW_MINIMIZED));
}

SDL_Rect SdlWindow::Whole() const {
    SDL_Rect whole{0, 0, place_.w, place_.h};
    if (window_) SDL_GetWindowSize(window_, &whole.w, &whole.h);
    return whole;
}

// Nothing to paint on before the window is made; it is painted whole from
// its picture when it is first shown.
SDL_Surface* SdlWindow::Canvas() { return window_ ? SDL_GetWindowSurface(window_) : nullptr; }

void SdlWindow::Invalidate(const SDL_Rect& area) {
    SDL_Rect clipped;
    const SDL_Rect whole = Whole();
    if (!SDL_IntersectRect(&area, &whole, &clipped)) return;
    if (dirty_) {
        SDL_UnionRect(&dirtyArea_, &clipped, &dirtyArea_);
    } else {
        dirtyArea_ = clipped;
        dirty_ = true;
    }
}

void SdlWindow::Present() {
    if (!dirty_) return;
    dirty_ = false;
    // A hidden or minimized window shows nothing; it is painted whole from
    // its picture when it appears again.
    if (!IsShown()) return;
    SDL_UpdateWindowSurfaceRects(window_, &dirtyArea_, 1);
}

void SdlWindow::PaintFromPicture(const SDL_Rect& area) {
    SDL_Surface* canvas = Canvas();
    if (!canvas) return;
    SDL_Rect target = area;
    const std::uint32_t uncovered = Window::kUncoveredColour;
    SDL_FillRect(canvas, &target,
                 SDL_MapRGB(canvas->format, static_cast<Uint8>(uncovered >> 16), static_cast<Uint8>(uncovered >> 8),
                            static_cast<Uint8>(uncovered)));
    if (picture_) {
        SDL_Rect from = area;
        SDL_Rect to = area;
        SDL_BlitSurface(Drawn(picture_), &from, canvas, &to);
    }
    DrawList();
    Invalidate(area);
}

void SdlWindow::DrawList() {
    if (!list_.Visible()) return;
    if (SDL_Surface* canvas = Canvas()) {
        list_.Draw(canvas);
        Invalidate(list_.Bounds());
    }
}

void SdlWindow::SetPicture(PictureRef picture) {
    picture_ = std::move(picture);
    PaintFromPicture(Whole());
}

void SdlWindow::CopyFromPicture(const PictureRef& source, const PixelRect& rect) {
    if (!source) return;
    SDL_Surface* canvas = Canvas();
    if (!canvas) return;
    SDL_Rect from = ToSdlRect(rect);
    SDL_Rect to = from;
    SDL_BlitSurface(Drawn(source), &from, canvas, &to);
    // The list is a control above the window's surface: it stays on top.
    const SDL_Rect area = ToSdlRect(rect);
    if (list_.Visible() && SDL_HasIntersection(&area, &list_.Bounds())) DrawList();
    Invalidate(area);
}

void SdlWindow::ListSetItems(const std::vector<std::string>& items) {
    list_.SetItems(items);
    DrawList();
}

void SdlWindow::ListSetSelection(int index) {
    list_.SetSelection(index);
    DrawList();
}

void SdlWindow::ListSetBounds(const PixelRect& rect) {
    const bool visible = list_.Visible();
    const SDL_Rect old = list_.Bounds();
    list_.SetBounds(ToSdlRect(rect));
    if (visible) {
        PaintFromPicture(old);
        DrawList();
    }
}

void SdlWindow::ListSetVisible(bool visible) {
    if (visible == list_.Visible()) return;
    list_.SetVisible(visible);
    if (visible) {
        DrawList();
    } else {
        PaintFromPicture(list_.Bounds());  // what lay under the list shows again
    }
}

// --- Events -------------------------------------------------------------

void SdlWindow::DispatchPending() {
    Present();
    // First what was taken from the queue already, in arrival order. A
    // handler may dispatch again from inside; each event goes out once.
    for (size_t count = pending_.size(); count > 0 && !pending_.empty(); --count) {
        const SDL_Event event = pending_.front();
        pending_.pop_front();
        Deliver(event);
    }
    // Then what waits in SDL's queue now; SDL_PollEvent stops after one
    // pass over what was there when it started.
    SDL_Event event;
    while (SDL_PollEvent(&event)) Deliver(event);
    Present();
}

void SdlWindow::WaitEvent() {
    Present();
    if (!pending_.empty()) return;
    SDL_Event event;
    if (SDL_WaitEvent(&event)) pending_.push_back(event);
}

void SdlWindow::Deliver(const SDL_Event& event) {
    if (event.type == sound_.IdleEventType() && event.type != 0) {
        sound_.Park();
        return;
    }
    switch (event.type) {
    case SDL_QUIT:
        if (sink_) sink_->CloseRequested();
        break;
    case SDL_WINDOWEVENT:
        OnWindowEvent(event.window);
        break;
    case SDL_MOUSEBUTTONDOWN:
        OnButtonDown(event.button);
        break;
    case SDL_MOUSEBUTTONUP:
        OnButtonUp(event.button);
        break;
    case SDL_MOUSEMOTION:
        pointerStale_ = false;
        if (listButtons_ & SDL_BUTTON_LMASK) Apply(list_.Motion(event.motion.x, event.motion.y));
        break;
    case SDL_MOUSEWHEEL: {
        if (!list_.Contains(event.wheel.mouseX, event.wheel.mouseY)) break;
        int notches = event.wheel.y;
        if (event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) notches = -notches;
        Apply(list_.Wheel(notches));
        break;
    }
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        OnKey(event.key);
        break;
    default:
        break;
    }
}

void SdlWindow::OnWindowEvent(const SDL_WindowEvent& event) {
    switch (event.event) {
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_RESTORED:
        // The system lost what was on the window: paint it from its picture.
        PaintFromPicture(Whole());
        Present();
        break;
    case SDL_WINDOWEVENT_CLOSE:
        if (sink_) sink_->CloseRequested();
        break;
    default:
        break;
    }
}

void SdlWindow::PointerInWindow(int& x, int& y) const {
    int pointerX = 0, pointerY = 0;
    SDL_GetGlobalMouseState(&pointerX, &pointerY);
    int windowX = 0, windowY = 0;
    GetWindowPlace(window_, windowX, windowY);
    x = pointerX - windowX;
    y = pointerY - windowY;
}

void SdlWindow::OnButtonDown(const SDL_MouseButtonEvent& original) {
    SDL_MouseButtonEvent event = original;
    if (pointerStale_) PointerInWindow(event.x, event.y);
    MouseButton button;
    if (!ToMouseButton(event.button, button)) return;
    const Uint32 mask = SDL_BUTTON(event.button);
    // While a button is held, further presses go where the first one went.
    const bool toList = coreButtons_ == 0 && (listButtons_ != 0 || list_.Contains(event.x, event.y));
    if (toList) {
        listButtons_ |= mask;
        if (button == MouseButton::Left) Apply(list_.LeftDown(event.x, event.y, event.timestamp));
        return;
    }
    coreButtons_ |= mask;
    pressX_ = event.x;
    pressY_ = event.y;
    if (sink_) sink_->MouseDown(button, event.x, event.y);
}

void SdlWindow::OnButtonUp(const SDL_MouseButtonEvent& original) {
    SDL_MouseButtonEvent event = original;
    if (pointerStale_) PointerInWindow(event.x, event.y);
    MouseButton button;
    if (!ToMouseButton(event.button, button)) return;
    TraceEvent("release");
    const Uint32 mask = SDL_BUTTON(event.button);
    const bool fromList = (listButtons_ & mask) != 0;
    listButtons_ &= ~mask;
    coreButtons_ &= ~mask;
    if (fromList) {
        if (button == MouseButton::Left) Apply(list_.LeftUp());
        return;
    }
    if (sink_) sink_->MouseUp(button, event.x, event.y);
}

void SdlWindow::OnKey(const SDL_KeyboardEvent& event) {
    if (!sink_) return;
    const int key = VirtualKeyFor(event.keysym.scancode, (event.keysym.mod & KMOD_NUM) != 0);
    if (event.type == SDL_KEYUP) {
        if (key == 0) return;
        TraceEvent("release");
        sink_->KeyUp(key);
    } else if (key == 0) {
        // Neither the program's key nor a list key: it may type a character.
        Apply(list_.Type(TypedCharacter(event.keysym)));
    } else if (!sink_->KeyDown(key)) {
        Apply(list_.Key(key));
    }
}

void SdlWindow::Apply(const DrawnList::Outcome& outcome) {
    if (outcome.redraw) {
        DrawList();
        Present();
    }
    if (outcome.selectionChanged && sink_) sink_->ListSelect(list_.Selection());
    if (outcome.doubleClick && sink_) sink_->ListDoubleClick();
}

// --- Moving -------------------------------------------------------------

// Whether the window stood where the pointer puts it already.
bool SdlWindow::FollowPointer(int offsetX, int offsetY) {
    int x = 0, y = 0;
    GetPointerPlace(window_, x, y);
    int wx = 0, wy = 0;
    GetWindowPlace(window_, wx, wy);
    if (wx == x + offsetX && wy == y + offsetY) return true;
    SDL_SetWindowPosition(window_, x + offsetX, y + offsetY);
    return false;
}

void SdlWindow::InteractiveMove(MouseButton button) {
    const Uint8 sdlButton = ToSdlButton(button);
    const Uint32 mask = SDL_BUTTON(sdlButton);
    // The move takes over this press: its release ends the move and goes
    // nowhere else.
    coreButtons_ &= ~mask;
    // The window keeps the place under the pointer where the press was: by
    // now the pointer may have moved on.
    const int offsetX = -pressX_;
    const int offsetY = -pressY_;
    Present();

    auto isRelease = [sdlButton](const SDL_Event& e) {
        return e.type == SDL_MOUSEBUTTONUP && e.button.button == sdlButton;
    };
    bool released = false;
    // The release may have been taken from the queue already.
    for (auto it = pending_.begin(); it != pending_.end(); ++it) {
        if (isRelease(*it)) {
            pending_.erase(it);
            released = true;
            break;
        }
    }
    std::deque<SDL_Event> setAside;
    while (!released) {
        SDL_Event event;
        if (!SDL_WaitEventTimeout(&event, kMoveCheckMs)) {
            int x = 0, y = 0;
            if (!(GetPointerPlace(window_, x, y) & mask)) released = true;
            continue;
        }
        if (isRelease(event)) {
            released = true;
        } else if (event.type == SDL_MOUSEMOTION) {
            FollowPointer(offsetX, offsetY);
        } else if (event.type == SDL_WINDOWEVENT &&
                   (event.window.event == SDL_WINDOWEVENT_EXPOSED ||
                    event.window.event == SDL_WINDOWEVENT_RESTORED)) {
            PaintFromPicture(Whole());  // repaint while moving
        } else if (event.type == sound_.IdleEventType() && event.type != 0) {
            sound_.Park();
        } else if (event.type != SDL_WINDOWEVENT || event.window.event == SDL_WINDOWEVENT_CLOSE) {
            setAside.push_back(event);  // keys, other buttons, close: after the move
        }
        Present();
    }
    // The window ends where the pointer's travel puts it: the pointer is
    // asked for after the release, and the window manager, which may still
    // be carrying out earlier moves, is given the time to get there.
    for (const Uint32 until = SDL_GetTicks() + kFinalMoveMs;
         !FollowPointer(offsetX, offsetY) && !SDL_TICKS_PASSED(SDL_GetTicks(), until);) {
        SDL_Delay(kFinalMoveStepMs);
    }
    pointerStale_ = true;
    Present();
    pending_.insert(pending_.end(), setAside.begin(), setAside.end());
}

}  // namespace snickit::sdl

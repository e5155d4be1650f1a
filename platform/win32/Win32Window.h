// The program's one window on Win32: a borderless popup painted from its
// window picture, with the skin list as a native LISTBOX child.
//
// Every handler of the program runs inside this window's procedure, which
// Windows calls from DispatchMessage or from its own loops (the move loop,
// message boxes). An exception must not cross those OS frames, so the window
// procedure catches whatever a handler throws (ProgramExit, Failure, ...),
// keeps it, delivers no further events, and the exception is thrown again as
// soon as control is back in the program's own code: after DispatchMessage
// in DispatchPending and in the move loop, and after the system's move loop.
#pragma once

#include <windows.h>
// <windows.h> names these as macros; here they are the interface's methods.
#undef IsMinimized
#undef PlaySound

#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace snickit::win32 {

// The density of the monitor a window stands on (GetDpiForWindow, where
// Windows has it), else (and for no window) the desktop's (LOGPIXELSX); 96
// when neither tells.
int WindowDotsPerInch(HWND window);

class Win32Window final : public Window {
public:
    explicit Win32Window(HINSTANCE instance);
    ~Win32Window() override;
    Win32Window(const Win32Window&) = delete;
    Win32Window& operator=(const Win32Window&) = delete;

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

    HWND Handle() const { return hwnd_; }
    HWND ListHandle() const { return list_; }
    // The program is ending: no further event reaches the handlers.
    void StopDelivering() { ending_ = true; }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleListMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void Paint();
    // A new density: the program rescales the window, which keeps the
    // point under the pointer (or its centre) at the same place.
    void ChangeDensity(int dotsPerInch);
    // The list's font: the desktop's message font at the window's density.
    void UpdateListFont();
    // Hands a key message to the program; true for a key-down the program
    // took as its own.
    bool DeliverKey(UINT message, WPARAM wParam);
    void MouseDown(MouseButton button, LPARAM lParam);
    void MouseUp(MouseButton button, WPARAM wParam, LPARAM lParam);
    // Runs a handler call; whatever it throws is kept for RethrowPending.
    template <class Call>
    void Deliver(Call call);
    void RethrowPending();

    HINSTANCE instance_;
    HWND hwnd_ = nullptr;
    HWND list_ = nullptr;
    WNDPROC listDefaultProc_ = nullptr;
    HBRUSH listBrush_ = nullptr;
    InputSink* sink_ = nullptr;
    int scale_ = 1;
    HFONT listFont_ = nullptr;
    // While the window is rescaled for a new density: a point on the
    // screen and where it stands in the window, as fractions of its size.
    struct Anchor {
        POINT screen;
        double x, y;
    };
    std::optional<Anchor> anchor_;
    PictureRef picture_;
    std::exception_ptr pending_;
    bool ending_ = false;
    // The character of a key the program took, still to come to the list.
    bool swallowChar_ = false;
};

}  // namespace snickit::win32

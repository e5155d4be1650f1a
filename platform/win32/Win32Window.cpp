#include "platform/win32/Win32Window.h"

#include <windowsx.h>

#include <cmath>
#include <stdexcept>

#include "platform/win32/Win32Picture.h"
#include "platform/win32/Win32Text.h"
#include "platform/win32/resource.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace snickit::win32 {
namespace {

constexpr wchar_t kClassName[] = L"SnickitWindow";
constexpr wchar_t kOwnerProperty[] = L"Snickit.Window";
constexpr int kListId = 1;
constexpr COLORREF ColourRef(std::uint32_t rgb) { return RGB(rgb >> 16 & 0xFF, rgb >> 8 & 0xFF, rgb & 0xFF); }
constexpr COLORREF kListBackground = ColourRef(Window::kListBackground);
// While the window is being moved, how long to wait for the pointer before
// checking that the button is still held.
constexpr DWORD kMoveCheckMs = 500;

// Each mouse button's messages, the flag that says it is held, and its
// virtual key as the hardware has it (before the system swaps left and right).
struct ButtonMessages {
    MouseButton button;
    UINT down, up;
    WPARAM held;
    int key;
};
constexpr ButtonMessages kButtons[] = {
    {MouseButton::Left, WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, VK_LBUTTON},
    {MouseButton::Right, WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON, VK_RBUTTON},
    {MouseButton::Middle, WM_MBUTTONDOWN, WM_MBUTTONUP, MK_MBUTTON, VK_MBUTTON},
};

// A function of user32 that older Windows lack: null there.
template <class Function>
Function UserFunction(const char* name) {
    HMODULE user = GetModuleHandleW(L"user32.dll");
    FARPROC found = user ? GetProcAddress(user, name) : nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

bool IsKeyDown(UINT message) { return message == WM_KEYDOWN || message == WM_SYSKEYDOWN; }
bool IsMouseInput(UINT message) { return message >= WM_MOUSEFIRST && message <= WM_MOUSELAST; }
bool IsKeyInput(UINT message) { return message >= WM_KEYFIRST && message <= WM_KEYLAST; }

void RegisterWindowClass(HINSTANCE instance, WNDPROC windowProc) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(instance, kClassName, &existing)) return;

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = windowProc;
    wc.hInstance = instance;
    wc.hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_SNICKIT), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXICON),
                                             GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR));
    wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_SNICKIT), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.hbrBackground = nullptr;                                  // WM_PAINT paints everything
    wc.lpszClassName = kClassName;
    if (!RegisterClassExW(&wc)) throw std::runtime_error("cannot register the window class");
}

}  // namespace

int WindowDotsPerInch(HWND window) {
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = UserFunction<GetDpiForWindowFunction>("GetDpiForWindow");
    if (window && getDpiForWindow) {
        const UINT dotsPerInch = getDpiForWindow(window);
        if (dotsPerInch > 0) return static_cast<int>(dotsPerInch);
    }
    HDC screen = GetDC(nullptr);
    const int dotsPerInch = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dotsPerInch > 0 ? dotsPerInch : 96;
}

Win32Window::Win32Window(HINSTANCE instance) : instance_(instance) {
    RegisterWindowClass(instance_, &WindowProc);
    // A popup has no frame and no title bar, so the window's outer size is
    // its client size. WS_EX_APPWINDOW gives it a task bar button, from
    // which a minimized window is restored. The program sizes it, and places
    // the list, before it shows them.
    CreateWindowExW(WS_EX_APPWINDOW, kClassName, L"Snickit",
                    WS_POPUP | WS_CLIPCHILDREN | WS_MINIMIZEBOX, 0, 0, 0, 0, nullptr, nullptr,
                    instance_, this);
    if (!hwnd_) throw std::runtime_error("cannot create the window");

    // No LBS_SORT: the entries come sorted already, and the selection indices
    // are the program's. No integral height: the list fills its rectangle.
    list_ = CreateWindowExW(0, L"LISTBOX", L"",
                            WS_CHILD | WS_VSCROLL | WS_BORDER | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                            0, 0, 0, 0, hwnd_,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListId)), instance_,
                            nullptr);
    if (!list_) throw std::runtime_error("cannot create the skin list");
    UpdateListFont();
    listBrush_ = CreateSolidBrush(kListBackground);
    // Keys typed while the list has the focus reach the program first.
    SetPropW(list_, kOwnerProperty, this);
    listDefaultProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(list_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ListProc)));
}

Win32Window::~Win32Window() {
    ending_ = true;
    if (list_) {
        SetWindowLongPtrW(list_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(listDefaultProc_));
        RemovePropW(list_, kOwnerProperty);
    }
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
    if (listBrush_) DeleteObject(listBrush_);
    if (listFont_) DeleteObject(listFont_);
}

// --- window state ----------------------------------------------------------

void Win32Window::SetScale(int scale) {
    scale_ = scale > 0 ? scale : 1;
    UpdateListFont();
}

void Win32Window::SetPosition(int x, int y) {
    SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Window::GetPosition(int& x, int& y) const {
    RECT r{};
    if (IsIconic(hwnd_)) {
        // A minimized window stands far off screen; its place is the one it
        // is restored to.
        WINDOWPLACEMENT placement{};
        placement.length = sizeof placement;
        GetWindowPlacement(hwnd_, &placement);
        r = placement.rcNormalPosition;
    } else {
        GetWindowRect(hwnd_, &r);
    }
    x = r.left;
    y = r.top;
}

void Win32Window::SetSize(int width, int height) {
    if (anchor_) {
        // Rescaled for a new density: the anchor's point stays where it is.
        const int x = anchor_->screen.x - static_cast<int>(std::lround(anchor_->x * width));
        const int y = anchor_->screen.y - static_cast<int>(std::lround(anchor_->y * height));
        SetWindowPos(hwnd_, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    SetWindowPos(hwnd_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Window::Show() {
    ShowWindow(hwnd_, SW_SHOW);
    UpdateWindow(hwnd_);
}

void Win32Window::Minimize() { ShowWindow(hwnd_, SW_MINIMIZE); }

bool Win32Window::IsMinimized() const { return IsIconic(hwnd_) != 0; }

// --- pictures --------------------------------------------------------------

void Win32Window::SetPicture(PictureRef picture) {
    picture_ = std::move(picture);
    InvalidateRect(hwnd_, nullptr, FALSE);
    UpdateWindow(hwnd_);
}

void Win32Window::CopyFromPicture(const PictureRef& source, const PixelRect& rect) {
    auto* picture = dynamic_cast<const Win32Picture*>(source.get());
    if (!picture) return;
    // The rectangle is in window pixels: its picture pixels are a scale's
    // part of it, each drawn as a scale x scale block.
    HDC dc = GetDC(hwnd_);
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, rect.left, rect.top, rect.width, rect.height, picture->Dc(), rect.left / scale_,
               rect.top / scale_, rect.width / scale_, rect.height / scale_, SRCCOPY);
    ReleaseDC(hwnd_, dc);
}

void Win32Window::Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    RECT client{};
    GetClientRect(hwnd_, &client);
    int width = 0, height = 0;
    if (auto* picture = dynamic_cast<const Win32Picture*>(picture_.get())) {
        // Each picture pixel a scale x scale block, never blended with its
        // neighbours.
        width = picture->Width() * scale_;
        height = picture->Height() * scale_;
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, 0, 0, width, height, picture->Dc(), 0, 0, picture->Width(), picture->Height(),
                   SRCCOPY);
    }
    // Where the picture does not reach, the uncovered colour shows.
    SetDCBrushColor(dc, ColourRef(kUncoveredColour));
    HBRUSH uncovered = static_cast<HBRUSH>(GetStockObject(DC_BRUSH));
    if (width < client.right) {
        RECT right{width, 0, client.right, client.bottom};
        FillRect(dc, &right, uncovered);
    }
    if (height < client.bottom) {
        RECT below{0, height, width < client.right ? width : client.right, client.bottom};
        FillRect(dc, &below, uncovered);
    }
    EndPaint(hwnd_, &ps);
}

// --- density ---------------------------------------------------------------

void Win32Window::ChangeDensity(int dotsPerInch) {
    RECT r{};
    GetWindowRect(hwnd_, &r);
    const int width = r.right - r.left, height = r.bottom - r.top;
    POINT at{};
    // The point under the pointer stays under it (a move across monitors);
    // otherwise the window's centre stays where it is.
    if (!GetCursorPos(&at) || !PtInRect(&r, at)) at = {r.left + width / 2, r.top + height / 2};
    if (width > 0 && height > 0) {
        anchor_ = Anchor{at, static_cast<double>(at.x - r.left) / width, static_cast<double>(at.y - r.top) / height};
    }
    Deliver([&] { sink_->DensityChanged(dotsPerInch); });
    anchor_.reset();
    UpdateListFont();  // a new density with the same scale still changes the font
}

void Win32Window::UpdateListFont() {
    if (!list_) return;
    const int dotsPerInch = WindowDotsPerInch(hwnd_);
    using ForDpiFunction = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
    static const auto forDpi = UserFunction<ForDpiFunction>("SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    LOGFONTW font{};
    if (forDpi && forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, static_cast<UINT>(dotsPerInch))) {
        font = metrics.lfMessageFont;
    } else {
        // The desktop's metrics are at the desktop's density.
        if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
            font = metrics.lfMessageFont;
        } else {
            GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
        }
        font.lfHeight = MulDiv(font.lfHeight, dotsPerInch, WindowDotsPerInch(nullptr));
    }
    HFONT made = CreateFontIndirectW(&font);
    if (!made) return;
    SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(made), TRUE);
    if (listFont_) DeleteObject(listFont_);
    listFont_ = made;
}

// --- events ----------------------------------------------------------------

template <class Call>
void Win32Window::Deliver(Call call) {
    if (ending_ || !sink_) return;
    try {
        call();
    } catch (...) {
        // Whatever a handler throws ends the program; it must not unwind
        // through Windows' own frames.
        if (!pending_) pending_ = std::current_exception();
        ending_ = true;
    }
}

void Win32Window::RethrowPending() {
    if (!pending_) return;
    std::exception_ptr e = pending_;
    pending_ = nullptr;
    std::rethrow_exception(e);
}

void Win32Window::DispatchPending() {
    RethrowPending();
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ending_ = true;
            throw ProgramExit{static_cast<int>(msg.wParam)};
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        RethrowPending();
    }
}

void Win32Window::WaitEvent() {
    RethrowPending();
    MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

bool Win32Window::DeliverKey(UINT message, WPARAM wParam) {
    const int key = static_cast<int>(wParam);
    bool programs = false;
    if (IsKeyDown(message)) {
        Deliver([&] { programs = sink_->KeyDown(key); });
    } else {
        Deliver([&] { sink_->KeyUp(key); });
    }
    return programs;
}

void Win32Window::MouseDown(MouseButton button, LPARAM lParam) {
    // Windows gives the window the mouse only while the pointer is over
    // it: the window holds it while any button is down, so that every
    // release reaches the program's logic, which decides where it goes.
    SetCapture(hwnd_);
    int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    Deliver([&] { sink_->MouseDown(button, x, y); });
}

void Win32Window::MouseUp(MouseButton button, WPARAM wParam, LPARAM lParam) {
    // Let go with the last button up, before the release's handlers run (a
    // click may open a screen that waits).
    if (!(wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON))) ReleaseCapture();
    int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    Deliver([&] { sink_->MouseUp(button, x, y); });
}

LRESULT CALLBACK Win32Window::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* owner = static_cast<Win32Window*>(create->lpCreateParams);
        owner->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
    }
    auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    return self->HandleMessage(message, wParam, lParam);
}

LRESULT Win32Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    for (const ButtonMessages& b : kButtons) {
        if (message == b.down) MouseDown(b.button, lParam);
        if (message == b.up) MouseUp(b.button, wParam, lParam);
        if (message == b.down || message == b.up) return 0;
    }
    switch (message) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;  // WM_PAINT covers the whole window
    case WM_KEYDOWN:
    case WM_KEYUP:
        DeliverKey(message, wParam);
        return 0;
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
        DeliverKey(message, wParam);
        break;  // Alt+F4 and friends keep working
    case WM_COMMAND:
        if (reinterpret_cast<HWND>(lParam) == list_ && list_) {
            if (HIWORD(wParam) == LBN_SELCHANGE) {
                int index = static_cast<int>(SendMessageW(list_, LB_GETCURSEL, 0, 0));
                if (index >= 0) Deliver([&] { sink_->ListSelect(index); });
            } else if (HIWORD(wParam) == LBN_DBLCLK) {
                Deliver([&] { sink_->ListDoubleClick(); });
            }
            return 0;
        }
        break;
    case WM_CTLCOLORLISTBOX: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetBkColor(dc, kListBackground);
        SetTextColor(dc, RGB(0, 0, 0));
        return reinterpret_cast<LRESULT>(listBrush_);
    }
    case WM_DPICHANGED:
        ChangeDensity(LOWORD(wParam));
        return 0;
    case WM_SETTINGCHANGE:
        if (wParam == SPI_SETNONCLIENTMETRICS) UpdateListFont();
        break;
    case WM_CLOSE:
        // A close from outside (Alt+F4, the task bar): the program decides.
        Deliver([&] { sink_->CloseRequested(); });
        return 0;
    default:
        break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Win32Window::ListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<Win32Window*>(GetPropW(hwnd, kOwnerProperty));
    return self->HandleListMessage(message, wParam, lParam);
}

LRESULT Win32Window::HandleListMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        // The program's own keys are not the list's: neither the key nor
        // the character it types (already queued) reaches the list.
        swallowChar_ = DeliverKey(message, wParam);
        if (swallowChar_) return 0;
        break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        DeliverKey(message, wParam);
        break;
    case WM_CHAR:
        if (swallowChar_) {
            swallowChar_ = false;
            return 0;
        }
        break;
    default:
        break;
    }
    return CallWindowProcW(listDefaultProc_, list_, message, wParam, lParam);
}

// --- moving ----------------------------------------------------------------

// The same rule for every button: a loop of the program's own rather than
// the system's move loop, which follows the left button only and lets Esc
// put the window back.
void Win32Window::InteractiveMove(MouseButton button) {
    const size_t index = button == MouseButton::Left ? 0 : button == MouseButton::Right ? 1 : 2;
    const ButtonMessages& b = kButtons[index];
    // The hardware's button: the system may swap the left and the right one.
    const int physical = index < 2 && GetSystemMetrics(SM_SWAPBUTTON) ? kButtons[1 - index].key : b.key;
    POINT start{};
    GetCursorPos(&start);
    RECT origin{};
    GetWindowRect(hwnd_, &origin);
    // Where the pointer holds the window; a new density on the way (another
    // monitor) resizes the window, and the hold keeps its fraction of it.
    const int holdX = start.x - origin.left, holdY = start.y - origin.top;
    const int startWidth = origin.right - origin.left, startHeight = origin.bottom - origin.top;
    SetCapture(hwnd_);

    std::vector<MSG> setAside;  // keys and other buttons: after the move
    MSG msg;
    while (GetCapture() == hwnd_) {
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            // A release that never arrives (another program took the
            // pointer) must not leave the window stuck to it.
            if (MsgWaitForMultipleObjectsEx(0, nullptr, kMoveCheckMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE) ==
                    WAIT_TIMEOUT &&
                GetAsyncKeyState(physical) >= 0) {
                break;
            }
            continue;
        }
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop that ends the program
            break;
        }
        if (msg.message == b.up) break;
        if (msg.message == WM_MOUSEMOVE) {
            if (!(msg.wParam & b.held)) break;  // released where we could not see it
            POINT now{};
            GetCursorPos(&now);
            RECT r{};
            GetWindowRect(hwnd_, &r);
            const int width = r.right - r.left, height = r.bottom - r.top;
            const int x = width == startWidth || startWidth <= 0 ? holdX : MulDiv(holdX, width, startWidth);
            const int y = height == startHeight || startHeight <= 0 ? holdY : MulDiv(holdY, height, startHeight);
            SetWindowPos(hwnd_, nullptr, now.x - x, now.y - y, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            continue;
        }
        if (IsMouseInput(msg.message) || IsKeyInput(msg.message)) {
            setAside.push_back(msg);
            continue;
        }
        // Everything else (painting, ...) goes on.
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        if (pending_) break;
    }
    if (GetCapture() == hwnd_) ReleaseCapture();
    // What waited goes out now, before anything that came after it.
    for (MSG& later : setAside) {
        if (pending_) break;
        TranslateMessage(&later);
        DispatchMessageW(&later);
    }
    RethrowPending();
}

// --- the skin list ---------------------------------------------------------

void Win32Window::ListSetItems(const std::vector<std::string>& items) {
    SendMessageW(list_, LB_RESETCONTENT, 0, 0);
    for (const std::string& item : items) {
        std::wstring text = Widen(item);
        SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
}

void Win32Window::ListSetSelection(int index) {
    SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void Win32Window::ListSetBounds(const PixelRect& rect) {
    SetWindowPos(list_, nullptr, rect.left, rect.top, rect.width, rect.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Window::ListSetVisible(bool visible) {
    if (!visible && GetFocus() == list_) SetFocus(hwnd_);
    ShowWindow(list_, visible ? SW_SHOWNA : SW_HIDE);
}

}  // namespace snickit::win32

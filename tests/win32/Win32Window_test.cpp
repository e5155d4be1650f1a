// The Win32 window: raw input to the program, exceptions out of the window
// procedure, the waits, the list box and painting.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "platform/win32/Win32Picture.h"
#include "platform/win32/Win32Window.h"

namespace snickit {
namespace {

using win32::Win32Picture;
using win32::Win32Window;
using Events = std::vector<std::string>;

// Records what reaches the program; `react` may run a handler's effect.
struct RecordingSink : InputSink {
    Events events;
    std::function<void(const std::string&)> react;
    void Add(const std::string& event) {
        events.push_back(event);
        if (react) react(event);
    }
    static std::string At(MouseButton b, int x, int y) {
        return std::to_string(static_cast<int>(b)) + " " + std::to_string(x) + "," + std::to_string(y);
    }
    void MouseDown(MouseButton b, int x, int y) override { Add("down " + At(b, x, y)); }
    void MouseUp(MouseButton b, int x, int y) override { Add("up " + At(b, x, y)); }
    bool KeyDown(int key, int) override { Add("keydown " + std::to_string(key)); return false; }
    void KeyUp(int key, int) override { Add("keyup " + std::to_string(key)); }
    void ListSelect(int index) override { Add("select " + std::to_string(index)); }
    void ListDoubleClick() override { Add("dblclick"); }
    void CloseRequested() override { Add("close"); }
};

PictureRef SolidPicture(COLORREF colour) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 240;
    info.bmiHeader.biHeight = 95;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto picture = std::make_shared<Win32Picture>(bitmap);
    HBRUSH brush = CreateSolidBrush(colour);
    RECT all{0, 0, 240, 95};
    FillRect(picture->Dc(), &all, brush);
    DeleteObject(brush);
    return picture;
}

class Win32WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.SetInputSink(&sink);
        window.SetSize(240, 95);
        window.SetPosition(20, 30);
        window.Show();
        window.DispatchPending();
        sink.events.clear();
    }
    void Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        PostMessageW(window.Handle(), message, wParam, lParam);
    }
    COLORREF PixelAt(int x, int y) {
        HDC dc = GetDC(window.Handle());
        COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(window.Handle(), dc);
        return c;
    }

    Win32Window window{GetModuleHandleW(nullptr)};
    RecordingSink sink;
};

TEST_F(Win32WindowTest, MouseButtonsArriveWithClientPixelsAndCaptureFromPressToRelease) {
    Post(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 20));
    window.DispatchPending();
    EXPECT_EQ(GetCapture(), window.Handle());
    Post(WM_RBUTTONUP, 0, MAKELPARAM(300, -5));  // released outside the window
    Post(WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(1, 2));
    Post(WM_MBUTTONUP, 0, MAKELPARAM(1, 2));
    Post(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(239, 94));
    window.DispatchPending();
    EXPECT_EQ(sink.events, (Events{"down 2 10,20", "up 2 300,-5", "down 4 1,2", "up 4 1,2",
                                   "down 1 239,94"}));
    EXPECT_EQ(GetCapture(), window.Handle());  // the left button is still down
    Post(WM_LBUTTONUP, 0, MAKELPARAM(239, 94));
    window.DispatchPending();
    EXPECT_NE(GetCapture(), window.Handle());
}

TEST_F(Win32WindowTest, KeysArriveAsVirtualKeyCodes) {
    Post(WM_KEYDOWN, VK_NUMPAD1, 0x004F0001);
    Post(WM_KEYDOWN, VK_NUMPAD1, 0x404F0001);  // auto-repeat
    Post(WM_KEYUP, VK_NUMPAD1, 0xC04F0001);
    Post(WM_KEYDOWN, VK_END, 0x004F0001);      // keypad 1 with NumLock off
    window.DispatchPending();
    EXPECT_EQ(sink.events, (Events{"keydown 97", "keydown 97", "keyup 97", "keydown 35"}));
}

TEST_F(Win32WindowTest, AnExceptionFromAHandlerLeavesTheDispatchAndNothingMoreIsDelivered) {
    sink.react = [](const std::string& e) {
        if (e == "keydown 97") throw ProgramExit{7};
    };
    Post(WM_KEYDOWN, 97);
    Post(WM_KEYDOWN, 98);
    try {
        window.DispatchPending();
        ADD_FAILURE() << "the exit did not come through";
    } catch (const ProgramExit& exit) {
        EXPECT_EQ(exit.status, 7);
    }
    window.DispatchPending();
    Post(WM_KEYDOWN, 99);
    window.DispatchPending();
    EXPECT_EQ(sink.events, (Events{"keydown 97"}));
}

TEST_F(Win32WindowTest, AFailureInANestedDispatchEndsEveryLevel) {
    sink.react = [&](const std::string& e) {
        if (e == "keydown 97") window.DispatchPending();  // as a handler that waits
        if (e == "keydown 98") throw Failure(FailureKind::CannotWrite, "config.sn");
    };
    Post(WM_KEYDOWN, 97);
    Post(WM_KEYDOWN, 98);
    Post(WM_KEYDOWN, 99);
    EXPECT_THROW(window.DispatchPending(), Failure);
    window.DispatchPending();
    EXPECT_EQ(sink.events, (Events{"keydown 97", "keydown 98"}));
}

TEST_F(Win32WindowTest, ACloseFromOutsideGoesToTheProgramAndLeavesTheWindow) {
    Post(WM_CLOSE);
    window.DispatchPending();
    EXPECT_EQ(sink.events, (Events{"close"}));
    EXPECT_TRUE(IsWindow(window.Handle()));
}

TEST_F(Win32WindowTest, AQuitMessageEndsTheProgram) {
    PostQuitMessage(3);
    Post(WM_KEYDOWN, 97);
    try {
        window.DispatchPending();
        ADD_FAILURE() << "WM_QUIT was swallowed";
    } catch (const ProgramExit& exit) {
        EXPECT_EQ(exit.status, 3);
    }
}

TEST_F(Win32WindowTest, WaitingBlocksUntilAnEventArrives) {
    HWND hwnd = window.Handle();
    auto start = std::chrono::steady_clock::now();
    std::thread later([hwnd] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        PostMessageW(hwnd, WM_KEYDOWN, 100, 0);
    });
    // The program's own loop: a few stray window-system messages may wake
    // it, but it must not spin while nothing comes.
    int passes = 0;
    while (sink.events.empty() && passes < 1000) {
        window.WaitEvent();
        window.DispatchPending();
        ++passes;
    }
    later.join();
    EXPECT_EQ(sink.events, (Events{"keydown 100"}));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(250));
    EXPECT_LT(passes, 20);
}

TEST_F(Win32WindowTest, TheListKeepsTheProgramsOrderAndReportsOnlyTheUsersChanges) {
    window.ListSetItems({"beta", "Alpha", "gamma"});
    window.ListSetBounds({6, 21, 227, 67});
    window.ListSetVisible(true);
    window.ListSetSelection(1);
    HWND list = window.ListHandle();
    wchar_t text[16];
    SendMessageW(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, L"beta");
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 1);
    RECT r;
    GetWindowRect(list, &r);
    EXPECT_EQ(r.right - r.left, 227);
    EXPECT_EQ(r.bottom - r.top, 67);
    window.DispatchPending();
    EXPECT_TRUE(sink.events.empty());

    // The list's own arrow keys move the selection; the key reaches the
    // program as well.
    SetFocus(list);
    SendMessageW(list, WM_KEYDOWN, VK_DOWN, 0x00500001);
    SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 3));
    SendMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(5, 3));
    window.DispatchPending();
    EXPECT_EQ(sink.events, (Events{"keydown 40", "select 2", "dblclick"}));

    window.ListSetVisible(false);
    EXPECT_FALSE(IsWindowVisible(list));
    EXPECT_NE(GetFocus(), list);
}

TEST_F(Win32WindowTest, TheListIsLightGrey) {
    HDC dc = CreateCompatibleDC(nullptr);
    auto brush = reinterpret_cast<HBRUSH>(SendMessageW(
        window.Handle(), WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc),
        reinterpret_cast<LPARAM>(window.ListHandle())));
    EXPECT_EQ(GetBkColor(dc), RGB(192, 192, 192));
    LOGBRUSH info{};
    ASSERT_TRUE(GetObjectW(brush, sizeof info, &info));
    EXPECT_EQ(info.lbColor, RGB(192, 192, 192));
    DeleteDC(dc);
}

TEST_F(Win32WindowTest, PaintsItsPictureAndACopyLastsUntilTheNextPaint) {
    PictureRef normal = SolidPicture(RGB(200, 0, 0));
    PictureRef pressed = SolidPicture(RGB(0, 150, 0));
    window.SetPicture(normal);
    EXPECT_EQ(PixelAt(5, 5), RGB(200, 0, 0));
    window.CopyFromPicture(pressed, {3, 19, 60, 71});
    EXPECT_EQ(PixelAt(3, 19), RGB(0, 150, 0));
    EXPECT_EQ(PixelAt(62, 89), RGB(0, 150, 0));
    EXPECT_EQ(PixelAt(63, 50), RGB(200, 0, 0));
    EXPECT_EQ(PixelAt(10, 18), RGB(200, 0, 0));
    window.CopyFromPicture(nullptr, {0, 0, 240, 95});  // nothing loaded: nothing copied
    EXPECT_EQ(PixelAt(10, 30), RGB(0, 150, 0));
    InvalidateRect(window.Handle(), nullptr, FALSE);
    UpdateWindow(window.Handle());
    EXPECT_EQ(PixelAt(10, 30), RGB(200, 0, 0));
}

TEST_F(Win32WindowTest, HasNoFrameAndKeepsItsPlaceWhileMinimized) {
    window.SetPosition(123, 45);
    int x = 0, y = 0;
    window.GetPosition(x, y);
    EXPECT_EQ(x, 123);
    EXPECT_EQ(y, 45);
    RECT client;
    GetClientRect(window.Handle(), &client);
    EXPECT_EQ(client.right, 240);
    EXPECT_EQ(client.bottom, 95);
    EXPECT_TRUE(GetWindowLongW(window.Handle(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
    window.Minimize();
    EXPECT_TRUE(window.IsMinimized());
    window.GetPosition(x, y);
    EXPECT_EQ(x, 123);
    EXPECT_EQ(y, 45);
}

}  // namespace
}  // namespace snickit

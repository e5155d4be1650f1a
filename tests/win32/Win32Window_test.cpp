// The Win32 window: messages to the program's calls, exceptions out of the
// window procedure, the list box, painting at each scale and a new density.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "platform/win32/Win32Picture.h"
#include "platform/win32/Win32Window.h"
#include "tests/support/RecordingPlatform.h"

namespace snickit {
namespace {

// Records what reaches the program, joined by "; "; `react` runs after each.
struct RecordingSink : InputSink {
    std::string events;
    std::function<void(const std::string&)> react;
    void Add(const std::string& event) {
        events += (events.empty() ? "" : "; ") + event;
        if (react) react(event);
    }
    static std::string At(MouseButton b, int x, int y) { return std::to_string(int(b)) + " " + test::Pair(x, y); }
    void MouseDown(MouseButton b, int x, int y) override { Add("down " + At(b, x, y)); }
    void MouseUp(MouseButton b, int x, int y) override { Add("up " + At(b, x, y)); }
    bool KeyDown(int key) override { Add("keydown " + std::to_string(key)); return false; }
    void KeyUp(int key) override { Add("keyup " + std::to_string(key)); }
    void ListSelect(int index) override { Add("select " + std::to_string(index)); }
    void ListDoubleClick() override { Add("dblclick"); }
    void CloseRequested() override { Add("close"); }
    void DensityChanged(int dotsPerInch) override { Add("density " + std::to_string(dotsPerInch)); }
};

struct Win32WindowTest : ::testing::Test {
    Win32WindowTest() {
        window.SetInputSink(&sink);
        window.SetSize(240, 95);
        window.Show();
        window.DispatchPending();
        sink.events.clear();
    }

    win32::Win32Window window{GetModuleHandleW(nullptr)};
    RecordingSink sink;
};

TEST_F(Win32WindowTest, MessagesBecomeTheProgramsCallsAndTheCaptureLastsWhileAButtonIsDown) {
    const struct { UINT message; WPARAM wParam; LPARAM lParam; const char* events; } kRows[] = {
        {WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 20), "down 2 10,20, captured"},
        {WM_MBUTTONDOWN, MK_RBUTTON | MK_MBUTTON, MAKELPARAM(1, 2), "down 4 1,2, captured"},
        {WM_RBUTTONUP, MK_MBUTTON, MAKELPARAM(300, -5), "up 2 300,-5, captured"},  // outside, the middle one held
        {WM_MBUTTONUP, 0, MAKELPARAM(0, 0), "up 4 0,0"},
        {WM_KEYDOWN, VK_NUMPAD1, 0x404F0001, "keydown 97"},  // auto-repeat
        {WM_SYSKEYDOWN, VK_F4, 0x203E0001, "keydown 115; close"},  // Alt+F4 goes on to the system
    };
    for (const auto& row : kRows) {
        sink.events.clear();
        PostMessageW(window.Handle(), row.message, row.wParam, row.lParam);
        window.DispatchPending();
        EXPECT_EQ(sink.events + (GetCapture() == window.Handle() ? ", captured" : ""), row.events);
    }
}

// The move rule: only the release of the button that started the move ends
// it; keys (Esc and Return too) and other buttons reach the program after the
// move, in their order.
TEST_F(Win32WindowTest, OnlyTheReleaseOfThePressingButtonEndsTheMoveAndMinimizedItKeepsItsPlace) {
    const std::pair<UINT, WPARAM> kInput[] = {{WM_KEYDOWN, VK_ESCAPE}, {WM_LBUTTONDOWN, MK_LBUTTON},
        {WM_KEYDOWN, VK_RETURN}, {WM_LBUTTONUP, 0}, {WM_RBUTTONUP, 0}, {WM_KEYDOWN, VK_NUMPAD1}};
    for (auto [message, wParam] : kInput) PostMessageW(window.Handle(), message, wParam, 0);
    window.InteractiveMove(MouseButton::Right);
    window.DispatchPending();
    EXPECT_EQ(sink.events, "keydown 27; down 1 0,0; keydown 13; up 1 0,0; keydown 97");
    // Minimized, the window keeps its place.
    window.SetPosition(123, 45);
    window.Minimize();
    int x = 0, y = 0;
    window.GetPosition(x, y);
    EXPECT_EQ(std::tuple(window.IsMinimized(), x, y), std::tuple(true, 123, 45));
}

// At keypad 1 the program ends (status 7), or waits in a nested dispatch
// and fails at keypad 2 (100); or WM_QUIT comes (3). Nothing is
// delivered afterwards.
TEST(Win32WindowEnd, AnExitOrFailureLeavesEveryDispatchLevelAndNothingMoreIsDelivered) {
    const struct { int status; const char* events; } kRows[] = {
        {7, "keydown 97"}, {100, "keydown 97; keydown 98"}, {3, ""}};
    for (const auto& row : kRows) {
        win32::Win32Window window{GetModuleHandleW(nullptr)};
        RecordingSink sink;
        window.SetInputSink(&sink);
        sink.react = [&](const std::string& e) {
            if (e == "keydown 97" && row.status == 7) throw ProgramExit{7};
            if (e == "keydown 97") window.DispatchPending();
            if (e == "keydown 98") throw Failure(FailureKind::CannotWrite, "config.sn");
        };
        if (row.status == 3) PostQuitMessage(3);
        else for (WPARAM key : {97, 98, 99}) PostMessageW(window.Handle(), WM_KEYDOWN, key, 0);
        int status = -1;
        try {
            window.DispatchPending();
        } catch (const ProgramExit& exit) {
            status = exit.status;
        } catch (const Failure&) {
            status = 100;
        }
        window.DispatchPending();
        EXPECT_EQ(std::make_pair(status, sink.events), std::make_pair(row.status, std::string(row.events)));
    }
}

TEST_F(Win32WindowTest, TheListKeepsTheProgramsOrderAndReportsOnlyTheUsersChanges) {
    window.ListSetItems({"beta", "Alpha", "gamma"});
    window.ListSetBounds({6, 21, 227, 67});
    window.ListSetVisible(true);
    window.ListSetSelection(1);
    HWND list = window.ListHandle();
    // The list's own arrow keys move the selection from the program's one,
    // and the key reaches the program as well; a typed character selects the
    // next entry that starts with it, round from the end to the first (sorted,
    // beta would be the second); a double click.
    SetFocus(list);
    SendMessageW(list, WM_KEYDOWN, VK_DOWN, 0x00500001);
    SendMessageW(list, WM_CHAR, L'b', 1);
    SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 3));
    window.DispatchPending();
    EXPECT_EQ(sink.events, "keydown 40; select 2; select 0; dblclick");
    window.ListSetVisible(false);
    EXPECT_NE(GetFocus(), list);
}

// Where the picture does not reach, the window is black (as on Linux): here
// a picture of one pixel at scale 2, a 2 x 2 block. A copy from no picture
// copies nothing.
TEST_F(Win32WindowTest, WhereThePictureDoesNotReachTheWindowIsBlack) {
    window.SetScale(2);
    window.SetPicture(win32::PictureFromPixels({1, 1, {0xFA0507}}));
    window.CopyFromPicture(nullptr, {0, 0, 240, 95});
    HDC dc = GetDC(window.Handle());
    const COLORREF red = RGB(250, 5, 7), black = RGB(0, 0, 0);
    for (auto [x, y, colour] : {std::tuple{0, 0, red}, {1, 1, red}, {2, 1, black}, {1, 2, black}, {239, 94, black}})
        EXPECT_EQ(GetPixel(dc, x, y), colour) << x << "," << y;
    ReleaseDC(window.Handle(), dc);
}

// On a new density the program resizes the window, which keeps the point
// under the pointer where it was; with the pointer elsewhere, its centre.
TEST_F(Win32WindowTest, ANewDensityRescalesTheWindowAroundThePointer) {
    sink.react = [&](const std::string& event) {
        if (event == "density 192") window.SetSize(480, 190);
        if (event == "density 96") window.SetSize(240, 95);
    };
    window.SetPosition(200, 300);
    const struct { POINT pointer; WORD dotsPerInch; std::tuple<LONG, LONG, LONG, LONG> rect; } kRows[] = {
        {{260, 319}, 192, {140, 281, 620, 471}},  // a quarter across, a fifth down
        {{900, 700}, 96, {260, 328, 500, 423}},   // outside: the centre 380,376 stays
    };
    for (const auto& row : kRows) {
        SetCursorPos(row.pointer.x, row.pointer.y);
        RECT suggested{0, 0, 10, 10}, r{};
        const WPARAM dotsPerInch = MAKEWPARAM(row.dotsPerInch, row.dotsPerInch);
        SendMessageW(window.Handle(), WM_DPICHANGED, dotsPerInch, reinterpret_cast<LPARAM>(&suggested));
        GetWindowRect(window.Handle(), &r);
        EXPECT_EQ(std::tuple(r.left, r.top, r.right, r.bottom), row.rect);
    }
}

}  // namespace
}  // namespace snickit

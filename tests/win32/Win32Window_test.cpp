// The Win32 window: messages to the program's calls, exceptions out of the
// window procedure, the list box, painting at each scale and a new density.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <tuple>

#include "platform/NativeFilesPlatform.h"
#include "platform/win32/Win32Picture.h"
#include "platform/win32/Win32Window.h"
#include "tests/support/MediaFiles.h"
#include "tests/support/RecordingPlatform.h"
#include "tests/support/TempFolder.h"

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
    void MouseDown(MouseButton b, int x, int y) override { Add("down " + std::to_string(int(b)) + " " + test::Pair(x, y)); }
    void MouseUp(MouseButton b, int x, int y) override { Add("up " + std::to_string(int(b)) + " " + test::Pair(x, y)); }
    bool KeyDown(int key) override { Add("keydown " + std::to_string(key)); return false; }
    void KeyUp(int key) override { Add("keyup " + std::to_string(key)); }
    void ListSelect(int index) override { Add("select " + std::to_string(index)); }
    void ListDoubleClick() override { Add("dblclick"); }
    void CloseRequested() override { Add("close"); }
    void DensityChanged(int dotsPerInch) override { Add("density " + std::to_string(dotsPerInch)); }
};

// A 240 x 95 picture, through the program's loader, in which every pixel
// differs from its neighbours: red and green jump with x and y, blue is
// `blue` throughout.
COLORREF Colour(int x, int y, unsigned char blue) { return RGB(x * 37 % 256, y * 53 % 256, blue); }
PictureRef Picture(unsigned char blue) {
    const test::TempFolder folder;
    std::string bytes = test::BmpFile({});  // bottom-up rows of 720 bytes: blue, green, red
    for (int y = 0; y < 95; ++y)
        for (int x = 0; x < 240; ++x)
            test::Put(bytes, 54 + (94 - y) * 720 + 3 * x, blue | GetGValue(Colour(x, y, 0)) << 8 | GetRValue(Colour(x, y, 0)) << 16, 3);
    folder.Write("picture.bmp", bytes);
    struct : MediaHost {
        BinaryFile ReadBinaryFile(const std::string& p, std::size_t max) override { return native::ReadFileBytes(p, max); }
        PictureRef MakePicture(const PicturePixels& pixels) override { return win32::PictureFromPixels(pixels); }
    } host;
    return LoadPictureFile(host, folder.path() + "\\picture.bmp");
}

struct Win32WindowTest : ::testing::Test {
    Win32WindowTest() {
        window.SetInputSink(&sink);
        window.SetSize(240, 95);
        window.SetPosition(20, 30);
        window.Show();
        window.DispatchPending();
        sink.events.clear();
    }

    win32::Win32Window window{GetModuleHandleW(nullptr)};
    RecordingSink sink;
};

TEST_F(Win32WindowTest, MessagesBecomeTheProgramsCallsAndTheCaptureLastsWhileAButtonIsDown) {
    const struct { UINT message; WPARAM wParam; LPARAM lParam; const char* event; bool captured; } kRows[] = {
        {WM_LBUTTONUP, 0, MAKELPARAM(5, 5), "up 1 5,5", false},  // pressed elsewhere: the program decides
        {WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 20), "down 2 10,20", true},
        {WM_RBUTTONUP, 0, MAKELPARAM(300, -5), "up 2 300,-5", false},  // released outside
        {WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(1, 2), "down 4 1,2", true},
        {WM_LBUTTONDOWN, MK_LBUTTON | MK_MBUTTON, MAKELPARAM(239, 94), "down 1 239,94", true},
        {WM_MBUTTONUP, MK_LBUTTON, MAKELPARAM(0, 0), "up 4 0,0", true},
        {WM_LBUTTONUP, 0, MAKELPARAM(239, 94), "up 1 239,94", false},
        {WM_KEYDOWN, VK_NUMPAD1, 0x004F0001, "keydown 97", false},
        {WM_KEYDOWN, VK_NUMPAD1, 0x404F0001, "keydown 97", false},  // auto-repeat
        {WM_KEYUP, VK_NUMPAD4, 0xC04B0001, "keyup 100", false},
        {WM_KEYDOWN, VK_END, 0x004F0001, "keydown 35", false},  // keypad 1, NumLock off
        {WM_SYSKEYDOWN, VK_F4, 0x203E0001, "keydown 115; close", false},  // Alt+F4 goes on to the system
        {WM_CLOSE, 0, 0, "close", false},
    };
    for (const auto& row : kRows) {
        sink.events.clear();
        PostMessageW(window.Handle(), row.message, row.wParam, row.lParam);
        window.DispatchPending();
        EXPECT_EQ(std::make_pair(sink.events, GetCapture() == window.Handle()), std::make_pair(std::string(row.event), row.captured));
    }
    EXPECT_TRUE(IsWindow(window.Handle()));  // a close from outside leaves the window to the program
}

// The move rule: only the release of the button that started the move ends
// it; keys (Esc and Return too) and other buttons reach the program after the
// move, in their order.
TEST_F(Win32WindowTest, OnlyTheReleaseOfThePressingButtonEndsTheMoveAndMinimizedItKeepsItsPlace) {
    for (auto [message, wParam] : {std::pair<UINT, WPARAM>{WM_KEYDOWN, VK_ESCAPE}, {WM_LBUTTONDOWN, MK_LBUTTON},
                                   {WM_KEYDOWN, VK_RETURN}, {WM_LBUTTONUP, 0}, {WM_RBUTTONUP, 0}, {WM_KEYDOWN, VK_NUMPAD1}})
        PostMessageW(window.Handle(), message, wParam, 0);
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

TEST_F(Win32WindowTest, TheGreyListKeepsTheProgramsOrderAndReportsOnlyTheUsersChanges) {
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
    EXPECT_EQ(std::make_pair(r.right - r.left, r.bottom - r.top), std::make_pair(227L, 67L));
    HDC dc = CreateCompatibleDC(nullptr);
    SendMessageW(window.Handle(), WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(list));
    EXPECT_EQ(GetBkColor(dc), RGB(192, 192, 192));
    DeleteDC(dc);
    window.DispatchPending();
    EXPECT_EQ(sink.events, "");

    // The list's own arrow keys move the selection; the key reaches the
    // program as well.
    SetFocus(list);
    SendMessageW(list, WM_KEYDOWN, VK_DOWN, 0x00500001);
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})  // on the first entry
        SendMessageW(list, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(5, 3));
    // A typed character selects the next entry that starts with it, letter
    // case ignored, round from the end (the drawn list's rule on Linux).
    for (wchar_t typed : {L'G', L'b', L'x'}) SendMessageW(list, WM_CHAR, typed, 1);
    window.DispatchPending();
    EXPECT_EQ(sink.events, "keydown 40; select 2; select 0; dblclick; select 2; select 0");
    window.ListSetVisible(false);
    EXPECT_FALSE(IsWindowVisible(list));
    EXPECT_NE(GetFocus(), list);
}

// Painted back with GetPixel at each scale, every corner of a picture
// pixel's block: the picture, a copied rectangle (its edges inside, their
// neighbours outside), and a repaint that removes the copy.
TEST_F(Win32WindowTest, PaintsItsPictureInBlocksAndACopyLastsUntilTheNextPaint) {
    const PictureRef back = Picture(200), copied = Picture(50);
    const struct { int x, y; unsigned char blue; } kRows[] = {
        {3, 19, 50}, {62, 89, 50}, {2, 50, 200}, {63, 50, 200}, {10, 18, 200}, {10, 90, 200}, {0, 0, 200}, {239, 94, 200}};
    for (int scale : {1, 2, 3}) {
        window.SetScale(scale);
        window.SetSize(240 * scale, 95 * scale);
        window.SetPicture(back);
        window.CopyFromPicture(copied, {3 * scale, 19 * scale, 60 * scale, 71 * scale});
        window.CopyFromPicture(nullptr, {0, 0, 240 * scale, 95 * scale});  // nothing loaded: nothing copied
        HDC dc = GetDC(window.Handle());
        for (const auto& row : kRows)
            for (int corner = 0; corner < 4; ++corner) {
                const int x = row.x * scale + (corner & 1) * (scale - 1), y = row.y * scale + (corner >> 1) * (scale - 1);
                EXPECT_EQ(GetPixel(dc, x, y), Colour(row.x, row.y, row.blue)) << "scale " << scale << " at " << x << "," << y;
            }
        InvalidateRect(window.Handle(), nullptr, FALSE);
        UpdateWindow(window.Handle());
        EXPECT_EQ(GetPixel(dc, 10 * scale, 30 * scale), Colour(10, 30, 200)) << "scale " << scale;
        ReleaseDC(window.Handle(), dc);
    }
    // Where the picture does not reach, the window is black (as on Linux).
    window.SetScale(1);
    window.SetSize(250, 100);
    window.SetPicture(back);
    HDC dc = GetDC(window.Handle());
    EXPECT_EQ(std::tuple(GetPixel(dc, 239, 94), GetPixel(dc, 240, 50), GetPixel(dc, 100, 95), GetPixel(dc, 249, 99)),
              std::tuple(Colour(239, 94, 200), RGB(0, 0, 0), RGB(0, 0, 0), RGB(0, 0, 0)));
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
    const struct { POINT pointer; WORD dotsPerInch; RECT expected; } kRows[] = {
        {{260, 319}, 192, {140, 281, 620, 471}},  // a quarter across, a fifth down
        {{900, 700}, 96, {260, 328, 500, 423}},   // outside: the centre 380,376 stays
    };
    for (const auto& row : kRows) {
        sink.events.clear();
        SetCursorPos(row.pointer.x, row.pointer.y);
        RECT suggested{0, 0, 10, 10}, r{};
        SendMessageW(window.Handle(), WM_DPICHANGED, MAKEWPARAM(row.dotsPerInch, row.dotsPerInch), reinterpret_cast<LPARAM>(&suggested));
        GetWindowRect(window.Handle(), &r);
        EXPECT_EQ(sink.events, "density " + std::to_string(row.dotsPerInch));
        EXPECT_EQ(std::tuple(r.left, r.top, r.right, r.bottom),
                  std::tuple(row.expected.left, row.expected.top, row.expected.right, row.expected.bottom));
    }
}

}  // namespace
}  // namespace snickit

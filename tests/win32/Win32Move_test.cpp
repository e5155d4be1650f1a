// The move rule on Windows: only the release of the button that started the
// move ends it; keys (Esc and Return too) and other buttons reach the
// program after the move, in their order.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/Win32Window.h"

namespace snickit {
namespace {

struct Sink : InputSink {
    std::vector<std::string> events;
    void MouseDown(MouseButton b, int, int) override { events.push_back("down " + std::to_string(int(b))); }
    void MouseUp(MouseButton b, int, int) override { events.push_back("up " + std::to_string(int(b))); }
    bool KeyDown(int key, int) override {
        events.push_back("key " + std::to_string(key));
        return false;
    }
    void KeyUp(int, int) override {}
    void ListSelect(int) override {}
    void ListDoubleClick() override {}
    void CloseRequested() override {}
};

TEST(Win32Move, OnlyTheReleaseOfThePressingButtonEndsTheMove) {
    win32::Win32Window window(GetModuleHandleW(nullptr));
    Sink sink;
    window.SetInputSink(&sink);
    window.SetSize(240, 95);
    window.SetPosition(20, 30);
    window.Show();
    window.DispatchPending();
    const std::pair<UINT, WPARAM> queued[] = {{WM_KEYDOWN, VK_ESCAPE}, {WM_LBUTTONDOWN, MK_LBUTTON},
                                              {WM_KEYDOWN, VK_RETURN}, {WM_LBUTTONUP, 0},
                                              {WM_RBUTTONUP, 0},       {WM_KEYDOWN, VK_NUMPAD1}};
    for (const auto& [message, wParam] : queued) PostMessageW(window.Handle(), message, wParam, 0);
    sink.events.clear();
    window.InteractiveMove(MouseButton::Right);
    window.DispatchPending();
    EXPECT_EQ(sink.events, (std::vector<std::string>{"key 27", "down 1", "key 13", "up 1", "key 97"}));
}

}  // namespace
}  // namespace snickit

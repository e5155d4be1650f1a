// A program folder with two skins and a settings file, and the program over
// the recording platform.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "shell/FormMain.h"
#include "tests/support/MediaFiles.h"
#include "tests/support/RecordingPlatform.h"
#include "tests/support/TempFolder.h"

namespace snickit::test {

// Points inside the hot spots.
struct Point {
    int x, y;
};
inline constexpr Point kOk{60, 70};
inline constexpr Point kNet{180, 70};
inline constexpr Point kMin{210, 8};
inline constexpr Point kClose{228, 8};
inline constexpr Point kMenu{10, 10};
inline constexpr Point kSkinsItem{60, 30};
inline constexpr Point kAboutItem{60, 48};
inline constexpr Point kQuitItem{60, 64};
inline constexpr Point kButton[4] = {{30, 50}, {90, 50}, {148, 50}, {205, 50}};
// The window background on the pad screen (between the menu button and the
// minimize box, above the sound buttons).
inline constexpr Point kBackground{120, 8};

class SnickitTest : public ::testing::Test {
protected:
    void SetUp() override {
        MakeSkin("Blue");
        MakeSkin("red");
        folder.Write("config.sn", " 3000 \r\n 1500 \r\nBlue\\\r\n");
    }

    void MakeSkin(const std::string& name, bool complete = true) {
        folder.Write("skins/" + name + "/box.bmp", FakeBitmap());
        if (!complete) return;
        folder.Write("skins/" + name + "/box2.bmp", FakeBitmap());
        folder.Write("skins/" + name + "/menu.bmp", FakeBitmap());
        for (int i = 1; i <= 4; ++i) folder.Write("skins/" + name + "/" + std::to_string(i) + ".wav", WavFile({}));
    }

    // Creates the window over a fresh recording platform.
    RecordingPlatform& Start(float twipsPerPixel = 15.0f) {
        platform = std::make_unique<RecordingPlatform>(folder.path(), twipsPerPixel);
        form = std::make_unique<Form_Main>(*platform);
        return *platform;
    }

    int Run() { return platform->Run(*form); }

    void Click(Point p, MouseButton button = MouseButton::Left) { platform->Click(p.x, p.y, button); }

    // Starts with a script that clicks OK; the log starts afresh once the
    // pad screen waits for input. Run() then plays the rest of the script.
    RecordingPlatform& StartOnPad() {
        Start();
        Click(kOk);
        platform->Idle();
        platform->Then([this] { platform->log.clear(); });
        return *platform;
    }

    // The effects logged since the last clear, as one text for messages.
    std::vector<std::string> Log() const { return platform->log; }

    TempFolder folder;
    std::unique_ptr<RecordingPlatform> platform;
    std::unique_ptr<Form_Main> form;
};

using Names = std::vector<std::string>;

}  // namespace snickit::test

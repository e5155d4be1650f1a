// A program folder with the skins apple, Blue and red and a settings file
// naming Blue, and the program over the recording platform, driven by a
// script of steps written as words:
//   Ok Net Min Close Menu Skins About Quit B0..B3 bg out @x,y  a click there
//   +Menu -Menu +B1.R -out.M            a press, a release (Right, Middle)
//   k97  kd97  ku97                      a key down and up, down, up
//   s2  dbl                              list selection, double click
//   x  |  w!  rm:<file>                  close from outside, clear the log,
//                                        writes fail, remove a file
// Each word's events come together; the program then goes idle.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <memory>
#include <sstream>

#include "shell/FormMain.h"
#include "tests/support/MediaFiles.h"
#include "tests/support/RecordingPlatform.h"
#include "tests/support/TempFolder.h"

namespace snickit::test {

// The screens, as Screen() shows them.
inline const std::string kAbout = "about | Ok Net Close Min";
inline std::string Pad(const std::string& skin) { return "\\skins\\" + skin + "\\box.bmp | Menu B3 B2 B1 B0 Close Min"; }
inline std::string MenuOf(const std::string& skin) { return "\\skins\\" + skin + "\\menu.bmp | Quit About Skins Menu Close Min"; }
inline std::string Chooser(const std::string& skin, int selection) {
    return "\\skins\\" + skin + "\\box.bmp | Close Min | list 6,21,227,67 @" + std::to_string(selection);
}
// LoadSkin of Blue: its three pictures, then the normal one shown.
inline const std::string kReload = R"(load \skins\Blue\box.bmp; load \skins\Blue\box2.bmp; )"
                                   R"(load \skins\Blue\menu.bmp; picture \skins\Blue\box.bmp)";

class SnickitTest : public ::testing::Test {
protected:
    SnickitTest() { Reset(); }
    // Back to the three complete skins and the settings file.
    void Reset() {
        folder.Remove("skins");
        const std::string wave = WavFile({}), picture = BmpFile({.width = 1, .height = 1});
        for (std::string skin : {"apple/", "Blue/", "red/"})
            for (std::string file : {"box.bmp", "box2.bmp", "menu.bmp", "1.wav", "2.wav", "3.wav", "4.wav"})
                folder.Write("skins/" + skin + file, file.ends_with(".wav") ? wave : picture);
        folder.Write("config.sn", kConfig);
    }
    static constexpr const char* kConfig = " 3000 \r\n 1500 \r\nBlue\\\r\n";

    // Starts the program with the script; its status, or kStillRunning when
    // the script runs out while the program still waits.
    static constexpr int kStillRunning = -1000;
    // At `dotsPerInch`, or at 96 times `scale`: the script's points are in
    // design pixels, multiplied by the scale.
    int Play(const std::string& steps, int dotsPerInch = 0) {
        form.reset();
        p = std::make_unique<RecordingPlatform>(folder.path(), dotsPerInch ? dotsPerInch : 96 * scale);
        p->monitors = monitors;
        p->userFolder = userFolder;
        form = std::make_unique<Form_Main>(*p);
        std::istringstream words(steps);
        for (std::string w; words >> w; p->script.push_back(nullptr)) Script(w);
        try {
            return form->Run();
        } catch (const ScriptEnded&) {
            return kStillRunning;
        }
    }

    // The effects logged, joined by "; ", those of the given kinds only.
    std::string Log(const std::string& kinds = "") const {
        const std::string wanted = " " + kinds + " ";
        std::string joined;
        for (const std::string& e : p->log) {
            const std::string kind = e.substr(0, e.find(' '));
            if (kinds.empty() || wanted.find(" " + kind + " ") != std::string::npos)
                joined += (joined.empty() ? "" : "; ") + e;
        }
        return joined;
    }

    // The hot spots, from the top of the stacking order.
    std::vector<std::pair<std::string, HotSpot*>> Spots() const {
        Form_Main& f = *form;
        return {{"Ok", &f.command_Ok}, {"Net", &f.Image_Net}, {"Quit", &f.Image_quit[1]}, {"About", &f.Image_About},
                {"Skins", &f.Image_skin}, {"Menu", &f.Image_Menu}, {"B3", &f.Image_BTN[3]}, {"B2", &f.Image_BTN[2]},
                {"B1", &f.Image_BTN[1]}, {"B0", &f.Image_BTN[0]}, {"Close", &f.Image_quit[0]}, {"Min", &f.Image_Min}};
    }

    // "hidden" before the window shows; else the picture, the visible hot
    // spots and, when shown, the list's bounds and selection.
    std::string Screen() const {
        if (!p->shown) return "hidden";
        std::string s = p->picture + " |";
        for (auto& [name, spot] : Spots()) s += spot->Visible() ? " " + name : "";
        const PixelRect r{p->listBounds.left / scale, p->listBounds.top / scale, p->listBounds.width / scale, p->listBounds.height / scale};
        if (p->listVisible) s += " | list " + Pair(r.left, r.top) + "," + Pair(r.width, r.height) + " @" +
                                 std::to_string(p->listSelection);
        return s;
    }

    TempFolder folder;
    int scale = 1;
    std::vector<PixelRect> monitors{{0, 0, 1920, 1080}};
    std::string userFolder;  // the user's settings folder, program form
    std::unique_ptr<RecordingPlatform> p;
    std::unique_ptr<Form_Main> form;

private:
    void Script(const std::string& w) {
        RecordingPlatform& r = *p;
        auto then = [&r](std::function<void()> step) { r.script.push_back(std::move(step)); };
        auto number = [&](size_t at) { return std::stoi(w.substr(at)); };
        if (w == "|") return then([&r] { r.log.clear(); });
        if (w == "x") return then([&r] { r.sink->CloseRequested(); });
        if (w == "w!") return then([&r] { r.failWrites = true; });
        if (w == "dbl") return then([&r] { r.sink->ListDoubleClick(); });
        if (w.rfind("rm:", 0) == 0) return then([this, w] { folder.Remove(w.substr(3)); });
        if (w[0] == 's') return then([&r, i = number(1)] { r.listSelection = i, r.sink->ListSelect(i); });
        if (w.rfind("kd", 0) == 0) return then([&r, k = number(2)] { r.sink->KeyDown(k); });
        if (w.rfind("ku", 0) == 0) return then([&r, k = number(2)] { r.sink->KeyUp(k); });
        if (w[0] == 'k') return Script("kd" + w.substr(1)), Script("ku" + w.substr(1));
        static const std::map<std::string, std::string> kPoints = {
            {"Ok", "@60,70"},    {"Net", "@180,70"},  {"Min", "@210,8"},  {"Close", "@228,8"}, {"Menu", "@10,10"},
            {"Skins", "@60,30"}, {"About", "@60,48"}, {"Quit", "@60,64"}, {"B0", "@30,50"},    {"B1", "@90,50"},
            {"B2", "@148,50"},   {"B3", "@205,50"},   {"bg", "@120,8"},   {"out", "@500,-40"}};
        const char how = w[0] == '+' || w[0] == '-' ? w[0] : 'c';
        const size_t dot = w.find('.');
        using enum MouseButton;
        const MouseButton b = dot == std::string::npos ? Left : w[dot + 1] == 'R' ? Right : Middle;
        std::string at = w.substr(how != 'c', dot - (how != 'c'));
        int x = 0, y = 0;
        std::sscanf((at[0] == '@' ? at : kPoints.at(at)).c_str(), "@%d,%d", &x, &y);
        x *= scale, y *= scale;
        if (how != '-') then([&r, b, x, y] { r.sink->MouseDown(b, x, y); });
        if (how != '+') then([&r, b, x, y] { r.sink->MouseUp(b, x, y); });
    }
};

}  // namespace snickit::test

// Form_Main: Snickit's one window, its controls and every handler.
//
// The window is a 240 x 95 panel painted from pictures; twelve invisible hot
// spots catch the mouse over the places the pictures draw as buttons. A
// screen is nothing but the window picture and the set of visible hot spots
// (plus List1 on the skin chooser); no variable records which screen shows.
//
// The handlers live beside their subsystem (skin/, pad/, screens/, shell/);
// this class is where they meet. It also routes the platform's raw input to
// them (shell/Routing.cpp), once for every backend.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "settings/Settings.h"
#include "shell/HotSpot.h"
#include "skin/DirList.h"
#include "skin/ListBox.h"

namespace snickit {

// An off-screen picture buffer; loading a new picture releases the old one.
struct PictureBuffer {
    PictureRef Picture;
};

class Form_Main : public InputSink {
public:
    explicit Form_Main(Platform& platform);

    // Start-up and then the event loop, until the program ends. Returns the
    // exit status; a failure has been shown to the user by then.
    int Run();

    // --- The window's controls ---------------------------------------------
    std::array<HotSpot, 4> Image_BTN;
    HotSpot Image_Menu;
    HotSpot Image_Min;
    std::array<HotSpot, 2> Image_quit;
    HotSpot Image_skin;
    HotSpot Image_About;
    HotSpot command_Ok;
    HotSpot Image_Net;
    ListBox List1;
    DirList Dir1;
    PictureBuffer Picture_Etat1;   // the skin's normal picture, box.bmp
    PictureBuffer Picture_Etat2;   // the skin's pressed picture, box2.bmp
    PictureBuffer Picture_Menu;    // the skin's menu picture, menu.bmp
    PictureBuffer Picture_Splach;  // the built-in about picture

    // --- Shared state ------------------------------------------------------
    // The current skin's folder name followed by one backslash.
    std::string CurrentSkin;
    // 1 while a wait for OK runs.
    std::int16_t AboutOpen = 0;

    // --- Handlers ----------------------------------------------------------
    void Form_Load();
    void Form_MouseDown(int button, int shift, float x, float y);
    // Returns whether the key is one of the program's own (keypad 1 to 4).
    // No handler reads the modifier keys: `shift` is always 0.
    bool Form_KeyDown(int keyCode, int shift);
    void Form_KeyUp(int keyCode, int shift);
    void Image_Min_Click();
    void Image_quit_Click(int index);
    void Image_Menu_Click();
    void Image_About_Click();
    void Command_OK_Click();
    void Image_Net_Click();
    void Image_skin_Click();
    void List1_Click();
    void List1_DblClick();
    void Image_BTN_MouseDown(int index, int button, int shift, float x, float y);
    void Image_BTN_MouseUp(int index, int button, int shift, float x, float y);
    void LoadSkin();

    // --- Window properties -------------------------------------------------
    // The window's place in twips, as the screen has it now.
    float Left() const;
    float Top() const;
    void SetPicture(const PictureBuffer& buffer);

    // --- Raw input from the platform (shell/Routing.cpp) -------------------
    void MouseDown(MouseButton button, int x, int y) override;
    void MouseUp(MouseButton button, int x, int y) override;
    bool KeyDown(int virtualKey) override;
    void KeyUp(int virtualKey) override;
    void ListSelect(int index) override;
    void ListDoubleClick() override;
    void CloseRequested() override;
    void DensityChanged(int dotsPerInch) override;

    // The visible hot spot that a press at x, y reaches, or nullptr for the
    // background (the list, when shown, is not a hot spot: see Routing.cpp).
    HotSpot* HitTest(float x, float y);

    // The window's whole-number scale on this desktop.
    int Scale() const { return scale_; }

private:
    // Sets the scale for a density: the window's size, the hot spots and
    // the list follow it; config.sn keeps meaning inches (15 / scale twips
    // a pixel).
    void ApplyDensity(int dotsPerInch);
    // Moves the window the shortest way onto the nearest monitor when the
    // menu button is not wholly on one; otherwise leaves it where it is.
    void KeepInReach();
    // Dispatches events until OK sets AboutOpen to 0, blocking while idle.
    void WaitForOk();
    // Loads a file of the current skin into a buffer.
    void LoadSkinPicture(PictureBuffer& buffer, const std::string& fileName);
    // Copies a button's rectangle from a buffer onto the window and lets
    // waiting events through.
    void PaintButton(int index, const PictureBuffer& source);
    void Click(HotSpot& spot);

    Platform& platform_;
    Window& window_;
    // The executable's folder, asked once: every path starts with it.
    const std::string programFolder_;
    int scale_ = 1;
    float twipsPerPixel_ = 15.0f;
    // The settings file read at start-up, the one the quit writes, and the
    // user's folder that holds it (empty: beside the program).
    SettingsFiles settings_;
    // The hot spot that holds the mouse capture from a press to the release
    // of every button pressed on it.
    HotSpot* captured_ = nullptr;
    unsigned heldButtons_ = 0;
    // All hot spots, from the top of the stacking order to the bottom.
    std::array<HotSpot*, 12> stacking_;
};

// The product's web page, opened by the web link of the about screen.
extern const char* const kProductWebPage;

// Rounds to the nearest integer, halves to the even neighbour.
int RoundHalfEven(float value);

// Converts twips to whole screen pixels, kept within what a window system
// can place.
int TwipsToPixels(float twips, float twipsPerPixel);

// The window's scale for a density: dots per inch over 96, rounded to the
// nearest whole number, halves up (96 to 143 give 1, 144 to 239 give 2), at
// least 1.
int ScaleForDensity(int dotsPerInch);

// Where a window at `window` (screen pixels) goes so that `handle` (the part
// that must stay reachable, in screen pixels) lies wholly on a monitor: the
// same place when it already does (or when no monitor is known), else the
// shortest move that puts the whole window on the nearest monitor.
PixelRect PlaceInReach(const PixelRect& window, const PixelRect& handle, const std::vector<PixelRect>& monitors);

}  // namespace snickit

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

namespace snickit {

// A rectangle in window pixels; fractional on displays whose twips per pixel
// is not 15.
struct FloatRect {
    float left, top, width, height;
    bool Contains(float x, float y) const {
        return x >= left && x < left + width && y >= top && y < top + height;
    }
};

// An invisible rectangle that reacts to the mouse. Its place is a design
// value in twips, converted with the screen's twips per pixel.
class HotSpot {
public:
    HotSpot(int left, int top, int width, int height, bool visible);
    float Left() const { return rect_.left; }
    float Top() const { return rect_.top; }
    float Width() const { return rect_.width; }
    float Height() const { return rect_.height; }
    const FloatRect& Rect() const { return rect_; }
    bool Visible() const { return visible_; }
    void Show() { visible_ = true; }
    void Hide() { visible_ = false; }
    // Converts the design place (pixels at 15 twips per pixel) for a screen.
    void Scale(float twipsPerPixelX, float twipsPerPixelY);

private:
    int design_[4];
    FloatRect rect_;
    bool visible_;
};

// The skin list: entries kept sorted with letter case ignored, one selection
// or none. What it shows on screen is mirrored to the platform's list box.
class ListBox {
public:
    explicit ListBox(Window& window) : window_(window) {}
    // Adds an entry at its sorted place and returns that place.
    int AddItem(const std::string& text);
    int ListCount() const { return static_cast<int>(items_.size()); }
    const std::string& List(int index) const { return items_.at(static_cast<size_t>(index)); }
    int ListIndex() const { return listIndex_; }
    // Sets the selection; returns whether it changed.
    bool SetListIndex(int index);
    const std::string& Text() const { return List(listIndex_); }
    bool Visible() const { return visible_; }
    void Show();
    void Hide();
    void Move(int left, int top, int width, int height);
    const PixelRect& Bounds() const { return bounds_; }
    // Hands the entries to the platform's list box (after filling).
    void Publish();

private:
    Window& window_;
    std::vector<std::string> items_;
    int listIndex_ = -1;
    bool visible_ = false;
    PixelRect bounds_{301, 23, 227, 67};
};

// The hidden directory lister: the sub-folders of one folder, each by its
// full path.
class DirList {
public:
    explicit DirList(Platform& platform) : platform_(platform) {}
    // Lists the folder's sub-folders. Throws PathNotFound.
    void SetPath(const std::string& path);
    int ListCount() const { return static_cast<int>(names_.size()); }
    std::string List(int index) const;

private:
    Platform& platform_;
    std::string path_;
    std::vector<std::string> names_;
};

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
    void Form_KeyDown(int keyCode, int shift);
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
    void KeyDown(int virtualKey, int shift) override;
    void KeyUp(int virtualKey, int shift) override;
    void ListSelect(int index) override;
    void ListDoubleClick() override;
    void CloseRequested() override;

    // The visible hot spot that a press at x, y reaches, or nullptr for the
    // background (the list, when shown, is not a hot spot: see Routing.cpp).
    HotSpot* HitTest(float x, float y);

private:
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
    float twipsPerPixelX_;
    float twipsPerPixelY_;
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

}  // namespace snickit

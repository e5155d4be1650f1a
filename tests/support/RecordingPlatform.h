// A platform for tests: it keeps what the user would see (window picture,
// rectangles copied onto it, the list, the window's place) and an ordered
// log of effects, with real files in a temporary program folder. Input is a
// script of steps, delivered when the program dispatches events; an Idle step
// marks "nothing more waits until time passes", which ends a dispatch pass.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace snickit {
class Form_Main;
}

namespace snickit::test {

class RecordingPicture : public Picture {
public:
    RecordingPicture(std::string name, int width, int height) : name_(std::move(name)), width_(width), height_(height) {}
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    std::uint32_t PixelAt(int, int) const override { return 0; }  // only headers are read
    const std::string& name() const { return name_; }

private:
    std::string name_;
    int width_, height_;
};

// Thrown by WaitEvent when the script has run out while the program still
// runs: the test then looks at the state the program was left in.
struct ScriptEnded {};

class RecordingPlatform : public Platform, public Window {
public:
    explicit RecordingPlatform(std::string programFolder, float twipsPerPixel = 15.0f);

    // --- The script --------------------------------------------------------
    void Press(int x, int y, MouseButton button = MouseButton::Left);
    void Release(int x, int y, MouseButton button = MouseButton::Left);
    // A press and a release that arrive together.
    void Click(int x, int y, MouseButton button = MouseButton::Left);
    void KeyDown(int virtualKey, int shift = 0);
    void KeyUp(int virtualKey, int shift = 0);
    void SelectInList(int index);
    void DoubleClickList();
    void CloseFromOutside();
    // The window is covered and uncovered: repainted from its picture.
    void Expose();
    // The window is restored from the task bar.
    void Restore();
    // Nothing more waits: a dispatch pass ends here, the next wait passes it.
    void Idle();
    // Runs when the program reaches this point of the script.
    void Then(std::function<void()> check);
    // Where the next interactive move leaves the window (screen pixels).
    void MoveDestination(int x, int y);
    void SetOpenUrlResult(bool ok) { openUrlResult_ = ok; }

    // Runs the program until it ends (its status) or the script runs out
    // (kStillRunning).
    static constexpr int kStillRunning = -1000;
    int Run(Form_Main& form);

    // --- What the user sees --------------------------------------------------
    // Name of the picture shown at a window pixel (a copied rectangle over the
    // window picture), relative to the program folder; "" for none.
    std::string ShownAt(int x, int y) const;
    std::string WindowPicture() const { return windowPicture_; }
    bool shown() const { return shown_; }
    bool minimized() const { return minimized_; }
    int x() const { return x_; }
    int y() const { return y_; }
    int width() const { return width_; }
    int height() const { return height_; }
    bool listVisible() const { return listVisible_; }
    const PixelRect& listBounds() const { return listBounds_; }
    const std::vector<std::string>& listItems() const { return listItems_; }
    int listSelection() const { return listSelection_; }
    const std::string& fatalMessage() const { return fatalMessage_; }
    // Effects in order: "load <file>", "picture <file>", "copy <file> l,t,w,h",
    // "sound <file>" (the bytes last read), "sound default", "write <file>", "move <button>", "minimize", "show",
    // "position x,y", "open <url>", "list shown", "list hidden", "fatal <text>".
    std::vector<std::string> log;
    // The log entries that start with a prefix.
    std::vector<std::string> Effects(const std::string& prefix) const;
    // How many dispatch passes ran, and how many waits blocked.
    int dispatchPasses = 0;
    int waits = 0;

    // --- Platform ------------------------------------------------------------
    Window& MainWindow() override { return *this; }
    float TwipsPerPixelX() const override { return twipsPerPixel_; }
    float TwipsPerPixelY() const override { return twipsPerPixel_; }
    std::string ProgramFolder() const override { return programFolder_; }
    std::string ReadTextFile(const std::string& path) override;
    void WriteTextFileAtomic(const std::string& path, const std::string& content) override;
    std::vector<std::string> ListSubfolders(const std::string& path) override;
    int CompareNames(const std::string& a, const std::string& b) const override;
    PictureRef LoadPicture(const std::string& path) override;
    PictureRef BuiltinAboutPicture() override;
    std::optional<std::vector<unsigned char>> ReadBinaryFile(const std::string& path, std::size_t maxBytes) override;
    void PlayWave(std::shared_ptr<const std::vector<unsigned char>> wave) override;
    void PlayDefaultSound() override;
    bool OpenUrl(const std::string& url) override;
    void ShowFatalError(const std::string& message, bool messageBox) override;

    // --- Window ----------------------------------------------------------------
    void SetInputSink(InputSink* sink) override { sink_ = sink; }
    void SetPosition(int x, int y) override;
    void GetPosition(int& x, int& y) const override { x = x_, y = y_; }
    void SetSize(int width, int height) override { width_ = width, height_ = height; }
    void Show() override;
    void Minimize() override;
    bool IsMinimized() const override { return minimized_; }
    void SetPicture(PictureRef picture) override;
    void CopyFromPicture(const PictureRef& source, const PixelRect& rect) override;
    void DispatchPending() override;
    void WaitEvent() override;
    void InteractiveMove(MouseButton button) override;
    void ListSetItems(const std::vector<std::string>& items) override { listItems_ = items; }
    void ListSetSelection(int index) override { listSelection_ = index; }
    void ListSetBounds(const PixelRect& rect) override { listBounds_ = rect; }
    void ListSetVisible(bool visible) override;

private:
    struct Step {
        bool idle = false;
        std::function<void()> run;
    };
    void Push(std::function<void()> run);
    std::string Relative(const std::string& path) const;
    static std::string NameOf(const PictureRef& picture);

    std::string programFolder_;
    float twipsPerPixel_;
    InputSink* sink_ = nullptr;
    std::deque<Step> script_;
    bool openUrlResult_ = true;
    int moveX_ = 0, moveY_ = 0;
    bool moveSet_ = false;

    PictureRef windowPictureRef_;
    std::string windowPicture_;
    struct Overlay {
        PixelRect rect;
        std::string name;
    };
    std::vector<Overlay> overlays_;
    bool shown_ = false;
    bool minimized_ = false;
    int x_ = 0, y_ = 0, width_ = 0, height_ = 0;
    bool listVisible_ = false;
    PixelRect listBounds_{0, 0, 0, 0};
    std::vector<std::string> listItems_;
    int listSelection_ = -1;
    std::string fatalMessage_;
    std::string lastRead_;
};

// The names of the visible hot spots, from the top of the stacking order.
std::vector<std::string> VisibleHotSpots(Form_Main& form);

}  // namespace snickit::test

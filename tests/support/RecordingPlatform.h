// A platform for tests: real files in a temporary program folder, and an
// ordered log of what the user would see and hear. Input is a script of
// steps, delivered when the program dispatches events; an empty step means
// "nothing more waits until time passes" and ends a dispatch pass.
#pragma once

#include <algorithm>
#include <deque>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/NativeFilesPlatform.h"
#include "shell/FormMain.h"
#include "skin/BitmapCheck.h"

namespace snickit::test {

// A picture made of a skin's file is named by the file's path below the
// program folder (the program's own loader reads and decodes the file).
// Other tests give pictures their own size and pixels.
struct RecordingPicture : Picture {
    RecordingPicture(std::string n, int w = 240, int h = 95, std::function<std::uint32_t(int, int)> p = nullptr)
        : name(std::move(n)), width(w), height(h), pixels(std::move(p)) {}
    int Width() const override { return width; }
    int Height() const override { return height; }
    std::uint32_t PixelAt(int x, int y) const override { return pixels ? pixels(x, y) : 0; }
    std::string name;
    int width, height;
    std::function<std::uint32_t(int, int)> pixels;
};

inline std::string Pair(int a, int b) { return std::to_string(a) + "," + std::to_string(b); }

// Thrown when the script has run out while the program still waits.
struct ScriptEnded {};

class RecordingPlatform : public native::NativeFilesPlatform, public Window {
public:
    RecordingPlatform(std::string programFolder, int dotsPerInch) : folder_(std::move(programFolder)), dpi_(dotsPerInch) {}

    std::deque<std::function<void()>> script;
    InputSink* sink = nullptr;
    // Effects in order: "load <file>", "picture <file>", "copy <file> l,t,w,h",
    // "sound <file>", "sound default", "write <file>", "move <button>", "minimize", "show",
    // "size w,h", "position x,y", "items a,b", "open <url>", "list shown",
    // "list hidden", "fatal <text>"; files relative to the program folder.
    std::vector<std::string> log;
    std::string picture, fatal;
    bool shown = false, listVisible = false, failWrites = false;
    int x = 0, y = 0, listSelection = -1, scale = 0;
    // The monitors' usable areas, and the user's settings folder.
    std::vector<PixelRect> monitors{{0, 0, 1920, 1080}};
    std::string userFolder;
    PixelRect listBounds{};

    // --- Platform ---
    Window& MainWindow() override { return *this; }
    int DotsPerInch() const override { return dpi_; }
    std::vector<PixelRect> UsableAreas() const override { return monitors; }
    std::string UserSettingsFolder() const override { return userFolder; }
    std::string ProgramFolder() const override { return folder_; }
    // As a Linux folder may hold, a skins folder also holds one named with a
    // backslash: no skin, as config.sn could not name it.
    std::vector<std::string> ListSubfolders(const std::string& path) override {
        std::vector<std::string> names = native::ListSubfolders(path);
        if (path.ends_with("\\skins\\")) names.insert(names.begin(), "a\\b");
        return names;
    }
    void WriteTextFileAtomic(const std::string& path, const std::string& content) override {
        log.push_back("write " + Relative(path));
        if (failWrites) throw Failure(FailureKind::CannotWrite, path);
        native::WriteTextFileAtomic(path, content);
    }
    PictureRef BuiltinAboutPicture() override { return std::make_shared<RecordingPicture>("about"); }
    // A read within the picture bound is the loading of a skin's picture.
    BinaryFile ReadBinaryFile(const std::string& path, std::size_t max) override {
        lastRead_ = Relative(path);
        if (max == kMaxBitmapFileBytes) log.push_back("load " + lastRead_);
        return NativeFilesPlatform::ReadBinaryFile(path, max);
    }
    // A picture is named by the file last read: the program shows what it read.
    PictureRef MakePicture(const PicturePixels&) override { return std::make_shared<RecordingPicture>(lastRead_); }
    // A sound is named by the file last read: the program plays what it read.
    void PlayWave(std::shared_ptr<const std::vector<unsigned char>>) override { log.push_back("sound " + lastRead_); }
    void PlayDefaultSound() override { log.push_back("sound default"); }
    bool OpenUrl(const std::string& url) override { return log.push_back("open " + url), false; }
    void ShowFatalError(const std::string& message, bool) override { log.push_back("fatal " + (fatal = message)); }

    // --- Window ---
    void SetInputSink(InputSink* s) override { sink = s; }
    void SetScale(int s) override { scale = s; }
    void SetPosition(int px, int py) override { x = px, y = py, log.push_back("position " + Pair(px, py)); }
    void GetPosition(int& px, int& py) const override { px = x, py = y; }
    void SetSize(int w, int h) override { log.push_back("size " + Design(w) + "," + Design(h)); }
    void Show() override { shown = true, log.push_back("show"); }
    void Minimize() override { log.push_back("minimize"); }
    bool IsMinimized() const override { return false; }
    void SetPicture(PictureRef p) override { log.push_back("picture " + (picture = NameOf(p))); }
    void CopyFromPicture(const PictureRef& s, const PixelRect& r) override {
        log.push_back("copy " + NameOf(s) + " " + Design(r.left) + "," + Design(r.top) + "," + Design(r.width) + "," + Design(r.height));
    }
    void DispatchPending() override {
        // A wait that polls instead of blocking never gets past an empty step.
        if (++passesWithoutWait_ > 1000) throw std::logic_error("events dispatched in a busy loop");
        while (!script.empty() && script.front()) {
            auto step = std::move(script.front());
            script.pop_front();
            step();
        }
    }
    void WaitEvent() override {
        passesWithoutWait_ = 0;
        while (!script.empty() && !script.front()) script.pop_front();
        if (script.empty()) throw ScriptEnded{};
    }
    // The user drags the window 210 pixels left and 633 down.
    void InteractiveMove(MouseButton b) override { x -= 210, y += 633, log.push_back("move " + std::to_string(int(b))); }
    void ListSetItems(const std::vector<std::string>& items) override {
        log.push_back("items");
        for (const std::string& item : items) log.back() += (&item == &items[0] ? " " : ",") + item;
    }
    void ListSetSelection(int index) override { listSelection = index; }
    void ListSetBounds(const PixelRect& rect) override { listBounds = rect; }
    void ListSetVisible(bool visible) override {
        if (visible != listVisible) log.push_back(visible ? "list shown" : "list hidden");
        listVisible = visible;
    }

private:
    std::string Relative(const std::string& path) const {
        return path.compare(0, folder_.size(), folder_) == 0 ? path.substr(folder_.size()) : path;
    }
    // A window measure in design pixels: "~" and the measure when it is no
    // whole multiple of the scale.
    std::string Design(int v) const {
        const int k = std::max(scale, 1);
        return v % k ? std::string("~").append(std::to_string(v)) : std::to_string(v / k);
    }
    static std::string NameOf(const PictureRef& p) { return p ? static_cast<const RecordingPicture&>(*p).name : ""; }

    std::string folder_;
    int dpi_;
    int passesWithoutWait_ = 0;
    std::string lastRead_;
};

}  // namespace snickit::test

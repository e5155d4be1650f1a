// A platform for tests: real files in a temporary program folder, and an
// ordered log of what the user would see and hear. Input is a script of
// steps, delivered when the program dispatches events; an empty step means
// "nothing more waits until time passes" and ends a dispatch pass.
#pragma once

#include <deque>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/NativeBinaryFile.h"
#include "platform/NativeFiles.h"
#include "platform/NativeNames.h"
#include "platform/Platform.h"
#include "shell/FormMain.h"

namespace snickit::test {

// A picture file is one whose content starts with "BM"; it is named by its
// path below the program folder.
struct RecordingPicture : Picture {
    explicit RecordingPicture(std::string n) : name(std::move(n)) {}
    int Width() const override { return 240; }
    int Height() const override { return 95; }
    std::uint32_t PixelAt(int, int) const override { return 0; }  // only names are compared
    std::string name;
};

// Thrown when the script has run out while the program still waits.
struct ScriptEnded {};

class RecordingPlatform : public Platform, public Window {
public:
    RecordingPlatform(std::string programFolder, float twipsPerPixelX, float twipsPerPixelY)
        : folder_(std::move(programFolder)), tx_(twipsPerPixelX), ty_(twipsPerPixelY) {}

    // Runs the program until it ends (its status) or the script runs out.
    static constexpr int kStillRunning = -1000;
    int Run(Form_Main& form) {
        try {
            return form.Run();
        } catch (const ScriptEnded&) {
            return kStillRunning;
        }
    }

    std::deque<std::function<void()>> script;
    InputSink* sink = nullptr;
    // Effects in order: "load <file>", "picture <file>", "copy <file> l,t,w,h",
    // "sound <file>", "sound default", "write <file>", "move <button>", "minimize", "show",
    // "size w,h", "position x,y", "items a,b", "open <url>", "list shown",
    // "list hidden", "fatal <text>"; files relative to the program folder.
    std::vector<std::string> log;
    std::string picture, fatal;
    bool shown = false, listVisible = false, failWrites = false;
    int x = 0, y = 0, listSelection = -1;
    PixelRect listBounds{};

    // --- Platform ---
    Window& MainWindow() override { return *this; }
    float TwipsPerPixelX() const override { return tx_; }
    float TwipsPerPixelY() const override { return ty_; }
    std::string ProgramFolder() const override { return folder_; }
    std::string ReadTextFile(const std::string& path) override { return native::ReadTextFile(path); }
    std::vector<std::string> ListSubfolders(const std::string& path) override { return native::ListSubfolders(path); }
    int CompareNames(const std::string& a, const std::string& b) const override { return native::CompareNames(a, b); }
    void WriteTextFileAtomic(const std::string& path, const std::string& content) override {
        Log("write " + Relative(path));
        if (failWrites) throw Failure(FailureKind::CannotWrite, path);
        native::WriteTextFileAtomic(path, content);
    }
    PictureRef LoadPicture(const std::string& path) override {
        Log("load " + Relative(path));
        if (native::ReadTextFile(path).rfind("BM", 0) != 0) throw Failure(FailureKind::BadPicture, path);
        return std::make_shared<RecordingPicture>(Relative(path));
    }
    PictureRef BuiltinAboutPicture() override { return std::make_shared<RecordingPicture>("about"); }
    std::optional<std::vector<unsigned char>> ReadBinaryFile(const std::string& path, std::size_t max) override {
        lastRead_ = Relative(path);
        return native::ReadBinaryFile(path, max);
    }
    // A sound is named by the file last read: the program plays what it read.
    void PlayWave(std::shared_ptr<const std::vector<unsigned char>>) override { Log("sound " + lastRead_); }
    void PlayDefaultSound() override { Log("sound default"); }
    bool OpenUrl(const std::string& url) override { return Log("open " + url), false; }
    void ShowFatalError(const std::string& message, bool) override { Log("fatal " + (fatal = message)); }

    // --- Window ---
    void SetInputSink(InputSink* s) override { sink = s; }
    void SetPosition(int px, int py) override { x = px, y = py, Log("position " + Pair(px, py)); }
    void GetPosition(int& px, int& py) const override { px = x, py = y; }
    void SetSize(int w, int h) override { Log("size " + Pair(w, h)); }
    void Show() override { shown = true, Log("show"); }
    void Minimize() override { Log("minimize"); }
    bool IsMinimized() const override { return false; }
    void SetPicture(PictureRef p) override { Log("picture " + (picture = NameOf(p))); }
    void CopyFromPicture(const PictureRef& s, const PixelRect& r) override {
        Log("copy " + NameOf(s) + " " + Pair(r.left, r.top) + "," + Pair(r.width, r.height));
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
    void InteractiveMove(MouseButton b) override { x -= 210, y += 633, Log("move " + std::to_string(int(b))); }
    void ListSetItems(const std::vector<std::string>& items) override {
        std::string joined;
        for (const std::string& item : items) joined += (joined.empty() ? "" : ",") + item;
        Log("items " + joined);
    }
    void ListSetSelection(int index) override { listSelection = index; }
    void ListSetBounds(const PixelRect& rect) override { listBounds = rect; }
    void ListSetVisible(bool visible) override {
        if (visible != listVisible) Log(visible ? "list shown" : "list hidden");
        listVisible = visible;
    }

private:
    void Log(const std::string& entry) { log.push_back(entry); }
    static std::string Pair(int a, int b) { return std::to_string(a) + "," + std::to_string(b); }
    std::string Relative(const std::string& path) const {
        return path.compare(0, folder_.size(), folder_) == 0 ? path.substr(folder_.size()) : path;
    }
    static std::string NameOf(const PictureRef& picture) {
        auto* recorded = dynamic_cast<const RecordingPicture*>(picture.get());
        return recorded ? recorded->name : "";
    }

    std::string folder_;
    float tx_, ty_;
    int passesWithoutWait_ = 0;
    std::string lastRead_;
};

}  // namespace snickit::test

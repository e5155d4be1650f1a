#include "tests/support/RecordingPlatform.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/NativeBinaryFile.h"
#include "platform/NativeFiles.h"
#include "platform/NativeNames.h"
#include "shell/FormMain.h"

namespace snickit::test {

RecordingPlatform::RecordingPlatform(std::string programFolder, float twipsPerPixel)
    : programFolder_(std::move(programFolder)), twipsPerPixel_(twipsPerPixel) {}

// --- Script -----------------------------------------------------------------

void RecordingPlatform::Push(std::function<void()> run) {
    script_.push_back(Step{false, std::move(run)});
}

void RecordingPlatform::Press(int x, int y, MouseButton button) {
    Push([=, this] { sink_->MouseDown(button, x, y); });
}

void RecordingPlatform::Release(int x, int y, MouseButton button) {
    Push([=, this] { sink_->MouseUp(button, x, y); });
}

void RecordingPlatform::Click(int x, int y, MouseButton button) {
    Press(x, y, button);
    Release(x, y, button);
}

void RecordingPlatform::KeyDown(int virtualKey, int shift) {
    Push([=, this] { sink_->KeyDown(virtualKey, shift); });
}

void RecordingPlatform::KeyUp(int virtualKey, int shift) {
    Push([=, this] { sink_->KeyUp(virtualKey, shift); });
}

void RecordingPlatform::SelectInList(int index) {
    Push([=, this] {
        listSelection_ = index;
        sink_->ListSelect(index);
    });
}

void RecordingPlatform::DoubleClickList() {
    Push([this] { sink_->ListDoubleClick(); });
}

void RecordingPlatform::CloseFromOutside() {
    Push([this] { sink_->CloseRequested(); });
}

void RecordingPlatform::Expose() {
    Push([this] { overlays_.clear(); });
}

void RecordingPlatform::Restore() {
    Push([this] {
        minimized_ = false;
        overlays_.clear();
    });
}

void RecordingPlatform::Idle() {
    script_.push_back(Step{true, nullptr});
}

void RecordingPlatform::Then(std::function<void()> check) {
    Push(std::move(check));
}

void RecordingPlatform::MoveDestination(int x, int y) {
    moveX_ = x;
    moveY_ = y;
    moveSet_ = true;
}

int RecordingPlatform::Run(Form_Main& form) {
    try {
        return form.Run();
    } catch (const ScriptEnded&) {
        return kStillRunning;
    }
}

// --- Events -----------------------------------------------------------------

void RecordingPlatform::DispatchPending() {
    ++dispatchPasses;
    while (!script_.empty() && !script_.front().idle) {
        Step step = std::move(script_.front());
        script_.pop_front();
        step.run();
    }
}

void RecordingPlatform::WaitEvent() {
    ++waits;
    if (script_.empty()) throw ScriptEnded{};
    while (!script_.empty() && script_.front().idle) script_.pop_front();
    if (script_.empty()) throw ScriptEnded{};
}

void RecordingPlatform::InteractiveMove(MouseButton button) {
    log.push_back("move " + std::to_string(static_cast<int>(button)));
    if (moveSet_) {
        x_ = moveX_;
        y_ = moveY_;
        moveSet_ = false;
    }
}

// --- What is shown ------------------------------------------------------------

std::string RecordingPlatform::NameOf(const PictureRef& picture) {
    auto* recorded = dynamic_cast<const RecordingPicture*>(picture.get());
    return recorded == nullptr ? "" : recorded->name();
}

std::string RecordingPlatform::ShownAt(int x, int y) const {
    for (auto it = overlays_.rbegin(); it != overlays_.rend(); ++it) {
        const PixelRect& r = it->rect;
        if (x >= r.left && x < r.left + r.width && y >= r.top && y < r.top + r.height) return it->name;
    }
    return windowPicture_;
}

std::vector<std::string> RecordingPlatform::Effects(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const std::string& entry : log) {
        if (entry.compare(0, prefix.size(), prefix) == 0) found.push_back(entry);
    }
    return found;
}

void RecordingPlatform::SetPosition(int x, int y) {
    x_ = x;
    y_ = y;
    log.push_back("position " + std::to_string(x) + "," + std::to_string(y));
}

void RecordingPlatform::Show() {
    shown_ = true;
    log.push_back("show");
}

void RecordingPlatform::Minimize() {
    minimized_ = true;
    log.push_back("minimize");
}

void RecordingPlatform::SetPicture(PictureRef picture) {
    windowPictureRef_ = std::move(picture);
    windowPicture_ = NameOf(windowPictureRef_);
    overlays_.clear();
    log.push_back("picture " + windowPicture_);
}

void RecordingPlatform::CopyFromPicture(const PictureRef& source, const PixelRect& r) {
    std::string name = NameOf(source);
    log.push_back("copy " + name + " " + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
                  std::to_string(r.width) + "," + std::to_string(r.height));
    if (source) overlays_.push_back(Overlay{r, name});
}

void RecordingPlatform::ListSetVisible(bool visible) {
    if (visible != listVisible_) log.push_back(visible ? "list shown" : "list hidden");
    listVisible_ = visible;
}

// --- Files, pictures, sound -------------------------------------------------------

std::string RecordingPlatform::Relative(const std::string& path) const {
    if (path.compare(0, programFolder_.size(), programFolder_) == 0) return path.substr(programFolder_.size());
    return path;
}

std::string RecordingPlatform::ReadTextFile(const std::string& path) {
    return native::ReadTextFile(path);
}

void RecordingPlatform::WriteTextFileAtomic(const std::string& path, const std::string& content) {
    log.push_back("write " + Relative(path));
    native::WriteTextFileAtomic(path, content);
}

std::vector<std::string> RecordingPlatform::ListSubfolders(const std::string& path) {
    return native::ListSubfolders(path);
}

PictureRef RecordingPlatform::LoadPicture(const std::string& path) {
    log.push_back("load " + Relative(path));
    // Bitmaps are bytes: read them as they are, not as text.
    std::ifstream in(std::filesystem::u8path(native::NativePath(path)), std::ios::binary);
    if (!in) throw Failure(native::MissingKind(path), path);
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (content.size() < 26 || content[0] != 'B' || content[1] != 'M') throw Failure(FailureKind::BadPicture, path);
    auto get32 = [&](size_t at) {
        unsigned value = 0;
        for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(content[at + i]);
        return static_cast<int>(value);
    };
    return std::make_shared<RecordingPicture>(Relative(path), get32(18), get32(22));
}

PictureRef RecordingPlatform::BuiltinAboutPicture() {
    return std::make_shared<RecordingPicture>("about", 240, 95);
}

std::optional<std::vector<unsigned char>> RecordingPlatform::ReadBinaryFile(const std::string& path,
                                                                           std::size_t maxBytes) {
    lastRead_ = Relative(path);
    return native::ReadBinaryFile(path, maxBytes);
}

void RecordingPlatform::PlayWave(std::shared_ptr<const std::vector<unsigned char>>) {
    log.push_back("sound " + lastRead_);
}

void RecordingPlatform::PlayDefaultSound() { log.push_back("sound default"); }

bool RecordingPlatform::OpenUrl(const std::string& url) {
    log.push_back("open " + url);
    return openUrlResult_;
}

int RecordingPlatform::CompareNames(const std::string& a, const std::string& b) const {
    return native::CompareNames(a, b);
}

void RecordingPlatform::ShowFatalError(const std::string& message, bool /*messageBox*/) {
    fatalMessage_ = message;
    log.push_back("fatal " + message);
}

std::vector<std::string> VisibleHotSpots(Form_Main& form) {
    std::vector<std::pair<const char*, HotSpot*>> spots = {
        {"command_Ok", &form.command_Ok},       {"Image_Net", &form.Image_Net},
        {"Image_quit(1)", &form.Image_quit[1]}, {"Image_About", &form.Image_About},
        {"Image_skin", &form.Image_skin},       {"Image_Menu", &form.Image_Menu},
        {"Image_BTN(3)", &form.Image_BTN[3]},   {"Image_BTN(2)", &form.Image_BTN[2]},
        {"Image_BTN(1)", &form.Image_BTN[1]},   {"Image_BTN(0)", &form.Image_BTN[0]},
        {"Image_quit(0)", &form.Image_quit[0]}, {"Image_Min", &form.Image_Min},
    };
    std::vector<std::string> names;
    for (auto& [name, spot] : spots) {
        if (spot->Visible()) names.push_back(name);
    }
    return names;
}

}  // namespace snickit::test

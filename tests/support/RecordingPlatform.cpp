#include "tests/support/RecordingPlatform.h"

#include <stdexcept>

#include "platform/NativeFiles.h"
#include "shell/FormMain.h"

namespace snickit::test {

int RecordingPlatform::Run(Form_Main& form) {
    try {
        return form.Run();
    } catch (const ScriptEnded&) {
        return kStillRunning;
    }
}

void RecordingPlatform::DispatchPending() {
    // A wait that polls instead of blocking never gets past an idle step.
    if (++passesWithoutWait_ > 1000) throw std::logic_error("events dispatched in a busy loop");
    while (!script.empty() && script.front()) {
        auto step = std::move(script.front());
        script.pop_front();
        step();
    }
}

void RecordingPlatform::WaitEvent() {
    passesWithoutWait_ = 0;
    while (!script.empty() && !script.front()) script.pop_front();
    if (script.empty()) throw ScriptEnded{};
}

void RecordingPlatform::SetPosition(int px, int py) {
    x = px, y = py;
    Log("position " + std::to_string(px) + "," + std::to_string(py));
}

void RecordingPlatform::InteractiveMove(MouseButton button) {
    Log("move " + std::to_string(static_cast<int>(button)));
    x -= 210, y += 633;
}

void RecordingPlatform::CopyFromPicture(const PictureRef& source, const PixelRect& r) {
    Log("copy " + NameOf(source) + " " + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
        std::to_string(r.width) + "," + std::to_string(r.height));
}

void RecordingPlatform::ListSetItems(const std::vector<std::string>& items) {
    std::string joined;
    for (const std::string& item : items) joined += (joined.empty() ? "" : ",") + item;
    Log("items " + joined);
}

void RecordingPlatform::ListSetVisible(bool visible) {
    if (visible != listVisible) Log(visible ? "list shown" : "list hidden");
    listVisible = visible;
}

std::string RecordingPlatform::Relative(const std::string& path) const {
    return path.compare(0, folder_.size(), folder_) == 0 ? path.substr(folder_.size()) : path;
}

std::string RecordingPlatform::NameOf(const PictureRef& picture) {
    auto* recorded = dynamic_cast<const RecordingPicture*>(picture.get());
    return recorded ? recorded->name : "";
}

std::string RecordingPlatform::ReadTextFile(const std::string& path) { return native::ReadTextFile(path); }

std::vector<std::string> RecordingPlatform::ListSubfolders(const std::string& path) {
    return native::ListSubfolders(path);
}

void RecordingPlatform::WriteTextFileAtomic(const std::string& path, const std::string& content) {
    Log("write " + Relative(path));
    if (failWrites) throw Failure(FailureKind::CannotWrite, path);
    native::WriteTextFileAtomic(path, content);
}

PictureRef RecordingPlatform::LoadPicture(const std::string& path) {
    Log("load " + Relative(path));
    if (native::ReadTextFile(path).rfind("BM", 0) != 0) throw Failure(FailureKind::BadPicture, path);
    return std::make_shared<RecordingPicture>(Relative(path));
}

}  // namespace snickit::test

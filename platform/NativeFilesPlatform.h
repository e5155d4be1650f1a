// The file services and name order every platform takes from its system's
// native implementation (platform/NativeFiles.h, NativeNames.h,
// NativeBinaryFile.h), said once for the SDL and Win32 backends and the
// tests' recording platform. A backend adds its window, pictures, sound and
// messages.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/NativeBinaryFile.h"
#include "platform/NativeFiles.h"
#include "platform/NativeNames.h"
#include "platform/Platform.h"

namespace snickit::native {

// A file's bytes within `maxBytes`, or why there are none: the missing kind
// (MissingKind) when nothing is there, CannotRead otherwise.
inline BinaryFile ReadFileBytes(const std::string& programPath, std::size_t maxBytes) {
    bool missing = false;
    std::optional<std::vector<unsigned char>> bytes = ReadBinaryFile(programPath, maxBytes, &missing);
    if (bytes) return {std::move(*bytes), std::nullopt};
    return {{}, missing ? MissingKind(programPath) : FailureKind::CannotRead};
}

class NativeFilesPlatform : public Platform {
public:
    std::string ProgramFolder() const override { return ExecutableFolder(); }
    std::string ReadTextFile(const std::string& path) override { return native::ReadTextFile(path); }
    void WriteTextFileAtomic(const std::string& path, const std::string& content) override {
        native::WriteTextFileAtomic(path, content);
    }
    bool CanReplaceFile(const std::string& path) override { return native::CanReplaceFile(path); }
    std::string UserSettingsFolder() const override { return native::UserSettingsFolder(); }
    void MakeFolders(const std::string& path) override { native::MakeFolders(path); }
    std::vector<std::string> ListSubfolders(const std::string& path) override { return native::ListSubfolders(path); }
    int CompareNames(const std::string& a, const std::string& b) const override { return native::CompareNames(a, b); }
    void SortNames(std::vector<std::string>& names) const override { native::SortNames(names); }
    BinaryFile ReadBinaryFile(const std::string& path, std::size_t maxBytes) override {
        return ReadFileBytes(path, maxBytes);
    }
};

}  // namespace snickit::native

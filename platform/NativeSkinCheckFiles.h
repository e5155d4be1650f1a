// The skin checker's files on either system: the program's own file
// services, so that a skin's files are read exactly as Snickit reads them.
// Each system's checker adds its picture loader and its file writer.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/NativeBinaryFile.h"
#include "platform/NativeFiles.h"
#include "skin/SkinCheck.h"

namespace snickit::native {

class SkinCheckFiles : public SkinCheckHost {
public:
    std::string ProgramFolder() const override { return ExecutableFolder(); }
    std::vector<std::string> ListSubfolders(const std::string& path) override { return native::ListSubfolders(path); }
    std::string DisplayPath(const std::string& path) const override { return NativePath(path); }

    // Only a regular file, never more than the limit (a larger one reads as
    // unreadable), as the program reads a skin's pictures and sounds.
    std::vector<unsigned char> ReadFile(const std::string& path, std::size_t limit) override {
        bool missing = false;
        std::optional<std::vector<unsigned char>> bytes = ReadBinaryFile(path, limit, &missing);
        if (!bytes) throw Failure(missing ? MissingKind(path) : FailureKind::CannotRead, path);
        return std::move(*bytes);
    }
};

}  // namespace snickit::native

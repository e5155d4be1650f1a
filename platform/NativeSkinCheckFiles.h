// The skin checker's files on either system: the program's own file
// services, so that a skin's files are read exactly as Snickit reads them.
// Each system's checker adds its picture maker and its file writer.
#pragma once

#include <string>
#include <vector>

#include "platform/NativeFilesPlatform.h"
#include "skin/SkinCheck.h"

namespace snickit::native {

class SkinCheckFiles : public SkinCheckHost {
public:
    std::string ProgramFolder() const override { return ExecutableFolder(); }
    std::vector<std::string> ListSubfolders(const std::string& path) override { return native::ListSubfolders(path); }
    std::string DisplayPath(const std::string& path) const override { return NativePath(path); }

    // Only a regular file, never more than the limit, as the program reads
    // a skin's pictures and sounds.
    BinaryFile ReadBinaryFile(const std::string& path, std::size_t maxBytes) override {
        return ReadFileBytes(path, maxBytes);
    }
};

}  // namespace snickit::native

// A skin's picture on either system: the file read once within the picture
// bound, its headers checked and its window-sized top-left part decoded
// (skin/BitmapCheck.h), the file let go, and only then the system's picture
// made from those pixels. No system decoder sees a skin's file.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/NativeBinaryFile.h"
#include "platform/NativeFiles.h"
#include "skin/BitmapCheck.h"

namespace snickit::native {

// `make(pixels)` makes the picture from the kept part, or gives null.
// Throws the kind of a missing file, else BadPicture.
template <class Make>
PictureRef LoadCheckedPicture(const std::string& programPath, Make make) {
    BitmapPixels kept;
    bool decoded = false;
    {
        bool missing = false;
        std::optional<std::vector<unsigned char>> file = ReadBinaryFile(programPath, kMaxBitmapFileBytes, &missing);
        if (!file && missing) throw Failure(MissingKind(programPath), programPath);
        decoded = file && DecodeBitmap(*file, kKeptBitmapWidth, kKeptBitmapHeight, kept).ok;
    }
    PictureRef picture = decoded ? make(kept) : nullptr;
    if (!picture) throw Failure(FailureKind::BadPicture, programPath);
    return picture;
}

}  // namespace snickit::native

// A skin's picture on either system: the file read once within the picture
// bound, its headers checked, and only then decoded by the system's own
// decoder from those same bytes.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/NativeBinaryFile.h"
#include "platform/NativeFiles.h"
#include "skin/BitmapCheck.h"

namespace snickit::native {

// `decode(file, verdict)` makes the picture from a file that passed the
// check, or gives null. Throws the kind of a missing file, else BadPicture.
template <class Decode>
PictureRef LoadCheckedPicture(const std::string& programPath, Decode decode) {
    bool missing = false;
    std::optional<std::vector<unsigned char>> file = ReadBinaryFile(programPath, kMaxBitmapFileBytes, &missing);
    if (!file && missing) throw Failure(MissingKind(programPath), programPath);
    const BitmapVerdict verdict = file ? CheckBitmap(*file) : BitmapVerdict{};
    PictureRef picture = verdict.ok ? decode(*file, verdict) : nullptr;
    if (!picture) throw Failure(FailureKind::BadPicture, programPath);
    return picture;
}

}  // namespace snickit::native

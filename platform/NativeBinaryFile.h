// Reading a whole binary file safely (pictures and sounds of skins, which
// come from strangers): only a regular file, only up to a size known before
// reading, never blocking on a pipe or device. One implementation per
// system, beside the other file services (platform/NativeFiles.h).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace snickit::native {

// The whole file at a program-form path, or nothing when it is missing, not
// a regular file, larger than `maxBytes` or unreadable. A file that grows
// while it is read is taken up to `maxBytes` and refused beyond (ReadToEnd,
// platform/NativeFiles.h). `missing`, when
// given, tells whether nothing was there at all.
std::optional<std::vector<unsigned char>> ReadBinaryFile(const std::string& programPath, std::size_t maxBytes,
                                                         bool* missing = nullptr);

}  // namespace snickit::native

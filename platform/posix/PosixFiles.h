// File services for POSIX backends (Linux): program-form paths with
// backslashes become native paths, and a path component whose exact case does
// not exist is matched to the one entry that differs from it only in letter
// case, so that skins and settings move between Windows and Linux unchanged.
#pragma once

#include <string>
#include <vector>

#include "platform/Platform.h"

namespace snickit::posix {

// Turns a program-form path into a native one: backslashes become slashes,
// and each component is resolved as described above. Components that do not
// exist at all are kept as they are.
std::string NativePath(const std::string& programPath);

// What kind of "not found" a missing path is: FileNotFound when its folder
// exists, PathNotFound when a folder on the way is missing.
FailureKind MissingKind(const std::string& programPath);

// Throws FileNotFound or PathNotFound.
std::string ReadTextFile(const std::string& programPath);

// Writes a new file beside the target, fsyncs it, renames it over the target
// and fsyncs the folder. On failure the old file is left as it was, the new
// one is removed, and CannotWrite is thrown.
void WriteTextFileAtomic(const std::string& programPath, const std::string& content);

// Names of the sub-folders of a folder, hidden ones (a leading dot) left out,
// sorted by name. Throws PathNotFound.
std::vector<std::string> ListSubfolders(const std::string& programPath);

// The folder of the running executable (/proc/self/exe), no trailing slash.
std::string ExecutableFolder();

}  // namespace snickit::posix

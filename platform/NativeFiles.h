// File services of the desktop's file system, shared by a platform's backend
// and the tests. One implementation per system: platform/posix (Linux) and
// platform/win32 (Windows).
//
// Paths come in the program's own form, with backslashes. On POSIX the
// backslashes become slashes, and a path component whose exact case does not
// exist is matched to the one entry that differs from it only in letter case,
// so that skins and settings move between Windows and Linux unchanged. Text
// is UTF-8 inside the program; a system whose text files use another code
// page converts in ReadTextFile and WriteTextFileAtomic.
#pragma once

#include <string>
#include <vector>

#include "platform/Platform.h"

namespace snickit::native {

// Turns a program-form path into a native one: backslashes become slashes,
// and each component is resolved as described above. Components that do not
// exist at all are kept as they are.
std::string NativePath(const std::string& programPath);

// What kind of "not found" a missing path is: FileNotFound when its folder
// exists, PathNotFound when a folder on the way is missing.
FailureKind MissingKind(const std::string& programPath);

// Throws FileNotFound or PathNotFound.
std::string ReadTextFile(const std::string& programPath);

// Writes a new file beside the target, flushes it to disk and moves it over
// the target in one step (POSIX: fsync, rename, fsync of the folder). On failure the old file is left as it was, the new
// one is removed, and CannotWrite is thrown.
void WriteTextFileAtomic(const std::string& programPath, const std::string& content);

// Names of the sub-folders of a folder, hidden ones (a leading dot) left out.
// Throws PathNotFound.
std::vector<std::string> ListSubfolders(const std::string& programPath);

// The folder of the running executable, in program form, no trailing
// separator.
std::string ExecutableFolder();

}  // namespace snickit::native

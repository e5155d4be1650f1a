// File services of the desktop's file system, shared by a platform's backend
// and the tests. One implementation per system: platform/posix (Linux) and
// platform/win32 (Windows).
//
// Paths come in the program's own form, with backslashes. On POSIX the
// backslashes become slashes, and a path component whose exact case does not
// exist is matched to the one entry that differs from it only in letter case,
// so that skins and settings move between Windows and Linux unchanged. Text
// is UTF-8 inside the program. Windows keeps text files in the ANSI code page
// and writes UTF-8 after a byte order mark when that page lacks a character;
// a file that starts with the mark is read as UTF-8 on both systems. POSIX
// reads a file without the mark that is not UTF-8 as Windows-1252 (one that
// Snickit for Windows wrote in its code page).
#pragma once

#include <algorithm>
#include <cstddef>
#include <optional>
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

// The text of a small text file (the settings file). Throws FileNotFound or
// PathNotFound when it is missing, CannotRead when it is anything but a
// regular file of at most kMaxTextFileSize (platform/Platform.h; a FIFO, a
// device, a folder); it never blocks and never takes more than that.
std::string ReadTextFile(const std::string& programPath);

// How both systems read a whole file (ReadTextFile, ReadBinaryFile): its
// size is asked first, and a file larger than `maxBytes` is refused unread.
// It is then read to its end, however its size changed meanwhile: a file
// that grew since is taken as long as it still holds no more than
// `maxBytes`, and refused once it holds more (nothing past maxBytes + 1 is
// ever read); one that shrank is taken as it ends. `read(buffer, room)`
// gives the bytes it read, 0 at the end, below 0 on failure; nothing comes
// back after a failure.
template <class Bytes, class Read>
std::optional<Bytes> ReadToEnd(Read read, std::size_t size, std::size_t maxBytes) {
    if (size > maxBytes) return std::nullopt;
    Bytes bytes(size + 1, 0);  // a byte more, to notice a file that grew
    std::size_t got = 0;
    for (;;) {
        if (got == bytes.size()) {
            if (got > maxBytes) return std::nullopt;
            bytes.resize(got + std::min(got, maxBytes + 1 - got));
        }
        const long long n = read(bytes.data() + got, bytes.size() - got);
        if (n < 0) return std::nullopt;
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    bytes.resize(got);
    return bytes;
}

// Writes a new file under a fresh name of its own beside the target (created
// exclusively, never through a link), flushes it to disk and moves it over
// the target in one step (POSIX: fsync, rename, fsync of the folder). The
// fresh name is ".<target's name>.snickit-save-" and six letters or digits;
// the save holds that file (POSIX: flock; Windows: open, shared for its move
// only) until it has replaced the target, then removes the regular files of
// exactly that naming beside the target that no save holds: what killed
// saves left.
// - A target that is a link is written through: the link's target is
//   replaced, in its own folder.
// - The new file takes the old one's protection: POSIX its mode, owner and
//   group; Windows its attributes, owner and access list.
// - A read-only target is not replaced: CannotWrite.
// - The target is rewritten where it stands (not atomic), keeping its
//   protection, when a target this user may write cannot be replaced whole:
//   its folder takes no new file, or the new file cannot take the old one's
//   protection (another user's file: only its owner, or an administrator,
//   may give a file to someone else).
// On failure the new file is removed and CannotWrite is thrown; the old file
// is left as it was.
void WriteTextFileAtomic(const std::string& programPath, const std::string& content);

// Names of the sub-folders of a folder, hidden ones (a leading dot, the
// hidden or system attribute) left out, and on Windows names its paths
// cannot reach as they are. Throws PathNotFound.
std::vector<std::string> ListSubfolders(const std::string& programPath);

// Whether this user may replace the file: a regular file (through a link)
// with write permission for this user and at least one write bit (root
// included), on a file system that takes writes.
bool CanReplaceFile(const std::string& programPath);

// The user's own settings folder for Snickit, in program form: POSIX
// $XDG_CONFIG_HOME/snickit (an absolute $XDG_CONFIG_HOME only), else
// $HOME/.config/snickit; Windows %APPDATA%\Snickit. Empty when none is known.
std::string UserSettingsFolder();

// Makes a folder and the missing ones on its way (POSIX: mode 0700, as the
// XDG base directory rules ask). Throws CannotWrite.
void MakeFolders(const std::string& programPath);

// The folder of the running executable, in program form, no trailing
// separator.
std::string ExecutableFolder();

}  // namespace snickit::native

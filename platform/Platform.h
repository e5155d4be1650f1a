// The one narrow interface between Snickit's own logic and the desktop it
// runs on. The core includes this header only; every backend (SDL2 on Linux,
// Win32 on Windows, the recording platform of the tests) implements it.
//
// Paths: the core builds every path in the program's own form, with
// backslashes ("<program folder>\skins\Blue\box.bmp"). A backend turns such a
// path into a native one before it touches the file system.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Utf8.h"

namespace snickit {

// The largest settings file Snickit reads (64 KB), on every system.
constexpr std::size_t kMaxTextFileSize = 64 * 1024;

// ---------------------------------------------------------------------------
// Failures. Every failing file, folder, picture or program-start operation
// throws a Failure; nothing in the core catches it but the program's top
// level, which shows one message naming the kind and the file and ends the
// program with a non-zero status.
enum class FailureKind {
    FileNotFound,   // the file does not exist
    PathNotFound,   // a folder on the way does not exist
    InputPastEnd,   // a text file ended before the line that was wanted
    BadPicture,     // the file exists but is no picture that can be read
    CannotRead,     // the file exists but cannot be read
    CannotWrite,    // a file could not be written
    CannotStart,    // a program could not be started
    BadSettings,    // the file exists but is no settings file that can be read
};

class Failure : public std::runtime_error {
public:
    Failure(FailureKind kind, std::string path);
    FailureKind kind() const { return kind_; }
    const std::string& path() const { return path_; }

private:
    FailureKind kind_;
    std::string path_;
};

// The text the program shows for a failure, naming the kind and the file.
std::string DescribeFailure(FailureKind kind, const std::string& path);

// Thrown to end the program at once, from however deep in nested handlers,
// so that no further handler runs. Backends must let it pass through their
// dispatch (a backend whose dispatch runs inside OS code catches it in its
// window procedure and rethrows it once the OS call has returned).
struct ProgramExit {
    int status;
};

// ---------------------------------------------------------------------------
struct PixelRect {
    int left, top, width, height;
};

enum class MouseButton { Left = 1, Right = 2, Middle = 4 };

// A picture loaded by the platform. How it holds its pixels is the backend's
// business.
class Picture {
public:
    virtual ~Picture() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // The colour at x, y (inside the picture) as 0xRRGGBB.
    virtual std::uint32_t PixelAt(int x, int y) const = 0;
};
using PictureRef = std::shared_ptr<const Picture>;

// Pixels the core has decoded: 0x00RRGGBB words, top row first.
struct PicturePixels {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
};

// A file's bytes as a backend read them, or why there are none.
struct BinaryFile {
    std::vector<unsigned char> bytes;  // the whole file, when it was read
    // FileNotFound or PathNotFound when it is missing, CannotRead when it is
    // no regular file, too large or unreadable; nothing when it was read.
    std::optional<FailureKind> failure;
    explicit operator bool() const { return !failure; }
};

// What the core's loaders of a skin's files need of a system: the file's
// bytes, and a picture made of the pixels the core decoded from them
// (skin/BitmapCheck.h). The program's Platform and the skin checker's host
// both give them, so that both load a skin the same way.
class MediaHost {
public:
    virtual ~MediaHost() = default;
    // Whole contents of a file, bytes as they are, when it is a regular file
    // of at most `maxBytes` bytes that can be read; else why not. Checks the
    // size before reading, never blocks on a pipe, never throws.
    virtual BinaryFile ReadBinaryFile(const std::string& path, std::size_t maxBytes) = 0;
    // A picture of decoded pixels (at most the window's design size), or
    // null when the system cannot make one. Needs no display.
    virtual PictureRef MakePicture(const PicturePixels& pixels) = 0;
};

// Raw input, as a backend delivers it to the core. The core routes it to the
// handlers (hit testing, capture, clicks). Every call may run handlers that
// dispatch events again, so a backend must allow these to be re-entered.
class InputSink {
public:
    virtual ~InputSink() = default;
    // Window client coordinates in pixels.
    virtual void MouseDown(MouseButton button, int x, int y) = 0;
    virtual void MouseUp(MouseButton button, int x, int y) = 0;
    // Windows virtual-key codes (97 to 100 are keypad 1 to 4 with NumLock on).
    // An auto-repeated key arrives as a further KeyDown. Every key goes here
    // first, whichever control has the focus; KeyDown returns true when the
    // key is the program's own, and the focused list must then not use it
    // (neither to move its selection nor to search its entries).
    virtual bool KeyDown(int virtualKey) = 0;
    virtual void KeyUp(int virtualKey) = 0;
    // The user changed the list's selection (click, arrow keys): the index of
    // the newly selected entry.
    virtual void ListSelect(int index) = 0;
    // The user double-clicked the list (after the click that selected).
    virtual void ListDoubleClick() = 0;
    // The window is being closed from outside (window manager, task bar).
    virtual void CloseRequested() = 0;
    // The window now stands on a monitor of another density (Windows'
    // per-monitor densities); the core sets the new scale, size and places.
    virtual void DensityChanged(int dotsPerInch) = 0;
};

// The window and its list box, as the core sees them. Both are made hidden;
// the program gives them their sizes and places before it shows them.
class Window {
public:
    virtual ~Window() = default;
    // The core's router. Set once, before the first event is dispatched.
    // It decides where a press goes and which hot spot keeps the mouse
    // until its last button is released; a backend only holds the mouse
    // for the window while any button is down, as its window system needs.
    virtual void SetInputSink(InputSink* sink) = 0;

    // The colour (0xRRGGBB) of the window where its picture does not reach
    // (a picture smaller than the window), on every system.
    static constexpr std::uint32_t kUncoveredColour = 0x000000;
    // The skin list's background: light grey, on every system.
    static constexpr std::uint32_t kListBackground = 0xC0C0C0;

    // The list's search by typing, as the desktop's list box does it: the
    // first entry after the selection (after none: from the first entry),
    // wrapping round, whose name starts with `typed`, letter case ignored
    // (for the Latin, Greek and Cyrillic letters); -1 when no entry does.
    // `nameAt(i)` gives entry i's name in UTF-8.
    template <class NameAt>
    static int NextEntryStartingWith(int count, int selection, char32_t typed, NameAt nameAt) {
        const char32_t wanted = FoldedCase(typed);
        for (int step = 1; step <= count; ++step) {
            const int index = ((selection < 0 ? -1 : selection) + step) % count;
            if (FoldedCase(FirstCharacter(nameAt(index))) == wanted) return index;
        }
        return -1;
    }
    // The first character of UTF-8 text, 0 for none or a broken sequence.
    static char32_t FirstCharacter(std::string_view text) {
        std::size_t at = 0;
        const char32_t c = text.empty() ? 0 : utf8::Next(text, at);
        return c == utf8::kMalformed ? 0 : c;
    }
    // The small letter of a capital one (ASCII, Latin-1, Greek, Cyrillic);
    // anything else as it is.
    static constexpr char32_t FoldedCase(char32_t c) {
        if ((c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) ||
            (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) || (c >= 0x410 && c <= 0x42F)) {
            return c + 0x20;
        }
        return c >= 0x400 && c <= 0x40F ? c + 0x50 : c;
    }

    // The window's whole-number scale: each pixel of a picture is drawn as a
    // scale x scale block (never smoothed), and the list's text is drawn at
    // scale times its size. Every other place and size of this interface is
    // in window pixels, the scale already applied by the core. Set before the
    // window is shown, and again when the desktop's density changes.
    virtual void SetScale(int scale) = 0;

    // Position (outer = client; the window has no frame) in screen pixels.
    virtual void SetPosition(int x, int y) = 0;
    virtual void GetPosition(int& x, int& y) const = 0;
    virtual void SetSize(int width, int height) = 0;
    virtual void Show() = 0;
    virtual void Minimize() = 0;
    virtual bool IsMinimized() const = 0;

    // The window's background: drawn at 0,0, repainted from it whenever the
    // window needs painting. Assigning it repaints the window at once.
    virtual void SetPicture(PictureRef picture) = 0;
    // Copy a rectangle of a picture onto the window at the same place. It
    // stays there until the window is next painted from its picture. An
    // empty source (no picture loaded yet) copies nothing.
    virtual void CopyFromPicture(const PictureRef& source, const PixelRect& rect) = 0;

    // One pass over the events already waiting: each is handed to the sink
    // (and may run handlers, which may dispatch again). Returns at once when
    // nothing waits.
    virtual void DispatchPending() = 0;
    // Blocks until at least one event waits, without dispatching it. Uses no
    // CPU while it waits.
    virtual void WaitEvent() = 0;
    // The interactive move, the same for every button and on every system:
    // the window follows the pointer until `button` is released, and stays
    // where it is then. Nothing else ends or undoes the move (Esc and Return
    // do nothing special); keys and other buttons pressed meanwhile reach the
    // program after the move, in their order. The press that started the
    // move is the move's own: its release goes nowhere else. Returns when the
    // move has ended. (This is what a title bar gives, for any button; it
    // needs no window manager.)
    virtual void InteractiveMove(MouseButton button) = 0;

    // The skin list box. Entries come in the order they are shown (the core
    // keeps them sorted); the selection is an index or -1.
    virtual void ListSetItems(const std::vector<std::string>& items) = 0;
    virtual void ListSetSelection(int index) = 0;
    virtual void ListSetBounds(const PixelRect& rect) = 0;
    virtual void ListSetVisible(bool visible) = 0;
};

// Everything else the program needs of its desktop. Skin pictures are
// loaded by the core (LoadPictureFile, skin/BitmapCheck.h) through its
// MediaHost part.
class Platform : public MediaHost {
public:
    virtual ~Platform() = default;
    virtual Window& MainWindow() = 0;

    // The desktop's density as its user set it, in dots per inch (96 is the
    // standard; 192 at 200 %). The core turns it into the window's scale.
    virtual int DotsPerInch() const = 0;
    // The usable area of each monitor (without task bars and panels), in
    // screen pixels. Empty when the desktop cannot tell: no place is then
    // corrected.
    virtual std::vector<PixelRect> UsableAreas() const = 0;

    // The folder of the executable, without a trailing separator.
    virtual std::string ProgramFolder() const = 0;
    // Whole contents of a small text file (at most kMaxTextFileSize), without
    // a UTF-8 byte order mark; on Windows a file without one is read in the
    // ANSI code page, and given in UTF-8.
    // Throws FileNotFound or PathNotFound when it is missing, CannotRead
    // when it is no regular file or too big; never blocks.
    virtual std::string ReadTextFile(const std::string& path) = 0;
    // Replaces a file's contents in one step: either the whole new content
    // is there afterwards, or the old file is left as it was. A link is
    // written through, the file's mode is kept, a read-only file is a
    // failure. Throws CannotWrite (after cleaning up) on failure.
    virtual void WriteTextFileAtomic(const std::string& path, const std::string& content) = 0;
    // Whether this user may replace this file: it exists and is a regular
    // file that is not read-only to this user (root included).
    virtual bool CanReplaceFile(const std::string& path) = 0;
    // The user's own settings folder for Snickit, in program form
    // ($XDG_CONFIG_HOME/snickit, ~/.config/snickit, %APPDATA%\Snickit);
    // empty when the desktop names none.
    virtual std::string UserSettingsFolder() const = 0;
    // Makes a folder and the missing folders on its way (private to the
    // user). Throws CannotWrite.
    virtual void MakeFolders(const std::string& path) = 0;
    // Names (no path) of the visible sub-folders of a folder, in any order,
    // in UTF-8 where the system's names are. Throws PathNotFound.
    virtual std::vector<std::string> ListSubfolders(const std::string& path) = 0;
    // Compares two names as this desktop sorts names for people (its
    // locale's order, letter case ignored): below, at or above zero as `a`
    // sorts before, with or after `b`. Names that differ may compare equal.
    virtual int CompareNames(const std::string& a, const std::string& b) const = 0;
    // The skin list's order of names: CompareNames' order (`byName`), and
    // names it holds equal by their bytes, so that the order is total.
    static bool InListOrder(int byName, const std::string& a, const std::string& b) {
        return byName != 0 ? byName < 0 : a < b;
    }
    bool NameBefore(const std::string& a, const std::string& b) const {
        return InListOrder(CompareNames(a, b), a, b);
    }
    // Sorts names in the list's order, quicker than pair by pair through
    // CompareNames.
    virtual void SortNames(std::vector<std::string>& names) const = 0;

    // The program's built-in about picture.
    virtual PictureRef BuiltinAboutPicture() = 0;

    // Sound: one at a time, a new sound cuts off the one playing. Both calls
    // start the sound and return at once; neither fails.
    //
    // Plays a WAV file's bytes that the core has read (ReadBinaryFile) and
    // checked (pad/WaveCheck.h). The backend keeps them alive while they play. A
    // backend whose decoder still cannot play them plays the built-in default
    // sound instead, so that a release is always heard.
    virtual void PlayWave(std::shared_ptr<const std::vector<unsigned char>> wave) = 0;
    // Plays the program's built-in default sound.
    virtual void PlayDefaultSound() = 0;

    // Opens a web address with the desktop's opener, without waiting for
    // it. Returns false when no opener could be started.
    virtual bool OpenUrl(const std::string& url) = 0;

    // The program is ending by a failure: `message` names it, and has been
    // written to the error output already. No event reaches the program
    // any more. Shows the message in a message box when `messageBox` is
    // true (automated runs turn boxes off).
    virtual void ShowFatalError(const std::string& message, bool messageBox) = 0;

    // A program-form path as the user knows it on this system (for
    // messages). Failures carry the path they were given.
    virtual std::string DisplayPath(const std::string& programPath) const { return programPath; }
};

}  // namespace snickit

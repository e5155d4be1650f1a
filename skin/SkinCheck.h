// The skin checker, snickit-skin-check: judges a skin folder the way Snickit
// will load it (the same picture loader, the same sound check) and tells a
// skin's author, in plain sentences naming the file, what would stop Snickit
// and what would look or sound wrong. It can also draw a contact sheet: the
// three pictures with every hot spot outlined and labelled.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace snickit {

// What the checker needs of the system it runs on: a skin's files and
// pictures come through MediaHost and the program's own loaders
// (LoadPictureFile, the sound check), as Snickit reads them. Paths are in
// the program's own form, with backslashes.
class SkinCheckHost : public MediaHost {
public:
    // The folder of the executable: its skins folder is checked by default.
    virtual std::string ProgramFolder() const = 0;
    // Names of a folder's sub-folders, sorted. Throws PathNotFound.
    virtual std::vector<std::string> ListSubfolders(const std::string& path) = 0;
    // Creates or replaces a file. Throws CannotWrite.
    virtual void WriteFile(const std::string& path, const std::vector<unsigned char>& bytes) = 0;
    // A path as the user knows it on this system.
    virtual std::string DisplayPath(const std::string& path) const { return path; }
};

// A picture's window area (240 x 95), one 0xRRGGBB word per pixel, top row
// first; kNoPixel where the picture does not reach.
inline constexpr std::uint32_t kNoPixel = 0xFF000000u;
using WindowPixels = std::vector<std::uint32_t>;

struct SkinReport {
    std::string name;    // the folder's name
    std::string folder;  // program form
    std::vector<std::string> errors;    // Snickit would stop
    std::vector<std::string> warnings;  // it runs, but looks or sounds wrong
    // box.bmp, box2.bmp, menu.bmp as loaded; empty when not loaded.
    std::array<WindowPixels, 3> pictures;
    bool Usable() const { return errors.empty(); }
};

// The three pictures of a skin, in the order of the report.
inline constexpr const char* kSkinPictures[3] = {"box.bmp", "box2.bmp", "menu.bmp"};

// Checks one skin folder (no trailing backslash).
SkinReport CheckSkin(SkinCheckHost& host, const std::string& folder);

// The contact sheet of some skins, as a 24-bit Windows bitmap file: one
// column per skin (three to a row), its three pictures at twice their size
// one above the other, every hot spot outlined and labelled.
std::vector<unsigned char> ContactSheet(const std::vector<SkinReport>& skins);

// The command line: snickit-skin-check [--sheet FILE.bmp] [SKIN_FOLDER...].
// Without folders it checks every folder in the skins folder beside the
// executable. Either slash separates folders. Writes the report to `out`
// and usage problems to `err`. Returns the exit status: 0 when every skin
// is usable, 1 when one has errors (or no skin is found), 2 on bad usage or
// a sheet that cannot be written.
int RunSkinCheck(SkinCheckHost& host, std::vector<std::string> args, std::string& out, std::string& err);

}  // namespace snickit

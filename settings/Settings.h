// The settings file "config.sn": three CR LF lines beside the executable,
// the window's Left and Top in twips and the current skin's folder name
// followed by a backslash.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace snickit {

struct StoredSettings {
    float left = 0;   // twips
    float top = 0;    // twips
    std::string currentSkin;
};

// Splits a text file into lines: a line ends at CR, a CR LF pair is one line
// end, a lone LF is part of the line. The last line may end without a line
// end.
std::vector<std::string> SplitLines(std::string_view content);

// The number scan of the two number lines: blanks, tabs and line feeds are
// dropped wherever they stand, then the longest leading decimal number is
// read (sign, digits, point, digits, exponent); no number reads as 0.
double ScanNumber(std::string_view line);

// Reads the three values of a file's text; text that is not UTF-8 is read
// as Windows-1252. Throws Failure(BadSettings, path) when the text
// holds a zero byte (UTF-16, or no text file at all), and Failure(InputPastEnd,
// path) when it has fewer than three lines.
StoredSettings ParseSettings(std::string_view content, const std::string& path);

// Whether text is well-formed UTF-8 (no overlong form, no surrogate, nothing
// above U+10FFFF).
bool IsUtf8(std::string_view text);

// Windows-1252 text in UTF-8; the five bytes that code page leaves undefined
// become the control characters of their value, as Windows reads them.
std::string Windows1252ToUtf8(std::string_view text);

// A single-precision number as the file holds it: a leading blank or minus,
// at most seven significant digits with a point as decimal separator, and a
// trailing blank.
std::string FormatNumber(float value);

// "<program folder>\config.sn".
std::string SettingsFilePath(const std::string& programFolder);

class Platform;

// Where the settings live. config.sn beside the program while this user may
// replace it, so that a portable copy keeps its settings with it. Otherwise
// config.sn in the user's own settings folder (`folder`, made at the first
// save), which is read once it exists; until then the program's own is read.
struct SettingsFiles {
    std::string read, write, folder;
};
SettingsFiles LocateSettings(Platform& platform, const std::string& programFolder);

// The whole file: the two numbers and the skin, each line ended by CR LF.
std::string FormatSettings(const StoredSettings& settings);

}  // namespace snickit

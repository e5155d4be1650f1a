#include "settings/Settings.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "platform/Platform.h"
#include "platform/Utf8.h"

namespace snickit {

std::vector<std::string> SplitLines(std::string_view content) {
    std::vector<std::string> lines;
    std::string line;
    for (size_t i = 0; i < content.size(); ++i) {
        if (content[i] == '\r') {
            lines.push_back(std::move(line));
            line.clear();
            if (i + 1 < content.size() && content[i + 1] == '\n') ++i;
        } else {
            line += content[i];
        }
    }
    if (!line.empty()) lines.push_back(std::move(line));
    return lines;
}

double ScanNumber(std::string_view line) {
    std::string text;
    for (char c : line) {
        if (c != ' ' && c != '\t' && c != '\n') text += c;
    }
    size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
    auto isDigit = [&](size_t at) { return at < text.size() && text[at] >= '0' && text[at] <= '9'; };
    const size_t start = pos;
    size_t digits = 0;
    while (isDigit(pos)) ++pos, ++digits;
    if (pos < text.size() && text[pos] == '.') {
        size_t after = pos + 1;
        size_t fraction = 0;
        while (isDigit(after)) ++after, ++fraction;
        if (digits + fraction > 0) {
            pos = after;
            digits += fraction;
        }
    }
    if (digits == 0) return 0.0;
    size_t end = pos;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        size_t at = pos + 1;
        if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
        if (isDigit(at)) {
            while (isDigit(at)) ++at;
            end = at;
        }
    }
    // from_chars reads with a point whatever the locale; it takes no '+'.
    std::string number = text[start] == '.' ? "0" : "";
    number.append(text, start, end - start);
    double value = 0.0;
    auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    (void)ptr;
    if (ec == std::errc::result_out_of_range) {
        size_t e = number.find_first_of("eE");
        bool tiny = e != std::string::npos && number[e + 1] == '-';
        value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    }
    return negative ? -value : value;
}

StoredSettings ParseSettings(std::string_view content, const std::string& path) {
    // A zero byte is in no settings file Snickit writes; it would cut line 3
    // short wherever the name reaches the system.
    if (content.find('\0') != std::string_view::npos) throw Failure(FailureKind::BadSettings, path);
    // Not UTF-8: a file Snickit for Windows wrote in its ANSI code page (on
    // Windows the system has read it so already).
    std::vector<std::string> lines = SplitLines(IsUtf8(content) ? std::string(content) : Windows1252ToUtf8(content));
    if (lines.size() < 3) throw Failure(FailureKind::InputPastEnd, path);
    StoredSettings settings;
    settings.left = static_cast<float>(ScanNumber(lines[0]));
    settings.top = static_cast<float>(ScanNumber(lines[1]));
    settings.currentSkin = lines[2];
    return settings;
}

bool IsUtf8(std::string_view text) { return utf8::IsValid(text); }

std::string Windows1252ToUtf8(std::string_view text) {
    // U+20AC to U+0178 for 0x80 to 0x9F; 0 where the code page defines nothing.
    static constexpr char16_t kHigh[32] = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    std::string out;
    out.reserve(text.size() * 2);
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        utf8::Append(out, byte >= 0x80 && byte < 0xA0 && kHigh[byte - 0x80] ? kHigh[byte - 0x80] : byte);
    }
    return out;
}

std::string FormatNumber(float value) {
    std::string sign = std::signbit(value) ? "-" : " ";
    float magnitude = std::fabs(value);
    if (magnitude == 0.0f) return " 0 ";
    if (std::isinf(magnitude)) return sign + "1E+39 ";  // reads back as infinity again
    if (std::isnan(magnitude)) return " 0 ";

    // Seven significant digits: d.dddddde[+-]x.
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific, 6);
    std::string scientific(buffer, result.ptr);
    size_t e = scientific.find('e');
    int exponent = std::stoi(scientific.substr(e + 1));
    std::string digits(1, scientific[0]);
    digits.append(scientific, 2, e - 2);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    // Built by appending only: a leading blank or minus, the digits, a blank.
    std::string text = sign;
    if (exponent >= 7 || exponent < -4) {
        text += digits[0];
        if (digits.size() > 1) {
            text += '.';
            text.append(digits, 1);
        }
        text += exponent < 0 ? "E-" : "E+";
        if (std::abs(exponent) < 10) text += '0';
        text += std::to_string(std::abs(exponent));
    } else if (exponent >= 0) {
        size_t whole = static_cast<size_t>(exponent) + 1;
        text.append(digits, 0, whole);
        if (digits.size() <= whole) {
            text.append(whole - digits.size(), '0');
        } else {
            text += '.';
            text.append(digits, whole);
        }
    } else {
        text += '.';
        text.append(static_cast<size_t>(-exponent - 1), '0');
        text += digits;
    }
    text += ' ';
    return text;
}

SettingsFiles LocateSettings(Platform& platform, const std::string& programFolder) {
    SettingsFiles files;
    files.read = files.write = SettingsFilePath(programFolder);
    if (platform.CanReplaceFile(files.write)) return files;
    files.folder = platform.UserSettingsFolder();
    if (files.folder.empty()) return files;
    files.write = SettingsFilePath(files.folder);
    if (platform.ReadBinaryFile(files.write, kMaxTextFileSize)) files.read = files.write;
    return files;
}

std::string SettingsFilePath(const std::string& programFolder) {
    return programFolder + "\\config.sn";
}

std::string FormatSettings(const StoredSettings& settings) {
    return FormatNumber(settings.left) + "\r\n" + FormatNumber(settings.top) + "\r\n" + settings.currentSkin +
           "\r\n";
}

}  // namespace snickit

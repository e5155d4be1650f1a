#include "platform/win32/Win32Text.h"

#include <windows.h>

#include "platform/Utf8.h"

namespace snickit::win32 {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

std::wstring ToWide(UINT codePage, std::string_view text) {
    if (text.empty()) return {};
    int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

std::string FromWide(UINT codePage, std::wstring_view text) {
    if (text.empty()) return {};
    int n = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

}  // namespace

// With the program's own decoder (platform/Utf8.h), as the other systems
// read UTF-8: a malformed byte becomes U+FFFD.
std::wstring Widen(std::string_view text) {
    std::wstring out;
    out.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        char32_t code = utf8::Next(text, at);
        if (code == utf8::kMalformed) code = 0xFFFD;
        if (code >= 0x10000) {
            out.push_back(static_cast<wchar_t>(0xD800 + ((code - 0x10000) >> 10)));
            code = 0xDC00 + ((code - 0x10000) & 0x3FF);
        }
        out.push_back(static_cast<wchar_t>(code));
    }
    return out;
}
std::string Narrow(std::wstring_view wide) { return FromWide(CP_UTF8, wide); }

std::string ToTextFileBytes(std::string_view utf8) {
    if (GetACP() == CP_UTF8) return std::string(utf8);
    const std::wstring wide = Widen(utf8);
    if (wide.empty()) return {};
    // No best fit: a character the code page lacks must not become a
    // look-alike ("?" or a letter without its accent).
    BOOL lossy = FALSE;
    int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                                nullptr, 0, nullptr, &lossy);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0 && !lossy) {
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                            out.data(), n, nullptr, &lossy);
    }
    if (n > 0 && !lossy && ToWide(CP_ACP, out) == wide) return out;
    return std::string(kUtf8Mark) + std::string(utf8);
}

std::string FromTextFileBytes(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Mark)) return std::string(bytes.substr(kUtf8Mark.size()));
    return Narrow(ToWide(CP_ACP, bytes));
}

}  // namespace snickit::win32

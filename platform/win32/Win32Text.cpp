#include "platform/win32/Win32Text.h"

#include <windows.h>

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

std::wstring Widen(std::string_view utf8) { return ToWide(CP_UTF8, utf8); }
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

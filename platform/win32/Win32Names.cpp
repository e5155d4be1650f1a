// Names in the order of the user's locale, letter case ignored, as the
// desktop's own lists sort them.
#include <windows.h>

#include "platform/NativeNames.h"
#include "platform/win32/Win32Text.h"

namespace snickit::native {

int CompareNames(const std::string& a, const std::string& b) {
    const std::wstring x = win32::Widen(a), y = win32::Widen(b);
    const int order = CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, x.c_str(), static_cast<int>(x.size()),
                                     y.c_str(), static_cast<int>(y.size()));
    // CSTR_LESS_THAN, CSTR_EQUAL, CSTR_GREATER; 0 only for bad arguments.
    return order == 0 ? x.compare(y) : order - CSTR_EQUAL;
}

}  // namespace snickit::native

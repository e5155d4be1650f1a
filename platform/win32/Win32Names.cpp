// Names in the order of the user's locale, letter case ignored, as the
// desktop's own lists sort them.
#include <windows.h>

#include <algorithm>
#include <numeric>

#include "platform/NativeNames.h"
#include "platform/Platform.h"
#include "platform/win32/Win32Text.h"

namespace snickit::native {

namespace {

int CompareWide(const std::wstring& x, const std::wstring& y) {
    const int order = CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, x.c_str(), static_cast<int>(x.size()),
                                     y.c_str(), static_cast<int>(y.size()));
    // CSTR_LESS_THAN, CSTR_EQUAL, CSTR_GREATER; 0 only for bad arguments.
    return order == 0 ? x.compare(y) : order - CSTR_EQUAL;
}

}  // namespace

int CompareNames(const std::string& a, const std::string& b) { return CompareWide(win32::Widen(a), win32::Widen(b)); }

void SortNames(std::vector<std::string>& names) {
    // Each name is widened once, not at every comparison.
    std::vector<std::wstring> wide;
    wide.reserve(names.size());
    for (const std::string& name : names) wide.push_back(win32::Widen(name));
    std::vector<size_t> order(names.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return Platform::InListOrder(CompareWide(wide[a], wide[b]), names[a], names[b]);
    });
    std::vector<std::string> sorted;
    sorted.reserve(names.size());
    for (size_t from : order) sorted.push_back(std::move(names[from]));
    names = std::move(sorted);
}

}  // namespace snickit::native

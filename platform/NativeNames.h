// The order in which the desktop sorts names for people, shared by a
// platform's backend and the tests. One implementation per system:
// platform/posix (Linux) and platform/win32 (Windows).
#pragma once

#include <string>
#include <vector>

namespace snickit::native {

// Compares two UTF-8 names in the user's locale, letter case ignored: below,
// at or above zero as `a` sorts before, with or after `b`. Different names
// may compare equal; the caller breaks such ties.
int CompareNames(const std::string& a, const std::string& b);

// Sorts names as CompareNames orders them, names it holds equal by their
// bytes; quicker than sorting through CompareNames.
void SortNames(std::vector<std::string>& names);

}  // namespace snickit::native

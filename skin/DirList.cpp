#include "skin/DirList.h"

#include <algorithm>

#include "skin/ListBox.h"

namespace snickit {

void DirList::SetPath(const std::string& path) {
    names_ = platform_.ListSubfolders(path);
    // In the list's order, so that filling the list only appends.
    std::sort(names_.begin(), names_.end(),
              [this](const std::string& a, const std::string& b) { return NameBefore(platform_, a, b); });
}

}  // namespace snickit

#include "skin/DirList.h"

#include "skin/SkinPaths.h"

namespace snickit {

void DirList::SetPath(const std::string& path) {
    names_ = platform_.ListSubfolders(path);
    KeepSkinNames(names_);
    // In the list's order, so that the list takes them as they are.
    platform_.SortNames(names_);
}

}  // namespace snickit

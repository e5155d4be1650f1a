#include "skin/DirList.h"

namespace snickit {

void DirList::SetPath(const std::string& path) {
    names_ = platform_.ListSubfolders(path);
    path_ = path;
}

std::string DirList::List(int index) const {
    std::string folder = path_;
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    return folder + names_.at(static_cast<size_t>(index));
}

}  // namespace snickit

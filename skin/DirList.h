// The hidden directory lister Dir1: the sub-folders of one folder, each by
// its full path.
#pragma once

#include <string>
#include <vector>

#include "platform/Platform.h"

namespace snickit {

class DirList {
public:
    explicit DirList(Platform& platform) : platform_(platform) {}
    // Lists the folder's sub-folders. Throws PathNotFound.
    void SetPath(const std::string& path);
    int ListCount() const { return static_cast<int>(names_.size()); }
    std::string List(int index) const;

private:
    Platform& platform_;
    std::string path_;
    std::vector<std::string> names_;
};

}  // namespace snickit

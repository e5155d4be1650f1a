// The hidden directory lister Dir1: the sub-folders of one folder, by name,
// in the skin list's order.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/Platform.h"

namespace snickit {

class DirList {
public:
    explicit DirList(Platform& platform) : platform_(platform) {}
    // Lists the folder's sub-folders. Throws PathNotFound.
    void SetPath(const std::string& path);
    // The sub-folders' names, without their folder, handed over: the
    // lister is empty afterwards.
    std::vector<std::string> TakeNames() { return std::exchange(names_, {}); }

private:
    Platform& platform_;
    std::vector<std::string> names_;
};

}  // namespace snickit

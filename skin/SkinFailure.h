// What the message of a failure that ends the program adds when the failing
// file belongs to a skin: which skin it is, and how to start Snickit again.
#pragma once

#include <string>

#include "platform/Platform.h"

namespace snickit {

// Empty when `failedPath` is not in the skins folder.
std::string SkinFailureAdvice(Platform& platform, const std::string& failedPath);

}  // namespace snickit

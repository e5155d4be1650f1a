// What kind of failure an action throws.
#pragma once

#include <gtest/gtest.h>

#include <functional>

#include "platform/Platform.h"

namespace snickit::test {

// The kind of the Failure the action throws; a test failure when it throws
// none.
inline FailureKind KindOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Failure& failure) {
        return failure.kind();
    }
    ADD_FAILURE() << "no failure thrown";
    return FailureKind::CannotStart;
}

}  // namespace snickit::test

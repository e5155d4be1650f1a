#include "platform/Platform.h"

namespace snickit {

std::string DescribeFailure(FailureKind kind, const std::string& path) {
    switch (kind) {
    case FailureKind::FileNotFound: return "File not found: " + path;
    case FailureKind::PathNotFound: return "Path not found: " + path;
    case FailureKind::InputPastEnd: return "Input past end of file (it needs three lines): " + path;
    case FailureKind::BadPicture: return "Not a picture that can be read: " + path;
    case FailureKind::CannotRead: return "The file cannot be read: " + path;
    case FailureKind::CannotWrite: return "The file cannot be written: " + path;
    case FailureKind::CannotStart: return "The program cannot be started: " + path;
    case FailureKind::BadSettings:
        return "Not a settings file that can be read (it holds zero bytes, or text in UTF-16): " + path;
    }
    return "Unexpected failure: " + path;
}

Failure::Failure(FailureKind kind, std::string path)
    : std::runtime_error(DescribeFailure(kind, path)), kind_(kind), path_(std::move(path)) {}

}  // namespace snickit

// Owners of the Win32 handles the file services open: each closes its
// handle when it goes out of scope, so that no path through the code (a
// failure thrown included) leaves one open.
#pragma once

#include <windows.h>

#include <cstddef>
#include <utility>

namespace snickit::win32 {

// A file handle (CreateFileW); INVALID_HANDLE_VALUE holds nothing.
class Handle {
public:
    explicit Handle(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
    ~Handle() { Close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    Handle& operator=(Handle&& other) noexcept {
        Close();
        h_ = std::exchange(other.h_, INVALID_HANDLE_VALUE);
        return *this;
    }
    HANDLE get() const { return h_; }
    bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
    // Closes it now; whether the close succeeded.
    bool Close() {
        const HANDLE h = std::exchange(h_, INVALID_HANDLE_VALUE);
        return h == INVALID_HANDLE_VALUE || h == nullptr || CloseHandle(h) != 0;
    }

private:
    HANDLE h_;
};

// A folder search (FindFirstFileW); INVALID_HANDLE_VALUE holds nothing.
class Search {
public:
    explicit Search(HANDLE h) : h_(h) {}
    ~Search() {
        if (valid()) FindClose(h_);
    }
    Search(const Search&) = delete;
    Search& operator=(const Search&) = delete;
    HANDLE get() const { return h_; }
    bool valid() const { return h_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE h_;
};

// A reader for ReadToEnd (platform/NativeFiles.h): ReadFile on `file`.
inline auto ReadFrom(HANDLE file) {
    return [file](void* buffer, std::size_t room) -> long long {
        DWORD n = 0;
        const DWORD ask = room < (DWORD{1} << 30) ? static_cast<DWORD>(room) : DWORD{1} << 30;
        return ReadFile(file, buffer, ask, &n, nullptr) ? static_cast<long long>(n) : -1;
    };
}

}  // namespace snickit::win32

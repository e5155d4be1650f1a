#include <windows.h>

#include "platform/NativeBinaryFile.h"
#include "platform/NativeFiles.h"
#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Text.h"

namespace snickit::native {

std::optional<std::vector<unsigned char>> ReadBinaryFile(const std::string& programPath, std::size_t maxBytes,
                                                         bool* missing) {
    if (missing) *missing = false;
    const win32::Handle file(CreateFileW(win32::Widen(programPath).c_str(), GENERIC_READ,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        const DWORD error = GetLastError();
        if (missing) *missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        return std::nullopt;
    }
    LARGE_INTEGER size{};
    // Files on a disk only: no pipes, consoles or devices.
    if (GetFileType(file.get()) != FILE_TYPE_DISK || !GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 ||
        static_cast<unsigned long long>(size.QuadPart) > maxBytes) {
        return std::nullopt;
    }
    return ReadToEnd<std::vector<unsigned char>>(win32::ReadFrom(file.get()),
                                                 static_cast<std::size_t>(size.QuadPart), maxBytes);
}

}  // namespace snickit::native

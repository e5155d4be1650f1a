#include <windows.h>

#include "platform/NativeBinaryFile.h"
#include "platform/win32/Win32Text.h"

namespace snickit::native {

std::optional<std::vector<unsigned char>> ReadBinaryFile(const std::string& programPath, std::size_t maxBytes,
                                                         bool* missing) {
    if (missing) *missing = false;
    HANDLE file = CreateFileW(win32::Widen(programPath).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (missing) *missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        return std::nullopt;
    }
    std::optional<std::vector<unsigned char>> content;
    LARGE_INTEGER size{};
    // Files on a disk only: no pipes, consoles or devices.
    if (GetFileType(file) == FILE_TYPE_DISK && GetFileSizeEx(file, &size) && size.QuadPart >= 0 &&
        static_cast<unsigned long long>(size.QuadPart) <= maxBytes) {
        // One byte more than the size, to notice a file that grew since.
        std::vector<unsigned char> bytes(static_cast<std::size_t>(size.QuadPart) + 1);
        std::size_t got = 0;
        DWORD n = 0;
        while (got < bytes.size() &&
               ReadFile(file, bytes.data() + got, static_cast<DWORD>(bytes.size() - got), &n, nullptr) && n > 0) {
            got += n;
        }
        if (got < bytes.size()) {
            bytes.resize(got);
            content = std::move(bytes);
        }
    }
    CloseHandle(file);
    return content;
}

}  // namespace snickit::native

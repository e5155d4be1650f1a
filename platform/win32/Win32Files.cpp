// File services on Windows: program-form paths are native already (they use
// backslashes); they are handed to the W functions in UTF-16, and text files
// are kept in the system's ANSI code page.
#include <windows.h>

#include <algorithm>

#include "platform/NativeFiles.h"
#include "platform/win32/Win32Text.h"

namespace snickit::native {
namespace {

using win32::Widen;

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsFolder(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Closes a handle when it goes out of scope.
class Handle {
public:
    explicit Handle(HANDLE h) : h_(h) {}
    ~Handle() { Close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return h_; }
    bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
    bool Close() {
        if (!valid()) return true;
        bool ok = CloseHandle(h_) != 0;
        h_ = INVALID_HANDLE_VALUE;
        return ok;
    }

private:
    HANDLE h_;
};

}  // namespace

std::string NativePath(const std::string& programPath) { return programPath; }

FailureKind MissingKind(const std::string& programPath) {
    std::wstring path = Widen(programPath);
    while (!path.empty() && IsSeparator(path.back())) path.pop_back();
    size_t cut = path.find_last_of(L"\\/");
    if (cut == std::wstring::npos) return FailureKind::FileNotFound;  // the current folder
    std::wstring parent = path.substr(0, cut);
    if (parent.empty() || parent.back() == L':') parent += L'\\';    // a drive's root
    return IsFolder(parent) ? FailureKind::FileNotFound : FailureKind::PathNotFound;
}

std::string ReadTextFile(const std::string& programPath) {
    Handle file(CreateFileW(Widen(programPath).c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        DWORD error = GetLastError();
        FailureKind kind = error == ERROR_PATH_NOT_FOUND ? FailureKind::PathNotFound
                           : error == ERROR_FILE_NOT_FOUND ? FailureKind::FileNotFound
                                                           : FailureKind::CannotRead;
        throw Failure(kind, programPath);
    }
    std::string bytes;
    char buffer[4096];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) {
            throw Failure(FailureKind::CannotRead, programPath);
        }
        if (got == 0) break;
        bytes.append(buffer, got);
    }
    return win32::AnsiToUtf8(bytes);
}

void WriteTextFileAtomic(const std::string& programPath, const std::string& content) {
    const std::wstring target = Widen(programPath);
    const std::wstring fresh = target + L".new";
    const std::string bytes = win32::Utf8ToAnsi(content);

    bool ok = false;
    {
        Handle file(CreateFileW(fresh.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.valid()) {
            DWORD written = 0;
            ok = WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                           nullptr) &&
                 written == bytes.size() && FlushFileBuffers(file.get());
            ok = file.Close() && ok;
            if (ok) {
                ok = MoveFileExW(fresh.c_str(), target.c_str(),
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
            }
            if (!ok) DeleteFileW(fresh.c_str());
        }
    }
    if (!ok) throw Failure(FailureKind::CannotWrite, programPath);
}

std::vector<std::string> ListSubfolders(const std::string& programPath) {
    std::wstring folder = Widen(programPath);
    while (folder.size() > 1 && IsSeparator(folder.back()) && folder[folder.size() - 2] != L':') {
        folder.pop_back();
    }
    if (!IsFolder(folder)) throw Failure(FailureKind::PathNotFound, programPath);

    std::wstring pattern = folder;
    if (!IsSeparator(pattern.back())) pattern += L'\\';
    pattern += L'*';

    std::vector<std::string> names;
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW(pattern.c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) {
        if (GetLastError() == ERROR_FILE_NOT_FOUND) return names;  // nothing in it
        throw Failure(FailureKind::PathNotFound, programPath);
    }
    do {
        std::wstring_view name = entry.cFileName;
        if (name == L"." || name == L"..") continue;
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        if (entry.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) continue;
        names.push_back(win32::Narrow(name));
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    return names;
}

std::string ExecutableFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return ".";
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    size_t cut = path.find_last_of(L"\\/");
    if (cut != std::wstring::npos) path.resize(cut);
    return win32::Narrow(path);
}

}  // namespace snickit::native

// File services on Windows: program-form paths are native already (they use
// backslashes); they are handed to the W functions in UTF-16, and text files
// are kept in the system's ANSI code page, or in UTF-8 with a byte order
// mark when the code page lacks a character.
#include <windows.h>
#include <aclapi.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>
#include <cwchar>
#include <random>
#include <utility>

#include "platform/NativeFiles.h"
#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Text.h"

namespace snickit::native {
namespace {

using win32::Handle;
using win32::Widen;

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsFolder(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool WriteAll(HANDLE file, const std::string& bytes) {
    DWORD written = 0;
    return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

// Overwrites an existing file where it stands: for a file that may be
// written in a folder that takes no new file. Not atomic.
bool RewriteInPlace(const std::wstring& path, const std::string& bytes) {
    Handle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.valid() && GetFileType(file.get()) == FILE_TYPE_DISK && WriteAll(file.get(), bytes) &&
           SetEndOfFile(file.get()) && FlushFileBuffers(file.get()) && file.Close();
}

// Gives the new file the old one's owner and access list; false when it
// cannot take them (another user's file: only an administrator may give a
// file to someone else). `to` is open for READ_CONTROL and WRITE_DAC.
bool TakeProtection(const std::wstring& from, HANDLE to) {
    const SECURITY_INFORMATION both = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    PSID owner = nullptr, ours = nullptr;
    PACL access = nullptr;
    PSECURITY_DESCRIPTOR old = nullptr, made = nullptr;
    bool ok = GetNamedSecurityInfoW(from.c_str(), SE_FILE_OBJECT, both, &owner, nullptr, &access, nullptr, &old) ==
                  ERROR_SUCCESS &&
              GetSecurityInfo(to, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &ours, nullptr, nullptr, nullptr,
                              &made) == ERROR_SUCCESS;
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    ok = ok && GetSecurityDescriptorControl(old, &control, &revision);
    if (ok) {
        // The owner only when it is another: that takes the right to give
        // files away, which the new file's handle does not ask.
        const SECURITY_INFORMATION what =
            DACL_SECURITY_INFORMATION | (owner && ours && EqualSid(owner, ours) ? 0 : OWNER_SECURITY_INFORMATION) |
            (control & SE_DACL_PROTECTED ? PROTECTED_DACL_SECURITY_INFORMATION
                                         : UNPROTECTED_DACL_SECURITY_INFORMATION);
        ok = SetSecurityInfo(to, SE_FILE_OBJECT, what, owner, nullptr, access, nullptr) == ERROR_SUCCESS;
    }
    LocalFree(old);
    LocalFree(made);
    return ok;
}

// The file a link leads to, or "" when it leads nowhere.
std::wstring FinalPath(const std::wstring& link) {
    Handle file(CreateFileW(link.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return {};
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetFinalPathNameByHandleW(file.get(), path.data(), static_cast<DWORD>(path.size()),
                                            FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (n == 0) return {};
        if (n < path.size()) return path.substr(0, n);
        path.resize(n);
    }
}

// A save's new file: beside the target, a dot, the target's name, this mark
// and six letters or digits, a name no one gives a file of their own (a
// "config.sn.backup" is never taken for one).
constexpr std::wstring_view kSaveMark = L".snickit-save-";
constexpr std::wstring_view kSaveLetters = L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

std::wstring FolderOf(const std::wstring& path) {
    const size_t cut = path.find_last_of(L"\\/");
    return cut == std::wstring::npos ? L"" : path.substr(0, cut + 1);
}

std::wstring SavePrefix(const std::wstring& target) {
    return L"." + target.substr(FolderOf(target).size()) + std::wstring(kSaveMark);
}

// Removes the new files that killed saves left beside `target`: files of
// exactly a save's naming that no running save holds open (a save keeps its
// file open, shared for nothing but its move, until it has replaced the
// target).
void RemoveLeftovers(const std::wstring& target) {
    const std::wstring folder = FolderOf(target), prefix = SavePrefix(target);
    WIN32_FIND_DATAW entry;
    const win32::Search search(FindFirstFileW((folder + prefix + L"*").c_str(), &entry));
    if (!search.valid()) return;
    do {
        const std::wstring_view name = entry.cFileName;
        if (name.size() != prefix.size() + 6 || !name.starts_with(prefix) ||
            name.find_first_not_of(kSaveLetters, prefix.size()) != std::wstring_view::npos ||
            (entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT |
                                       FILE_ATTRIBUTE_READONLY))) {
            continue;
        }
        // Shared with no one: a save that holds it open keeps it.
        Handle file(CreateFileW((folder + std::wstring(name)).c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                                FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    } while (FindNextFileW(search.get(), &entry));
}

// Whether a folder's name reaches that folder again from the program's
// UTF-8 paths: it turns into UTF-16 and back unchanged (no lone surrogate),
// and the Win32 paths Snickit builds reach it as it is: none of
// < > : " | ? *, no trailing dot or blank (a path drops them).
bool IsReachableName(std::wstring_view wide, const std::string& name) {
    return Widen(name) == wide &&
           wide.find_first_of(L"<>:\"|?*") == std::wstring_view::npos && wide.back() != L'.' && wide.back() != L' ';
}

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
    // A file on a disk, of a settings file's size: no pipe, no device.
    LARGE_INTEGER size;
    if (GetFileType(file.get()) != FILE_TYPE_DISK || !GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) {
        throw Failure(FailureKind::CannotRead, programPath);
    }
    const std::optional<std::string> bytes = ReadToEnd<std::string>(
        win32::ReadFrom(file.get()), static_cast<unsigned long long>(size.QuadPart), kMaxTextFileSize);
    if (!bytes) throw Failure(FailureKind::CannotRead, programPath);
    return win32::FromTextFileBytes(*bytes);
}

void WriteTextFileAtomic(const std::string& programPath, const std::string& content) {
    const auto fail = [&] { throw Failure(FailureKind::CannotWrite, programPath); };
    const std::string bytes = win32::ToTextFileBytes(content);
    std::wstring target = Widen(programPath);
    DWORD attributes = GetFileAttributesW(target.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        // A link is written through: its target is replaced, and it stays.
        target = FinalPath(target);
        attributes = target.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(target.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) fail();
    }
    if (exists && (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY))) fail();
    const DWORD kept = exists ? attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                              FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED)
                              : 0;

    // A fresh name of our own beside the target. CREATE_NEW never opens what
    // is there already, a link included, so a leftover is never reused.
    std::random_device random;
    std::wstring fresh;
    Handle file(INVALID_HANDLE_VALUE);
    DWORD error = ERROR_FILE_EXISTS;
    for (int attempt = 0; attempt < 100 && error == ERROR_FILE_EXISTS; ++attempt) {
        fresh = FolderOf(target) + SavePrefix(target);
        for (int letter = 0; letter < 6; ++letter) fresh += kSaveLetters[random() % kSaveLetters.size()];
        // Shared for its move only, so that no other save takes it for a
        // leftover while it is open.
        file = Handle(CreateFileW(fresh.c_str(), GENERIC_WRITE | (exists ? READ_CONTROL | WRITE_DAC : 0),
                                  FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                  kept ? kept : FILE_ATTRIBUTE_NORMAL, nullptr));
        error = file.valid() ? ERROR_SUCCESS : GetLastError();
        if (error == ERROR_ALREADY_EXISTS) error = ERROR_FILE_EXISTS;
    }
    if (!file.valid()) {
        // A folder that takes no new files, holding a file we may write.
        if (exists && error == ERROR_ACCESS_DENIED && RewriteInPlace(target, bytes)) return;
        fail();
    }
    // Moved while still open, closed once it has replaced the target.
    const bool faithful = !exists || TakeProtection(target, file.get());
    const bool ok = faithful && WriteAll(file.get(), bytes) && FlushFileBuffers(file.get()) &&
                    MoveFileExW(fresh.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) {
        file.Close();
        DeleteFileW(fresh.c_str());
        // The new file could not take the old one's protection: keep the
        // old file and write into it instead.
        if (!faithful && RewriteInPlace(target, bytes)) return;
        fail();
    }
    file.Close();
    RemoveLeftovers(target);
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
    const win32::Search search(FindFirstFileW(pattern.c_str(), &entry));
    if (!search.valid()) {
        if (GetLastError() == ERROR_FILE_NOT_FOUND) return names;  // nothing in it
        throw Failure(FailureKind::PathNotFound, programPath);
    }
    do {
        std::wstring_view name = entry.cFileName;
        if (name == L"." || name == L"..") continue;
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        if (entry.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) continue;
        std::string narrow = win32::Narrow(name);
        if (IsReachableName(name, narrow)) names.push_back(std::move(narrow));
    } while (FindNextFileW(search.get(), &entry));
    return names;
}

// Opening the file for writing asks the file's access rights (a program
// folder under Program Files), through a link to its target; the target's
// read-only attribute is asked too, as writing refuses it (wine lets an
// administrator open such a file). Nothing is written.
bool CanReplaceFile(const std::string& programPath) {
    Handle file(CreateFileW(Widen(programPath).c_str(), GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return false;
    BY_HANDLE_FILE_INFORMATION info{};
    return GetFileType(file.get()) == FILE_TYPE_DISK && GetFileInformationByHandle(file.get(), &info) &&
           (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) == 0;
}

// The user's roaming application data, as the shell names it; %APPDATA%
// when the shell cannot tell.
std::string UserSettingsFolder() {
    std::wstring folder;
    PWSTR known = nullptr;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_DEFAULT, nullptr, &known)) && known) {
        folder = known;
    }
    CoTaskMemFree(known);
    if (folder.empty()) {
        const wchar_t* appData = _wgetenv(L"APPDATA");
        if (appData != nullptr) folder = appData;
    }
    if (folder.empty()) return "";
    return win32::Narrow(folder) + "\\Snickit";
}

void MakeFolders(const std::string& programPath) {
    const std::wstring path = Widen(programPath);
    for (size_t at = path.find_first_of(L"\\/", 3);; at = path.find_first_of(L"\\/", at + 1)) {
        const std::wstring part = path.substr(0, at);
        if (!part.empty() && !IsFolder(part)) CreateDirectoryW(part.c_str(), nullptr);
        if (at == std::wstring::npos) break;
    }
    if (!IsFolder(path)) throw Failure(FailureKind::CannotWrite, programPath);
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

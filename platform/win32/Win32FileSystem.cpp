#include "platform/win32/Win32FileSystem.h"

#include <vector>

#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Text.h"

namespace norvale::win32 {

namespace {

std::wstring FolderOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash);
}

// What a replaced file keeps of the old one's attributes.
constexpr DWORD kKeptMarks =
    FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

bool WriteWhole(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

}  // namespace

bool Win32FileSystem::ReadPieces(const std::string& path, std::size_t maxBytes,
                                 const std::function<bool(std::string_view)>& consume) {
    // A pipe, a console or a device name opens like a file; only a file on disk is read, so
    // nothing can make start-up wait for a writer or read without end.
    UniqueFile file(CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file || GetFileType(file.get()) != FILE_TYPE_DISK) return false;
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file.get(), &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return false;
    char buffer[65536];
    std::size_t left = maxBytes;
    while (left > 0) {
        DWORD got = 0;
        const auto want = static_cast<DWORD>(std::min<std::size_t>(sizeof buffer, left));
        if (!ReadFile(file.get(), buffer, want, &got, nullptr)) return false;
        if (got == 0) break;
        left -= got;
        if (!consume(std::string_view(buffer, got))) break;
    }
    return true;
}

bool Win32FileSystem::WriteAll(const std::string& path, std::string_view bytes) {
    const std::wstring target = Wide(path);
    // Windows refuses to rename onto a read-only file, Wine does not: the mark is checked here.
    const DWORD old = GetFileAttributesW(target.c_str());
    if (old != INVALID_FILE_ATTRIBUTES && (old & FILE_ATTRIBUTE_READONLY) != 0) return false;
    wchar_t temp[MAX_PATH + 1] = {};
    // In the target's folder, so that the replacement is a rename on one volume.
    if (GetTempFileNameW(FolderOf(target).c_str(), L"nv", 0, temp) == 0) return false;
    UniqueFile file(CreateFileW(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    bool ok = static_cast<bool>(file) && WriteWhole(file.get(), bytes) && FlushFileBuffers(file.get());
    ok = file.Close() && ok;
    // The new file takes the old one's marks; then one rename puts it whole in place. (ReplaceFileW
    // would keep them too, but Wine's leaves a file of its own behind when it fails.)
    if (ok && old != INVALID_FILE_ATTRIBUTES && (old & kKeptMarks) != 0) {
        ok = SetFileAttributesW(temp, old & kKeptMarks);
    }
    ok = ok && MoveFileExW(temp, target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) DeleteFileW(temp);
    return ok;
}

std::string Win32FileSystem::InProgramFolder(const std::string& name) const {
    std::vector<wchar_t> module(MAX_PATH);
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, module.data(), static_cast<DWORD>(module.size()));
        if (n == 0) return name;
        if (n < module.size()) break;
        module.resize(module.size() * 2);  // a long path was cut short
    }
    return Utf8(FolderOf(module.data()) + L"\\" + Wide(name));
}

}  // namespace norvale::win32

// Replacing a file's contents on Windows: wide-character calls, so any path works.
#include <windows.h>

#include <string>

#include "FileReplace.h"
#include "Utf16.h"
#include "WinHandles.h"

namespace {

// Temporary files of earlier writes that never got renamed (a crash). One
// that another writer still holds open does not go.
void RemoveLeftovers(const std::wstring& target) {
    const size_t slash = target.find_last_of(L'\\');
    const std::wstring folder = slash == std::wstring::npos ? std::wstring() : target.substr(0, slash + 1);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((target + L".tmp-*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) DeleteFileW((folder + found.cFileName).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

}  // namespace

bool ReplaceFileContents(const std::string& path, const std::string& bytes) {
    const std::wstring target = Utf8ToWide(path);
    const std::wstring temporary = target + L".tmp-" + std::to_wstring(GetCurrentProcessId());
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) return false;
    bool ok = false;
    {
        const win::Handle file(
            CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return false;
        DWORD written = 0;
        ok = WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
             written == bytes.size() && FlushFileBuffers(file.get());
    }
    if (!ok || !MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temporary.c_str());
        return false;
    }
    // The old file's attributes (hidden, say) stay with the settings.
    if (attributes != INVALID_FILE_ATTRIBUTES) SetFileAttributesW(target.c_str(), attributes);
    RemoveLeftovers(target);
    return true;
}

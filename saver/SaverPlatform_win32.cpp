// The saver's system calls on Windows: wide-character file calls (so any
// path works), code page 932 for the settings file whatever the system's.
#include <windows.h>

#include <string>
#include <vector>

#include "SaverPlatform.h"
#include "Utf16.h"
#include "WinHandles.h"

namespace {

std::string g_programFolder;
constexpr UINT kShiftJis = 932;

}  // namespace

std::string ProgramFolder() {
    if (!g_programFolder.empty()) return g_programFolder;
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return std::string();
        if (n < buffer.size()) break;
        buffer.resize(buffer.size() * 2);
    }
    std::wstring path(buffer.data());
    const size_t slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos) return std::string();
    // "C:\" for a program in the root of a drive, else without the backslash.
    std::wstring folder = path.substr(0, slash);
    if (folder.size() == 2 && folder[1] == L':') folder += L'\\';
    return WideToUtf8(folder);
}

void SetProgramFolder(const std::string& folder) { g_programFolder = folder; }

std::string ToShiftJis(const std::string& utf8) {
    const std::wstring wide = Utf8ToWide(utf8);
    if (wide.empty()) return std::string();
    // No best fit: a character the code page lacks becomes "?" rather than a
    // look-alike (a full-width backslash must never turn into a path separator).
    const DWORD flags = WC_NO_BEST_FIT_CHARS;
    const int n = WideCharToMultiByte(kShiftJis, flags, wide.data(), static_cast<int>(wide.size()), nullptr, 0, "?", nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(kShiftJis, flags, wide.data(), static_cast<int>(wide.size()), &out[0], n, "?", nullptr);
    return out;
}

std::string FromShiftJis(const std::string& bytes) {
    if (bytes.empty()) return std::string();
    const int n = MultiByteToWideChar(kShiftJis, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(kShiftJis, 0, bytes.data(), static_cast<int>(bytes.size()), &wide[0], n);
    return WideToUtf8(wide);
}

FileRead ReadWholeFile(const std::string& path, std::string& bytes) {
    const win::Handle file(CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? FileRead::Missing : FileRead::Failed;
    }
    bytes.clear();
    char chunk[65536];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr) != 0) && got > 0) bytes.append(chunk, got);
    return ok ? FileRead::Ok : FileRead::Failed;
}


bool CanOpenForReading(const std::string& path) {
    if (path.empty()) return false;
    const win::Handle file(CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(file);  // a folder does not open without backup semantics
}

// A library planted beside the programs under a system library's name
// (glu32.dll, opengl32.dll, winmm.dll, msimg32.dll): should it ever be
// loaded, it appends its own path and its program's to C:\planted.txt.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    wchar_t line[2 * MAX_PATH + 8] = {};
    const DWORD n = GetModuleFileNameW(self, line, MAX_PATH);
    line[n] = L' ';
    GetModuleFileNameW(nullptr, line + n + 1, MAX_PATH);
    lstrcatW(line, L"\r\n");
    HANDLE file = CreateFileW(L"C:\\planted.txt", FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, line, static_cast<DWORD>(lstrlenW(line) * sizeof(wchar_t)), &written, nullptr);
        CloseHandle(file);
    }
    return TRUE;
}

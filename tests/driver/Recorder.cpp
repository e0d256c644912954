// The tests' handler for the shell's "open" of a web address: a program
// with no window and no console (none can take a click meant for the
// dialog), which appends what it was given to C:\links.txt, a line each,
// in UTF-8.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR arguments, int) {
    HANDLE file = CreateFileW(L"C:\\links.txt", FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    char line[4096];
    const int n = WideCharToMultiByte(CP_UTF8, 0, arguments, -1, line, sizeof line - 1, nullptr, nullptr);
    line[n > 0 ? n - 1 : 0] = '\n';  // in place of the ending zero
    DWORD written = 0;
    WriteFile(file, line, static_cast<DWORD>(n > 0 ? n : 1), &written, nullptr);
    CloseHandle(file);
    return 0;
}

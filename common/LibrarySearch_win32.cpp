#include <windows.h>

#include <string>

#include "LibrarySearch.h"

void LoadLibrariesFromSystemFolderOnly() {
    // Looked up at run time: a Windows without it (7 before its 2011 update)
    // still starts, searching as it always did.
    using SetDefaultDllDirectoriesProc = BOOL(WINAPI*)(DWORD);
    const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesProc>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (setDefault != nullptr) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

extern "C" void tavelo_fill_imports(const char* dll, SystemImport* table) {
    // The full path: nothing else is looked at, on any Windows (a 32-bit
    // program's "System32" is the system's 32-bit folder).
    wchar_t folder[MAX_PATH];
    const UINT n = GetSystemDirectoryW(folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return;
    std::wstring path(folder, n);
    path += L'\\';
    for (const char* c = dll; *c != 0; ++c) path += static_cast<wchar_t>(*c);
    HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (module == nullptr) return;
    for (SystemImport* entry = table; entry->name != nullptr; ++entry) {
        *entry->pointer = reinterpret_cast<void*>(GetProcAddress(module, entry->name));
    }
}

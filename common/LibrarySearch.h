// Where the programs' libraries come from (LibrarySearch_win32.cpp).
#pragma once

// From here on libraries load from the system folder only: a DLL put beside
// the programs under a system library's name is never loaded. Called first
// thing in each program. (The system libraries the programs call that are
// not on Windows' list of known DLLs are not imported by name at all: their
// import tables of our own are filled from the system folder before the
// program's first line, cmake/SystemImport.cmake.)
void LoadLibrariesFromSystemFolderOnly();

// One generated import table: each function's name and its pointer, ending
// in {nullptr, nullptr}.
struct SystemImport {
    const char* name;
    void** pointer;
};
// Loads dll (a bare file name) from the system folder by its full path and
// fills the table's pointers from it; those it lacks stay empty. Called by
// the tables themselves at start-up.
extern "C" void tavelo_fill_imports(const char* dll, SystemImport* table);

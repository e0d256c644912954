// The saver program's entry: start-up decides the run mode and opens its
// form; the program then lives while any of its forms is loaded.
#include <windows.h>

#include "Forms/Forms.h"
#include "LibrarySearch.h"
#include "Vey_B_win32.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    LoadLibrariesFromSystemFolderOnly();
    SaverProgram program;
    Main(program);
    forms::Application::Run();
    return 0;
}

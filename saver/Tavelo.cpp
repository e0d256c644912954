// The saver program's entry: start-up decides the run mode and opens its
// form; the program then lives while any of its forms is loaded.
#include <windows.h>

#include <memory>

#include "Forms/Forms.h"
#include "Vey_B_win32.h"
#include "Vey_R.h"
#include "Vey_S.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    std::unique_ptr<Vey_R> preview;
    std::unique_ptr<Vey_S> run;
    WinStartupServices services;
    services.showPreview = [&] {
        preview = std::make_unique<Vey_R>();
        ShowPreview(*preview, forms::Application::CommandLine());
    };
    services.loadSaver = [&] {
        run = std::make_unique<Vey_S>();
        run->Load();
    };
    Main(services);
    forms::Application::Run();
    return 0;
}

// A renderer that hangs before its window appears: installed as Tavelo.dll
// by the tests, it only sleeps.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    Sleep(120000);
    return 0;
}

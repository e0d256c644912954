// The button control in each of its six looks, side by side, on a form of
// its own for a few seconds: the demo photographs it.
//   buttons_demo.exe [SECONDS]
#include <windows.h>

#include <cstdlib>

#include "Command.h"

namespace {

class ButtonsForm : public forms::Form {
public:
    ButtonsForm()
        : Form(forms::FormStyle{"Command looks", forms::Border::None, RGB(0xEC, 0xE9, 0xD8), 0}),
          b0(*this, 8, 8, 77, 25, "Normal"), b1(*this, 93, 8, 77, 25, "HighLight"),
          b2(*this, 178, 8, 77, 25, "Pressed"), b3(*this, 263, 8, 77, 25, "Disable"),
          b4(*this, 348, 8, 77, 25, "Selected"), b5(*this, 433, 8, 77, 25, "HiLiteSel") {}
    Command b0, b1, b2, b3, b4, b5;
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const DWORD seconds = __argc >= 2 ? static_cast<DWORD>(_wtoi(__wargv ? __wargv[1] : L"8")) : 8;
    ButtonsForm form;
    form.Load();
    MoveWindow(form.hWnd(), 0, 0, 518, 41, TRUE);
    form.Show();
    // Each button in one look: the gradient inverted where the pointer would be over it.
    form.b0.ShowLook(Face::Normal, false);
    form.b1.ShowLook(Face::HighLight, true);
    form.b2.ShowLook(Face::Pressed, true);
    form.b3.SetEnabled(false);
    form.b4.ShowLook(Face::Selected, false);
    form.b5.ShowLook(Face::HighLightSelect, true);
    const DWORD end = GetTickCount() + seconds * 1000;
    MSG message;
    while (GetTickCount() < end) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(20);
    }
    return 0;
}

// Start-up on Windows: the services Main asks for, the zoom animations of
// the settings dialog, and the program's entry.
#include <windows.h>

#include "Forms/Forms.h"
#include "Utf16.h"
#include "Vey_B.h"
#include "Vey_B_win32.h"

namespace {

RECT PointRect() {
    RECT r;
    r.left = r.right = Zoom_X;
    r.top = r.bottom = Zoom_Y;
    return r;
}

}  // namespace

void ZoomOpen(HWND window) {
    RECT from = PointRect(), to = {};
    GetWindowRect(window, &to);
    DrawAnimatedRects(window, IDANI_CAPTION, &from, &to);
}

void ZoomClose(HWND window) {
    RECT from = {}, to = PointRect();
    GetWindowRect(window, &from);
    DrawAnimatedRects(window, IDANI_CAPTION, &from, &to);
}

std::string WinStartupServices::CommandLine() { return forms::Application::CommandLine(); }

bool WinStartupServices::WindowExists(const std::string& caption) {
    return FindWindowW(nullptr, Utf8ToWide(caption).c_str()) != nullptr;
}

void WinStartupServices::ShowMessage(const std::string& text) { forms::Application::MsgBox(text); }

int32_t WinStartupServices::ShowCursor(bool show) { return ::ShowCursor(show ? TRUE : FALSE); }

void WinStartupServices::EndAtOnce() { forms::Application::EndAtOnce(0); }

void WinStartupServices::ShowPreview() {
    if (showPreview) showPreview();
}

void WinStartupServices::ShowSettingsModal() {
    if (showSettings) showSettings();
}

void WinStartupServices::LoadSaverForm() {
    if (loadSaver) loadSaver();
}

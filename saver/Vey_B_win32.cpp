// Start-up on Windows: the program object that carries out what Main
// decides, and the zoom animations of the settings dialog. The program's
// entry is in Tavelo.cpp.
#include <windows.h>

#include "Forms/Forms.h"
#include "Texts.h"
#include "Utf16.h"
#include "Vey_B.h"
#include "Vey_B_win32.h"
#include "Vey_P.h"
#include "Vey_R.h"
#include "Vey_S.h"

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

SaverProgram::SaverProgram(std::function<void()> end)
    : end_(end ? std::move(end) : [] { forms::Application::EndAtOnce(0); }) {
    forms::Application::SetTitle(kProgramTitle);
    // Japanese where the user's display language is Japanese, English
    // elsewhere: chosen once, before the first form draws a text.
    UseLanguage(PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE ? Language::Japanese : Language::English);
    const DialogFontFace& face = DialogFace();
    forms::UseDialogFont(Utf8ToWide(face.name), face.hundredthsOfPoint, static_cast<BYTE>(face.charset));
}

SaverProgram::~SaverProgram() = default;

std::string SaverProgram::CommandLine() { return forms::Application::CommandLine(); }

bool SaverProgram::WindowExists(const std::string& caption) {
    return FindWindowW(nullptr, Utf8ToWide(caption).c_str()) != nullptr;
}

void SaverProgram::ShowMessage(const std::string& text) { forms::Application::MsgBox(text); }

int32_t SaverProgram::ShowCursor(bool show) { return ::ShowCursor(show ? TRUE : FALSE); }

void SaverProgram::EndAtOnce() { end_(); }

void SaverProgram::ShowPreview(const std::string& commandLine) {
    preview_ = std::make_unique<Vey_R>();
    ::ShowPreview(*preview_, commandLine, end_);
}

void SaverProgram::ShowSettingsModal() {
    settings_ = std::make_unique<Vey_P>();
    settings_->Show(true);
}

void SaverProgram::LoadSaverForm(bool pointerHidden) {
    run_ = std::make_unique<Vey_S>(end_, pointerHidden);
    run_->Load();
}

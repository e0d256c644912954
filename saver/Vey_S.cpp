#include "Vey_S.h"

#include "SaverPlatform.h"
#include "Utf16.h"
#include "Vey_B.h"
#include "Vey_BGM.h"
#include "resource.h"

const char* const kScreenCopyFile = "C:\\Vey1.bmp";
const char* const kLightPatternFile = "C:\\Vey2.bmp";
const char* const kRendererCaption = "Tavelo_VC";

Vey_S::Vey_S(std::function<void()> endRun)
    : Form(forms::FormStyle{kSaverFormCaption, forms::Border::None, RGB(0, 0, 0), 0}),
      Display0(*this, 0, 0, 1, 1, false, RGB(0, 0, 0)),
      Display1(*this, 0, 0, kLightPatternSide, kLightPatternSide, false, RGB(0, 0, 0)),
      Timer1(*this, kMp3WatchInterval, false, [this] { Timer1_Timer(); }),
      Timer2(*this, kCdWatchInterval, false, [this] { Timer2_Timer(); }),
      Timer3(*this, kRendererWatchInterval, true, [this] { Timer3_Timer(); }),
      endRun_(std::move(endRun)) {
    Display1.SetPicture(forms::Picture::FromResource(IDB_SUNLIGHT));
}

Vey_S::~Vey_S() {
    if (renderer_ != nullptr) CloseHandle(renderer_);
}

void Vey_S::Form_Load() {
    // The form takes the primary screen's size; it stays hidden.
    Move(Left(), Top(), forms::Screen::Width(), forms::Screen::Height());
    Display(0).Resize(ScaleWidth(), ScaleHeight());

    // The screen as it is now, from its top-left corner.
    HWND desktop = GetDesktopWindow();
    HDC screen = GetDC(desktop);
    if (screen != nullptr) {
        BitBlt(Display(0).DC(), 0, 0, Display(0).ScaleWidth(), Display(0).ScaleHeight(), screen, 0, 0, SRCCOPY);
        Display(0).Refresh();
        API_Result = ReleaseDC(desktop, screen);
    }

    // Both pictures are on disk before the renderer starts.
    Display(0).SavePicture(kScreenCopyFile);
    Display(1).SavePicture(kLightPatternFile);

    RendererPath = ProgramFolder() + kRendererFileName;
    renderer_ = forms::Application::Shell(RendererPath);

    // The music starts after the renderer.
    switch (SelectedMusic()) {
        case MusicKind::CD:
            CD_Open();
            Timer2.SetEnabled(true);
            break;
        case MusicKind::WAV:
            WAV_Play();
            break;
        case MusicKind::MP3:
            MP3_Play();
            Timer1.SetEnabled(true);
            break;
        case MusicKind::None:
            break;
    }
}

void Vey_S::Timer1_Timer() { MP3_Repeat(); }

void Vey_S::Timer2_Timer() {
    CD_Repeat();
    Timer2.SetEnabled(CD_Active != VB_False);
}

void Vey_S::Timer3_Timer() {
    const bool found = FindWindowW(nullptr, Utf8ToWide(kRendererCaption).c_str()) != nullptr;
    const bool running = renderer_ != nullptr && WaitForSingleObject(renderer_, 0) == WAIT_TIMEOUT;
    if (watch_.RunIsOver(found, running)) {
        Timer3.SetEnabled(false);
        Unload();
    }
}

void Vey_S::Form_QueryUnload(int& /*cancel*/, int /*mode*/) {
    if (Timer2.Enabled()) {
        Timer2.SetEnabled(false);
        CD_Close();
    }
    const MusicKind music = SelectedMusic();
    if (music == MusicKind::WAV) WAV_Stop();
    if (music == MusicKind::MP3) {
        Timer1.SetEnabled(false);
        MP3_Close();
    }
    // The pointer comes back only where the run hid it: the count saved then
    // is negative for a pointer that was visible before.
    if (ModeLetter(forms::Application::CommandLine()) == "S") {
        Cursor_Count = ShowCursor(Cursor_Count.value_or(0) != 0 ? TRUE : FALSE);
    }
    if (endRun_) {
        endRun_();
    } else {
        forms::Application::EndAtOnce(0);
    }
}

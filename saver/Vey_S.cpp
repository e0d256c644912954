#include "Vey_S.h"

#include "CommandLine.h"
#include "Forms/BmpFile.h"
#include "Contract.h"
#include "SaverPlatform.h"
#include "Utf16.h"
#include "Vey_B.h"
#include "Vey_BGM.h"
#include "resource.h"

namespace {

// The user's own temporary folder for the pictures, made if missing; empty
// when there is none.
std::string FallbackFolder() {
    wchar_t buffer[MAX_PATH + 1];
    const DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
    if (n == 0 || n > MAX_PATH) return std::string();
    const std::wstring folder = std::wstring(buffer, n) + Utf8ToWide(contract::kFallbackFolder);
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return std::string();
    return WideToUtf8(folder);
}

// The screen copy, written into a file that is deleted when the handle
// returned goes: at the end of the run, or with the saver however it ends.
// The renderer reads it meanwhile (it shares its deletion). Empty when it
// cannot be written (then nothing is left of it).
win::Handle WriteScreenCopy(const std::string& path, const std::string& bytes) {
    win::Handle file(CreateFileW(Utf8ToWide(path).c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                 nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    DWORD written = 0;
    if (!file || bytes.empty() ||
        !WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size()) {
        return win::Handle();
    }
    return file;
}

// Puts back the desktop's stored display mode where the current one differs
// (a renderer that crashed or was killed leaves its 1024 x 768 behind on some
// systems).
void RestoreDisplayMode() {
    DEVMODEW current = {}, stored = {};
    current.dmSize = stored.dmSize = sizeof(DEVMODEW);
    if (!EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &current) ||
        !EnumDisplaySettingsW(nullptr, ENUM_REGISTRY_SETTINGS, &stored)) {
        return;
    }
    if (current.dmPelsWidth != stored.dmPelsWidth || current.dmPelsHeight != stored.dmPelsHeight ||
        current.dmBitsPerPel != stored.dmBitsPerPel) {
        ChangeDisplaySettingsW(nullptr, 0);
    }
}

}  // namespace

Vey_S::Vey_S(std::function<void()> endRun, bool pointerHidden)
    : Form(forms::FormStyle{kSaverFormCaption, forms::Border::None, RGB(0, 0, 0), 0}),
      Display0(*this, 0, 0, 1, 1, false, RGB(0, 0, 0)),
      Display1(*this, 0, 0, kLightPatternSide, kLightPatternSide, false, RGB(0, 0, 0)),
      Timer1(*this, kMp3WatchInterval, false, [this] { Timer1_Timer(); }),
      Timer2(*this, kCdWatchInterval, false, [this] { Timer2_Timer(); }),
      Timer3(*this, kRendererWatchInterval, true, [this] { Timer3_Timer(); }),
      endRun_(std::move(endRun)),
      pointerHidden_(pointerHidden) {
    Display1.SetPicture(forms::Picture::FromResource(IDB_SUNLIGHT));
}

void Vey_S::Form_Load() {
    // The form takes the primary screen's size; it stays hidden. The copy
    // takes every monitor, from the virtual screen's top-left corner (with
    // one monitor, the screen itself): the renderer shows each its own part.
    Move(Left(), Top(), forms::Screen::Width(), forms::Screen::Height());
    Display(0).Resize(forms::Screen::VirtualWidth(), forms::Screen::VirtualHeight());
    {
        const win::WindowDC screen(nullptr);  // the whole screen, in screen coordinates
        if (screen) {
            BitBlt(Display(0).DC(), 0, 0, Display(0).ScaleWidth(), Display(0).ScaleHeight(), screen.get(),
                   forms::Screen::VirtualLeft(), forms::Screen::VirtualTop(), SRCCOPY);
            Display(0).Refresh();
        }
    }

    // Both pictures are on disk before the renderer starts. Where none can
    // be written, the renderer is not started: it would show an older
    // picture, perhaps of someone else's screen. The first tick then ends
    // the run.
    if (!WritePictures()) return;

    StartRenderer();

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

namespace {

// An inheritable copy of one of this process's handles, with the access
// given, for the renderer alone.
win::Handle ForRenderer(HANDLE handle, DWORD access) {
    HANDLE copy = nullptr;
    DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &copy, access, TRUE, 0);
    return win::Handle(copy);
}

}  // namespace

// The renderer keeps the display's resolution where the user wants it, reads
// the pictures from where they went, and lives no longer than the saver: it
// runs in a job that ends it with the last handle to the job, and watches
// the saver's process so that it can end the run cleanly first (display mode
// back) when the saver goes. It inherits one handle and no other, at the
// same number as here: the right to wait for this process, nothing more. It
// opens the job itself, by its name, once its own code runs: that hold keeps
// it alive for the clean end, and a renderer that never got so far (a
// start cut short) holds nothing and goes with this process.
void Vey_S::StartRenderer() {
    RendererPath = ProgramFolder() + contract::kRendererFile;
    RendererArguments arguments;
    arguments.keepResolution = KeepsDisplayResolution();
    if (fallback_) {
        arguments.screenCopy = ScreenCopyPath;
        arguments.lightPattern = LightPatternPath;
    }
    // The job by a name of this run's own, which only the renderer looks for.
    LARGE_INTEGER now = {};
    QueryPerformanceCounter(&now);
    const uint64_t jobNumber = (static_cast<uint64_t>(now.QuadPart) & 0xFFFFFFFFu) | 1;
    rendererJob_.Reset(CreateJobObjectW(nullptr, Utf8ToWide(RendererJobName(GetCurrentProcessId(), jobNumber)).c_str()));
    if (rendererJob_ && GetLastError() == ERROR_ALREADY_EXISTS) rendererJob_.Reset();  // not ours
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (rendererJob_ && !SetInformationJobObject(rendererJob_.get(), JobObjectExtendedLimitInformation, &limits,
                                                 sizeof limits)) {
        rendererJob_.Reset();
    }
    const win::Handle saver = ForRenderer(GetCurrentProcess(), SYNCHRONIZE);
    std::vector<HANDLE> inherited;
    if (saver && rendererJob_) {
        arguments.saverProcess = reinterpret_cast<uintptr_t>(saver.get());
        arguments.saverJob = jobNumber;
        inherited = {saver.get()};
    }
    renderer_.Reset(forms::Application::Shell(RendererPath, RendererArgumentText(arguments), inherited,
                                              rendererJob_.get()));
    startTick_ = GetTickCount();
}

void Vey_S::Timer1_Timer() { MP3_Repeat(); }

void Vey_S::Timer2_Timer() {
    CD_Repeat();
    Timer2.SetEnabled(CD_Active != VB_False);
}

// The fixed places in the root of drive C first (the renderer reads them
// when given no paths); where either write fails (on current Windows a user
// without elevation cannot create files there; an old file may be held
// open), both go into the user's temporary folder.
bool Vey_S::WritePictures() {
    // Both pictures in one place, or neither (no screen copy left behind).
    const forms::Picture& screen = Display(0).Image();
    const std::string screenBytes = EncodeBmp24(screen.Width(), screen.Height(), screen.Pixels());
    auto writeBoth = [this, &screenBytes](const std::string& screenCopy, const std::string& lightPattern) {
        win::Handle held = WriteScreenCopy(screenCopy, screenBytes);
        if (!held || !Display(1).SavePicture(lightPattern)) return false;  // (the copy goes with its handle)
        screenCopyHeld_ = std::move(held);
        ScreenCopyPath = screenCopy;
        LightPatternPath = lightPattern;
        return true;
    };
    if (writeBoth(contract::kScreenCopyFile, contract::kLightPatternFile)) return true;
    const std::string temporary = FallbackFolder();
    fallback_ = !temporary.empty() && writeBoth(temporary + "\\" + contract::kScreenCopyName,
                                                temporary + "\\" + contract::kLightPatternName);
    return fallback_;
}

// A renderer that never showed its window: end its process, and put back
// the display mode it may have changed.
void Vey_S::GiveUpRenderer() {
    TerminateProcess(renderer_.get(), 1);
    WaitForSingleObject(renderer_.get(), 2000);
    RestoreDisplayMode();
}

// The screen copy does not stay on disk for others to read (its file goes
// with its handle); pictures in the temporary folder go altogether.
void Vey_S::RemovePictures() {
    screenCopyHeld_.Reset();
    if (fallback_) {
        DeleteFileW(Utf8ToWide(LightPatternPath).c_str());
        const std::wstring folder = Utf8ToWide(ScreenCopyPath.substr(0, ScreenCopyPath.find_last_of('\\')));
        RemoveDirectoryW(folder.c_str());  // only when empty
    }
    ScreenCopyPath.clear();
}

void Vey_S::Timer3_Timer() {
    const bool found = FindWindowW(nullptr, Utf8ToWide(contract::kRendererCaption).c_str()) != nullptr;
    const bool running = renderer_ && WaitForSingleObject(renderer_.get(), 0) == WAIT_TIMEOUT;
    if (watch_.StartTimedOut(running, GetTickCount() - startTick_)) {
        Timer3.SetEnabled(false);
        GiveUpRenderer();
        Unload();
        return;
    }
    if (watch_.RunIsOver(found, running)) {
        Timer3.SetEnabled(false);
        // A renderer that ends normally has put the mode back by the time its
        // process is gone; one that crashed or was killed has not.
        if (renderer_) WaitForSingleObject(renderer_.get(), 1000);
        RestoreDisplayMode();
        Unload();
    }
}

void Vey_S::Form_QueryUnload(int& /*cancel*/, int /*mode*/) {
    RemovePictures();
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
    if (pointerHidden_) {
        Cursor_Count = ShowCursor(Cursor_Count.value_or(0) != 0 ? TRUE : FALSE);
    }
    if (endRun_) {
        endRun_();
    } else {
        forms::Application::EndAtOnce(0);
    }
}

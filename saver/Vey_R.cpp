#include "Vey_R.h"

#include <cmath>

#include "RunRules.h"
#include "Vey_B.h"
#include "resource.h"

const char* const kPreviewFormCaption = "Preview Window";

Vey_R::Vey_R()
    : Form(forms::FormStyle{kPreviewFormCaption, forms::Border::None, RGB(0, 0, 0), 0}),
      Img_Prev(*this, 0, 0, kPreviewWidth, kPreviewHeight) {
    Img_Prev.SetPicture(forms::Picture::FromResource(IDB_PREVIEW));
}

Vey_R::~Vey_R() { forms::Application::Forget(this); }

void Vey_R::WatchHost(std::function<void()> endAtOnce) {
    auto end = [this, endAtOnce] {
        forms::Application::Forget(this);
        if (IsLoaded() && IsWindow(hWnd())) {
            Unload();
        } else {
            endAtOnce();
        }
    };
    DWORD pid = 0;
    GetWindowThreadProcessId(host, &pid);
    hostProcess_.Reset(OpenProcess(SYNCHRONIZE, FALSE, pid));
    forms::Application::Watch(this, hostProcess_.get(), end);
    forms::Application::Poll(this, kHostWatchInterval, [this, end] {
        if (!IsWindow(host) || !IsWindow(hWnd())) end();
    });
}

void Vey_R::Form_Unload(int& /*cancel*/) {
    HWND owner = GetWindow(hWnd(), GW_OWNER);
    (void)owner;  // asked for, not needed: the program ends with its last form
    API_Result = PostMessageW(hWnd(), WM_CLOSE, 0, 0);
}

namespace {

// Windows refuses to make a window the child of a host of another DPI
// awareness (the saver is per-monitor aware; the display settings' host may
// not be), so the preview's thread takes the host's awareness before the
// form is made. Systems without per-window awareness need nothing.
void TakeHostDpiAwareness(HWND host) {
    using GetContext = HANDLE(WINAPI*)(HWND);
    using SetContext = HANDLE(WINAPI*)(HANDLE);
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (user32 == nullptr) return;
    const auto get = reinterpret_cast<GetContext>(
        reinterpret_cast<void*>(GetProcAddress(user32, "GetWindowDpiAwarenessContext")));
    const auto set = reinterpret_cast<SetContext>(
        reinterpret_cast<void*>(GetProcAddress(user32, "SetThreadDpiAwarenessContext")));
    if (get == nullptr || set == nullptr) return;
    if (HANDLE context = get(host)) set(context);
}

}  // namespace

void ShowPreview(Vey_R& form, const std::string& commandLine, const std::function<void()>& endAtOnce) {
    const int32_t number = PreviewHostNumber(commandLine);
    HWND host = reinterpret_cast<HWND>(static_cast<intptr_t>(number));
    if (number == 0 || !IsWindow(host)) {
        endAtOnce();
        return;
    }
    TakeHostDpiAwareness(host);
    RECT rect = {};
    API_Result = GetWindowRect(host, &rect);
    const double tx = forms::Screen::TwipsPerPixelX(), ty = forms::Screen::TwipsPerPixelY();
    const int16_t width = PreviewTwips(rect.right - rect.left, tx);
    const int16_t height = PreviewTwips(rect.bottom - rect.top, ty);

    form.host = host;
    form.Load();
    HWND window = form.hWnd();
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    API_Result = SetWindowLongW(window, GWL_STYLE, style | WS_CHILD);
    API_Result = static_cast<int32_t>(reinterpret_cast<intptr_t>(SetParent(window, host)));
    form.Move(0, 0, width, height);
    form.Img_Prev.Move(0, 0, static_cast<int>(std::lround(width / tx)), static_cast<int>(std::lround(height / ty)));
    form.Show();
    form.WatchHost(endAtOnce);
}

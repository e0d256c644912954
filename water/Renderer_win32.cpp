// The renderer's windows and loop: switch the primary display to 1024 x 768
// x 32 (unless the user keeps its resolution; where the display refuses, it
// stays as it is), cover every monitor with a "Tavelo_VC" window showing
// water in front of its own part of the screen copy, draw a frame per
// display refresh whenever the message queue is empty, and put everything
// back on Escape or a close. Where not even one window can be made the
// program ends silently with exit code 0; the saver notices by never seeing
// a window.
#include "Renderer.h"

#include <string>
#include <vector>

#include "CommandLine.h"
#include "Displays.h"
#include "FramePacer.h"
#include "FrameReport.h"
#include "GLHeaders.h"  // <windows.h> first
#include <mmsystem.h>
#include "LibrarySearch.h"
#include "Utf16.h"
#include "WaveField.h"

namespace {

const PIXELFORMATDESCRIPTOR kPixelFormat = {
    sizeof(PIXELFORMATDESCRIPTOR),  // 40
    1,
    PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER,
    PFD_TYPE_RGBA,
    32,                // colour bits
    0, 0, 0, 0, 0, 0,  // red, green, blue bits and shifts
    4,                 // alpha bits
    0,                 // alpha shift
    0,                 // accumulation bits
    0, 0, 0, 0,        // accumulation channels
    16,                // depth bits
    0,                 // stencil bits
    0,                 // auxiliary buffers
    PFD_MAIN_PLANE,
    0,                 // reserved
    0, 0, 0            // layer, visible and damage masks
};

const std::wstring kClassName = Utf8ToWide(contract::kRendererClass);

constexpr DWORD kMinimisedPollMs = 100;  // how often a minimised renderer looks at its windows

double NowMs() {
    static const double ticksPerMs = [] {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(frequency.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / ticksPerMs;
}

// Asks the driver to let each swap of the current context wait for the
// display (WGL_EXT_swap_control).
bool SetSwapInterval(int interval) {
    using SwapIntervalProc = BOOL(WINAPI*)(int);
    const auto proc = reinterpret_cast<SwapIntervalProc>(
        reinterpret_cast<void*>(wglGetProcAddress("wglSwapIntervalEXT")));
    return proc != nullptr && proc(interval) != FALSE;
}

// Waits for input or a message, at most timeoutMs.
void WaitForMessages(DWORD timeoutMs) {
    MsgWaitForMultipleObjectsEx(0, nullptr, timeoutMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

SceneLook LookOf(const WindowPlan& plan) {
    SceneLook look;
    look.picture = plan.picture;
    look.aspect = plan.aspect;
    look.exactBackdrop = plan.exactBackdrop;
    return look;
}

}  // namespace

RendererWindow::RendererWindow(Renderer& owner, const WindowPlan& plan, const Sea& sea)
    : owner(owner), plan(plan), scene(sea) {}

bool RendererWindow::Open(HINSTANCE instance, const wchar_t* className, const wchar_t* caption) {
    const DWORD style = WS_POPUP;
    // Topmost, like the system's own savers: the taskbars of the other
    // monitors and a user's always-on-top windows are topmost themselves.
    const DWORD exStyle = WS_EX_APPWINDOW | WS_EX_TOPMOST;
    const PixelRect& r = plan.window;
    RECT rect = {0, 0, r.Width(), r.Height()};
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    window_.Reset(CreateWindowExW(exStyle, className, caption, style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, r.left,
                                  r.top, rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr, instance,
                                  this));
    if (!window_ || !(dc_ = win::WindowDC(window_.get()))) return false;
    const int format = ChoosePixelFormat(dc_.get(), &kPixelFormat);
    if (format == 0 || !SetPixelFormat(dc_.get(), format, &kPixelFormat)) return false;
    context_.Reset(wglCreateContext(dc_.get()));
    return MakeCurrent();
}

// With one monitor the context is current all the while: the frame loop
// makes no call for it.
bool RendererWindow::MakeCurrent() const {
    if (!context_ || !dc_) return false;
    if (wglGetCurrentContext() == context_.get() && wglGetCurrentDC() == dc_.get()) return true;
    return wglMakeCurrent(dc_.get(), context_.get()) != FALSE;
}

void RendererWindow::Show() {
    ShowWindow(window_.get(), SW_SHOW);
    MakeCurrent();
    scene.ResizeViewport(plan.window.Width(), plan.window.Height());
}

void Renderer::CloseRendererWindow() {
    // The desktop's stored mode back (unless the guard did that), then the
    // pointer and the windows, in turn with the guard's display calls.
    display_->PutBack([this] {
        if (pointerHidden_) {
            ShowCursor(TRUE);
            pointerHidden_ = false;
        }
        windows_.clear();  // each: its textures, contexts and window (the sea frees its field itself)
        if (classRegistered_) {
            UnregisterClassW(kClassName.c_str(), instance_);
            classRegistered_ = false;
        }
    });
}

bool Renderer::OpenRendererWindow(const wchar_t* caption, int width, int height, int bits) {
    instance_ = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    windowClass.lpfnWndProc = RendererWindowProc;
    windowClass.hInstance = instance_;
    windowClass.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_WINLOGO));
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.lpszClassName = kClassName.c_str();
    if (!RegisterClassW(&windowClass)) return false;
    classRegistered_ = true;

    // The layout as the saver copied it, then after the switch: a display
    // that refuses the designed mode (a remote session, many virtual
    // machines and panels) runs in its own, with nothing to restore.
    // A renderer whose saver is already gone switches nothing; one whose
    // guard could not start must not switch what nothing might put back.
    if (guard_ && guard_->SaverGone()) return false;
    const std::vector<Monitor> before = CurrentMonitors();
    const bool switched = !arguments_.keepResolution && (!guard_ || guard_->Watching()) &&
                          display_->Switch(width, height, bits);
    ShowCursor(FALSE);
    pointerHidden_ = true;
    const std::vector<Monitor> after = switched ? CurrentMonitors() : before;
    placedOn_ = after;
    const PixelRect screen = VirtualScreen(before);
    const std::vector<WindowPlan> placed = PlanWindows(before, after, screen.Width(), screen.Height(), switched);

    // Every monitor is covered before anything is drawn. A monitor whose
    // window or context cannot be made is left out; the primary's cannot be.
    for (const WindowPlan& plan : placed) {
        auto window = std::make_unique<RendererWindow>(*this, plan, sea_);
        if (!window->Open(instance_, kClassName.c_str(), caption)) {
            if (windows_.empty()) return false;
            continue;
        }
        windows_.push_back(std::move(window));
    }
    if (windows_.empty()) return false;
    for (auto& window : windows_) window->Show();
    // Started by the saver, the primary's window must also take the
    // keyboard, or Escape would go elsewhere.
    SetForegroundWindow(windows_.front()->hWnd());
    SetFocus(windows_.front()->hWnd());

    // The pictures (a missing one is reported, over the windows), each
    // window's part of them, and the one sea.
    windows_.front()->MakeCurrent();
    const ScenePictures pictures = ReadScenePictures(arguments_.screenCopy, arguments_.lightPattern);
    const int copyWidth = pictures.backdrop ? pictures.backdrop->width : screen.Width();
    const int copyHeight = pictures.backdrop ? pictures.backdrop->height : screen.Height();
    const std::vector<WindowPlan> shown = PlanWindows(before, after, copyWidth, copyHeight, switched);
    sea_.Init();
    for (auto& window : windows_) {
        for (const WindowPlan& plan : shown) {
            if (plan.device == window->plan.device) window->plan = plan;
        }
        window->MakeCurrent();
        window->scene.InitGLState(pictures, LookOf(window->plan));
    }
    return true;
}

LRESULT CALLBACK Renderer::RendererWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* window = reinterpret_cast<RendererWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (window == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
    return window->owner.Handle(*window, hwnd, message, wParam, lParam);
}

// (hwnd, not window.hWnd(): messages come before CreateWindowExW returns.)
LRESULT Renderer::Handle(RendererWindow& window, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            // Its own context: the viewport belongs to it.
            if (window.MakeCurrent()) window.scene.ResizeViewport(LOWORD(lParam), HIWORD(lParam));
            return 0;
        case WM_ACTIVATE:
            window.active = HIWORD(wParam) == 0;  // not minimised
            return 0;
        case WM_CLOSE:  // on any monitor: the run ends
            PostQuitMessage(0);
            return 0;
        case WM_DISPLAYCHANGE:
            // A monitor unplugged or added, a resolution changed by another
            // program: the windows no longer fit, so the run ends as Escape
            // would. The renderer's own switch leaves the monitors as placed.
            if (!placedOn_.empty() && LayoutChanged(placedOn_, CurrentMonitors())) displaysChanged_ = true;
            return DefWindowProcW(hwnd, message, wParam, lParam);
        case WM_KEYDOWN:
            keys_[wParam & 0xFF] = true;
            // A quick tap brings its key-up in the same batch of messages:
            // remember the press itself, or the loop would never see it.
            if (wParam == VK_ESCAPE) escapePressed_ = true;
            return 0;
        case WM_KEYUP:
            keys_[wParam & 0xFF] = false;
            return 0;
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

bool Renderer::AnyWindowActive() const {
    for (const auto& window : windows_) {
        if (window->active) return true;
    }
    return false;
}

// Escape went down, the displays changed under the run, or the saver went.
bool Renderer::RunIsOver() const {
    return keys_[VK_ESCAPE] || escapePressed_ || displaysChanged_ || (guard_ && guard_->SaverGone());
}

// One frame: the sea once, then every window that is not minimised.
void Renderer::DrawFrame() {
    sea_.Update();
    for (auto& window : windows_) {
        if (!window->active || !window->MakeCurrent()) continue;
        window->scene.DrawFrame();
        window->SwapBuffers();
    }
}

int Renderer::Run() {
    guard_ = SaverGuard::Start(arguments_, display_);
    if (!OpenRendererWindow(Utf8ToWide(contract::kRendererCaption).c_str(), kDesignedWidth, kDesignedHeight,
                            kDesignedBits)) {
        CloseRendererWindow();  // the one clean-up, for whatever was made
        if (guard_) guard_->LoopClosed();
        return 0;
    }

    FrameReport report;  // the measuring build's; nothing in the one shipped
    // One frame per refresh: the primary's swap waits for the display where
    // the driver does that (the other windows' swaps do not wait, so a frame
    // takes one refresh however many monitors there are); otherwise the loop
    // waits for the frame's slot in the message wait, so a key or a close
    // still ends the run at once. Waits of a few milliseconds need the 1 ms
    // timer period.
    bool swapInterval = false, software = false;
    for (size_t i = 0; i < windows_.size(); ++i) {
        if (!windows_[i]->MakeCurrent()) continue;
        if (i == 0) {
            swapInterval = SetSwapInterval(1);
        } else {
            SetSwapInterval(0);
        }
        const GLubyte* name = glGetString(GL_RENDERER);
        software = software || (name != nullptr && IsSoftwareRasteriser(reinterpret_cast<const char*>(name)));
    }
    // A software rasteriser on any monitor (a second adapter may fall back
    // to the system's generic one) would keep more than a core busy for the
    // whole idle time: 30 frames a second.
    FramePacer pacer(DisplayRefreshHz(), swapInterval, software ? kSoftwareFramesPerSecond : 0);
    timeBeginPeriod(1);
    MSG message = {};
    for (;;) {
        if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) break;
            TranslateMessage(&message);
            DispatchMessageW(&message);
            continue;
        }
        if (!AnyWindowActive()) {
            WaitForMessages(kMinimisedPollMs);  // minimised: nothing to draw
            continue;
        }
        if (RunIsOver()) break;
        const int wait = pacer.MillisecondsToWait(NowMs());
        if (wait > 0) {
            WaitForMessages(static_cast<DWORD>(wait));
            continue;
        }
        pacer.FrameStarting(NowMs());
        DrawFrame();
        report.FrameDrawn();
    }
    timeEndPeriod(1);
    report.Write({DisplayRefreshHz(), swapInterval, pacer.Waits(), static_cast<unsigned>(windows_.size()), software});
    CloseRendererWindow();
    if (guard_) guard_->LoopClosed();
    // A close ends through WM_QUIT (exit code 0); Escape is a normal end too.
    return message.message == WM_QUIT ? static_cast<int>(message.wParam) : 0;
}

// The saver gives "/keep" to keep the display's resolution, and two picture
// paths when it could not write the fixed ones in the root of drive C; with
// no arguments the renderer switches the display and reads the fixed ones.
int RendererMain() {
    std::vector<std::string> arguments = SplitCommandLine(WideToUtf8(GetCommandLineW()));
    if (!arguments.empty()) arguments.erase(arguments.begin());  // the program's name
    Renderer renderer(ParseRendererArguments(arguments));
    return renderer.Run();
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    LoadLibrariesFromSystemFolderOnly();
    return RendererMain();
}

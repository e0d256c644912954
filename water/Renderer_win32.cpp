// The renderer's window and loop: switch the display to 1024 x 768 x 32,
// cover it with one "Tavelo_VC" window, draw a frame per display refresh
// whenever the message queue is empty, and put everything back on Escape or
// a close. A failed start ends
// the program silently with exit code 0; the saver notices by never seeing
// the window.
#include "Renderer.h"

#include <cstdio>

#include <string>
#include <vector>

#include "CommandLine.h"
#include "Contract.h"
#include "FramePacer.h"
#include "GLHeaders.h"  // <windows.h> first
#include <mmsystem.h>
#include "Scene.h"
#include "Utf16.h"
#include "WaveField.h"

namespace {

BOOL g_fullscreen = FALSE;      // the display mode was changed and must be restored
BOOL g_active = TRUE;           // the window is not minimised: frames are drawn
bool g_keys[256] = {};          // key-down state by virtual-key code
bool g_escapePressed = false;   // Escape went down since the start, even if it is up again

const std::wstring kClassNameText = Utf8ToWide(contract::kRendererClass);
const wchar_t* const kClassName = kClassNameText.c_str();

HWND g_window = nullptr;
HDC g_dc = nullptr;
HGLRC g_context = nullptr;
HINSTANCE g_instance = nullptr;

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

}  // namespace

void CloseRendererWindow() {
    FreeWaveField();
    if (g_fullscreen) {
        ChangeDisplaySettingsW(nullptr, 0);  // back to the desktop's stored mode
        ShowCursor(TRUE);
        g_fullscreen = FALSE;
    }
    if (g_context != nullptr) {
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(g_context);
        g_context = nullptr;
    }
    if (g_dc != nullptr) {
        ReleaseDC(g_window, g_dc);
        g_dc = nullptr;
    }
    if (g_window != nullptr) {
        DestroyWindow(g_window);
        g_window = nullptr;
    }
    UnregisterClassW(kClassName, g_instance);
}

// Opens the window and its rendering context. A failure leaves whatever was
// made so far to CloseRendererWindow, which copes with any part of it.
BOOL OpenRendererWindow(const wchar_t* caption, int width, int height, int bits) {
    RECT rect = {0, 0, width, height};
    g_instance = GetModuleHandleW(nullptr);

    WNDCLASSW windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    windowClass.lpfnWndProc = RendererWindowProc;
    windowClass.hInstance = g_instance;
    windowClass.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_WINLOGO));
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassW(&windowClass)) return FALSE;

    DEVMODEW mode = {};
    mode.dmSize = sizeof(DEVMODEW);
    mode.dmPelsWidth = static_cast<DWORD>(width);
    mode.dmPelsHeight = static_cast<DWORD>(height);
    mode.dmBitsPerPel = static_cast<DWORD>(bits);
    mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
    if (ChangeDisplaySettingsW(&mode, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL) return FALSE;
    g_fullscreen = TRUE;  // only now is there a mode (and a hidden pointer) to give back

    ShowCursor(FALSE);

    const DWORD style = WS_POPUP;
    const DWORD exStyle = WS_EX_APPWINDOW;
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);

    g_window = CreateWindowExW(exStyle, kClassName, caption, style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
                               rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr, g_instance, nullptr);
    if (g_window == nullptr || (g_dc = GetDC(g_window)) == nullptr) return FALSE;
    const int format = ChoosePixelFormat(g_dc, &kPixelFormat);
    if (format == 0 || !SetPixelFormat(g_dc, format, &kPixelFormat)) return FALSE;
    if ((g_context = wglCreateContext(g_dc)) == nullptr || !wglMakeCurrent(g_dc, g_context)) return FALSE;

    ShowWindow(g_window, SW_SHOW);
    // Started by the saver, the window must also take the keyboard, or
    // Escape would go elsewhere.
    SetForegroundWindow(g_window);
    SetFocus(g_window);
    ResizeViewport(width, height);
    return InitGLState();
}

LRESULT CALLBACK RendererWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            ResizeViewport(LOWORD(lParam), HIWORD(lParam));
            return 0;
        case WM_ACTIVATE:
            g_active = HIWORD(wParam) == 0;  // not minimised
            return 0;
        case WM_CLOSE:
            PostQuitMessage(0);
            return 0;
        case WM_KEYDOWN:
            g_keys[wParam & 0xFF] = true;
            // A quick tap brings its key-up in the same batch of messages:
            // remember the press itself, or the loop would never see it.
            if (wParam == VK_ESCAPE) g_escapePressed = true;
            return 0;
        case WM_KEYUP:
            g_keys[wParam & 0xFF] = false;
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

// The saver gives two picture paths when it could not write the fixed ones
// in the root of drive C; with anything else the fixed ones are read.
void TakePicturePaths() {
    const std::vector<std::string> arguments = SplitCommandLine(WideToUtf8(GetCommandLineW()));
    if (arguments.size() == 3) {
        BackdropPicturePath = arguments[1];
        SurfacePicturePath = arguments[2];
    } else {
        BackdropPicturePath = contract::kScreenCopyFile;
        SurfacePicturePath = contract::kLightPatternFile;
    }
}

namespace {

constexpr DWORD kMinimisedPollMs = 100;  // how often a minimised window looks at its state

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

// The display's refresh rate in the mode the renderer switched to.
int DisplayRefreshHz() {
    DEVMODEW mode = {};
    mode.dmSize = sizeof(DEVMODEW);
    if (!EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode)) return 0;
    return static_cast<int>(mode.dmDisplayFrequency);
}

// Asks the driver to let each swap wait for the display (WGL_EXT_swap_control).
bool SetSwapInterval() {
    using SwapIntervalProc = BOOL(WINAPI*)(int);
    const auto proc = reinterpret_cast<SwapIntervalProc>(
        reinterpret_cast<void*>(wglGetProcAddress("wglSwapIntervalEXT")));
    return proc != nullptr && proc(1) != FALSE;
}

// Waits for input or a message, at most timeoutMs.
void WaitForMessages(DWORD timeoutMs) {
    MsgWaitForMultipleObjectsEx(0, nullptr, timeoutMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

}  // namespace

int RendererMain() {
    TakePicturePaths();
    if (!OpenRendererWindow(Utf8ToWide(contract::kRendererCaption).c_str(), 1024, 768, 32)) {
        CloseRendererWindow();  // the one clean-up, for whatever was made
        return 0;
    }

#ifdef TAVELO_FRAME_REPORT
    // Measuring build only (not shipped): frames drawn and time taken, and
    // with TAVELO_FRAME_TICK set, the sea held at that tick count.
    DWORD frames = 0;
    const DWORD firstTick = GetTickCount();
    static uint32_t heldTick = 0;
    wchar_t held[16] = {};
    if (GetEnvironmentVariableW(L"TAVELO_FRAME_TICK", held, 16) > 0) {
        heldTick = static_cast<uint32_t>(wcstoul(held, nullptr, 10));
        SetWaveClock([] { return heldTick; });
    }
#endif
    // One frame per refresh: the swap waits for the display where the
    // driver does that, otherwise the loop waits for the frame's slot in the
    // message wait, so a key or a close still ends the run at once. Waits of
    // a few milliseconds need the 1 ms timer period.
    const bool swapInterval = SetSwapInterval();
    FramePacer pacer(DisplayRefreshHz(), swapInterval);
    timeBeginPeriod(1);
    MSG message = {};
    for (;;) {
        if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) break;
            TranslateMessage(&message);
            DispatchMessageW(&message);
            continue;
        }
        if (!g_active) {
            WaitForMessages(kMinimisedPollMs);  // minimised: nothing to draw
            continue;
        }
        if (g_keys[VK_ESCAPE] || g_escapePressed) break;
        const int wait = pacer.MillisecondsToWait(NowMs());
        if (wait > 0) {
            WaitForMessages(static_cast<DWORD>(wait));
            continue;
        }
        pacer.FrameStarting(NowMs());
        DrawFrame();
        SwapBuffers(g_dc);
#ifdef TAVELO_FRAME_REPORT
        ++frames;
#endif
    }
    timeEndPeriod(1);
#ifdef TAVELO_FRAME_REPORT
    const DWORD elapsed = GetTickCount() - firstTick;
    if (FILE* report = _wfopen(L"C:\\Tavelo-frames.txt", L"w")) {
        std::fprintf(report, "frames=%lu ms=%lu fps=%.1f refresh=%d swapinterval=%d paced=%d\n", frames, elapsed,
                     elapsed ? frames * 1000.0 / elapsed : 0.0, DisplayRefreshHz(), swapInterval ? 1 : 0,
                     pacer.Waits() ? 1 : 0);
        std::fclose(report);
    }
#endif
    CloseRendererWindow();
    // A close ends through WM_QUIT (exit code 0); Escape is a normal end too.
    return message.message == WM_QUIT ? static_cast<int>(message.wParam) : 0;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return RendererMain(); }

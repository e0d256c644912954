// The renderer program: one full-screen "Tavelo_VC" window per monitor, each
// with its own rendering context and scene, and the message loop that draws
// the one sea in all of them (Renderer_win32.cpp).
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <vector>

#include "Contract.h"
#include "Scene.h"
#include "ScreenLayout.h"
#include "Sea.h"
#include "WinHandles.h"

class Renderer;

// One window of the renderer, on one monitor: its device context, OpenGL
// context and scene. Given back in the reverse order when it goes.
class RendererWindow {
public:
    RendererWindow(Renderer& owner, const WindowPlan& plan, const Sea& sea);
    ~RendererWindow();
    RendererWindow(const RendererWindow&) = delete;
    RendererWindow& operator=(const RendererWindow&) = delete;

    // The window, its pixel format and context; false at the first step
    // that fails (what was made goes with the object).
    bool Open(HINSTANCE instance, const wchar_t* className, const wchar_t* caption);
    bool MakeCurrent() const;
    void Show();
    void SwapBuffers() const { ::SwapBuffers(dc_); }

    Renderer& owner;
    WindowPlan plan;
    Scene scene;
    bool active = true;  // not minimised: frames are drawn
    HWND hWnd() const { return window_.get(); }

private:
    win::Window window_;
    HDC dc_ = nullptr;  // the window's own (CS_OWNDC)
    HGLRC context_ = nullptr;
};

// The run ends with the saver, however the saver ends. A thread waits for
// the saver's process; when it goes, the thread puts the display mode back
// and ends the loop, and a moment later lets go of its hold on the job the
// saver started the renderer in: the last hold, so the job then ends this
// process, should its loop not have ended by then.
class SaverGuard {
public:
    // Handles as the saver gave them: the renderer's own to the saver's
    // process, and the saver's to the job (duplicated here while it lives).
    // The guard's thread shares it.
    static std::shared_ptr<SaverGuard> Start(uint64_t saverProcess, uint64_t saverJob);
    SaverGuard(uint64_t saverProcess, uint64_t saverJob);
    std::atomic<bool> displaySwitched{false};

private:
    static DWORD WINAPI Watch(void* guard);
    win::Handle saver_;
    win::Handle job_;
    DWORD loopThread_;
};

class Renderer {
public:
    explicit Renderer(RendererArguments arguments) : arguments_(std::move(arguments)) {}
    ~Renderer() { CloseRendererWindow(); }
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    // Opens the windows and draws until Escape or a close; the exit code.
    int Run();
    // The primary display switched to width x height x bits (unless the
    // user keeps its resolution, or it refuses: then it stays as it is), a
    // window on every monitor, the scene in each. False when not even the
    // primary's window could be made.
    bool OpenRendererWindow(const wchar_t* caption, int width, int height, int bits);
    // Safe with any part of the above made; puts back the display mode and
    // the pointer.
    void CloseRendererWindow();
    static LRESULT CALLBACK RendererWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    LRESULT Handle(RendererWindow& window, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    bool AnyWindowActive() const;
    void DrawFrame();

    RendererArguments arguments_;
    std::shared_ptr<SaverGuard> guard_;  // shared with its thread, which outlives nothing but the process
    HINSTANCE instance_ = nullptr;
    bool classRegistered_ = false;
    bool fullscreen_ = false;     // the display mode was changed and must be restored
    bool pointerHidden_ = false;
    bool keys_[256] = {};         // key-down state by virtual-key code
    bool escapePressed_ = false;  // Escape went down since the start, even if it is up again
    Sea sea_;                     // evaluated once a frame, drawn in every window
    std::vector<std::unique_ptr<RendererWindow>> windows_;  // the primary's first
};

int RendererMain();

// The renderer program: one full-screen "Tavelo_VC" window per monitor, each
// with its own rendering context and scene, and the message loop that draws
// the one sea in all of them (Renderer_win32.cpp).
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "Contract.h"
#include "DisplaySwitch.h"
#include "SaverGuard.h"
#include "Scene.h"
#include "ScreenLayout.h"
#include "Sea.h"
#include "WinHandles.h"

class Renderer;

// One window of the renderer, on one monitor: its device context, OpenGL
// context and scene, each held by its owner and given back in the reverse
// order when it goes: the scene with its own context current (texture names
// are each context's own: freed in another window's context they would free
// that window's), then the context, the device context, the window.
class RendererWindow {
public:
    RendererWindow(Renderer& owner, const WindowPlan& plan, const Sea& sea);
    RendererWindow(const RendererWindow&) = delete;
    RendererWindow& operator=(const RendererWindow&) = delete;

    // The window, its pixel format and context; false at the first step
    // that fails (what was made goes with the object).
    bool Open(HINSTANCE instance, const wchar_t* className, const wchar_t* caption);
    bool MakeCurrent() const;
    void Show();
    void SwapBuffers() const { ::SwapBuffers(dc_.get()); }

    Renderer& owner;
    WindowPlan plan;
    bool active = true;  // not minimised: frames are drawn
    HWND hWnd() const { return window_.get(); }

private:
    // Makes the window's context current as it goes, so that the scene, which
    // goes next, frees its textures there.
    struct CurrentAtTheEnd {
        const RendererWindow& window;
        ~CurrentAtTheEnd() { window.MakeCurrent(); }
    };

    win::Window window_;
    win::WindowDC dc_;  // the window's own (CS_OWNDC)
    win::GLContext context_;

public:
    Scene scene;

private:
    CurrentAtTheEnd currentAtTheEnd_{*this};
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
    bool RunIsOver() const;
    void DrawFrame();

    RendererArguments arguments_;
    std::shared_ptr<DisplaySwitch> display_ = std::make_shared<DisplaySwitch>();  // shared with the guard
    std::shared_ptr<SaverGuard> guard_;  // shared with its thread, which outlives nothing but the process
    HINSTANCE instance_ = nullptr;
    bool classRegistered_ = false;
    bool pointerHidden_ = false;
    std::vector<Monitor> placedOn_;  // the monitors as the windows were placed
    bool displaysChanged_ = false;   // by someone else during the run: it ends
    bool keys_[256] = {};         // key-down state by virtual-key code
    bool escapePressed_ = false;  // Escape went down since the start, even if it is up again
    Sea sea_;                     // evaluated once a frame, drawn in every window
    std::vector<std::unique_ptr<RendererWindow>> windows_;  // the primary's first
};

int RendererMain();

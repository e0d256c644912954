// The program and the screen in our forms layer: the message loop that
// runs while a form is loaded, ending at once, the command line, message
// boxes, starting programs; the screen's size, twips and mouse pointer.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace forms {

class Application {
public:
    // Dispatches messages until no form is loaded (or WM_QUIT arrives), and
    // runs the watches below between them.
    static void Run();
    // Watches kept by the message loop itself, whatever window comes or goes
    // (a form's timers go with its window): onSignalled runs once, when the
    // object (a process) is signalled; check runs every everyMs. The owner
    // forgets its watches before it goes.
    static void Watch(const void* owner, HANDLE object, std::function<void()> onSignalled);
    static void Poll(const void* owner, unsigned everyMs, std::function<void()> check);
    static void Forget(const void* owner);
    // Ends the process at once: no unload handler runs.
    [[noreturn]] static void EndAtOnce(int exitCode = 0);
    static int LoadedForms();
    // The argument text after the program's file name.
    static std::string CommandLine();
    // OK-only message box captioned with the program's title; returns when closed.
    static void MsgBox(const std::string& text, HWND owner = nullptr);
    // The caption of the program's message boxes.
    static void SetTitle(const std::string& title);
    // Starts a program file as a new process, its window shown normally and
    // given the focus; the process's handle (the caller closes it), or
    // nullptr when it cannot be started. It inherits exactly the handles
    // given (each made inheritable) and no other; given a job object, it is
    // in the job from its start (before Windows 10: a moment after; where
    // the system refuses, it runs outside it).
    static HANDLE Shell(const std::string& path, const std::string& arguments = std::string(),
                        const std::vector<HANDLE>& inherited = {}, HANDLE job = nullptr);
    // True while an event handler runs (ticks wait for the next gap).
    static bool InHandler();

private:
    friend class Form;
    friend class HandlerScope;
    static int loadedForms_;
    static int handlerDepth_;
    struct Watched {
        const void* owner;
        HANDLE object;
        std::function<void()> onSignalled;
    };
    struct Polled {
        const void* owner;
        unsigned everyMs;
        DWORD last;
        std::function<void()> check;
    };
    static std::vector<Watched> watched_;
    static std::vector<Polled> polled_;
};

// Marks the time an event handler runs.
class HandlerScope {
public:
    HandlerScope() { ++Application::handlerDepth_; }
    ~HandlerScope() { --Application::handlerDepth_; }
    HandlerScope(const HandlerScope&) = delete;
    HandlerScope& operator=(const HandlerScope&) = delete;
};

enum class MousePointer { Default, Arrow, Hourglass, Hand };

struct Screen {
    static int DotsPerInchX();
    static int DotsPerInchY();
    static double TwipsPerPixelX();  // 15 at 96 dots per inch, 7.5 at 192: exact
    static double TwipsPerPixelY();
    // Twips to the nearest pixel, and pixels to the nearest twip.
    static int PixelsX(double twips);
    static int PixelsY(double twips);
    static int TwipsX(double pixels);
    static int TwipsY(double pixels);
    static int Width();           // twips
    static int Height();
    static int WidthPixels();
    static int HeightPixels();
    // Every monitor together, in pixels: the primary's top-left is (0, 0),
    // so a monitor left of or above it makes the origin negative.
    static int VirtualLeft();
    static int VirtualTop();
    static int VirtualWidth();
    static int VirtualHeight();
    static void SetMousePointer(MousePointer pointer);
    static MousePointer GetMousePointer();
};

}  // namespace forms

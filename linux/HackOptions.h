// The command line of tavelo, the water for xscreensaver: which window it
// draws into and how. Portable, tested natively.
#pragma once

#include <string>
#include <vector>

struct HackOptions {
    // Where to draw: a window of its own (for trying it by hand), a window it
    // is given (--window-id, or xscreensaver's $XSCREENSAVER_WINDOW), or the
    // root window.
    enum class Target { OwnWindow, GivenWindow, Root };
    Target target = Target::OwnWindow;
    unsigned long window = 0;  // GivenWindow
    bool fps = false;          // the frame rate in a corner
    double speed = 1.0;        // the wave clock's pace, 0.25 ... 4
    std::string display;       // --display; empty: $DISPLAY
    bool help = false;
    std::string error;         // empty when the command line was understood
};

constexpr double kLowestSpeed = 0.25;
constexpr double kHighestSpeed = 4.0;

// args: after the program's name. xscreensaverWindow: $XSCREENSAVER_WINDOW,
// or nullptr. Options take one dash or two, and "--name=value" too. The
// window: --window-id, else --window (its own), else $XSCREENSAVER_WINDOW
// (what --root means under xscreensaver: its window, the virtual root),
// else --root, else its own. --install, --visual and --delay (which
// xscreensaver may pass to any program) are taken and ignored.
HackOptions ParseHackOptions(const std::vector<std::string>& args, const char* xscreensaverWindow);

// A window id as X prints them: 0x-prefixed hexadecimal, or decimal; 0
// when it is neither (no window has id 0).
unsigned long ParseWindowId(const std::string& text);

extern const char* const kHackUsage;

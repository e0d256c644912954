// The rules of a full-screen run and of a preview that need no window: when
// the run is over, and what the preview reads from its command line.
#pragma once

#include <cstdint>
#include <string>

// Decides, at each look for the renderer's window, whether the run is over.
// The renderer takes a moment to switch the display and open its window, so
// its absence means the end only once the window has been seen, or when the
// renderer's process is gone without ever showing it (a refused display
// mode, a program that could not be started).
class RendererWatch {
public:
    // windowFound: a window captioned "Tavelo_VC" exists now;
    // rendererRunning: the process the run started is still running.
    bool RunIsOver(bool windowFound, bool rendererRunning);
    bool WindowSeen() const { return seen_; }
    // A renderer that runs on without ever showing its window (hung in its
    // start) is given up after this long: the run ends it and ends.
    static constexpr uint32_t kStartLimitMs = 10000;
    bool StartTimedOut(bool rendererRunning, uint32_t msSinceStart) const {
        return !seen_ && rendererRunning && msSinceStart >= kStartLimitMs;
    }

private:
    bool seen_ = false;
};

// The preview's host window number: the command line from its fourth
// character on, read as a number and rounded to 32 bits; 0 when there is no
// number or it does not fit.
int32_t PreviewHostNumber(const std::string& commandLine);

// A size in pixels as twips for a form's size, rounded to 16 bits; 0 when it
// does not fit (a host wider than 32767 twips).
int16_t PreviewTwips(long pixels, double twipsPerPixel);

// When the renderer may start its next frame, so that it draws no more
// frames than the display shows. Portable: the caller reads the clock.
//
// With a swap interval of 1 the buffer swap itself waits for the display and
// the pacer only watches: a driver that accepts the interval but does not
// wait (frames keep coming faster than three quarters of the refresh period)
// is paced like one without it. Without an interval every frame start is
// given a slot one refresh period after the last one; a frame that is late
// by a whole period or more starts a new schedule instead of a burst.
//
// A software rasteriser (a machine without a graphics driver, a virtual
// machine, a remote session) draws slower than the display refreshes, so the
// swap never waits and the loop would keep more than a core busy for the
// whole idle time: it is paced to 30 frames a second instead.
#pragma once

#include <string>

constexpr int kSoftwareFramesPerSecond = 30;

// GL_RENDERER names one of the software rasterisers: Windows' own ("GDI
// Generic"), Mesa's (llvmpipe, softpipe, swrast), SwiftShader, or the
// Basic Render Driver behind OpenGL on Direct3D.
bool IsSoftwareRasteriser(const std::string& glRenderer);

class FramePacer {
public:
    // refreshHz as the display reports it; 0 or 1 ("the hardware's
    // default") and anything implausible count as 60 Hz. maxFramesPerSecond
    // (0: none) below the refresh rate makes the pacer wait for every frame.
    FramePacer(int refreshHz, bool swapIntervalSet, int maxFramesPerSecond = 0);

    double PeriodMs() const { return period_; }
    bool Waits() const { return waits_; }

    // Whole milliseconds to wait (in the message wait, so that input still
    // arrives) before a frame may start at nowMs; 0: start it now.
    int MillisecondsToWait(double nowMs) const;

    // A frame starts at nowMs.
    void FrameStarting(double nowMs);

private:
    double period_;
    bool waits_;
    double nextStart_ = 0.0;
    bool started_ = false;
    double lastStart_ = 0.0;
    double averageInterval_ = 0.0;
    int intervals_ = 0;
};

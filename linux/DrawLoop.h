// The drawing loop of tavelo: a frame at each of the pacer's slots, the
// window's events between them, until the window goes or a termination
// signal comes. No X here: the window side hands in what it does.
#pragma once

#include <functional>

#include "FramePacer.h"

struct DrawLoopHooks {
    std::function<bool()> handleEvents;  // false: the window is gone or was closed
    std::function<void()> drawFrame;     // the frame, swapped
    std::function<void(int ms)> wait;    // for the window's events or the time, cut short by a signal
    std::function<double()> nowMs;       // a steady clock
};

// Returns when the loop ended: true on a termination signal, false when the
// window went.
bool RunDrawLoop(FramePacer& pacer, const DrawLoopHooks& hooks);

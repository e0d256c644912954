// The primary display's switch for the run (Displays_win32.cpp). The loop's
// thread makes it; it is put back exactly once, by whichever thread gets
// there first: the loop at its close, or the saver guard when the loop
// cannot. Two threads in the system's display and pointer calls at once can
// lock each other, and every other program's display calls, for good: so
// the switch, the put-back and the rest of the loop's close are each made
// holding one lock.
#pragma once

#include <functional>
#include <mutex>

class DisplaySwitch {
public:
    // Switches the primary display (false: it refused and nothing changed,
    // or the mode was already put back for good).
    bool Switch(int width, int height, int bits);
    // Puts the desktop's stored mode back if it is switched, then, still
    // holding the lock, runs closing (the rest of a close that calls the
    // system's display and pointer functions).
    void PutBack(const std::function<void()>& closing = {});

private:
    enum class State { Unchanged, Switched, PutBack };
    std::mutex lock_;
    State state_ = State::Unchanged;
};

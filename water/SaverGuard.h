// The run ends with the saver, however the saver ends (SaverGuard_win32.cpp).
// A thread waits for the saver's process; when it goes, the loop is told to
// end the run as Escape would. Should the loop not have closed a moment
// later, the guard puts the display mode back itself (never waiting long
// behind that call) and ends this process.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>

#include "Contract.h"
#include "DisplaySwitch.h"
#include "WinHandles.h"

class SaverGuard {
public:
    // Watches when the command line's "/saver" names a handle to this
    // process's parent, and holds the job "/job" names, if the parent made
    // it; null when "/saver" names no parent (a renderer started by hand
    // runs unguarded, and touches no handle it was told of). The loop runs on
    // the calling thread.
    static std::shared_ptr<SaverGuard> Start(const RendererArguments& arguments,
                                             std::shared_ptr<DisplaySwitch> display);

    // False where the system could not start the guard's thread. Then this
    // process holds no handle to the saver's job, so that the saver's end
    // ends it at once, and must not switch the display, which nothing would
    // put back.
    bool Watching() const { return watching_; }
    // The saver has gone: the loop ends the run.
    bool SaverGone() const { return saverGone_.load(); }
    // The loop has closed the run (the mode is back): the guard need not.
    void LoopClosed() { SetEvent(loopClosed_.get()); }

    SaverGuard(HANDLE saver, HANDLE job, std::shared_ptr<DisplaySwitch> display);

private:
    static DWORD WINAPI Watch(void* guard);
    static DWORD WINAPI PutBackMode(void* guard);

    HANDLE saver_;  // the saver's gift, checked; never closed here
    // Our own hold on the job: while it lasts, the saver's end does not end
    // this process at once, and the guard can end the run cleanly first.
    win::Handle job_;
    win::Handle loopClosed_;
    std::shared_ptr<DisplaySwitch> display_;
    DWORD loopThread_;
    bool watching_ = false;
    std::atomic<bool> saverGone_{false};
};

#include "DrawLoop.h"

#include "StopSignal.h"

bool RunDrawLoop(FramePacer& pacer, const DrawLoopHooks& hooks) {
    FinishOnStop();  // a signal from now on ends the loop, which ends cleanly
    for (;;) {
        if (StopRequested()) return true;
        if (!hooks.handleEvents()) return false;
        const int wait = pacer.MillisecondsToWait(hooks.nowMs());
        if (wait > 0) {
            hooks.wait(wait);
            continue;
        }
        pacer.FrameStarting(hooks.nowMs());
        hooks.drawFrame();
    }
}

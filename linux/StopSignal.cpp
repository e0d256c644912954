#include "StopSignal.h"

#include <unistd.h>

#include <csignal>

namespace {
volatile std::sig_atomic_t g_stop = 0;
volatile std::sig_atomic_t g_finishing = 0;  // the loop runs: it ends the process
extern "C" void OnStopSignal(int) {
    if (g_finishing == 0) _exit(0);
    g_stop = 1;
}
}  // namespace

void StopOnTerminationSignals() {
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: a wait in poll() returns at once
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

void FinishOnStop() { g_finishing = 1; }

bool StopRequested() { return g_stop != 0; }

void ResetStopRequest() { g_stop = 0; }

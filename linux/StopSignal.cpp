#include "StopSignal.h"

#include <csignal>

namespace {
volatile std::sig_atomic_t g_stop = 0;
extern "C" void OnStopSignal(int) { g_stop = 1; }
}  // namespace

void StopOnTerminationSignals() {
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: a wait in poll() returns at once
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

bool StopRequested() { return g_stop != 0; }

void ResetStopRequest() { g_stop = 0; }

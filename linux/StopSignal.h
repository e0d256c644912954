// Ending at once on SIGTERM (xscreensaver stops its programs that way) and
// SIGINT. Until the drawing loop runs, the process ends in the handler
// itself (a start-up step may take long: reading a picture, the first
// textures); from then on a flag the loop looks at, which also cuts its
// waits short, so that it ends cleanly.
#pragma once

// Installs the handlers; from then on a signal ends the process at once.
void StopOnTerminationSignals();
// From now on a signal is a request: StopRequested() tells whether one came.
void FinishOnStop();
bool StopRequested();
void ResetStopRequest();  // tests

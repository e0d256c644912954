// Ending at once on SIGTERM (xscreensaver stops its programs that way) and
// SIGINT: a flag the drawing loop looks at, and that cuts its waits short.
#pragma once

// Installs the handlers; from then on StopRequested() tells whether one came.
void StopOnTerminationSignals();
bool StopRequested();
void ResetStopRequest();  // tests

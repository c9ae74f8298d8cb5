// SIGINT and SIGTERM as a request to stop: a long-running command (scan, survey record and walk) ends after
// the step it is in; a second signal ends the program at once.
#pragma once

namespace skimlet::cli {

// Installs the handlers (restarting interrupted calls, so that a write in progress goes on to its end).
void CatchStopSignals();
// True once a stop signal came.
bool StopRequested();

}  // namespace skimlet::cli

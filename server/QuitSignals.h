#pragma once
// A host stopping the server (kill, Ctrl+C, the end of its session) ends the
// event loop instead of the process, so the server shuts down as it does
// when it returns: the accounts database closed, the unsaved-hands file's
// lock let go.

class QCoreApplication;

namespace kelpo::server {

// The first SIGTERM, SIGINT or SIGHUP quits the application's event loop; a
// second one ends the process at once. False when the signals could not be
// routed (they then end the process as before).
bool QuitOnTerminationSignals(QCoreApplication& app);

} // namespace kelpo::server

#pragma once
// A host stopping the server (kill, Ctrl+C, the end of its session) ends the
// event loop instead of the process, so the server shuts down as it does
// when it returns: the accounts database closed, the unsaved-hands file's
// lock let go.

class QCoreApplication;

namespace kelpo::server {

// SIGTERM, SIGINT and SIGHUP quit the application's event loop from now on.
// False when the signals could not be routed (they then end the process as
// before).
bool QuitOnTerminationSignals(QCoreApplication& app);

} // namespace kelpo::server

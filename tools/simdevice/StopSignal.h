// SIGTERM, SIGINT and SIGHUP end the simulator cleanly: the handler only
// writes to a pipe that the main loop polls, so no signal is lost between a
// check and a wait.
#pragma once

// Installs the handlers and ignores SIGPIPE. Returns false if the pipe
// could not be made.
bool InstallStopSignals();

// The descriptor that becomes readable once a stop signal arrived.
int StopSignalFd();

bool StopRequested();

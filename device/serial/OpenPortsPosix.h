// The serial ports this process holds open, by descriptor, so that SIGINT,
// SIGTERM, SIGHUP and SIGQUIT release them on the way out. A tty's exclusive mode (TIOCEXCL)
// outlives the descriptor while another process holds the tty, as the far
// side of a pseudo-terminal does; a process that simply died would leave the
// port refusing everyone with "Device or resource busy". POSIX only.
#pragma once

#include <signal.h>

// The signals that end the process, each handled alike wherever the program
// takes them: Ctrl-C, kill, a terminal or an ssh connection that went away,
// Ctrl-\.
inline constexpr int EndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// Whether `signalNumber` is ignored. One that was ignored when the program
// started (nohup's SIGHUP, a background job's SIGINT in a script) stays
// ignored: the user asked for the program to outlive it, so no handler of
// the program's is installed for it, nor is it watched.
bool SignalIgnored(int signalNumber);

// At most MaxTrackedPorts at once; a port beyond them opens as usual but is
// only closed by the system on the way out.
inline constexpr int MaxTrackedPorts = 1024;

void TrackOpenPort(int fd);
void ForgetOpenPort(int fd);

// From now on SIGINT, SIGTERM, SIGHUP and SIGQUIT lift the exclusive mode of
// every tracked port, close it, and end the process with 128 plus the
// signal's number (130, 143, 129, 131), as a shell reports a program the
// signal ended; an ignored one stays ignored (SignalIgnored).
void ReleasePortsOnInterrupt();

// The serial ports this process holds open, by descriptor, so that SIGINT,
// SIGTERM, SIGHUP and SIGQUIT release them on the way out. A tty's exclusive mode (TIOCEXCL)
// outlives the descriptor while another process holds the tty, as the far
// side of a pseudo-terminal does; a process that simply died would leave the
// port refusing everyone with "Device or resource busy". POSIX only.
#pragma once

// At most MaxTrackedPorts at once; a port beyond them opens as usual but is
// only closed by the system on the way out.
inline constexpr int MaxTrackedPorts = 1024;

void TrackOpenPort(int fd);
void ForgetOpenPort(int fd);

// From now on SIGINT, SIGTERM, SIGHUP and SIGQUIT lift the exclusive mode of
// every tracked port, close it, and end the process with 128 plus the
// signal's number (130, 143, 129, 131), as a shell reports a program the
// signal ended.
void ReleasePortsOnInterrupt();

// The seam between the device link and the operating system's serial port.
// Two back ends implement it with the same outcomes: Win32 (a COM port by its
// device path, e.g. \\.\COM5) and POSIX termios (a tty path, e.g. /dev/rfcomm0).
// Every operation returns a PortResult; a failure carries the system's error
// from the call that failed.
#pragma once

#include "PortResult.h"

#include <cstddef>
#include <memory>
#include <string>

class SerialPort {
public:
    virtual ~SerialPort() = default;

    // Opens the port exclusively and sets the device's time-outs and line
    // settings (115200 baud, 8 data bits, no parity, 1 stop bit, no flow
    // control). OpenFailed (operation Open) leaves no port; SetupFailed
    // (operation Setup) leaves the port open.
    virtual PortResult Open(const std::string& path) = 0;

    // Closes the port if one is open; harmless otherwise.
    virtual void Close() = 0;

    virtual bool IsOpen() const = 0;

    // One write of the whole buffer: Ok with `count` the bytes the system
    // reports written (fewer than asked when the port stayed full), or
    // WriteFailed.
    virtual PortResult Write(const void* data, std::size_t length) = 0;

    // Waits up to about 5010 ms for one byte: Ok with count 1, or Timeout
    // with count 0 when none came in time, with the system's error when the
    // read itself failed (the port went away, the far side hung up).
    virtual PortResult ReadByte(char& byte) = 0;

    // Changes how long ReadByte waits for one byte, in milliseconds, from now
    // on: at once on an open port, and on every later open. Looking for
    // devices on many ports gives each byte what is left of the probe's one
    // deadline, so that a silent or slow port costs about two seconds, not
    // five a byte. SetupFailed when this back end keeps its usual wait.
    virtual PortResult SetReadTimeout(unsigned milliseconds);
};

// The back end of the platform this program was built for.
std::unique_ptr<SerialPort> CreateSystemSerialPort();

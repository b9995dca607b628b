// The seam between the device link and the operating system's serial port.
// Two back ends implement it with the same outcomes: Win32 (a COM port by its
// device path, e.g. \\.\COM5) and POSIX termios (a tty path, e.g. /dev/rfcomm0).
#pragma once

#include "DeviceInfo.h"

#include <cstddef>
#include <memory>
#include <string>

class SerialPort {
public:
    virtual ~SerialPort() = default;

    // Opens the port exclusively and sets the device's time-outs and line
    // settings (115200 baud, 8 data bits, no parity, 1 stop bit, no flow
    // control). OpenFailed leaves no port; SetupFailed leaves the port open.
    virtual LinkResult Open(const std::string& path) = 0;

    // Closes the port if one is open; harmless otherwise.
    virtual void Close() = 0;

    virtual bool IsOpen() const = 0;

    // One write of the whole buffer. Returns the call's success flag and
    // stores the count the system reports in `written`.
    virtual bool Write(const void* data, std::size_t length, std::size_t& written) = 0;

    // Waits up to about 5010 ms for one byte. Returns the number of bytes
    // read: 1, or 0 when none came in time (or the port failed).
    virtual std::size_t ReadByte(char& byte) = 0;

    // Changes how long ReadByte waits for one byte, in milliseconds, from now
    // on: at once on an open port, and on every later open. Looking for
    // devices on many ports uses it so that a silent port costs about a
    // second, not five. False when this back end keeps its usual wait.
    virtual bool SetReadTimeout(unsigned /*milliseconds*/) { return false; }
};

// The back end of the platform this program was built for.
std::unique_ptr<SerialPort> CreateSystemSerialPort();

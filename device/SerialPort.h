// The seam between the device link and the port that reaches the device.
// Every back end gives the same outcomes: about 5 s of waiting per awaited
// byte, whole writes that report their count, failures with the system's
// reason. Every operation returns a PortResult; a failure carries the
// system's error from the call that failed (or its words when there is no
// number, as for a Telnet server that refuses a setting).
//
// What each kind of port does with the line settings (115200 baud, 8 data
// bits, no parity, 1 stop bit, no flow control):
// - a serial port of this machine sets them on the port: Win32 (a COM port by
//   its device path, e.g. \\.\COM5) and POSIX termios (a tty path, e.g.
//   /dev/rfcomm0); a port that refuses them is SetupFailed;
// - rfc2217:// asks the server to set them (RFC 2217) and waits for each
//   acknowledgement; a refusal or no answer within about 5 s is SetupFailed;
// - socket:// sets nothing: the server's own line settings apply;
// - bt:// has no line: the device's Serial Port service takes the bytes.
// Addresses and the back end for each: PortAddress.h, SerialPortFactory.h.
#pragma once

#include "Deadline.h"
#include "PortResult.h"

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>

// The waits of every back end: those the Win32 back end's time-outs give a
// COM port (ReadTotalTimeoutConstant 5000 + ReadTotalTimeoutMultiplier 10 for
// a one-byte read; WriteTotalTimeoutConstant 1000 + WriteTotalTimeoutMultiplier
// 10 per byte written), kept by the back ends that have no such time-outs.
// A network port looks up its host, connects and sets up its line within
// PortSetUpWait.
inline constexpr std::chrono::milliseconds PortReadByteWait{5000 + 10 * 1};
inline constexpr std::chrono::milliseconds PortWriteWaitConstant{1000};
inline constexpr std::chrono::milliseconds PortWriteWaitPerByte{10};
inline constexpr std::chrono::milliseconds PortSetUpWait{5000};

// How much input that arrived before it was asked for one DiscardInput
// takes, about: a far side that never stops talking must not hold it.
inline constexpr std::size_t MaxDiscardedInput = 4096;

class SerialPort {
public:
    virtual ~SerialPort() = default;

    // Opens the port exclusively and sets the device's line settings as its
    // kind does (above). `path` is a serial port's path; a network or
    // Bluetooth port connects to the address it was made for, and `path` is
    // that address's label. Everything the open waits for (a name lookup, a
    // connection, a server's acknowledgements) ends by `setUpBy`. OpenFailed
    // (operation Open) leaves no port; SetupFailed (operation Setup) leaves
    // the port open.
    virtual PortResult Open(const std::string& path, Deadline setUpBy) = 0;

    // Closes the port if one is open; harmless otherwise.
    virtual void Close() = 0;

    virtual bool IsOpen() const = 0;

    // One write of the whole buffer: Ok with `count` the bytes the system
    // reports written (fewer than asked when the port stayed full), or
    // WriteFailed. A connection that the far side closed fails it.
    virtual PortResult Write(const void* data, std::size_t length) = 0;

    // Waits for one byte until `by`, and never longer than PortReadByteWait
    // (NoDeadline: that wait alone): Ok with count 1, or Timeout with count 0
    // and `fault` saying why: the wait ran out, the far side closed the
    // connection or hung up, or the read failed with the system's error.
    virtual PortResult ReadByte(char& byte, Deadline by) = 0;

    // Takes the bytes that have arrived and not been read, without waiting,
    // into `discarded` (for a transcript), so that the next read sees only
    // what comes after: all of them, or about MaxDiscardedInput from a far
    // side that never stops. Ok, or Timeout with the fault when the far side
    // is gone.
    virtual PortResult DiscardInput(std::string& discarded) = 0;
};

// The back end of the platform this program was built for.
std::unique_ptr<SerialPort> CreateSystemSerialPort();

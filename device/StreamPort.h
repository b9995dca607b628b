// A serial port over a connected byte stream (a TCP or Bluetooth RFCOMM
// socket), with the waits and outcomes of a serial port: about 5 s to
// connect and per awaited byte, 1000 + 10 * n ms for a write of n bytes,
// whole writes that report their count, and a far side that closes the
// connection failing the next read with the reason. The platform gives the
// stream (Stream) and the way to connect one (StreamConnector).
#pragma once

#include "SerialPort.h"

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>

using StreamClock = std::chrono::steady_clock;

enum class StreamStatus {
    Moved,    // `count` bytes went through
    Waiting,  // nothing can go through now; wait and try again
    Closed,   // the far side closed the connection (reads only)
    Failed,   // the system failed the call: `error`
};

struct StreamResult {
    StreamStatus status = StreamStatus::Failed;
    std::size_t count = 0;
    long error = 0;
};

// A connected stream of the platform, never blocking: each call does what it
// can at once.
class Stream {
public:
    virtual ~Stream() = default;
    virtual StreamResult Send(const char* data, std::size_t length) = 0;
    virtual StreamResult Receive(char* buffer, std::size_t size) = 0;
    // Waits until the stream can be read (or written) or `deadline` passes;
    // false on the deadline.
    virtual bool Wait(bool forWriting, StreamClock::time_point deadline) = 0;
    // `error` of a Failed call in the system's words.
    virtual PortResult Failure(LinkResult outcome, PortOperation operation, long error) const = 0;
};

// Connects a stream before `deadline`: Ok with `stream` set, or OpenFailed
// with the system's reason.
using StreamConnector = std::function<PortResult(std::unique_ptr<Stream>& stream, StreamClock::time_point deadline)>;

class StreamPort : public SerialPort {
public:
    explicit StreamPort(StreamConnector connect);

    PortResult Open(const std::string& path) override;
    void Close() override;
    bool IsOpen() const override { return m_stream != nullptr; }
    PortResult Write(const void* data, std::size_t length) override;
    PortResult ReadByte(char& byte) override;
    PortResult SetReadTimeout(unsigned milliseconds) override;

private:
    static constexpr std::size_t ReadAheadSize = 256;

    StreamConnector m_connect;
    std::unique_ptr<Stream> m_stream;
    std::chrono::milliseconds m_readByteWait;
    // What one receive brought in beyond the byte asked for, handed out a
    // byte at a time; dropped on close.
    char m_readAhead[ReadAheadSize] = {};
    std::size_t m_readAheadNext = 0;
    std::size_t m_readAheadEnd = 0;
};

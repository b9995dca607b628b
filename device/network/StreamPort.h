// A serial port over a connected byte stream (a TCP or Bluetooth RFCOMM
// socket), with the waits and outcomes of a serial port: the connection
// within the set-up deadline, about 5 s per awaited byte, 1000 + 10 * n ms
// for a write of n bytes, whole writes that report their count, and a far
// side that closes the connection failing the next read, discard or write
// as closed. The platform gives the stream (Stream) and the way to connect
// one (StreamConnector).
#pragma once

#include "SerialPort.h"

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

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

enum class StreamWait {
    Ready,     // the stream can be read (or written), or the next call tells why not
    TimedOut,  // the deadline passed first
    Failed,    // the wait itself failed: `error` of Wait
};

// A connected stream of the platform, never blocking: each call does what it
// can at once.
class Stream {
public:
    virtual ~Stream() = default;
    virtual StreamResult Send(const char* data, std::size_t length) = 0;
    virtual StreamResult Receive(char* buffer, std::size_t size) = 0;
    // Waits until the stream can be read (or written) or `deadline` passes.
    // A failed wait sets `error`.
    virtual StreamWait Wait(bool forWriting, Deadline deadline, long& error) = 0;
    // `error` of a Failed call in the system's words.
    virtual PortResult Failure(LinkResult outcome, PortOperation operation, long error) const = 0;
};

// Connects a stream before `deadline`: Ok with `stream` set, or OpenFailed
// with the system's reason.
using StreamConnector = std::function<PortResult(std::unique_ptr<Stream>& stream, Deadline deadline)>;

class StreamPort : public SerialPort {
public:
    // A server may greet a new connection with text of its own (a banner, a
    // late answer meant for an earlier client): with a `greetingWait`, Open
    // gives it that long after the connection, within the set-up deadline,
    // and what came is discarded input, never a reply. A server that closes
    // the connection by then could not open its port: OpenFailed, with its
    // text as the reason.
    explicit StreamPort(StreamConnector connect, std::chrono::milliseconds greetingWait = {});

    PortResult Open(const std::string& path, Deadline setUpBy) override;
    void Close() override;
    bool IsOpen() const override { return m_stream != nullptr; }
    PortResult Write(const void* data, std::size_t length) override;
    PortResult ReadByte(char& byte, Deadline by) override;
    PortResult DiscardInput(std::string& discarded) override;

private:
    static constexpr std::size_t ReceiveSize = 256;

    // Receives once into m_input, which must be empty: Moved, Waiting,
    // Closed (remembered) or Failed.
    StreamResult ReceiveSome();
    PortResult Greet(Deadline deadline);
    // Waits until the stream is ready, or `deadline`: Ok, TimedOut, or the
    // stream's failure, as `outcome` of `operation`.
    PortResult Await(bool forWriting, Deadline deadline, LinkResult outcome, PortOperation operation);

    StreamConnector m_connect;
    std::chrono::milliseconds m_greetingWait;
    std::unique_ptr<Stream> m_stream;
    bool m_closedByFarSide = false;
    // What was received and not handed out yet, a byte at a time; dropped on
    // close.
    std::string m_input;
    std::size_t m_inputNext = 0;
};

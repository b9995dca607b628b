// A serial port that plays a device, or the connection to a serial server,
// by a script: it answers the first write after each open (the query, or a
// Telnet client's request) with one reply and each later write with another,
// and ends each open and write as the test says. It reaches what a real port
// cannot be made to do on demand: an open or a write that fails with a given
// system error, or a write the system reports as shorter than asked. Reads
// never wait: a far side with nothing more to send times out at once, or has
// closed the connection.
#pragma once

#include "SerialPort.h"

#include <atomic>
#include <cstddef>
#include <limits>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// Shared by the test and the port, which the code under test may use on a
// thread of its own.
class PortScript {
public:
    enum class Write { Whole, Fails, Short };

    // Short writes report one byte fewer than asked unless shortWriteCount says.
    static constexpr std::size_t OneFewer = std::numeric_limits<std::size_t>::max();

    explicit PortScript(std::string replyToQuery, std::string replyToLaterWrites = "")
        : reply(std::move(replyToQuery)), laterReply(std::move(replyToLaterWrites))
    {}

    // What the far side sends once the first write after an open, and each
    // write after it, went through whole.
    const std::string reply;
    const std::string laterReply;
    std::atomic<LinkResult> openResult{LinkResult::Ok};  // Ok, OpenFailed or SetupFailed
    std::atomic<Write> queryWrite{Write::Whole};         // the first write after an open
    std::atomic<Write> laterWrites{Write::Whole};
    std::atomic<std::size_t> shortWriteCount{OneFewer};
    // A far side that closes the connection once it has sent its replies, as
    // a server whose port is taken does: a read with nothing left reports the
    // close instead of timing out.
    std::atomic<bool> closesAfterReply{false};

    // The system's error and words that every failed open, set-up or write
    // reports from now on (none at first).
    void SetSystemError(long error, std::string text);

    // What the port was asked to do: "open <path>", "write <bytes>", "close".
    std::vector<std::string> Events() const;
    // The bytes each write reported written, one after the other.
    std::string Written() const;
    // How many reply bytes were read, over all opens.
    std::size_t BytesRead() const;
    // How long each open's set-up and each read was allowed, in
    // milliseconds from the call (a read without a deadline of its caller's
    // gets the port's own wait).
    std::vector<long long> SetUpWaits() const;
    std::vector<long long> ReadWaits() const;
    // Bytes that arrive unasked before the next discard or read.
    void SendUnasked(std::string bytes);

private:
    friend class ScriptedSerialPort;

    PortResult Fail(LinkResult outcome, PortOperation operation) const;

    mutable std::mutex m_mutex;
    long m_systemError = 0;
    std::string m_systemText;
    std::vector<std::string> m_events;
    std::string m_written;
    std::size_t m_bytesRead = 0;
    std::vector<long long> m_setUpWaits;
    std::vector<long long> m_readWaits;
    std::string m_unasked;
};

class ScriptedSerialPort : public SerialPort {
public:
    explicit ScriptedSerialPort(std::shared_ptr<PortScript> script) : m_script(std::move(script)) {}

    PortResult Open(const std::string& path, Deadline setUpBy) override;
    void Close() override;
    bool IsOpen() const override { return m_open; }
    PortResult Write(const void* data, std::size_t length) override;
    PortResult ReadByte(char& byte, Deadline by) override;
    PortResult DiscardInput(std::string& discarded) override;

private:
    std::shared_ptr<PortScript> m_script;
    bool m_open = false;
    int m_writesSinceOpen = 0;
    std::string m_unread;  // reply bytes that came and were not read yet
    std::size_t m_nextUnread = 0;
};

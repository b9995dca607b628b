// A serial port for CConfigDialog's seam: it plays a device that answers
// each query with one reply line, and ends each write as the test says. It
// reaches what a port under Wine cannot: a write that fails, or that the
// system reports as shorter than asked.
#pragma once

#include "SerialPort.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// Shared by the test and the port, which the dialog uses on its own thread.
class PortScript {
public:
    enum class Write { Whole, Fails, Short };

    explicit PortScript(std::string replyLine) : reply(std::move(replyLine)) {}

    const std::string reply;
    std::atomic<LinkResult> openResult{ LinkResult::Ok };
    std::atomic<Write> queryWrite{ Write::Whole };   // the first write after an open
    std::atomic<Write> laterWrites{ Write::Whole };

    // What the port was asked to do: "open <path>", "write <bytes>", "close".
    std::vector<std::string> Events() const;
    void Record(std::string event);

private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_events;
};

class ScriptedSerialPort : public SerialPort {
public:
    explicit ScriptedSerialPort(std::shared_ptr<PortScript> script) : m_script(std::move(script)) {}

    LinkResult Open(const std::string& path) override;
    void Close() override;
    bool IsOpen() const override { return m_open; }
    bool Write(const void* data, std::size_t length, std::size_t& written) override;
    std::size_t ReadByte(char& byte) override;

private:
    std::shared_ptr<PortScript> m_script;
    bool m_open = false;
    int m_writesSinceOpen = 0;
    std::string m_unread;  // reply bytes not read yet
};

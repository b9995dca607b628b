// A serial port for the seam of CConfigDialog: it plays a device that
// answers every query with one reply line, and reports each write as the
// test decides. It reaches what a real port under Wine cannot: a write that
// fails, or that the system reports as shorter than asked.
#pragma once

#include "SerialPort.h"

#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// What the port did and what it will do; shared between the test and the
// port, which the dialog owns and uses on its own thread.
class PortScript {
public:
    enum class WriteOutcome { Whole, Fails, Short };

    void SetOpenResult(LinkResult result);
    void SetReply(const std::string& line);
    // How the writes after the first (the query's) end.
    void SetLaterWrites(WriteOutcome outcome);
    // How the first write (the query's) ends.
    void SetQueryWrite(WriteOutcome outcome);

    std::vector<std::string> Events() const;   // "open \\.\COM5", "close", "write <bytes>"
    std::string LastWrite() const;

private:
    friend class ScriptedSerialPort;
    mutable std::mutex m_mutex;
    LinkResult m_openResult = LinkResult::Ok;
    std::string m_reply;
    WriteOutcome m_queryWrite = WriteOutcome::Whole;
    WriteOutcome m_laterWrites = WriteOutcome::Whole;
    std::vector<std::string> m_events;
    std::string m_pending;  // reply bytes not read yet
    int m_writesSinceOpen = 0;
    bool m_open = false;
};

class ScriptedSerialPort : public SerialPort {
public:
    explicit ScriptedSerialPort(std::shared_ptr<PortScript> script) : m_script(std::move(script)) {}

    LinkResult Open(const std::string& path) override;
    void Close() override;
    bool IsOpen() const override;
    bool Write(const void* data, std::size_t length, std::size_t& written) override;
    std::size_t ReadByte(char& byte) override;

private:
    std::shared_ptr<PortScript> m_script;
};

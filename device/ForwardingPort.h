// A port that wraps another and passes each call on unchanged. A wrapper
// (the RFC 2217 client, a transcript, a probe's deadlines) derives from it
// and overrides only what it changes.
#pragma once

#include "SerialPort.h"

#include <memory>
#include <string>

class ForwardingPort : public SerialPort {
public:
    explicit ForwardingPort(std::unique_ptr<SerialPort> inner) : m_inner(std::move(inner)) {}

    PortResult Open(const std::string& path, Deadline setUpBy) override { return m_inner->Open(path, setUpBy); }
    void Close() override { m_inner->Close(); }
    bool IsOpen() const override { return m_inner->IsOpen(); }
    PortResult Write(const void* data, std::size_t length) override { return m_inner->Write(data, length); }
    PortResult ReadByte(char& byte, Deadline by) override { return m_inner->ReadByte(byte, by); }
    PortResult DiscardInput(std::string& discarded) override { return m_inner->DiscardInput(discarded); }

protected:
    // The wrapped port.
    SerialPort& Inner() { return *m_inner; }

private:
    std::unique_ptr<SerialPort> m_inner;
};

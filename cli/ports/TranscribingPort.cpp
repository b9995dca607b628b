#include "TranscribingPort.h"

#include <algorithm>

TranscribingPort::TranscribingPort(std::unique_ptr<SerialPort> port, Transcript& transcript, std::string label)
    : ForwardingPort(std::move(port)), m_transcript(transcript), m_name(std::move(label))
{}

TranscribingPort::~TranscribingPort()
{
    FlushReceived();
    m_transcript.Flush();
}

void TranscribingPort::FlushReceived()
{
    if (m_received.empty())
        return;
    m_transcript.Bytes(m_receivedAt, m_name, Transcript::Received, m_received);
    m_received.clear();
}

void TranscribingPort::NoteFailure(const PortResult& result)
{
    if (result.Ok())
        return;
    std::string text = PortOperationName(result.operation);
    switch (result.fault) {
        case PortFault::TimedOut:
            text += ": time-out";
            break;
        case PortFault::Closed:
            text += ": closed";
            break;
        case PortFault::None:
        case PortFault::Failed:
            text += ": failed";
            break;
    }
    if (!result.systemText.empty())
        text += " (" + result.systemText + ")";
    m_transcript.Failure(m_name, text);
}

PortResult TranscribingPort::Open(const std::string& path, Deadline setUpBy)
{
    FlushReceived();
    const PortResult result = Inner().Open(path, setUpBy);
    NoteFailure(result);
    return result;
}

void TranscribingPort::Close()
{
    FlushReceived();
    Inner().Close();
    m_transcript.Flush();
}

// The bytes are noted after the write: what the system took, when it took it.
PortResult TranscribingPort::Write(const void* data, std::size_t length)
{
    FlushReceived();
    const long long at = m_transcript.Now();
    const PortResult result = Inner().Write(data, length);
    const std::size_t taken = result.Ok() ? std::min(result.count, length) : 0;
    if (taken > 0)
        m_transcript.Bytes(at, m_name, Transcript::Sent, std::string(static_cast<const char*>(data), taken));
    if (result.Ok() && taken < length)
        m_transcript.Failure(m_name,
                             "write: " + std::to_string(taken) + " of " + std::to_string(length) + " bytes taken");
    NoteFailure(result);
    return result;
}

PortResult TranscribingPort::ReadByte(char& byte, Deadline by)
{
    const PortResult result = Inner().ReadByte(byte, by);
    if (result.Ok() && result.count == 1) {
        if (m_received.empty())
            m_receivedAt = m_transcript.Now();
        m_received += byte;
        if (byte == '\n')
            FlushReceived();
        return result;
    }
    FlushReceived();
    NoteFailure(result);
    return result;
}

PortResult TranscribingPort::DiscardInput(std::string& discarded)
{
    FlushReceived();
    const long long at = m_transcript.Now();
    const PortResult result = Inner().DiscardInput(discarded);
    if (!discarded.empty())
        m_transcript.Bytes(at, m_name, Transcript::Discarded, discarded);
    NoteFailure(result);
    return result;
}

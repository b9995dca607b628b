#include "StreamPort.h"

#include <algorithm>
#include <climits>

namespace {

using Milliseconds = std::chrono::milliseconds;

// What one call can take on every platform (Winsock counts in int).
constexpr std::size_t MaxWriteLength = INT_MAX;

constexpr char ClosedByFarSide[] = "The far side closed the connection";

}  // namespace

StreamPort::StreamPort(StreamConnector connect) : m_connect(std::move(connect)), m_readByteWait(PortReadByteWait) {}

// `path` names the port only: the stream goes where the port was made for.
// Connecting waits no longer than a read would (a probe's second).
PortResult StreamPort::Open(const std::string& /*path*/)
{
    Close();
    std::unique_ptr<Stream> connected;
    const PortResult result = m_connect(connected, StreamClock::now() + std::min(PortSetUpWait, m_readByteWait));
    if (result.Ok())
        m_stream = std::move(connected);
    return result;
}

void StreamPort::Close()
{
    m_stream.reset();
    m_readAheadNext = m_readAheadEnd = 0;
}

// Sends until every byte is gone or the write's wait is over; a connection
// that stays full reports a short count, as a serial port does.
PortResult StreamPort::Write(const void* data, std::size_t length)
{
    if (!IsOpen())
        return PortFailed(LinkResult::WriteFailed, PortOperation::Write);
    const std::size_t request = std::min(length, MaxWriteLength);
    const auto deadline =
        StreamClock::now() + PortWriteWaitConstant + PortWriteWaitPerByte * static_cast<Milliseconds::rep>(request);
    const char* bytes = static_cast<const char*>(data);
    std::size_t sent = 0;
    while (sent < request) {
        const StreamResult result = m_stream->Send(bytes + sent, request - sent);
        if (result.status == StreamStatus::Moved)
            sent += result.count;
        else if (result.status != StreamStatus::Waiting)  // the connection failed
            return m_stream->Failure(LinkResult::WriteFailed, PortOperation::Write, result.error);
        else if (!m_stream->Wait(true, deadline))
            break;
    }
    return PortSucceeded(PortOperation::Write, sent);
}

PortResult StreamPort::ReadByte(char& byte)
{
    if (!IsOpen())
        return PortFailed(LinkResult::Timeout, PortOperation::Read);
    if (m_readAheadNext < m_readAheadEnd) {
        byte = m_readAhead[m_readAheadNext++];
        return PortSucceeded(PortOperation::Read, 1);
    }
    const auto deadline = StreamClock::now() + m_readByteWait;
    for (;;) {
        const StreamResult result = m_stream->Receive(m_readAhead, sizeof m_readAhead);
        switch (result.status) {
            case StreamStatus::Moved:
                m_readAheadNext = 1;
                m_readAheadEnd = std::min(result.count, sizeof m_readAhead);
                byte = m_readAhead[0];
                return PortSucceeded(PortOperation::Read, 1);
            case StreamStatus::Closed:  // as a hang-up
                return PortFailed(LinkResult::Timeout, PortOperation::Read, 0, ClosedByFarSide);
            case StreamStatus::Failed:  // the connection was reset
                return m_stream->Failure(LinkResult::Timeout, PortOperation::Read, result.error);
            case StreamStatus::Waiting:
                break;
        }
        if (!m_stream->Wait(false, deadline))
            return PortFailed(LinkResult::Timeout, PortOperation::Read);  // time-out
    }
}

PortResult StreamPort::SetReadTimeout(unsigned milliseconds)
{
    m_readByteWait = Milliseconds(milliseconds);
    return PortSucceeded(PortOperation::SetReadTimeout, 0);
}

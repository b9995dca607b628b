#include "StreamPort.h"

#include <algorithm>
#include <climits>

namespace {

using Milliseconds = std::chrono::milliseconds;

// What one call can take on every platform (Winsock counts in int).
constexpr std::size_t MaxWriteLength = INT_MAX;

}  // namespace

StreamPort::StreamPort(StreamConnector connect, Milliseconds greetingWait)
    : m_connect(std::move(connect)), m_greetingWait(greetingWait)
{}

// `path` names the port only: the stream goes where the port was made for.
PortResult StreamPort::Open(const std::string& /*path*/, Deadline setUpBy)
{
    Close();
    std::unique_ptr<Stream> connected;
    const PortResult result = m_connect(connected, setUpBy);
    if (!result.Ok())
        return result;
    m_stream = std::move(connected);
    if (m_greetingWait.count() == 0)
        return result;
    const PortResult greeted = Greet(Earlier(setUpBy, DeadlineAfter(m_greetingWait)));
    if (!greeted.Ok())
        Close();
    return greeted;
}

// Collects what the server sends on its own until `deadline`; it stays as
// input for the next discard.
PortResult StreamPort::Greet(Deadline deadline)
{
    std::string greeting;
    for (;;) {
        const StreamResult result = ReceiveSome();
        switch (result.status) {
            case StreamStatus::Moved:
                greeting += m_input;
                m_input.clear();
                if (greeting.size() < MaxDiscardedInput)
                    continue;
                break;
            case StreamStatus::Closed:
                return PortClosed(LinkResult::OpenFailed, PortOperation::Open, FarSideReason(greeting));
            case StreamStatus::Failed:
                return m_stream->Failure(LinkResult::OpenFailed, PortOperation::Open, result.error);
            case StreamStatus::Waiting: {
                const PortResult waited = Await(false, deadline, LinkResult::OpenFailed, PortOperation::Open);
                if (waited.Ok())
                    continue;
                if (waited.fault != PortFault::TimedOut)
                    return waited;
                break;
            }
        }
        m_input = std::move(greeting);
        m_inputNext = 0;
        return PortSucceeded(PortOperation::Open);
    }
}

void StreamPort::Close()
{
    m_stream.reset();
    m_closedByFarSide = false;
    m_input.clear();
    m_inputNext = 0;
}

// The clock is looked at first: a stream that is ready again and again
// without handing out a byte (TLS records that carry no data) would
// otherwise hold the caller past its deadline.
PortResult StreamPort::Await(bool forWriting, Deadline deadline, LinkResult outcome, PortOperation operation)
{
    if (PortClock::now() >= deadline)
        return PortTimedOut(outcome, operation);
    long error = 0;
    switch (m_stream->Wait(forWriting, deadline, error)) {
        case StreamWait::Ready:
            return PortSucceeded(operation);
        case StreamWait::TimedOut:
            return PortTimedOut(outcome, operation);
        case StreamWait::Failed:
            break;
    }
    return m_stream->Failure(outcome, operation, error);
}

StreamResult StreamPort::ReceiveSome()
{
    char buffer[ReceiveSize];
    const StreamResult result = m_stream->Receive(buffer, sizeof buffer);
    if (result.status == StreamStatus::Moved) {
        m_input.assign(buffer, std::min(result.count, sizeof buffer));
        m_inputNext = 0;
    }
    if (result.status == StreamStatus::Closed)
        m_closedByFarSide = true;
    return result;
}

// Sends until every byte is gone or the write's wait is over; a connection
// that stays full reports a short count, as a serial port does. A
// connection the far side closed would take the bytes and lose them, so the
// write fails instead.
PortResult StreamPort::Write(const void* data, std::size_t length)
{
    if (!IsOpen())
        return PortFailed(LinkResult::WriteFailed, PortOperation::Write);
    if (m_closedByFarSide)
        return PortClosed(LinkResult::WriteFailed, PortOperation::Write, ClosedByFarSide);
    const std::size_t request = std::min(length, MaxWriteLength);
    const Deadline deadline =
        DeadlineAfter(PortWriteWaitConstant + PortWriteWaitPerByte * static_cast<Milliseconds::rep>(request));
    const char* bytes = static_cast<const char*>(data);
    std::size_t sent = 0;
    while (sent < request) {
        const StreamResult result = m_stream->Send(bytes + sent, request - sent);
        if (result.status == StreamStatus::Moved) {
            sent += result.count;
            continue;
        }
        if (result.status != StreamStatus::Waiting)  // the connection failed
            return m_stream->Failure(LinkResult::WriteFailed, PortOperation::Write, result.error);
        const PortResult waited = Await(true, deadline, LinkResult::WriteFailed, PortOperation::Write);
        if (waited.fault == PortFault::TimedOut)
            break;
        if (!waited.Ok())
            return waited;
    }
    return PortSucceeded(PortOperation::Write, sent);
}

PortResult StreamPort::ReadByte(char& byte, Deadline by)
{
    if (!IsOpen())
        return PortTimedOut(LinkResult::Timeout, PortOperation::Read);
    const Deadline deadline = Earlier(by, DeadlineAfter(PortReadByteWait));
    while (m_inputNext >= m_input.size()) {
        if (m_closedByFarSide)
            return PortClosed(LinkResult::Timeout, PortOperation::Read, ClosedByFarSide);
        const StreamResult result = ReceiveSome();
        if (result.status == StreamStatus::Failed)  // the connection was reset
            return m_stream->Failure(LinkResult::Timeout, PortOperation::Read, result.error);
        if (result.status != StreamStatus::Waiting)
            continue;
        const PortResult waited = Await(false, deadline, LinkResult::Timeout, PortOperation::Read);
        if (!waited.Ok())
            return waited;
    }
    byte = m_input[m_inputNext++];
    return PortSucceeded(PortOperation::Read, 1);
}

PortResult StreamPort::DiscardInput(std::string& discarded)
{
    discarded.clear();
    if (!IsOpen())
        return PortTimedOut(LinkResult::Timeout, PortOperation::Discard);
    for (;;) {
        discarded.append(m_input, m_inputNext, std::string::npos);
        m_input.clear();
        m_inputNext = 0;
        if (m_closedByFarSide)
            return PortClosed(LinkResult::Timeout, PortOperation::Discard, FarSideReason(discarded));
        if (discarded.size() >= MaxDiscardedInput)
            return PortSucceeded(PortOperation::Discard, discarded.size());
        const StreamResult result = ReceiveSome();
        if (result.status == StreamStatus::Failed)
            return m_stream->Failure(LinkResult::Timeout, PortOperation::Discard, result.error);
        if (result.status == StreamStatus::Waiting)
            return PortSucceeded(PortOperation::Discard, discarded.size());
    }
}

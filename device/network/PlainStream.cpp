#include "PlainStream.h"

#include "TlsReasons.h"

namespace {

class CheckedPlainStream : public Stream {
public:
    explicit CheckedPlainStream(std::unique_ptr<Stream> connection) : m_connection(std::move(connection)) {}

    StreamResult Send(const char* data, std::size_t length) override
    {
        const StreamResult result = m_connection->Send(data, length);
        m_sent = m_sent || result.status == StreamStatus::Moved;
        return result;
    }

    StreamResult Receive(char* buffer, std::size_t size) override
    {
        if (m_reason != nullptr)
            return {StreamStatus::Failed, 0, 0};
        const StreamResult result = m_connection->Receive(buffer, size);
        if (result.status == StreamStatus::Closed && m_sent && !m_received)
            m_reason = TlsReason::SilentClose;
        if (result.status == StreamStatus::Moved && !m_received) {
            m_received = true;
            if (IsTlsRecordStart(buffer, result.count))
                m_reason = TlsReason::TlsServer;
        }
        return m_reason != nullptr ? StreamResult{StreamStatus::Failed, 0, 0} : result;
    }

    StreamWait Wait(bool forWriting, Deadline deadline, long& error) override
    {
        return m_connection->Wait(forWriting, deadline, error);
    }

    PortResult Failure(LinkResult outcome, PortOperation operation, long error) const override
    {
        if (m_reason != nullptr)
            return PortFailed(outcome, operation, 0, m_reason);
        return m_connection->Failure(outcome, operation, error);
    }

private:
    std::unique_ptr<Stream> m_connection;
    bool m_sent = false;
    bool m_received = false;
    const char* m_reason = nullptr;  // why the connection is taken as a TLS server's
};

}  // namespace

std::unique_ptr<Stream> PlainStream(std::unique_ptr<Stream> connection)
{
    return std::make_unique<CheckedPlainStream>(std::move(connection));
}

bool IsTlsRecordStart(const char* bytes, std::size_t count)
{
    if (count < 3)
        return false;
    const unsigned char type = static_cast<unsigned char>(bytes[0]);
    return type >= 20 && type <= 23 && bytes[1] == 3 && static_cast<unsigned char>(bytes[2]) <= 4;
}

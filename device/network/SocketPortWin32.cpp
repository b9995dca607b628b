// The Winsock side of the socket seam (SocketPort.h).
#include "SocketPort.h"

#include "serial/Win32Errors.h"

#include <algorithm>
#include <climits>
#include <string>

#include <mstcpip.h>

namespace {

PortResult Failed(LinkResult outcome, PortOperation operation, int error)
{
    return SocketFailure(outcome, operation, error);
}

// Waits until `socket` can be read (or written) or `deadline` passes. Only
// readable data makes a read ready: urgent data is not the device's. A
// pending connection reports its failure in the exception set, so a wait to
// write asks that too; the next call then tells why. A failed select is a
// failure, never "ready".
StreamWait WaitFor(SOCKET socket, bool forWriting, Deadline deadline, long& error)
{
    const auto left = TimeLeft(deadline, std::chrono::hours(24)).count();
    timeval wait = {};
    wait.tv_sec = static_cast<long>(left / 1000);
    wait.tv_usec = static_cast<long>((left % 1000) * 1000);
    fd_set ready;
    FD_ZERO(&ready);
    FD_SET(socket, &ready);
    fd_set failed;
    FD_ZERO(&failed);
    FD_SET(socket, &failed);
    const int count =
        select(0, forWriting ? nullptr : &ready, forWriting ? &ready : nullptr, forWriting ? &failed : nullptr, &wait);
    if (count == SOCKET_ERROR) {
        error = WSAGetLastError();
        return StreamWait::Failed;
    }
    return count > 0 ? StreamWait::Ready : StreamWait::TimedOut;
}

class Win32SocketStream : public Stream {
public:
    explicit Win32SocketStream(UniqueSocket socket) : m_socket(std::move(socket)) {}

    StreamResult Send(const char* data, std::size_t length) override
    {
        return Classify(send(m_socket.Get(), data, static_cast<int>(std::min<std::size_t>(length, INT_MAX)), 0));
    }

    StreamResult Receive(char* buffer, std::size_t size) override
    {
        const int count = recv(m_socket.Get(), buffer, static_cast<int>(std::min<std::size_t>(size, INT_MAX)), 0);
        return count == 0 ? StreamResult{StreamStatus::Closed, 0, 0} : Classify(count);
    }

    StreamWait Wait(bool forWriting, Deadline deadline, long& error) override
    {
        return WaitFor(m_socket.Get(), forWriting, deadline, error);
    }

    PortResult Failure(LinkResult outcome, PortOperation operation, long error) const override
    {
        return Failed(outcome, operation, static_cast<int>(error));
    }

private:
    static StreamResult Classify(int count)
    {
        if (count > 0)
            return {StreamStatus::Moved, static_cast<std::size_t>(count), 0};
        const int error = count == 0 ? WSAEWOULDBLOCK : WSAGetLastError();
        if (error == WSAEWOULDBLOCK)
            return {StreamStatus::Waiting, 0, 0};
        return {StreamStatus::Failed, 0, error};
    }

    UniqueSocket m_socket;
};

}  // namespace

// Some systems (Wine among them) have no words for some Winsock errors; the
// number then stands for them, so that a failure never comes without its reason.
PortResult SocketFailure(LinkResult outcome, PortOperation operation, int error)
{
    PortResult result = Win32Failure(outcome, operation, static_cast<unsigned long>(error));
    if (error != 0 && result.systemText.empty())
        result.systemText = "Winsock error " + std::to_string(error);
    return result;
}

PortResult StartSockets()
{
    static const int started = [] {
        WSADATA data = {};
        return WSAStartup(MAKEWORD(2, 2), &data);
    }();
    if (started != 0)  // WSAStartup gives its error as its result
        return Failed(LinkResult::OpenFailed, PortOperation::Open, started);
    return PortSucceeded(PortOperation::Open);
}

PortResult ConnectBefore(SOCKET socket, const sockaddr* address, socklen_t length, Deadline deadline)
{
    u_long nonBlocking = 1;
    ioctlsocket(socket, FIONBIO, &nonBlocking);
    if (connect(socket, address, length) == 0)
        return PortSucceeded(PortOperation::Open);
    const int error = WSAGetLastError();
    if (error != WSAEWOULDBLOCK && error != WSAEINPROGRESS)  // connect: refused at once, unreachable
        return Failed(LinkResult::OpenFailed, PortOperation::Open, error);
    long waitError = 0;
    const StreamWait wait = WaitFor(socket, true, deadline, waitError);
    if (wait == StreamWait::Failed)
        return Failed(LinkResult::OpenFailed, PortOperation::Open, static_cast<int>(waitError));
    if (wait == StreamWait::TimedOut)
        return Failed(LinkResult::OpenFailed, PortOperation::Open, WSAETIMEDOUT);
    int result = 0;
    int size = sizeof result;
    if (getsockopt(socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&result), &size) != 0)
        result = WSAGetLastError();
    if (result != 0)  // the connection was refused or could not be made
        return Failed(LinkResult::OpenFailed, PortOperation::Open, result);
    return PortSucceeded(PortOperation::Open);
}

std::unique_ptr<Stream> SocketStream(OwnedSocket socket)
{
    return std::make_unique<Win32SocketStream>(std::move(socket));
}

// socket() makes a handle that child processes inherit; WSASocketW can say
// otherwise. WSA_FLAG_OVERLAPPED is what socket() gives too.
OwnedSocket OpenStreamSocket(int family, int type, int protocol)
{
    OwnedSocket socket(
        WSASocketW(family, type, protocol, nullptr, 0, WSA_FLAG_OVERLAPPED | WSA_FLAG_NO_HANDLE_INHERIT));
    u_long nonBlocking = 1;
    if (socket.IsValid() && ioctlsocket(socket.Get(), FIONBIO, &nonBlocking) != 0)
        socket.Reset();
    return socket;
}

// An acknowledgement after every segment received, for the life of the
// connection.
void AcknowledgePromptly(SOCKET socket)
{
    TCP_ACK_FREQUENCY_PARAMETERS everySegment = {1};
    DWORD returned = 0;
    WSAIoctl(socket, SIO_TCP_SET_ACK_FREQUENCY, &everySegment, sizeof everySegment, nullptr, 0, &returned, nullptr,
             nullptr);
}

int LastSocketError()
{
    return WSAGetLastError();
}

PortResult LookupFailure(int error)
{
    return Failed(LinkResult::OpenFailed, PortOperation::Open, error);
}

// The POSIX side of the socket seam (SocketPort.h).
#include "SocketPort.h"

#include "serial/PosixIo.h"

#include <cerrno>

#include <poll.h>

namespace {

class PosixSocketStream : public Stream {
public:
    explicit PosixSocketStream(UniqueFd socket) : m_socket(std::move(socket)) {}

    // MSG_NOSIGNAL: a closed connection is an error here, not SIGPIPE.
    StreamResult Send(const char* data, std::size_t length) override
    {
        return Classify(send(m_socket.Get(), data, length, MSG_NOSIGNAL));
    }

    StreamResult Receive(char* buffer, std::size_t size) override
    {
        const ssize_t count = recv(m_socket.Get(), buffer, size, 0);
        return count == 0 ? StreamResult{StreamStatus::Closed, 0, 0} : Classify(count);
    }

    // An error or a hang-up counts as ready: the next call tells which.
    StreamWait Wait(bool forWriting, Deadline deadline, long& /*error*/) override
    {
        return WaitFor(m_socket.Get(), forWriting ? POLLOUT : POLLIN, deadline) != 0 ? StreamWait::Ready
                                                                                     : StreamWait::TimedOut;
    }

    PortResult Failure(LinkResult outcome, PortOperation operation, long error) const override
    {
        return PosixFailure(outcome, operation, static_cast<int>(error));
    }

private:
    static StreamResult Classify(ssize_t count)
    {
        if (count > 0)
            return {StreamStatus::Moved, static_cast<std::size_t>(count), 0};
        if (count == 0 || errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)
            return {StreamStatus::Waiting, 0, 0};
        return {StreamStatus::Failed, 0, errno};
    }

    UniqueFd m_socket;
};

}  // namespace

std::unique_ptr<Stream> SocketStream(OwnedSocket socket)
{
    return std::make_unique<PosixSocketStream>(std::move(socket));
}

PortResult StartSockets()
{
    return PortSucceeded(PortOperation::Open);
}

OwnedSocket OpenStreamSocket(int family, int type, int protocol)
{
    return OwnedSocket(::socket(family, type | SOCK_NONBLOCK | SOCK_CLOEXEC, protocol));
}

PortResult ConnectBefore(int fd, const sockaddr* address, socklen_t length, Deadline deadline)
{
    if (connect(fd, address, length) == 0)
        return PortSucceeded(PortOperation::Open);
    if (errno != EINPROGRESS && errno != EINTR)  // connect: refused at once, unreachable
        return PosixFailure(LinkResult::OpenFailed, PortOperation::Open, errno);
    if (WaitFor(fd, POLLOUT, deadline) == 0)
        return PosixFailure(LinkResult::OpenFailed, PortOperation::Open, ETIMEDOUT);
    int error = 0;
    socklen_t size = sizeof error;
    if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0)
        error = errno;
    if (error != 0)  // the connection was refused or could not be made
        return PosixFailure(LinkResult::OpenFailed, PortOperation::Open, error);
    return PortSucceeded(PortOperation::Open);
}

// TCP_QUICKACK is Linux's; the kernel clears it again once it has
// acknowledged, so it holds until the next read only.
void AcknowledgePromptly(int fd)
{
#ifdef TCP_QUICKACK
    const int on = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
#else
    (void)fd;
#endif
}

int LastSocketError()
{
    return errno;
}

PortResult SocketFailure(LinkResult outcome, PortOperation operation, int error)
{
    return PosixFailure(outcome, operation, error);
}

PortResult LookupFailure(int error)
{
    return PortFailed(LinkResult::OpenFailed, PortOperation::Open, error, gai_strerror(error));
}

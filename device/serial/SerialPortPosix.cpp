// The POSIX back end of the serial port: a tty (a pseudo-terminal,
// /dev/rfcomm0, /dev/ttyUSB0) opened exclusively and set up through termios
// with the same line settings, waits and outcomes as the Win32 back end.
#include "PosixIo.h"
#include "OpenPortsPosix.h"
#include "SerialPort.h"
#include "UniqueFd.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <limits>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

using Clock = PortClock;
using Milliseconds = std::chrono::milliseconds;

constexpr std::size_t MaxWriteLength = std::size_t{1} << 30;
constexpr std::size_t ReadAheadSize = 256;

constexpr speed_t LineSpeed = B115200;

// O_NONBLOCK: opening a serial line whose carrier is down would otherwise
// block until it comes up, and a write must never block past its wait. Every
// wait goes through poll() with a deadline instead.
constexpr int OpenFlags = O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK;

// Raw 8-bit data at 115200 baud, 8 data bits, no parity, 1 stop bit, no
// hardware or software flow control, modem lines ignored, receiver on.
void MakeDeviceLineSettings(termios& settings)
{
    settings.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | INPCK);
    settings.c_iflag &= ~(IXON | IXOFF | IXANY);
    settings.c_oflag &= ~OPOST;
    settings.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    settings.c_cflag &= ~(CSIZE | PARENB | CSTOPB);
#ifdef CRTSCTS
    settings.c_cflag &= ~CRTSCTS;
#endif
    settings.c_cflag |= CS8 | CLOCAL | CREAD;
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
    cfsetispeed(&settings, LineSpeed);
    cfsetospeed(&settings, LineSpeed);
}

// A failed operation with the errno the system gave for it (0 for none).
PortResult Failed(LinkResult outcome, PortOperation operation, int error)
{
    return PosixFailure(outcome, operation, error);
}

class PosixSerialPort : public SerialPort {
public:
    ~PosixSerialPort() override { Close(); }

    PortResult Open(const std::string& path, Deadline setUpBy) override;
    void Close() override;
    bool IsOpen() const override { return m_fd.IsValid(); }
    PortResult Write(const void* data, std::size_t length) override;
    PortResult ReadByte(char& byte, Deadline by) override;
    PortResult DiscardInput(std::string& discarded) override;

private:
    PortResult ReadAvailable();
    UniqueFd m_fd;
    // What one read brought in beyond the byte asked for, handed out a byte
    // at a time: a reply that came in at once costs one call, not one a
    // byte. Dropped on close, as the tty drops its unread input.
    char m_readAhead[ReadAheadSize] = {};
    std::size_t m_readAheadNext = 0;
    std::size_t m_readAheadEnd = 0;
};

// A port another process holds fails with EBUSY ("Device or resource busy"),
// from the tty's exclusive mode or from the lock; a port the user may not use
// with EACCES ("Permission denied").
// Nothing here waits (O_NONBLOCK), so the set-up deadline has nothing to bound.
PortResult PosixSerialPort::Open(const std::string& path, Deadline /*setUpBy*/)
{
    // Exclusive, as the Win32 share mode 0: a lock that other openers of the
    // port respect, and the tty's own exclusive mode for everyone else. The
    // kernel lets root past TIOCEXCL, hence the lock.
    UniqueFd opened(open(path.c_str(), OpenFlags));
    const int openError = opened.IsValid() ? 0 : errno;
    const bool locked = opened.IsValid() && flock(opened.Get(), LOCK_EX | LOCK_NB) == 0;
    // The lock stands in for the exclusive mode, so a held lock reads as the
    // exclusive mode's refusal would, not as flock's "try again".
    const int lockError = locked ? 0 : (errno == EWOULDBLOCK ? EBUSY : errno);
    // Callers close the previous port first; one still held here is released
    // rather than leaked (after the new open, which it would block if it is
    // the same port).
    Close();
    if (!opened.IsValid())
        return Failed(LinkResult::OpenFailed, PortOperation::Open, openError);  // open
    if (!locked)
        return Failed(LinkResult::OpenFailed, PortOperation::Open, lockError);  // flock: someone holds the port
    m_fd = std::move(opened);
    // Tracked before the exclusive mode is set, so that a signal from here on
    // finds the port and lifts it (OpenPortsPosix.h).
    TrackOpenPort(m_fd.Get());
    // Not tested: it fails only on a file that is no tty, and the set-up
    // below rejects that.
    ioctl(m_fd.Get(), TIOCEXCL);

    termios settings = {};
    if (tcgetattr(m_fd.Get(), &settings) != 0)  // the port stays open
        return Failed(LinkResult::SetupFailed, PortOperation::Setup, errno);
    MakeDeviceLineSettings(settings);
    if (tcsetattr(m_fd.Get(), TCSANOW, &settings) != 0)  // the port stays open
        return Failed(LinkResult::SetupFailed, PortOperation::Setup, errno);
    return PortSucceeded(PortOperation::Open, 0);
}

// The tty's exclusive mode outlives our descriptor while another process
// (the far side of a pseudo-terminal) holds the tty, so it is lifted before
// the owner closes the descriptor; the lock goes with the descriptor.
void PosixSerialPort::Close()
{
    if (!IsOpen())
        return;
    ioctl(m_fd.Get(), TIOCNXCL);
    ForgetOpenPort(m_fd.Get());
    m_fd.Reset();
    m_readAheadNext = m_readAheadEnd = 0;
}

// Waits for room up to the write time-out, then writes once. A port that
// stays full reports a short count, as a Win32 write time-out does.
PortResult PosixSerialPort::Write(const void* data, std::size_t length)
{
    if (!IsOpen())
        return Failed(LinkResult::WriteFailed, PortOperation::Write, 0);
    // Lengths beyond what one call or the wait can express are written in
    // part and reported by their count.
    const std::size_t request = std::min<std::size_t>(length, MaxWriteLength);
    const auto deadline =
        Clock::now() + PortWriteWaitConstant + PortWriteWaitPerByte * static_cast<Milliseconds::rep>(request);
    for (;;) {
        if (WaitFor(m_fd.Get(), POLLOUT, deadline) == 0)
            return PortSucceeded(PortOperation::Write, 0);  // timed out with nothing written
        const ssize_t count = write(m_fd.Get(), data, request);
        if (count >= 0)
            return PortSucceeded(PortOperation::Write, static_cast<std::size_t>(count));
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            if (Clock::now() >= deadline)
                return PortSucceeded(PortOperation::Write, 0);
            continue;  // the room went to someone else; wait again
        }
        if (errno != EINTR)  // write: the port failed (e.g. the far side hung up)
            return Failed(LinkResult::WriteFailed, PortOperation::Write, errno);
    }
}

// Waits up to 5010 ms, or until `by` when that is earlier, for one byte. A
// port that failed or hung up has nothing more to give, so it reports no
// byte at once instead of waiting: with the read's error, or as closed for
// an end of file or a hang-up that poll() reported.
PortResult PosixSerialPort::ReadByte(char& byte, Deadline by)
{
    if (!IsOpen())
        return Failed(LinkResult::Timeout, PortOperation::Read, 0);
    if (m_readAheadNext < m_readAheadEnd) {
        byte = m_readAhead[m_readAheadNext++];
        return PortSucceeded(PortOperation::Read, 1);
    }
    const Deadline deadline = Earlier(by, DeadlineAfter(PortReadByteWait));
    for (;;) {
        // Bytes that are already there need no wait.
        const PortResult read = ReadAvailable();
        if (read.Ok() && m_readAheadEnd > 0) {
            byte = m_readAhead[m_readAheadNext++];
            return PortSucceeded(PortOperation::Read, 1);
        }
        if (!read.Ok())
            return read;
        const short events = WaitFor(m_fd.Get(), POLLIN, deadline);
        if (events == 0)
            return PortTimedOut(LinkResult::Timeout, PortOperation::Read);
        if (!(events & POLLIN))  // an error or a hang-up without data
            return PortClosed(LinkResult::Timeout, PortOperation::Read, ClosedByFarSide);
    }
}

// Fills the read-ahead with what the tty holds now: Ok with m_readAheadEnd
// 0 when it holds nothing, Timeout with the fault when the port is gone.
PortResult PosixSerialPort::ReadAvailable()
{
    m_readAheadNext = m_readAheadEnd = 0;
    for (;;) {
        const ssize_t count = read(m_fd.Get(), m_readAhead, sizeof m_readAhead);
        if (count > 0) {
            m_readAheadEnd = static_cast<std::size_t>(count);
            return PortSucceeded(PortOperation::Read, m_readAheadEnd);
        }
        if (count == 0)  // end of file: the far side hung up
            return PortClosed(LinkResult::Timeout, PortOperation::Read, ClosedByFarSide);
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return PortSucceeded(PortOperation::Read, 0);
        if (errno != EINTR)  // the port failed (e.g. hung up)
            return Failed(LinkResult::Timeout, PortOperation::Read, errno);
    }
}

// What was read ahead and what the tty holds, without a wait; bounded by
// rounds of the read-ahead, so a device that never stops cannot hold it.
PortResult PosixSerialPort::DiscardInput(std::string& discarded)
{
    discarded.clear();
    if (!IsOpen())
        return Failed(LinkResult::Timeout, PortOperation::Discard, 0);
    for (;;) {
        discarded.append(m_readAhead + m_readAheadNext, m_readAheadEnd - m_readAheadNext);
        m_readAheadNext = m_readAheadEnd = 0;
        if (discarded.size() >= MaxDiscardedInput)
            return PortSucceeded(PortOperation::Discard, discarded.size());
        PortResult read = ReadAvailable();
        if (!read.Ok()) {
            read.operation = PortOperation::Discard;
            return read;
        }
        if (m_readAheadEnd == 0)
            return PortSucceeded(PortOperation::Discard, discarded.size());
    }
}

}  // namespace

std::unique_ptr<SerialPort> CreateSystemSerialPort()
{
    return std::make_unique<PosixSerialPort>();
}

// The POSIX back end of the serial port: a tty (a pseudo-terminal,
// /dev/rfcomm0, /dev/ttyUSB0) opened exclusively and set up through termios
// with the same line settings, waits and outcomes as the Win32 back end.
#include "SerialPort.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <limits>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::milliseconds;

// The waits of the Win32 back end's time-outs: a one-byte read waits at most
// 5000 + 10 * 1 ms; a write of n bytes may wait 1000 + 10 * n ms for room.
constexpr Milliseconds ReadByteWait{5000 + 10 * 1};
constexpr Milliseconds WriteWaitConstant{1000};
constexpr Milliseconds WriteWaitPerByte{10};
constexpr std::size_t MaxWriteLength = std::size_t{1} << 30;
constexpr std::size_t ReadAheadSize = 256;

constexpr speed_t LineSpeed = B115200;

// O_NONBLOCK: opening a serial line whose carrier is down would otherwise
// block until it comes up, and a write must never block past its wait. Every
// wait goes through poll() with a deadline instead.
constexpr int OpenFlags = O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK;

constexpr int NoPort = -1;

// Time left until `deadline` as a poll() time-out, never negative.
int MillisecondsUntil(Clock::time_point deadline)
{
    const auto left = std::chrono::ceil<Milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::clamp<Milliseconds::rep>(left, 0, std::numeric_limits<int>::max()));
}

// Waits for `events` on `fd` until `deadline`, through interruptions by
// signals. Returns the events reported, or 0 when the deadline passed first.
short WaitFor(int fd, short events, Clock::time_point deadline)
{
    for (;;) {
        pollfd entry = {fd, events, 0};
        const int ready = poll(&entry, 1, MillisecondsUntil(deadline));
        if (ready > 0)
            return entry.revents;
        if (ready == 0)
            return 0;
        if (errno != EINTR)
            return POLLERR;
    }
}

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

class PosixSerialPort : public SerialPort {
public:
    PosixSerialPort() = default;
    ~PosixSerialPort() override { Close(); }

    PosixSerialPort(const PosixSerialPort&) = delete;
    PosixSerialPort& operator=(const PosixSerialPort&) = delete;

    LinkResult Open(const std::string& path) override;
    void Close() override;
    bool IsOpen() const override { return m_fd != NoPort; }
    bool Write(const void* data, std::size_t length, std::size_t& written) override;
    std::size_t ReadByte(char& byte) override;
    bool SetReadTimeout(unsigned milliseconds) override
    {
        m_readByteWait = Milliseconds(milliseconds);
        return true;
    }

private:
    int m_fd = NoPort;
    Milliseconds m_readByteWait = ReadByteWait;
    // What one read brought in beyond the byte asked for, handed out a byte
    // at a time: a reply that came in at once costs one call, not one a
    // byte. Dropped on close, as the tty drops its unread input.
    char m_readAhead[ReadAheadSize] = {};
    std::size_t m_readAheadNext = 0;
    std::size_t m_readAheadEnd = 0;
};

LinkResult PosixSerialPort::Open(const std::string& path)
{
    // Exclusive, as the Win32 share mode 0: a lock that other openers of the
    // port respect, and the tty's own exclusive mode for everyone else. The
    // kernel lets root past TIOCEXCL, hence the lock.
    const int opened = open(path.c_str(), OpenFlags);
    const bool locked = opened >= 0 && flock(opened, LOCK_EX | LOCK_NB) == 0;
    // Callers close the previous port first; one still held here is released
    // rather than leaked (after the new open, which it would block if it is
    // the same port).
    Close();
    if (opened < 0)
        return LinkResult::OpenFailed;  // open
    if (!locked) {
        close(opened);
        return LinkResult::OpenFailed;  // flock: someone holds the port
    }
    m_fd = opened;
    // Not tested: it fails only on a file that is no tty, and the set-up
    // below rejects that.
    ioctl(m_fd, TIOCEXCL);

    termios settings = {};
    if (tcgetattr(m_fd, &settings) != 0)
        return LinkResult::SetupFailed;  // tcgetattr; the port stays open
    MakeDeviceLineSettings(settings);
    if (tcsetattr(m_fd, TCSANOW, &settings) != 0)
        return LinkResult::SetupFailed;  // tcsetattr; the port stays open
    return LinkResult::Ok;
}

// The one place the port is closed. The tty's exclusive mode outlives our
// descriptor while another process (the far side of a pseudo-terminal) holds
// the tty, so it is lifted first; the lock goes with the descriptor.
void PosixSerialPort::Close()
{
    if (!IsOpen())
        return;
    ioctl(m_fd, TIOCNXCL);
    close(m_fd);
    m_fd = NoPort;
    m_readAheadNext = m_readAheadEnd = 0;
}

// Waits for room up to the write time-out, then writes once. A port that
// stays full reports a short count, as a Win32 write time-out does.
bool PosixSerialPort::Write(const void* data, std::size_t length, std::size_t& written)
{
    written = 0;
    if (!IsOpen())
        return false;
    // Lengths beyond what one call or the wait can express are written in
    // part and reported by their count.
    const std::size_t request = std::min<std::size_t>(length, MaxWriteLength);
    const auto deadline = Clock::now() + WriteWaitConstant +
                          WriteWaitPerByte * static_cast<Milliseconds::rep>(request);
    for (;;) {
        if (WaitFor(m_fd, POLLOUT, deadline) == 0)
            return true;  // timed out with nothing written
        const ssize_t count = write(m_fd, data, request);
        if (count >= 0) {
            written = static_cast<std::size_t>(count);
            return true;
        }
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            if (Clock::now() >= deadline)
                return true;
            continue;  // the room went to someone else; wait again
        }
        if (errno != EINTR)
            return false;  // write: the port failed (e.g. the far side hung up)
    }
}

// Waits up to 5010 ms (or what SetReadTimeout set) for one byte. A port that
// failed or hung up has nothing more to give, so it reports no byte at once
// instead of waiting.
std::size_t PosixSerialPort::ReadByte(char& byte)
{
    if (!IsOpen())
        return 0;
    if (m_readAheadNext < m_readAheadEnd) {
        byte = m_readAhead[m_readAheadNext++];
        return 1;
    }
    const auto deadline = Clock::now() + m_readByteWait;
    for (;;) {
        // Bytes that are already there need no wait.
        const ssize_t count = read(m_fd, m_readAhead, sizeof m_readAhead);
        if (count > 0) {
            m_readAheadNext = 1;
            m_readAheadEnd = static_cast<std::size_t>(count);
            byte = m_readAhead[0];
            return 1;
        }
        if (count < 0 && errno == EINTR)
            continue;
        if (count == 0 || (errno != EAGAIN && errno != EWOULDBLOCK))
            return 0;  // read: end of file or the port failed (e.g. hung up)
        const short events = WaitFor(m_fd, POLLIN, deadline);
        if (events == 0)
            return 0;  // time-out
        if (!(events & POLLIN))
            return 0;  // error or hang-up without data
    }
}

}  // namespace

std::unique_ptr<SerialPort> CreateSystemSerialPort()
{
    return std::make_unique<PosixSerialPort>();
}

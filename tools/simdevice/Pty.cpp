#include "Pty.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

std::string SystemError(const char* what)
{
    return std::string(what) + ": " + std::strerror(errno);
}

// Raw mode as cfmakeraw sets it, spelled out: nothing the line discipline does
// may change, add or swallow a byte.
void MakeRaw(termios& t)
{
    t.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF);
    t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB);
    t.c_cflag |= CS8 | CREAD | CLOCAL;
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
}

}  // namespace

std::string Pty::Open()
{
    *this = Pty();
    UniqueFd master(posix_openpt(O_RDWR | O_NOCTTY));
    if (!master.IsValid())
        return SystemError("posix_openpt");
    if (grantpt(master.Get()) != 0 || unlockpt(master.Get()) != 0)
        return SystemError("grantpt/unlockpt");
    const char* name = ptsname(master.Get());
    if (!name)
        return SystemError("ptsname");
    const std::string slavePath = name;
    // Opened once to set the line up, then closed: the device holds no
    // descriptor of the slave while a host may use it. Its termios stay.
    const UniqueFd slave(open(slavePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!slave.IsValid())
        return SystemError(("open " + slavePath).c_str());
    termios settings{};
    if (tcgetattr(slave.Get(), &settings) != 0)
        return SystemError("tcgetattr");
    MakeRaw(settings);
    cfsetispeed(&settings, B115200);
    cfsetospeed(&settings, B115200);
    if (tcsetattr(slave.Get(), TCSANOW, &settings) != 0)
        return SystemError("tcsetattr");
    m_master = std::move(master);
    m_slavePath = slavePath;
    return {};
}

// Non-blocking: the device reads the slave only to empty it.
UniqueFd Pty::OpenSlave() const
{
    if (m_slavePath.empty())
        return UniqueFd();
    return UniqueFd(open(m_slavePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
}

std::string Pty::LineSettingsText() const
{
    // A pty's master reports its slave's line settings.
    termios settings{};
    if (!m_master.IsValid() || tcgetattr(m_master.Get(), &settings) != 0)
        return "unknown";
    static const struct {
        speed_t code;
        const char* text;
    } Speeds[] = {{B1200, "1200"},   {B2400, "2400"},   {B4800, "4800"},   {B9600, "9600"},
                  {B19200, "19200"}, {B38400, "38400"}, {B57600, "57600"}, {B115200, "115200"}};
    std::string text = "other";
    for (const auto& speed : Speeds) {
        if (cfgetospeed(&settings) == speed.code)
            text = speed.text;
    }
    const tcflag_t size = settings.c_cflag & CSIZE;
    text += ' ';
    text += size == CS5 ? '5' : size == CS6 ? '6' : size == CS7 ? '7' : '8';
    text += !(settings.c_cflag & PARENB) ? 'N' : (settings.c_cflag & PARODD) ? 'O' : 'E';
    text += (settings.c_cflag & CSTOPB) ? '2' : '1';
    if (settings.c_cflag & CRTSCTS)
        text += " rtscts";
    else if (settings.c_iflag & (IXON | IXOFF))
        text += " xonxoff";
    else
        text += " none";
    return text;
}

int Pty::UnreadByHost() const
{
    const UniqueFd slave = OpenSlave();
    int count = 0;
    if (!slave.IsValid() || ioctl(slave.Get(), FIONREAD, &count) != 0)
        return 0;
    return count;
}

// A flush empties only the slave's read queue. Bytes written to the master
// reach that queue a little later, through the kernel's hand-over from one
// side to the other, and a flush at the wrong moment leaves them for the
// host's next open. A read of the slave waits for the hand-over of what is on
// its way, so reading until nothing is left drops those too.
void Pty::DiscardUnreadOutput()
{
    const UniqueFd slave = OpenSlave();
    if (!slave.IsValid())
        return;
    char unread[4096];
    while (read(slave.Get(), unread, sizeof unread) > 0) {
    }
    tcflush(slave.Get(), TCIFLUSH);
}

std::string PointLinkAt(const std::string& link, const std::string& target)
{
    const std::string temporary = link + ".new";
    unlink(temporary.c_str());
    if (symlink(target.c_str(), temporary.c_str()) != 0)
        return SystemError(("symlink " + temporary).c_str());
    if (std::rename(temporary.c_str(), link.c_str()) != 0) {
        const std::string error = SystemError(("rename to " + link).c_str());
        unlink(temporary.c_str());
        return error;
    }
    return {};
}

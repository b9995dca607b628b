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

std::string SystemError(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

// Raw mode as cfmakeraw sets it, spelled out: nothing the line discipline does
// may change, add or swallow a byte.
void MakeRaw(termios& t) {
    t.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR |
                                         ICRNL | IXON | IXOFF);
    t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB);
    t.c_cflag |= CS8 | CREAD | CLOCAL;
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
}

}  // namespace

std::string Pty::Open() {
    Close();
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0)
        return SystemError("posix_openpt");
    if (grantpt(master_) != 0 || unlockpt(master_) != 0) {
        const std::string error = SystemError("grantpt/unlockpt");
        Close();
        return error;
    }
    const char* name = ptsname(master_);
    if (!name) {
        const std::string error = SystemError("ptsname");
        Close();
        return error;
    }
    slavePath_ = name;
    slave_ = open(slavePath_.c_str(), O_RDWR | O_NOCTTY);
    if (slave_ < 0) {
        const std::string error = SystemError(("open " + slavePath_).c_str());
        Close();
        return error;
    }
    termios settings {};
    if (tcgetattr(slave_, &settings) != 0) {
        const std::string error = SystemError("tcgetattr");
        Close();
        return error;
    }
    MakeRaw(settings);
    cfsetispeed(&settings, B115200);
    cfsetospeed(&settings, B115200);
    if (tcsetattr(slave_, TCSANOW, &settings) != 0) {
        const std::string error = SystemError("tcsetattr");
        Close();
        return error;
    }
    return {};
}

void Pty::Close() {
    if (slave_ >= 0)
        close(slave_);
    if (master_ >= 0)
        close(master_);
    slave_ = master_ = -1;
    slavePath_.clear();
}

void Pty::MoveTo(Pty& other) {
    other.Close();
    other.master_ = master_;
    other.slave_ = slave_;
    other.slavePath_ = std::move(slavePath_);
    master_ = slave_ = -1;
    slavePath_.clear();
}

int Pty::UnreadByHost() const {
    int count = 0;
    if (slave_ < 0 || ioctl(slave_, FIONREAD, &count) != 0)
        return 0;
    return count;
}

void Pty::DiscardUnreadOutput() {
    if (slave_ >= 0)
        tcflush(slave_, TCIFLUSH);
}

std::string PointLinkAt(const std::string& link, const std::string& target) {
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

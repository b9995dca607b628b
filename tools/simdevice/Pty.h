// The device's end of the line: a pseudo-terminal whose master side the
// simulator reads and writes, and whose slave side is the host's serial port.
// The simulator keeps its own descriptor of the slave open for the pty's whole
// life: without it, reads on the master fail as soon as the host closes the port.
#pragma once

#include <string>

class Pty {
public:
    Pty() = default;
    ~Pty() { Close(); }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    // Opens a new pseudo-terminal with its slave side in raw mode (no echo, no
    // line editing, no translation), so bytes pass both ways unchanged until
    // the host sets its own line settings. Returns an empty string or an error.
    std::string Open();
    void Close();

    // Hands this pty over to `other` (closing what `other` held); this one
    // is then closed.
    void MoveTo(Pty& other);

    int MasterFd() const { return master_; }
    int SlaveFd() const { return slave_; }
    const std::string& SlavePath() const { return slavePath_; }

    // How many bytes sent to the host it has not read yet.
    int UnreadByHost() const;

    // Drops the bytes sent to the host that it has not read yet.
    void DiscardUnreadOutput();

private:
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
};

// Makes `link` a symlink to `target`, replacing any file there in one rename,
// so a host never finds the link missing. Returns an empty string or an error.
std::string PointLinkAt(const std::string& link, const std::string& target);

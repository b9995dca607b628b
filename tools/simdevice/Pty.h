// The device's end of the line: a pseudo-terminal whose master side the
// simulator reads and writes, and whose slave side is the host's serial port.
// The simulator holds no descriptor of the slave between its own short
// looks, so the kernel's count of the slave's openers is the hosts' alone
// (HostWatch.h); reads of the master then fail while no host holds the port,
// which the device expects.
//
// Moving hands the pty on; it closes when its last owner goes.
#pragma once

#include "serial/UniqueFd.h"

#include <string>

class Pty {
public:
    // Opens a new pseudo-terminal with its slave side in raw mode (no echo, no
    // line editing, no translation), so bytes pass both ways unchanged until
    // the host sets its own line settings, and closes the one held before.
    // Returns an empty string or an error (nothing is held then).
    std::string Open();

    int MasterFd() const { return m_master.Get(); }
    const std::string& SlavePath() const { return m_slavePath; }

    // The line as the host set it: "115200 8N1 none", the speed, data bits,
    // parity (N, E, O), stop bits and flow control (none, rtscts, xonxoff).
    std::string LineSettingsText() const;

    // How many bytes sent to the host it has not read yet.
    int UnreadByHost() const;

    // Drops the bytes sent to the host that it has not read yet, also those
    // still on their way to the slave side.
    void DiscardUnreadOutput();

private:
    // The slave, opened for a look of the device's own; invalid when it
    // cannot be opened (a host holds it in exclusive mode).
    UniqueFd OpenSlave() const;

    UniqueFd m_master;
    std::string m_slavePath;
};

// Makes `link` a symlink to `target`, replacing any file there in one rename,
// so a host never finds the link missing. Returns an empty string or an error.
std::string PointLinkAt(const std::string& link, const std::string& target);

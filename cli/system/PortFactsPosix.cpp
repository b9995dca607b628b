#include "PortFacts.h"

#include "serial/UniqueFd.h"

#include <cerrno>
#include <fstream>

#include <bluetooth/bluetooth.h>
#include <bluetooth/rfcomm.h>
#include <dirent.h>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The process's command name, as ps shows it.
std::string CommandName(const std::string& pid)
{
    std::ifstream comm("/proc/" + pid + "/comm");
    std::string name;
    std::getline(comm, name);
    return name;
}

bool OpensDevice(const std::string& pid, dev_t device)
{
    const std::string fdDir = "/proc/" + pid + "/fd";
    DIR* fds = opendir(fdDir.c_str());
    if (fds == nullptr)
        return false;  // another user's process: Linux does not tell
    bool found = false;
    while (const dirent* fd = readdir(fds)) {
        struct stat info;
        if (fd->d_name[0] != '.' && stat((fdDir + "/" + fd->d_name).c_str(), &info) == 0 && S_ISCHR(info.st_mode) &&
            info.st_rdev == device)
            found = true;
    }
    closedir(fds);
    return found;
}

}  // namespace

bool SerialPortExists(const std::string& target)
{
    struct stat info;
    return stat(target.c_str(), &info) == 0;
}

std::vector<std::string> ProcessesHolding(const std::string& target)
{
    std::vector<std::string> holders;
    struct stat port;
    if (stat(target.c_str(), &port) != 0 || !S_ISCHR(port.st_mode))
        return holders;
    const std::string self = std::to_string(getpid());
    DIR* processes = opendir("/proc");
    if (processes == nullptr)
        return holders;
    while (const dirent* entry = readdir(processes)) {
        const std::string pid = entry->d_name;
        if (pid.find_first_not_of("0123456789") == std::string::npos && pid != self && OpensDevice(pid, port.st_rdev))
            holders.push_back(pid + " (" + CommandName(pid) + ")");
    }
    closedir(processes);
    return holders;
}

bool IsNotSerialPort(const std::string& target)
{
    struct stat info;
    if (stat(target.c_str(), &info) != 0)
        return false;
    if (S_ISREG(info.st_mode))
        return true;
    if (!S_ISCHR(info.st_mode))
        return false;
    const UniqueFd port(open(target.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK));
    return port.IsValid() && isatty(port.Get()) == 0;
}

bool BluetoothMissing()
{
    const UniqueFd probe(socket(AF_BLUETOOTH, SOCK_STREAM, BTPROTO_RFCOMM));
    return !probe.IsValid() && errno == EAFNOSUPPORT;
}

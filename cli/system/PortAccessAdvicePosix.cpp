#include "PortAccessAdvice.h"

#include <cerrno>

#include <grp.h>
#include <sys/stat.h>

namespace {

// The group that owns `path`, by name where the system knows one, else by
// number; "" when the path cannot be looked at, or when the group may not
// read and write it either: joining it would not help.
std::string OwningGroup(const std::string& path)
{
    struct stat info;
    if (stat(path.c_str(), &info) != 0)
        return "";
    if ((info.st_mode & (S_IRGRP | S_IWGRP)) != (S_IRGRP | S_IWGRP))
        return "";
    const group* owner = getgrgid(info.st_gid);
    return owner != nullptr && owner->gr_name != nullptr ? owner->gr_name : std::to_string(info.st_gid);
}

}  // namespace

std::string PortAccessAdvice(const std::string& port, const PortResult& result)
{
    if (result.operation != PortOperation::Open || result.systemError != EACCES)
        return "";
    const std::string group = OwningGroup(port);
    if (group.empty())
        return "";
    return "; the user needs to be in the group " + group + ", which owns the port";
}

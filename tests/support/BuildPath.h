// A file of the build (a program to start, say) as this test program names
// it. The build knows its files by Linux paths; a Windows test program runs
// under Wine, which shows the Linux root as drive Z:.
#pragma once

#include <string>

inline std::string BuildPath(const std::string& linuxPath)
{
#ifdef _WIN32
    return "Z:" + linuxPath;
#else
    return linuxPath;
#endif
}

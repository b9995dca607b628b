#include "PortAccessAdvice.h"

// Windows says it all: "Access is denied." on a COM port means another
// program holds it, and there is no group to join.
std::string PortAccessAdvice(const std::string& /*port*/, const PortResult& /*result*/)
{
    return "";
}

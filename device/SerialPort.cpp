#include "SerialPort.h"

PortResult SerialPort::SetReadTimeout(unsigned /*milliseconds*/)
{
    return PortFailed(LinkResult::SetupFailed, PortOperation::SetReadTimeout);
}

#include "SerialPort.h"

PortResult SerialPort::SetReadTimeout(unsigned /*milliseconds*/)
{
    PortResult result;
    result.outcome = LinkResult::SetupFailed;
    result.operation = PortOperation::SetReadTimeout;
    return result;
}

// A link over this system's own serial port: defined beside the back ends,
// so that the link core builds without any of them.
#include "DeviceLink.h"

DeviceLink::DeviceLink() : DeviceLink(CreateSystemSerialPort()) {}

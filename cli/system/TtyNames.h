// Linux: what the name of a tty node says it is. The kernel names its serial
// drivers' nodes after the driver, so the name is the first thing to ask.
#pragma once

#include <string>

// Where the nodes are, and where the kernel tells about each tty.
inline constexpr char SystemDevDir[] = "/dev";
inline constexpr char SystemSysTtyDir[] = "/sys/class/tty";

enum class TtyKind { NotSerial, Uart, UsbSerial, Rfcomm };

// ttyS<n>: a UART; ttyUSB<n>, ttyACM<n>: a USB adapter; rfcomm<n>: a
// Bluetooth link. Anything else is no serial port of its own.
TtyKind TtyKindOf(const std::string& name);

// The yardstick for a query round trip: the same bytes over the same port,
// with the least work the system allows (one write; reads that take whatever
// has arrived on POSIX, a byte a read on Windows). What DeviceLink takes
// beyond it is DeviceLink's own overhead; what this takes beyond the wire
// time is the port's and the far side's.
#pragma once

#include <cstddef>
#include <string>

#ifdef _WIN32
#include "serial/UniqueHandle.h"
#else
#include "serial/UniqueFd.h"
#endif

class ReferenceExchange {
public:
    // Opens the port as it is, before the device link opens it: the link's
    // open is exclusive (a second open of a pseudo-terminal COM port gets
    // past that under Wine, not on Windows).
    bool Open(const std::string& path);

    // Gives its reads a 5010 ms wait for a byte, once the device link has set
    // the line up: the line's settings are the port's, shared by both.
    bool SetUpReads();

    // Sends the access code and reads up to the line feed. False on a
    // failure, a time-out or a line longer than 127 bytes.
    bool Query(std::size_t& replyLength);

private:
    bool Write(const char* data, std::size_t length);
    // Reads what has arrived, waiting for at least one byte: the count, or 0.
    std::size_t Read(char* buffer, std::size_t capacity);

#ifdef _WIN32
    UniqueHandle m_handle;
#else
    UniqueFd m_fd;
#endif
};

// The one serial connection to the target device and the two exchanges
// spoken over it: the query and the configure command.
#pragma once

#include "DeviceInfo.h"
#include "SerialPort.h"

#include <cstddef>
#include <memory>
#include <string>

class DeviceLink {
public:
    DeviceLink();  // on the system's serial port
    explicit DeviceLink(std::unique_ptr<SerialPort> port);

    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    // Closes the current port, if any.
    void Close();

    // Opens `path` (for example \\.\COM5, or /dev/rfcomm0) and sets it up:
    // Ok, OpenFailed, or SetupFailed with the port left open.
    LinkResult Open(const std::string& path);

    bool IsOpen() const;

    // One write; the caller decides whether the count matters.
    bool Write(const void* data, std::size_t length, std::size_t& written);

    // Reads bytes one at a time up to and including a line feed: Ok; Timeout
    // when a byte does not come in time (the partial line is abandoned);
    // BadReply when the line fills ReplyLine without a line feed.
    LinkResult ReadLine(ReplyLine& line);

    // Sends the access code and reads and parses the reply into a cleared
    // `info` (see ParseReply). WriteFailed and Timeout as the steps say.
    LinkResult Query(DeviceInfo& info);

    // Sends the configure command whole: Ok, WriteFailed, or ShortWrite
    // when the system reports fewer bytes written. No reply is read.
    LinkResult Configure(int auth, const std::string& pin);

private:
    std::unique_ptr<SerialPort> m_port;
};

// device/ is the link core: the protocol, DeviceLink, the SerialPort seam,
// results, deadlines and addresses. It includes nothing of ours outside itself;
// the kinds of port live in the folders below it.
//
// The one serial connection to the target device and the two exchanges
// spoken over it: the query and the configure command.
#pragma once

#include "DeviceInfo.h"
#include "LinkResult.h"
#include "PortResult.h"
#include "SerialPort.h"

#include <memory>
#include <string>

class DeviceLink {
public:
    DeviceLink();  // on the system's serial port (serial/SystemDeviceLink.cpp)
    explicit DeviceLink(std::unique_ptr<SerialPort> port);

    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    // Closes the current port, if any.
    void Close();

    // Opens `path` (for example \\.\COM5, or /dev/rfcomm0) and sets it up:
    // Ok, OpenFailed, or SetupFailed with the port left open.
    LinkResult Open(const std::string& path);

    bool IsOpen() const;

    // Takes what the port received and nobody asked for yet, without
    // waiting (SerialPort::DiscardInput), so that the next reply read is the
    // answer to the next query. Its port result: Ok, or the far side gone.
    const PortResult& DiscardInput(std::string& discarded);

    // Sends the access code and reads and parses the reply into a cleared
    // `info` (see ParseReply). WriteFailed and Timeout as the steps say.
    LinkResult Query(DeviceInfo& info);

    // Sends the configure command whole: Ok, WriteFailed, or ShortWrite
    // when the system reports fewer bytes written. No reply is read.
    LinkResult Configure(int auth, const std::string& pin);

    // The port's own result behind the last outcome of Open, Query or
    // Configure: the open or set-up, the write, or the last byte read. It
    // tells why a step failed, in the system's words.
    const PortResult& LastPortResult() const { return m_lastPortResult; }

private:
    std::unique_ptr<SerialPort> m_port;
    PortResult m_lastPortResult;
};

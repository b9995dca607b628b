#include "DeviceLink.h"

#include "Protocol.h"

namespace {

constexpr char LineFeed = '\n';

// The line is abandoned: nothing of it may be mistaken for a reply.
void ClearLine(ReplyLine& line)
{
    line.length = 0;
    line.bytes[0] = '\0';
}

}  // namespace

DeviceLink::DeviceLink() : m_port(CreateSystemSerialPort()) {}

DeviceLink::DeviceLink(std::unique_ptr<SerialPort> port) : m_port(std::move(port)) {}

void DeviceLink::Close()
{
    m_port->Close();
}

// Closes nothing itself: choosing a new port closes the old one first, even
// when the new one then fails to open.
LinkResult DeviceLink::Open(const std::string& path)
{
    return m_port->Open(path);
}

bool DeviceLink::IsOpen() const
{
    return m_port->IsOpen();
}

bool DeviceLink::Write(const void* data, std::size_t length, std::size_t& written)
{
    return m_port->Write(data, length, written);
}

// One byte per read, so nothing after the line feed is taken: it stays for
// the next read.
// The last byte of the buffer is kept for the NUL: a line that fills the rest
// without a line feed is no reply the device could have meant.
LinkResult DeviceLink::ReadLine(ReplyLine& line)
{
    ClearLine(line);
    while (line.length < ReplyLine::Capacity - 1) {
        char byte = 0;
        if (m_port->ReadByte(byte) == 0) {
            ClearLine(line);
            return LinkResult::Timeout;
        }
        line.bytes[line.length++] = byte;
        if (byte == LineFeed) {
            line.bytes[line.length] = '\0';
            return LinkResult::Ok;
        }
    }
    ClearLine(line);
    return LinkResult::BadReply;
}

// Only the write's success flag is tested, not its count: a short write of
// the access code shows itself as a time-out or a bad reply.
LinkResult DeviceLink::Query(DeviceInfo& info)
{
    info = DeviceInfo{};
    std::size_t written = 0;
    if (!m_port->Write(AccessCode, AccessCodeLength, written))
        return LinkResult::WriteFailed;

    ReplyLine line;
    const LinkResult read = ReadLine(line);
    if (read != LinkResult::Ok)
        return read;
    return ParseReply(line, info);
}

LinkResult DeviceLink::Configure(int auth, const std::string& pin)
{
    const std::string command = BuildConfigureCommand(auth, pin);
    std::size_t written = 0;
    if (!m_port->Write(command.data(), command.size(), written))
        return LinkResult::WriteFailed;
    if (written != command.size())
        return LinkResult::ShortWrite;
    return LinkResult::Ok;
}

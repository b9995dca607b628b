#include "ReplyLineReader.h"

namespace {

constexpr char LineFeed = '\n';

// The line is abandoned: nothing of it may be mistaken for a reply.
void ClearLine(ReplyLine& line)
{
    line.length = 0;
    line.bytes[0] = '\0';
}

}  // namespace

// One byte is asked of the port at a time, so nothing after the line feed
// is taken from it (the POSIX back end reads ahead below the seam, and keeps
// what it read ahead for the next call).
// The last byte of the buffer is kept for the NUL: a line that fills the rest
// without a line feed is no reply the device could have meant.
LinkResult ReadReplyLine(SerialPort& port, ReplyLine& line, PortResult* lastRead)
{
    PortResult ignored;
    PortResult& read = lastRead != nullptr ? *lastRead : ignored;
    read = PortResult{};
    ClearLine(line);
    while (line.length < ReplyLine::Capacity - 1) {
        char byte = 0;
        read = port.ReadByte(byte, NoDeadline);
        if (!read.Ok()) {
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

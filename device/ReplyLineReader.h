// Reading one reply line from a serial port, as the query does.
#pragma once

#include "LinkResult.h"
#include "PortResult.h"
#include "Protocol.h"
#include "SerialPort.h"

// Reads bytes one at a time up to and including a line feed: Ok; Timeout
// when a byte does not come within the port's wait for a byte (a port made
// for a probe narrows it; the partial line is abandoned);
// BadReply when the line fills ReplyLine without a line feed. Nothing after
// the line feed is taken from the port: it stays for the next read. When
// `lastRead` is given it receives the port's result of the last byte read.
LinkResult ReadReplyLine(SerialPort& port, ReplyLine& line, PortResult* lastRead = nullptr);

// The Win32 back end of the serial port: one COM port, opened by its
// device-namespace path and set up for the device with synchronous I/O.
#include "SerialPort.h"
#include "UniqueHandle.h"
#include "Win32Errors.h"

#include <windows.h>

#include <algorithm>
#include <string>

namespace {

// Time-outs in milliseconds, set on every open. A one-byte read waits at most
// ReadTotalTimeoutConstant + ReadTotalTimeoutMultiplier * 1 = 5010 ms; the
// interval time-out only matters between bytes of one read, so never here.
// A write of n bytes may take at most 1000 + 10 * n ms.
constexpr DWORD ReadIntervalTimeoutMs = 100;
constexpr DWORD ReadTotalTimeoutMultiplierMs = 10;
constexpr DWORD ReadTotalTimeoutConstantMs = 5000;
constexpr DWORD WriteTotalTimeoutMultiplierMs = 10;
constexpr DWORD WriteTotalTimeoutConstantMs = 1000;

// The device's line: 115200 baud, 8 data bits, no parity, 1 stop bit, no flow
// control ("8 N 1 N").
constexpr DWORD LineBaudRate = CBR_115200;
constexpr BYTE LineByteSize = 8;
constexpr BYTE LineParity = NOPARITY;
constexpr BYTE LineStopBits = ONESTOPBIT;

constexpr DWORD NoSystemError = 0;

// A failed operation with the error the system gave for it (or none).
PortResult Failed(LinkResult outcome, PortOperation operation, DWORD error)
{
    return Win32Failure(outcome, operation, error);
}

class Win32SerialPort : public SerialPort {
public:
    PortResult Open(const std::string& path, Deadline setUpBy) override;
    void Close() override;
    bool IsOpen() const override;
    PortResult Write(const void* data, std::size_t length) override;
    PortResult ReadByte(char& byte, Deadline by) override;
    PortResult DiscardInput(std::string& discarded) override;

private:
    void SetTimeouts();
    void UseReadTimeout(DWORD constantMs);
    bool SetLineSettings();

    UniqueHandle m_hPort;
    // The read time-out the port has now: the open's until a caller asks
    // for a shorter wait.
    DWORD m_readTotalTimeoutConstant = ReadTotalTimeoutConstantMs;
};

// `path` is a device-namespace path such as \\.\COM5. The plain names COM1 to
// COM9 are reserved DOS device names that CreateFileA finds anywhere, but COM10
// and above are not: without the \\.\ prefix "COM12" would name a file in the
// current directory. With it every port number opens the same way.
// A port another program holds fails with "Access is denied."; one that does
// not exist with "The system cannot find the file specified."
// Nothing here waits for the far side, so the set-up deadline has nothing
// to bound.
PortResult Win32SerialPort::Open(const std::string& path, Deadline /*setUpBy*/)
{
    // Share mode 0: nobody else may open the port while we hold it.
    // Synchronous I/O: no FILE_FLAG_OVERLAPPED.
    HANDLE opened =
        CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    // Taken before the close below, which may leave an error of its own.
    const DWORD openError = opened == INVALID_HANDLE_VALUE ? GetLastError() : NoSystemError;
    // Callers close the previous port first; a handle still held here is
    // released rather than leaked.
    m_hPort.Reset(opened);
    if (!IsOpen())
        return Failed(LinkResult::OpenFailed, PortOperation::Open, openError);  // CreateFileA

    m_readTotalTimeoutConstant = ReadTotalTimeoutConstantMs;
    SetTimeouts();
    if (!SetLineSettings())  // SetCommState; the port stays open
        return Failed(LinkResult::SetupFailed, PortOperation::Setup, GetLastError());
    return PortSucceeded(PortOperation::Open, 0);
}

// Neither call's result is tested: a port that cannot take its time-outs
// shows itself in the reads and writes that follow.
void Win32SerialPort::SetTimeouts()
{
    COMMTIMEOUTS timeouts = {};
    GetCommTimeouts(m_hPort.Get(), &timeouts);
    timeouts.ReadIntervalTimeout = ReadIntervalTimeoutMs;
    timeouts.ReadTotalTimeoutMultiplier = ReadTotalTimeoutMultiplierMs;
    timeouts.ReadTotalTimeoutConstant = m_readTotalTimeoutConstant;
    timeouts.WriteTotalTimeoutMultiplier = WriteTotalTimeoutMultiplierMs;
    timeouts.WriteTotalTimeoutConstant = WriteTotalTimeoutConstantMs;
    SetCommTimeouts(m_hPort.Get(), &timeouts);
}

// Changes only the line settings and flow control on top of what the port
// reports; every other DCB field keeps the port's value. GetCommState is not
// tested: SetCommState decides whether the port took the settings.
bool Win32SerialPort::SetLineSettings()
{
    DCB dcb = {};
    dcb.DCBlength = sizeof dcb;
    GetCommState(m_hPort.Get(), &dcb);
    dcb.BaudRate = LineBaudRate;
    dcb.ByteSize = LineByteSize;
    dcb.Parity = LineParity;
    dcb.StopBits = LineStopBits;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fRtsControl = RTS_CONTROL_DISABLE;
    return SetCommState(m_hPort.Get(), &dcb) != FALSE;
}

// The handle's owner closes it, here or when the port goes.
void Win32SerialPort::Close()
{
    m_hPort.Reset();
}

bool Win32SerialPort::IsOpen() const
{
    return m_hPort.IsValid();
}

// A write time-out completes the call successfully, with a short count.
PortResult Win32SerialPort::Write(const void* data, std::size_t length)
{
    if (!IsOpen())
        return Failed(LinkResult::WriteFailed, PortOperation::Write, NoSystemError);
    // A longer buffer than one call can take is written in part and reported
    // by its count.
    const DWORD request = static_cast<DWORD>(std::min<std::size_t>(length, MAXDWORD));
    DWORD count = 0;
    if (WriteFile(m_hPort.Get(), data, request, &count, NULL) == FALSE)
        return Failed(LinkResult::WriteFailed, PortOperation::Write, GetLastError());
    return PortSucceeded(PortOperation::Write, count);
}

// Sets the read time-out only when it changes: a read with the open's wait
// makes no call, so the window's port sees exactly the open's time-outs.
void Win32SerialPort::UseReadTimeout(DWORD constantMs)
{
    if (constantMs == m_readTotalTimeoutConstant)
        return;
    m_readTotalTimeoutConstant = constantMs;
    SetTimeouts();
}

// Only the count decides: a time-out completes the read successfully with
// nothing read, and a failed read has read nothing either (it brings the
// system's error along). A deadline earlier than the open's wait shortens
// this read's total time-out to what is left of it (the wait of a one-byte
// read is the constant plus one multiplier).
PortResult Win32SerialPort::ReadByte(char& byte, Deadline by)
{
    if (!IsOpen())
        return Failed(LinkResult::Timeout, PortOperation::Read, NoSystemError);
    const auto left = static_cast<DWORD>(TimeLeft(by, PortReadByteWait).count());
    if (left == 0)
        return PortTimedOut(LinkResult::Timeout, PortOperation::Read);
    UseReadTimeout(left > ReadTotalTimeoutMultiplierMs ? left - ReadTotalTimeoutMultiplierMs : 0);
    char received = 0;
    DWORD count = 0;
    const BOOL read = ReadFile(m_hPort.Get(), &received, 1, &count, NULL);
    if (count != 1)
        return Failed(LinkResult::Timeout, PortOperation::Read, read == FALSE ? GetLastError() : NoSystemError);
    byte = received;
    return PortSucceeded(PortOperation::Read, 1);
}

// Reads exactly what the port holds (ClearCommError's count of bytes in the
// input queue), which a read returns at once under any time-outs: the
// port's time-outs stay as they are.
PortResult Win32SerialPort::DiscardInput(std::string& discarded)
{
    discarded.clear();
    if (!IsOpen())
        return Failed(LinkResult::Timeout, PortOperation::Discard, NoSystemError);
    char buffer[256];
    while (discarded.size() < MaxDiscardedInput) {
        DWORD errors = 0;
        COMSTAT status = {};
        if (ClearCommError(m_hPort.Get(), &errors, &status) == FALSE)
            return Failed(LinkResult::Timeout, PortOperation::Discard, GetLastError());
        if (status.cbInQue == 0)
            break;
        DWORD count = 0;
        const DWORD request = std::min<DWORD>(status.cbInQue, sizeof buffer);
        if (ReadFile(m_hPort.Get(), buffer, request, &count, NULL) == FALSE)
            return Failed(LinkResult::Timeout, PortOperation::Discard, GetLastError());
        if (count == 0)
            break;
        discarded.append(buffer, count);
    }
    return PortSucceeded(PortOperation::Discard, discarded.size());
}

}  // namespace

std::unique_ptr<SerialPort> CreateSystemSerialPort()
{
    return std::make_unique<Win32SerialPort>();
}

// The Win32 back end of the serial port: one COM port, opened by its
// device-namespace path and set up for the device with synchronous I/O.
#include "SerialPort.h"

#include <windows.h>

#include <algorithm>

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

class Win32SerialPort : public SerialPort {
public:
    Win32SerialPort() = default;
    ~Win32SerialPort() override { Close(); }

    Win32SerialPort(const Win32SerialPort&) = delete;
    Win32SerialPort& operator=(const Win32SerialPort&) = delete;

    LinkResult Open(const std::string& path) override;
    void Close() override;
    bool IsOpen() const override;
    bool Write(const void* data, std::size_t length, std::size_t& written) override;
    std::size_t ReadByte(char& byte) override;
    bool SetReadTimeout(unsigned milliseconds) override;

private:
    void SetTimeouts();
    bool SetLineSettings();

    HANDLE m_hPort = INVALID_HANDLE_VALUE;
    DWORD m_readTotalTimeoutConstant = ReadTotalTimeoutConstantMs;
};

// `path` is a device-namespace path such as \\.\COM5. The plain names COM1 to
// COM9 are reserved DOS device names that CreateFileA finds anywhere, but COM10
// and above are not: without the \\.\ prefix "COM12" would name a file in the
// current directory. With it every port number opens the same way.
LinkResult Win32SerialPort::Open(const std::string& path)
{
    // Share mode 0: nobody else may open the port while we hold it.
    // Synchronous I/O: no FILE_FLAG_OVERLAPPED.
    HANDLE opened = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, NULL,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    // Callers close the previous port first; a handle still held here is
    // released rather than leaked.
    Close();
    m_hPort = opened;
    if (!IsOpen())
        return LinkResult::OpenFailed;  // CreateFileA

    SetTimeouts();
    if (!SetLineSettings())
        return LinkResult::SetupFailed;  // SetCommState; the port stays open
    return LinkResult::Ok;
}

// Neither call's result is tested: a port that cannot take its time-outs
// shows itself in the reads and writes that follow.
void Win32SerialPort::SetTimeouts()
{
    COMMTIMEOUTS timeouts = {};
    GetCommTimeouts(m_hPort, &timeouts);
    timeouts.ReadIntervalTimeout = ReadIntervalTimeoutMs;
    timeouts.ReadTotalTimeoutMultiplier = ReadTotalTimeoutMultiplierMs;
    timeouts.ReadTotalTimeoutConstant = m_readTotalTimeoutConstant;
    timeouts.WriteTotalTimeoutMultiplier = WriteTotalTimeoutMultiplierMs;
    timeouts.WriteTotalTimeoutConstant = WriteTotalTimeoutConstantMs;
    SetCommTimeouts(m_hPort, &timeouts);
}

// Changes only the line settings and flow control on top of what the port
// reports; every other DCB field keeps the port's value. GetCommState is not
// tested: SetCommState decides whether the port took the settings.
bool Win32SerialPort::SetLineSettings()
{
    DCB dcb = {};
    dcb.DCBlength = sizeof dcb;
    GetCommState(m_hPort, &dcb);
    dcb.BaudRate = LineBaudRate;
    dcb.ByteSize = LineByteSize;
    dcb.Parity = LineParity;
    dcb.StopBits = LineStopBits;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fRtsControl = RTS_CONTROL_DISABLE;
    return SetCommState(m_hPort, &dcb) != FALSE;
}

// The one place the handle is closed.
void Win32SerialPort::Close()
{
    if (IsOpen())
        CloseHandle(m_hPort);
    m_hPort = INVALID_HANDLE_VALUE;
}

bool Win32SerialPort::IsOpen() const
{
    return m_hPort != NULL && m_hPort != INVALID_HANDLE_VALUE;
}

bool Win32SerialPort::Write(const void* data, std::size_t length, std::size_t& written)
{
    written = 0;
    if (!IsOpen())
        return false;
    // A longer buffer than one call can take is written in part and reported
    // by its count.
    const DWORD request = static_cast<DWORD>(std::min<std::size_t>(length, MAXDWORD));
    DWORD count = 0;
    const BOOL ok = WriteFile(m_hPort, data, request, &count, NULL);
    written = count;
    return ok != FALSE;
}

// Only the count decides: a time-out completes the read successfully with
// nothing read, and a failed read has read nothing either.
// The wait of a one-byte read is the constant plus one multiplier.
bool Win32SerialPort::SetReadTimeout(unsigned milliseconds)
{
    m_readTotalTimeoutConstant =
        milliseconds > ReadTotalTimeoutMultiplierMs ? milliseconds - ReadTotalTimeoutMultiplierMs : 0;
    if (IsOpen())
        SetTimeouts();
    return true;
}

std::size_t Win32SerialPort::ReadByte(char& byte)
{
    if (!IsOpen())
        return 0;
    char received = 0;
    DWORD count = 0;
    ReadFile(m_hPort, &received, 1, &count, NULL);
    if (count != 1)
        return 0;
    byte = received;
    return 1;
}

}  // namespace

std::unique_ptr<SerialPort> CreateSystemSerialPort()
{
    return std::make_unique<Win32SerialPort>();
}

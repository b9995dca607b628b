// A test's handle on one simulated device of the bench that
// tools/bench/with-bench set up (it exports TOLVANE_BENCH). Works natively and
// in Windows programs under Wine; only the port's path differs.
//
//   BenchDevice dev(5);
//   port.Open(dev.PortPath());                  // \\.\COM5, or B/com5 natively
//   dev.SetScenario("version=1.1\nauth=0\n");   // from the next command on
//   dev.MarkReceived();
//   ... send a configure command ...
//   ASSERT_TRUE(dev.WaitForState("configures", "1", 2000));
//   EXPECT_EQ(dev.ReceivedSinceMark(), expectedBytes);
//
// The device lives for the whole test program: its state and counters carry
// over from one test to the next. A test that needs a known device starts
// with SetScenario(BenchDevice::DefaultState) plus what it wants to differ.
#pragma once

#include <map>
#include <string>

class BenchDevice {
public:
    // The state the bench's devices start with, as control-file lines.
    static constexpr const char* DefaultState = "name=Tolvane Demo\nversion=1.3\nauth=1\npin=1234\n";

    // Throws std::runtime_error when TOLVANE_BENCH is not set (the test was
    // not started through with-bench).
    explicit BenchDevice(int comNumber);

    int ComNumber() const { return m_comNumber; }

    // What the program under test opens: "\\.\COMn" on Windows, the bench's
    // link to the pseudo-terminal natively.
    std::string PortPath() const;

    // What a user gives a command for the port: "COMn" on Windows, the same
    // link as PortPath natively.
    std::string PortName() const;

    // Replaces the device's control file (atomically). Its lines
    // (name version auth pin mode partial echo raw crlf delay gap baud-pacing)
    // take effect when the device next handles a query or a configure
    // command (before the command itself): state keys replace
    // the state, the faults are reset and then set from the lines. An empty
    // text brings back a plain answer and leaves the state as it is. Each call
    // replaces the whole file: only the text written last before a command
    // counts, so put everything a test needs into one call.
    void SetScenario(const std::string& controlText) const;

    // Every byte the device has received since it started.
    std::string Received() const;

    // Remembers how much has been received, for ReceivedSinceMark.
    void MarkReceived();
    std::string ReceivedSinceMark() const;

    // The device's state file: name, version, auth, pin, queries, configures,
    // releases, hangups.
    std::map<std::string, std::string> State() const;

    // Waits until the state file says key=value (e.g. "configures", "2"), at
    // most timeoutMs. Returns whether it did. The device writes its state
    // after recording the bytes, so Received() then includes the command.
    bool WaitForState(const std::string& key, const std::string& value, int timeoutMs) const;

    // Waits until at least `count` bytes arrived since the mark.
    bool WaitForReceivedSinceMark(std::size_t count, int timeoutMs) const;

    // A program that closes the port may leave bytes there it did not read;
    // the device drops them when it sees that no one holds the port any
    // more, which is a moment after the close. So a test takes a PortUse
    // before the program opens the port, and after the program closed it,
    // before anything opens it again, waits for the device to report the
    // release (or a hangup, which drops the whole line): the next open then
    // finds nothing of the last exchange, however busy the machine is.
    struct PortUse {
        long releases = 0;
        std::size_t received = 0;
    };
    PortUse BeginPortUse() const;

    // Returns at once when the program sent the device nothing since `use`
    // began (the device then answered nothing either).
    bool WaitForRelease(const PortUse& use, int timeoutMs) const;

    // How many times the device dropped the line (mode=hangup).
    long Hangups() const;

    // The bench folder as this program names it (Z:/tmp/bench.X under Wine).
    static std::string BenchFolder();

private:
    std::string FileOf(const char* suffix) const;
    long Count(const std::string& key) const;

    int m_comNumber;
    std::string m_folder;
    std::size_t m_mark = 0;
};

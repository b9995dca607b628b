// tolvane-cli run the way a hostile or careless user would: paths that name
// devices, closed standard streams, quotes in a plan, a device that trickles
// its answer, the same port twice, a signal in the middle of an exchange,
// a transcript that cannot be written, waits that would never end, bytes a
// terminal acts on, a port nobody may use. Each row says what the simulated
// devices may receive (often nothing), the exit code and the messages.
// Rows about Windows device names run in the Windows build under Wine.
#include "BenchDevice.h"
#include "CliBench.h"
#include "BenchNames.h"
#include "BuildPath.h"
#include "RunProcess.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>

#ifndef _WIN32
#include "serial/UniqueFd.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// Every field is given in every row.
struct Row {
    std::string finding;
    std::string scenario;           // for the device on COM5, after the default state
    std::vector<std::string> args;  // tolvane-cli's, or with `shell` sh's: a script, then its $2, $3, ...
    bool shell;                     // POSIX: run through sh -c, with tolvane-cli as $1
    int code;
    std::string out;
    std::string err;        // each line as the program writes it after its name, "tolvane-cli: "
    std::string received5;  // what the device on COM5 received (AnyQueries: only whole queries)
    std::string received6;  // and the one on COM6
    int maxMs;              // how long the run may take
};

// For a row whose count of queries is up to the system: the device received
// whole queries and nothing else.
const std::string AnyQueries = "any number of queries";

// `lines` as standard error shows them: each message after the program's
// name, the hints as they are.
std::string Messages(const std::string& lines)
{
    std::string shown;
    for (std::size_t start = 0; start < lines.size();) {
        const std::size_t end = std::min(lines.find('\n', start), lines.size() - 1) + 1;
        const std::string line = lines.substr(start, end - start);
        shown += (line.rfind("hint: ", 0) == 0 ? "" : "tolvane-cli: ") + line;
        start = end;
    }
    return shown;
}

std::string WriteBenchFile(const std::string& name, const std::string& text)
{
    const std::string path = BenchDevice::BenchFolder() + "/" + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

#ifndef _WIN32
// Whether the tty at `path` was left in exclusive mode: everyone but root
// would find the port busy from then on.
bool LeftExclusive(const std::string& path)
{
    const UniqueFd port(open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK));
    int exclusive = 0;
    return !port.IsValid() || ioctl(port.Get(), TIOCGEXCL, &exclusive) != 0 || exclusive != 0;
}
#endif

#ifndef _WIN32
// sh: runs tolvane-cli query $2 and sends it SIG`name` once the device
// received the query ($3 grows). sh starts a background job with SIGINT and
// SIGQUIT ignored, and a program keeps an ignored signal ignored: env gives
// the job the signal's default back, as an interactive shell's job has it.
std::string SignalOnceQueried(const std::string& name)
{
    return "sent=$(wc -c <\"$3\"); env --default-signal=" + name +
           " \"$1\" query \"$2\" & i=0; "
           "while [ \"$(wc -c <\"$3\")\" = \"$sent\" ] && [ $i -lt 200 ]; do sleep 0.02; i=$((i+1)); done; "
           "kill -" +
           name + " $!; wait $!";
}
#endif

// A bench device's port as the command line takes it.
std::string CliPort(int number)
{
    return BenchDevice(number).PortName();
}

// `lockedPort`: a file nobody but root may open (POSIX).
std::vector<Row> HostileRows(const std::string& lockedPort)
{
#ifdef _WIN32
    static_cast<void>(lockedPort);
#endif
    const std::string Port5 = CliPort(5);
    const std::string Port6 = CliPort(6);
    const std::string quotedPlan = WriteBenchFile("quoted.csv", "port,auth,pin\n\"" + Port5 + "\",on,\"0123\"\n");
    const std::string openQuotePlan = WriteBenchFile("open-quote.csv", "port,auth,pin\n" + Port5 + ",on,\"1111\n");
    const std::string streamPlan =
        WriteBenchFile("stream.csv", "port,auth,pin\n" + Port5 + ",on,\n" + Port6 + ",on,\n");
    const std::string onePlan = WriteBenchFile("one.csv", "port,auth,pin\n" + Port5 + ",on,\n");
    // What the device receives for onePlan's row: the query, then the
    // configure command.
    const std::string onePlanWritten = AccessCodeBytes + AccessCodeBytes + " 1 1234 ";
    const std::string transcript = "Cannot open the transcript ";
    const int Soon = 15000;  // a refusal or an exchange; it ends at once
    const std::vector<Row> rows = {
        {"3: a quoted PIN is the PIN, without its quotes",
         "",
         {"provision", quotedPlan, "--verify", "--verify-wait", "0"},
         false,
         0,
         ProvisionHeader + Port5 + "\tverified\t1.3\tTolvane Demo\tEnable\tEnable\t0\n",
         "1 of 1 ports were provisioned, 0 were not.\n",
         AccessCodeBytes + AccessCodeBytes + " 1 0123 " + AccessCodeBytes,
         "",
         Soon},
        {"3: a quote left open is a bad row",
         "",
         {"provision", openQuotePlan},
         false,
         17,
         "",
         openQuotePlan + ", line 2: the quotes do not pair up: a quoted field is \"...\" whole, with \"\" for one "
                         "quote in it.\n",
         "",
         "",
         Soon},
        {"5: a probe has one deadline, however slowly the answer comes",
         "gap=950\n",
         {"scan", "--probe", Port5},
         false,
         14,
         Port5 + "\tno-answer\t\t\tother\n",
         "No device answered.\n",
         AccessCodeBytes,
         "",
         5000},
        {"6: a port named twice is probed once and listed twice",
         "",
         {"scan", "--probe", Port5, Port5},
         false,
         0,
         Port5 + "\tdevice\t1.3\tTolvane Demo\tother\n" + Port5 + "\tdevice\t1.3\tTolvane Demo\tother\n",
         "",
         AccessCodeBytes,
         "",
         Soon},
        {"2: a line that came with the first answer is no verification",
         "raw=" + AccessCodeBytes + " 1.3 0 1234 Tolvane Demo\\n" + AccessCodeBytes + " 1.3 1 4321 Tolvane Demo\\n\n",
         {"configure", Port5, "--auth", "on", "--pin", "4321", "--verify", "--verify-wait", "0"},
         false,
         15,
         "Configuration is completed.\n",
         "Not verified: The device reports authentication Disable and PIN 1234. Some devices take new settings only "
         "after a reset.\n",
         AccessCodeBytes + AccessCodeBytes + " 1 4321 " + AccessCodeBytes,
         "",
         Soon},
        {"10: bytes a terminal acts on are escaped",
         "name=Dev\x9B"
         "2J\x85\n",
         {"query", Port5},
         false,
         0,
         "name: Dev\\x9B2J\\x85\nfirmware: 1.3\nauthentication: Enable\npin: 1234\n",
         "",
         AccessCodeBytes,
         "",
         Soon},
        {"16: control bytes in an address are escaped",
         "",
         {"query", "rfc2217://\x1b]0;X\a\x1b[2Jx:80"},
         false,
         2,
         "",
         "Invalid port \"rfc2217://\\x1B]0;X\\x07\\x1B[2Jx:80\": a host that is no name or address (a numeric host is "
         "four dotted decimals); give rfc2217://HOST:PORT.\n",
         "",
         "",
         Soon},
#ifdef _WIN32
        {"1: a COM port as transcript",
         "",
         {"query", Port5, "--transcript", "COM6"},
         false,
         18,
         "",
         transcript + "COM6: it is a device, not a file.\n",
         "",
         "",
         Soon},
        {"1: a device path as transcript",
         "",
         {"query", Port5, "--transcript", "\\\\.\\COM6"},
         false,
         18,
         "",
         transcript + "\\\\.\\COM6: it is a device, not a file.\n",
         "",
         "",
         Soon},
        {"1: a reserved name with an extension as transcript",
         "",
         {"query", Port5, "--transcript", "nul.log"},
         false,
         18,
         "",
         transcript + "nul.log: it is a device, not a file.\n",
         "",
         "",
         Soon},
        {"1: the console with a colon as transcript",
         "",
         {"query", Port5, "--transcript", "CON:"},
         false,
         18,
         "",
         transcript + "CON:: it is a device, not a file.\n",
         "",
         "",
         Soon},
        {"9: a COM port as plan",
         "",
         {"provision", "COM6"},
         false,
         17,
         "",
         "Cannot read the plan COM6: it is a device, not a file.\n",
         "",
         "",
         Soon},
        {"10: a control byte in a port name is escaped",
         "",
         {"query", "COM5\n"},
         false,
         2,
         "",
         "Invalid port \"COM5\\x0A\": give a COM port from COM1 to COM256.\n",
         "",
         "",
         Soon},
#else
        {"1: a port as transcript, through the bench's symlink",
         "",
         {"query", Port5, "--transcript", Port6},
         false,
         18,
         "",
         transcript + Port6 + ": it is a device, not a file.\n",
         "",
         "",
         Soon},
        {"1, 9: a FIFO as transcript, with no reader",
         "",
         {"query", Port5, "--transcript", "fifo"},
         false,
         18,
         "",
         transcript + "fifo: it is a pipe or a socket, not a file.\n",
         "",
         "",
         Soon},
        {"2: standard output closed",
         "",
         {"\"$1\" query \"$2\" >&-", Port5},
         true,
         1,
         "",
         "Cannot write the result.\n",
         AccessCodeBytes,
         "",
         Soon},
        {"2: standard output closed, JSON",
         "",
         {"\"$1\" query \"$2\" --json >&-", Port5},
         true,
         1,
         "",
         "Cannot write the result.\n",
         AccessCodeBytes,
         "",
         Soon},
        {"2: standard error closed",
         "echo=KWD38M4TQZXH7\n",
         {"\"$1\" query \"$2\" 2>&-", Port5},
         true,
         7,
         "",
         "",
         AccessCodeBytes,
         "",
         Soon},
        // The signal comes once the query has reached the device ($3 is what
        // the device received), while the device holds its answer back.
        {"7: SIGTERM lifts the port's exclusive mode",
         "delay=3000\n",
         {SignalOnceQueried("TERM"), Port5, BenchDevice::BenchFolder() + "/com5-transcript"},
         true,
         143,
         "",
         "",
         AccessCodeBytes,
         "",
         Soon},
        {"11: SIGHUP (a dropped ssh connection) lifts the port's exclusive mode",
         "delay=3000\n",
         {SignalOnceQueried("HUP"), Port5, BenchDevice::BenchFolder() + "/com5-transcript"},
         true,
         129,
         "",
         "",
         AccessCodeBytes,
         "",
         Soon},
        {"11: SIGQUIT (Ctrl-\\) lifts the port's exclusive mode",
         "delay=3000\n",
         {SignalOnceQueried("QUIT"), Port5, BenchDevice::BenchFolder() + "/com5-transcript"},
         true,
         131,
         "",
         "",
         AccessCodeBytes,
         "",
         Soon},
        // The device on COM5 holds its answer back for 3 s; COM6's row ends
        // at once, and its line must reach the pipe then.
        {"11: each row's line leaves as the row ends",
         "delay=3000\n",
         {"start=$(date +%s%N); \"$1\" provision \"$2\" | { read -r header; read -r row; "
          "echo \"$row\"; [ $(( ($(date +%s%N) - start) / 1000000 )) -lt 2000 ] && echo early; cat; }",
          streamPlan},
         true,
         0,
         Port6 + "\tconfigured\t1.3\tTolvane Demo\tEnable\tEnable\t0\nearly\n" + Port5 +
             "\tconfigured\t1.3\tTolvane Demo\tEnable\tEnable\t0\n",
         "2 of 2 ports were provisioned, 0 were not.\n",
         AccessCodeBytes + AccessCodeBytes + " 1 1234 ",
         AccessCodeBytes + AccessCodeBytes + " 1 1234 ",
         Soon},
        {"7: a UTF-8 name comes back whole through jq",
         "name=Ger\xC3\xA4t\n",
         {"\"$1\" query \"$2\" --json | jq -j .name", Port5},
         true,
         0,
         "Ger\xC3\xA4t",
         "",
         AccessCodeBytes,
         "",
         Soon},
        {"11: Ctrl-C leaves the ended rows printed and names the rows at work",
         "delay=3000\n",
         {": >\"$3\"; env --default-signal=INT \"$1\" provision \"$2\" >\"$3\" & i=0; "
          "while [ \"$(wc -l <\"$3\")\" -lt 2 ] && [ $i -lt 200 ]; do sleep 0.02; i=$((i+1)); done; "
          "kill -INT $!; wait $!; code=$?; cat \"$3\"; exit $code",
          streamPlan, BenchDevice::BenchFolder() + "/interrupted.out"},
         true,
         130,
         ProvisionHeader + Port6 + "\tconfigured\t1.3\tTolvane Demo\tEnable\tEnable\t0\n",
         "Interrupted: " + Port5 +
             " (line 2), nothing was written to it.\nhint: without --record, a later run cannot tell the rows done: "
             "check the devices listed above.\n",
         AccessCodeBytes,
         AccessCodeBytes + AccessCodeBytes + " 1 1234 ",
         Soon},
        // Killed after the configure command reached the device and before
        // the verification read: the record holds the device's "written"
        // entry and no result, and the row is named as maybe written.
        {"12: the record says which device may have been written",
         "",
         {"umask 077; : >\"$3\"; sent=$(wc -c <\"$4\"); "
          "\"$1\" provision \"$2\" --record \"$3\" --verify --verify-wait 3000 >/dev/null & i=0; "
          "while [ \"$(wc -c <\"$4\")\" -lt $((sent + " +
              std::to_string(onePlanWritten.size()) +
              ")) ] && [ $i -lt 200 ]; do sleep 0.02; i=$((i+1)); done; "
              "kill -TERM $!; wait $!; code=$?; grep -c '\"entry\":\"written\"' \"$3\"; "
              "grep -c '\"entry\":\"result\"' \"$3\"; exit $code",
          onePlan, BenchDevice::BenchFolder() + "/killed.jsonl", BenchDevice::BenchFolder() + "/com5-transcript"},
         true,
         143,
         "1\n0\n",
         "Interrupted: " + Port5 + " (line 2), its configure command may have been written; not confirmed.\n" +
             "hint: finish the plan with: tolvane-cli provision " + onePlan + " --record " +
             BenchDevice::BenchFolder() + "/killed.jsonl --resume\n",
         onePlanWritten,
         "",
         Soon},
        // The record's failure is the run's: provision exits with the code
        // the help gives it, as configure does.
        {"10: a record that cannot be written",
         "",
         {"trap '' XFSZ; ulimit -f 0; chmod 600 \"$3\"; exec \"$1\" provision \"$2\" --record \"$3\"", onePlan,
          WriteBenchFile("full.jsonl", "")},
         true,
         1,
         ProvisionHeader + Port5 + "\tfailed\t1.3\tTolvane Demo\tEnable\tEnable\t1\t\tCannot write the record " +
             BenchDevice::BenchFolder() + "/full.jsonl: File too large; nothing was written to the device.\n",
         "0 of 1 ports were provisioned, 1 were not.\nCannot write the record " + BenchDevice::BenchFolder() +
             "/full.jsonl: File too large.\n",
         AccessCodeBytes,
         "",
         Soon},
        {"8: a transcript that cannot be written",
         "",
         {"trap '' XFSZ; ulimit -f 0; chmod 600 \"$3\"; exec \"$1\" query \"$2\" --transcript \"$3\"", Port5,
          WriteBenchFile("unwritable.log", "")},
         true,
         18,
         DeviceText,
         "Cannot write the transcript " + BenchDevice::BenchFolder() + "/unwritable.log: File too large.\n",
         AccessCodeBytes,
         "",
         Soon},
        {"9: a FIFO as plan, with no writer",
         "",
         {"provision", "fifo"},
         false,
         17,
         "",
         "Cannot read the plan fifo: it is a pipe or a socket, not a file.\n",
         "",
         "",
         Soon},
        {"9: a terminal as plan",
         "",
         {"provision", Port6},
         false,
         17,
         "",
         "Cannot read the plan " + Port6 + ": it is a device, not a file.\n",
         "",
         "",
         Soon},
        {"10: a control byte in a port name is escaped",
         "",
         {"query", Port5 + "\nx"},
         false,
         3,
         "",
         "Cannot open the COM port. (" + Port5 + "\\x0Ax: No such file or directory)\n" + ScanHint(),
         "",
         "",
         Soon},
        {"11: no group advice where the group may not use the port either",
         "",
         {"if [ \"$(id -u)\" = 0 ]; then exec setpriv --reuid=65534 --regid=65534 --clear-groups \"$1\" query "
          "\"$2\"; fi; exec \"$1\" query \"$2\"",
          lockedPort},
         true,
         3,
         "",
         "Cannot open the COM port. (" + lockedPort + ": Permission denied)\n",
         "",
         "",
         Soon},
        // Many hosts try the port at once: the one that holds it gets its
        // answer, the others find it busy; none waits out the time-out.
        {"13: many opens at once, and the host that holds the port is answered",
         "",
         {"pids=; for i in $(seq 20); do \"$1\" query \"$2\" --json >/dev/null 2>&1 & pids=\"$pids $!\"; done; "
          "late=0; for p in $pids; do wait $p; c=$?; [ $c = 0 ] || [ $c = 3 ] || late=$((late+1)); done; "
          "echo \"timed out or failed: $late\"",
          Port5},
         true,
         0,
         "timed out or failed: 0\n",
         "",
         AnyQueries,
         "",
         Soon},
#endif
    };
    return rows;
}

TEST(HostileInvocation, NothingReachesADeviceThatMayNotAndEveryWaitEnds)
{
    BenchDevice device5(5), device6(6);
    std::string lockedPort;
#ifndef _WIN32
    // Run from the bench folder, where the FIFO is. The port of mode 000,
    // whose group may use it no more than anyone, is outside it, where an
    // unprivileged user can look.
    ASSERT_EQ(chdir(BenchDevice::BenchFolder().c_str()), 0);
    ASSERT_EQ(mkfifo("fifo", 0600), 0);
    char locked[] = "/tmp/tolvane-hostile-port-XXXXXX";
    ASSERT_TRUE(UniqueFd(mkstemp(locked)).IsValid());
    lockedPort = locked;
    ASSERT_EQ(chmod(locked, 0), 0);
#endif
    for (const Row& row : HostileRows(lockedPort)) {
        SCOPED_TRACE(row.finding);
        device5.SetScenario(BenchDevice::DefaultState + row.scenario);
        device6.SetScenario(BenchDevice::DefaultState);
        device5.MarkReceived();
        device6.MarkReceived();

        const std::string cli = BuildPath(TOLVANE_CLI_PATH);
        std::vector<std::string> args = row.args;
        if (row.shell) {
            args.insert(args.begin(), {"-c", row.args[0], "sh", cli});
            args.erase(args.begin() + 4);
        }
        const BenchDevice::PortUse use5 = device5.BeginPortUse(), use6 = device6.BeginPortUse();
        const auto start = std::chrono::steady_clock::now();
        const ProcessResult run = RunProcess(row.shell ? "/bin/sh" : cli, args, 20000);
        const auto took = std::chrono::steady_clock::now() - start;
        // The next row's open finds nothing this one left unread.
        EXPECT_TRUE(device5.WaitForRelease(use5, 10000));
        EXPECT_TRUE(device6.WaitForRelease(use6, 10000));

        EXPECT_EQ(run.exitCode, row.code);
        EXPECT_EQ(run.out, row.out);
        EXPECT_EQ(run.err, Messages(row.err));
        EXPECT_LT(took, std::chrono::milliseconds(row.maxMs));
        // The device records bytes as they come; a row that expects none
        // does not wait.
        if (row.received5 == AnyQueries) {
            const std::string received = device5.ReceivedSinceMark();
            EXPECT_FALSE(received.empty());
            EXPECT_EQ(received.size() % AccessCodeBytes.size(), 0u);
            for (std::size_t at = 0; at < received.size(); at += AccessCodeBytes.size())
                EXPECT_EQ(received.substr(at, AccessCodeBytes.size()), AccessCodeBytes);
        } else {
            device5.WaitForReceivedSinceMark(row.received5.size(), 1000);
            EXPECT_EQ(device5.ReceivedSinceMark(), row.received5);
        }
        EXPECT_EQ(device6.ReceivedSinceMark(), row.received6);
#ifndef _WIN32
        EXPECT_FALSE(LeftExclusive(CliPort(5)));
#endif
    }
#ifndef _WIN32
    std::remove(locked);
#endif
}

}  // namespace

// The commands run in-process on a scripted port, for what the simulated
// device cannot make happen: a configure write that fails or is cut short
// after a good read, a failed query write, the system's reasons after the
// window's texts, and the probe's shorter wait.
#include "BenchNames.h"
#include "ArgumentParser.h"
#include "RunCommand.h"
#include "TlsEnvironment.h"
#include "Protocol.h"
#include "ScriptedSerialPort.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <vector>

#ifndef _WIN32
#include "serial/UniqueFd.h"

#include <cerrno>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

const std::string GoodReply = AccessCodeBytes + " 1.3 1 1234 Tolvane Demo\n";

struct CommandRun {
    ExitCode code;
    std::string out;
    std::string err;
};

// `input` is the command's standard input; `environment`, when given, the
// variables the program reads (std::getenv).
CommandRun RunOn(const std::shared_ptr<PortScript>& script, std::vector<std::string> args,
                 const std::string& input = "", const std::function<const char*(const char*)>& environment = nullptr)
{
    std::ostringstream out, err;
    std::istringstream in(input);
    CommandContext context{out, err,
                           [script](const PortAddress&) { return std::make_unique<ScriptedSerialPort>(script); },
                           [](std::vector<std::string>&) { return false; }, PortStyle::Posix};
    context.in = &in;
    ParsedArguments parsed = ParseArguments(args);
    EXPECT_TRUE(parsed.ok) << parsed.error;
    std::string error;
    if (environment) {
        EXPECT_TRUE(TakeTlsEnvironment(parsed.options, environment, error)) << error;
    }
    const ExitCode code = RunCommand(parsed.options, context);
    return {code, out.str(), err.str()};
}

TEST(Commands, ConfigureWriteFailuresUseTheWindowsTexts)
{
    auto failed = std::make_shared<PortScript>(GoodReply);
    failed->laterWrites = PortScript::Write::Fails;
    const CommandRun writeFailed = RunOn(failed, {"configure", "/dev/x", "--auth", "off"});
    EXPECT_EQ(writeFailed.code, ExitCode::ConfigureWriteFailed);
    EXPECT_EQ(writeFailed.err, "Failed to write to remote device.\n");
    EXPECT_EQ(writeFailed.out, "");

    auto cut = std::make_shared<PortScript>(GoodReply);
    cut->laterWrites = PortScript::Write::Short;
    cut->shortWriteCount = 5;
    const CommandRun shortWrite = RunOn(cut, {"configure", "/dev/x", "--auth", "on", "--pin", "77"});
    EXPECT_EQ(shortWrite.code, ExitCode::ShortWrite);
    EXPECT_EQ(shortWrite.err, "Writing COM port failed.\n");
    EXPECT_EQ(cut->Written(), AccessCodeBytes + AccessCodeBytes.substr(0, 5));
}

// A bench's TLS files in the environment serve its TLS ports; a command on a
// plain port goes on without them, as if they were not set.
TEST(Commands, TlsFilesFromTheEnvironmentLeaveAPlainPortAlone)
{
    auto script = std::make_shared<PortScript>(GoodReply);
    const CommandRun run = RunOn(script, {"query", "/dev/x"}, "", [](const char* name) -> const char* {
        return std::string(name) == "TOLVANE_TLS_CA" ? "/bench/no-such-ca.pem" : nullptr;
    });
    EXPECT_EQ(run.code, ExitCode::Success) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(script->Written(), AccessCodeBytes);
}

TEST(Commands, AFailedQueryWriteConfiguresNothing)
{
    auto script = std::make_shared<PortScript>(GoodReply);
    script->queryWrite = PortScript::Write::Fails;
    const CommandRun run = RunOn(script, {"configure", "/dev/x", "--auth", "on"});
    EXPECT_EQ(run.code, ExitCode::QueryWriteFailed);
    EXPECT_EQ(run.err, "Fail to write to the COM port.\n");
    EXPECT_EQ(script->Written(), "");
}

// The window's text, then the system's reason in its own words; the exit
// code stays the window's outcome's. A plain time-out has no reason to add.
TEST(Commands, FailuresOfThePortAddTheSystemsReason)
{
    struct Row {
        LinkResult open;
        PortScript::Write later;
        long error;
        const char* text;
        std::vector<std::string> args;
        ExitCode code;
        std::string err;
    };
    const Row rows[] = {
        {LinkResult::OpenFailed,
         PortScript::Write::Whole,
         16,
         "Device or resource busy",
         {"query", "/dev/rfcomm0"},
         ExitCode::CannotOpen,
         "Cannot open the COM port. (/dev/rfcomm0: Device or resource busy)\n"},
        {LinkResult::OpenFailed,
         PortScript::Write::Whole,
         5,
         "Access is denied.",
         {"query", "COM5"},
         ExitCode::CannotOpen,
         "Cannot open the COM port. (COM5: Access is denied.)\n"},
        {LinkResult::SetupFailed,
         PortScript::Write::Whole,
         25,
         "Inappropriate ioctl for device",
         {"query", "/dev/null"},
         ExitCode::SetupFailed,
         "Fail to configure the COM port: 8 N 1 N. (/dev/null: Inappropriate ioctl for device)\n"},
        {LinkResult::Ok,
         PortScript::Write::Fails,
         5,
         "Input/output error",
         {"configure", "/dev/x", "--auth", "on"},
         ExitCode::ConfigureWriteFailed,
         "Failed to write to remote device. (/dev/x: Input/output error)\n"},
    };
    for (const Row& row : rows) {
        auto script = std::make_shared<PortScript>(GoodReply);
        script->openResult = row.open;
        script->laterWrites = row.later;
        script->SetSystemError(row.error, row.text);
        const CommandRun run = RunOn(script, row.args);
        EXPECT_EQ(run.code, row.code) << row.err;
        EXPECT_EQ(run.err, row.err);
    }

    const CommandRun silent = RunOn(std::make_shared<PortScript>(""), {"query", "/dev/x"});
    EXPECT_EQ(silent.code, ExitCode::Timeout);
    EXPECT_EQ(silent.err, "Reading COM port timeout.\n");
}

// A PIN drawn at random is told once its configure command was sent, even
// when the write failed (the device may hold it then), and not for a row
// that ended before it: configure's "pin:" line, provision's pin column.
TEST(Commands, ADrawnPinIsToldOnlyWhenItsCommandWasSent)
{
    const std::string longName = AccessCodeBytes + " 1.3 1 1234 " + std::string(21, 'n') + "\n";
    struct Row {
        std::string reply;
        PortScript::Write write;
        bool told;
    };
    const Row rows[] = {
        {GoodReply, PortScript::Write::Whole, true},
        {GoodReply, PortScript::Write::Fails, true},
        {longName, PortScript::Write::Whole, false},
    };
    for (const Row& row : rows) {
        auto configured = std::make_shared<PortScript>(row.reply);
        configured->laterWrites = row.write;
        const CommandRun configure = RunOn(configured, {"configure", "/dev/x", "--auth", "on", "--pin", "random"});
        EXPECT_EQ(configure.out.find("pin: ") != std::string::npos, row.told) << configure.out << configure.err;

        auto configuredJson = std::make_shared<PortScript>(row.reply);
        configuredJson->laterWrites = row.write;
        const CommandRun json =
            RunOn(configuredJson, {"configure", "/dev/x", "--auth", "on", "--pin", "random", "--json"});
        EXPECT_EQ(json.out.find("\"pin\":") != std::string::npos, row.told) << json.out;

        auto provisioned = std::make_shared<PortScript>(row.reply);
        provisioned->laterWrites = row.write;
        const CommandRun provision =
            RunOn(provisioned, {"provision", "-", "--json"}, "port,auth,pin\n/dev/x,on,random\n");
        EXPECT_EQ(provision.out.find("\"pin\":") != std::string::npos, row.told) << provision.out;
    }
}

// configure --json is one object with a provision row's keys; without
// --auth the device's own setting goes back, and is what it has after.
TEST(Commands, ConfigureJsonIsAProvisionRow)
{
    auto script = std::make_shared<PortScript>(AccessCodeBytes + " 1.3 0 1234 Tolvane Demo\n");
    const CommandRun run = RunOn(script, {"configure", "/dev/x", "--pin", "random:4", "--json"});
    EXPECT_EQ(run.code, ExitCode::Success) << run.err;
    const std::string start =
        "{\"port\":\"/dev/x\",\"status\":\"configured\",\"firmware\":\"1.3\",\"name\":"
        "\"Tolvane Demo\",\"authenticationBefore\":\"Disable\",\"authenticationAfter\":\"Disable\","
        "\"exitCode\":0,\"pin\":\"";
    EXPECT_EQ(run.out.substr(0, start.size()), start);
    EXPECT_EQ(run.out.substr(start.size() + 4), "\"}\n");
}

// A PIN from a file's first line, or from standard input's, goes out as one
// given with --pin; a PIN file that holds none is refused before the port is
// opened.
TEST(Commands, PinFileGivesTheFirstLineAsThePin)
{
    const std::string file = "tolvane-pin-file-test.txt";
    struct Row {
        std::string fileText;
        std::string pinFile;
        std::string input;
        ExitCode code;
        std::string err;
        std::string written;
    };
    const Row rows[] = {
        {"4321\r\nnot this\n", file, "", ExitCode::Success, "", AccessCode + BuildConfigureCommand(0, "4321")},
        {"", "-", "8765\nnot this", ExitCode::Success, "", AccessCode + BuildConfigureCommand(0, "8765")},
        {"", file, "", ExitCode::Usage, "Cannot read the PIN file " + file + ": it is empty.\n", ""},
    };
    for (const Row& row : rows) {
        std::ofstream(file, std::ios::binary) << row.fileText;
        auto script = std::make_shared<PortScript>(GoodReply);
        const CommandRun run =
            RunOn(script, {"configure", "/dev/x", "--auth", "off", "--pin-file", row.pinFile}, row.input);
        std::remove(file.c_str());
        EXPECT_EQ(run.code, row.code) << row.err;
        EXPECT_EQ(run.err, row.err);
        EXPECT_EQ(script->Written(), row.written) << row.err;
    }
}

// An entry appended after a line that a cut-short write left unended
// starts a line of its own: neither it nor the line before is lost.
TEST(Commands, ARecordEntryStartsALineOfItsOwn)
{
    const std::string record = "tolvane-record-test.jsonl";
    std::ofstream(record, std::ios::binary) << "{\"time\":\"2026-12-08T17:38:10.420Z\",\"run\":\"01";
    const CommandRun run =
        RunOn(std::make_shared<PortScript>(GoodReply), {"configure", "/dev/x", "--auth", "on", "--record", record});
    std::ifstream file(record, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);)
        lines.push_back(line);
    file.close();
    std::remove(record.c_str());
    EXPECT_EQ(run.code, ExitCode::Success) << run.err;
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "{\"time\":\"2026-12-08T17:38:10.420Z\",\"run\":\"01");
    EXPECT_NE(lines[1].find("\"entry\":\"written\""), std::string::npos) << lines[1];
    EXPECT_NE(lines[2].find("\"entry\":\"result\""), std::string::npos) << lines[2];
}

#ifndef _WIN32
// Permission denied on Linux names the group whose members may use the port:
// the group that owns it (a file the test makes belongs to the test's group),
// when that group may read and write it.
TEST(Commands, APortTheUserMayNotUseNamesTheGroupThatOwnsIt)
{
    char path[] = "/tmp/tolvane-port-XXXXXX";
    ASSERT_TRUE(UniqueFd(mkstemp(path)).IsValid());
    ASSERT_EQ(chmod(path, 0660), 0);
    const group* owner = getgrgid(getegid());
    ASSERT_NE(owner, nullptr);

    auto script = std::make_shared<PortScript>(GoodReply);
    script->openResult = LinkResult::OpenFailed;
    script->SetSystemError(EACCES, "Permission denied");
    const CommandRun run = RunOn(script, {"query", path});
    std::remove(path);
    EXPECT_EQ(run.code, ExitCode::CannotOpen);
    EXPECT_EQ(run.err, std::string("Cannot open the COM port. (") + path +
                           ": Permission denied; the user needs to be "
                           "in the group " +
                           owner->gr_name + ", which owns the port)\n");
}
#endif

TEST(Commands, ProbeWaitsLessThanTheWindowAndListingFailuresAreReported)
{
    auto script = std::make_shared<PortScript>(GoodReply);
    const CommandRun probe = RunOn(script, {"scan", "--probe", "/dev/a"});
    EXPECT_EQ(probe.code, ExitCode::Success);
    EXPECT_EQ(probe.out, "/dev/a\tdevice\t1.3\tTolvane Demo\tother\n");
    // Each byte waits a probe's short wait of a second, or what is left of
    // its deadline; so does the port's one set-up.
    ASSERT_FALSE(script->ReadWaits().empty());
    for (long long wait : script->ReadWaits())
        EXPECT_LE(wait, 1000);
    ASSERT_EQ(script->SetUpWaits().size(), 1u);
    EXPECT_LE(script->SetUpWaits()[0], 1000);

    const CommandRun list = RunOn(script, {"scan"});
    EXPECT_EQ(list.code, ExitCode::Failure);
    EXPECT_EQ(list.out, "");
    EXPECT_NE(list.err, "");
}

}  // namespace

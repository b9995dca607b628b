#include "ArgumentParser.h"
#include "Completion.h"
#include "HelpText.h"
#include "MaskedCommandLine.h"
#include "TlsEnvironment.h"
#include "TlsSettings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

namespace {

ParsedArguments Parse(std::vector<std::string> args)
{
    return ParseArguments(args);
}

TEST(CliOptions, ReadsEachCommandWithItsOptionsInAnyOrder)
{
    ParsedArguments query = Parse({"query", "--json", "/dev/rfcomm0"});
    ASSERT_TRUE(query.ok) << query.error;
    EXPECT_EQ(query.options.command, CommandKind::Query);
    EXPECT_EQ(query.options.port, "/dev/rfcomm0");
    EXPECT_TRUE(query.options.json);

    ParsedArguments configure = Parse({"configure", "COM5", "--pin=5678", "--auth", "off"});
    ASSERT_TRUE(configure.ok) << configure.error;
    EXPECT_EQ(configure.options.command, CommandKind::Configure);
    EXPECT_EQ(configure.options.port, "COM5");
    EXPECT_EQ(configure.options.auth, 0);
    EXPECT_TRUE(configure.options.hasPin);
    EXPECT_EQ(configure.options.pin, "5678");

    ParsedArguments keepPin = Parse({"configure", "COM5", "--auth=on"});
    ASSERT_TRUE(keepPin.ok) << keepPin.error;
    EXPECT_EQ(keepPin.options.auth, 1);
    EXPECT_FALSE(keepPin.options.hasPin);

    ParsedArguments scan = Parse({"scan", "--probe", "COM5", "COM6", "--json"});
    ASSERT_TRUE(scan.ok) << scan.error;
    EXPECT_TRUE(scan.options.probe);
    EXPECT_TRUE(scan.options.json);
    EXPECT_EQ(scan.options.ports, (std::vector<std::string>{"COM5", "COM6"}));

    // Options before the command name, a value among them that looks like one.
    ParsedArguments before = Parse({"--json", "--transcript", "query", "provision", "plan.csv", "--verify"});
    ASSERT_TRUE(before.ok) << before.error;
    EXPECT_EQ(before.options.command, CommandKind::Provision);
    EXPECT_EQ(before.options.plan, "plan.csv");
    EXPECT_EQ(before.options.transcript, "query");
    EXPECT_TRUE(before.options.json);
    EXPECT_TRUE(before.options.verify);
}

TEST(CliOptions, DoubleDashLetsAPortStartWithADash)
{
    ParsedArguments parsed = Parse({"query", "--", "-odd-name"});
    ASSERT_TRUE(parsed.ok) << parsed.error;
    EXPECT_EQ(parsed.options.port, "-odd-name");
}

TEST(CliOptions, HelpWinsAnywhereAndKnowsItsCommand)
{
    const std::vector<std::pair<std::vector<std::string>, CommandKind>> rows = {
        {{"--help"}, CommandKind::Help},
        {{"-h"}, CommandKind::Help},
        {{"help"}, CommandKind::Help},
        {{"query", "--help"}, CommandKind::Query},
        {{"configure", "COM1", "-h", "--bogus"}, CommandKind::Configure},
        {{"help", "scan"}, CommandKind::Scan},
#ifdef _WIN32
        {{"provision", "/?"}, CommandKind::Provision},
#endif
    };
    for (const auto& [args, helpFor] : rows) {
        ParsedArguments parsed = Parse(args);
        EXPECT_TRUE(parsed.ok) << args.back();
        EXPECT_EQ(parsed.options.command, CommandKind::Help) << args.back();
        EXPECT_EQ(parsed.options.helpFor, helpFor) << args.back();
    }
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"--version"}, {"-V"}, {"version"}, {"--json", "-V"}}) {
        const ParsedArguments parsed = Parse(args);
        EXPECT_TRUE(parsed.ok) << args.front() << ": " << parsed.error;
        EXPECT_EQ(parsed.options.command, CommandKind::Version) << args.front();
    }
}

// --help fits a screen: each command on one line, the common options, and
// where the rest is; help all is the whole text.
TEST(CliOptions, TheShortHelpFitsAScreenAndSaysWhereTheRestIs)
{
    const std::string help = CommandHelpText(CommandKind::Help, PortStyle::Posix);
    EXPECT_LE(std::count(help.begin(), help.end(), '\n'), 30) << help;
    EXPECT_NE(help.find("\n  provision  Configure a bench of devices from a CSV plan.\n"), std::string::npos) << help;
    EXPECT_NE(help.find("\n  -V, --version      Print the version and exit.\n"), std::string::npos) << help;
    EXPECT_NE(help.find("tolvane-cli help COMMAND shows"), std::string::npos) << help;
    EXPECT_EQ(help.find("Exit codes:"), std::string::npos) << help;
    EXPECT_NE(CommandHelpText(CommandKind::Help, PortStyle::Windows).find("tolvane-cli COMMAND /?"), std::string::npos);

    const ParsedArguments all = Parse({"help", "all"});
    ASSERT_TRUE(all.ok) << all.error;
    EXPECT_EQ(all.options.command, CommandKind::Help);
    EXPECT_TRUE(all.options.fullHelp);
}

// A slip gets the word it most likely meant; an option of other commands
// names them; a word far from every other gets no guess.
TEST(CliOptions, RefusalsSayWhatWasMeant)
{
    const std::vector<std::pair<std::vector<std::string>, std::string>> rows = {
        {{"provison", "plan.csv"},
         "Unknown command \"provison\": use query, configure, scan or provision.\n"
         "hint: did you mean 'provision'?"},
        {{"help", "qeury"},
         "Unknown command \"qeury\": use query, configure, scan or provision.\n"
         "hint: did you mean 'query'?"},
        {{"query", "COM5", "--jsn"}, "Unknown option --jsn for this command.\nhint: did you mean '--json'?"},
        {{"query", "COM5", "--verify"}, "query takes no --verify: configure and provision do."},
        {{"frobnicate"}, "Unknown command \"frobnicate\": use query, configure, scan or provision."},
    };
    for (const auto& [args, error] : rows) {
        const ParsedArguments parsed = Parse(args);
        EXPECT_FALSE(parsed.ok) << args.front();
        EXPECT_EQ(parsed.error, error);
    }
}

TEST(CliOptions, ACommandsHelpHasItsUsageOptionsAndAnExample)
{
    const std::string help = CommandHelpText(CommandKind::Query, PortStyle::Posix);
    EXPECT_EQ(
        help.rfind(
            "Usage: tolvane-cli query PORT [--json] [--transcript FILE] [--tls-ca FILE] [--tls-fingerprint SHA256] "
            "[--tls-cert FILE] [--tls-key FILE]\n",
            0),
        0u)
        << help;
    EXPECT_NE(help.find("\n  --json "), std::string::npos) << help;
    EXPECT_EQ(help.find("--pin"), std::string::npos) << help;
    EXPECT_NE(help.find("Example:\n  tolvane-cli query /dev/rfcomm0"), std::string::npos) << help;

    // Each command's help holds only what that command takes on that
    // system: Windows refuses --tls-key, and scan's --transcript sentence is
    // scan's.
    const std::string windows = CommandHelpText(CommandKind::Query, PortStyle::Windows);
    EXPECT_EQ(windows.find("--tls-key FILE"), std::string::npos) << windows;
    EXPECT_EQ(CommandHelpText(CommandKind::Provision, PortStyle::Posix).find("With scan"), std::string::npos);
    EXPECT_NE(CommandHelpText(CommandKind::Scan, PortStyle::Posix).find("With scan, only together with --probe."),
              std::string::npos);
}

// A bench's TLS files from the environment, where no option names them; an
// option given, an empty variable, and a CA beside a fingerprint are left.
TEST(CliOptions, TlsFilesComeFromTheEnvironmentWhenNoOptionGivesThem)
{
    const auto bench = [](const char* name) -> const char* {
        const std::string variable = name;
        if (variable == "TOLVANE_TLS_CA")
            return "/bench/ca.pem";
        if (variable == "TOLVANE_TLS_CERT")
            return "/bench/client.pem";
        if (variable == "TOLVANE_TLS_KEY")
            return "";
        return nullptr;
    };
    CliOptions options = Parse({"query", "COM1", "--tls-cert", "mine.pem"}).options;
    std::string error;
    ASSERT_TRUE(TakeTlsEnvironment(options, bench, error)) << error;
    EXPECT_EQ(options.tlsCa, "/bench/ca.pem");
    EXPECT_EQ(options.tlsCert, "mine.pem");
    EXPECT_EQ(options.tlsKey, "");

    const std::string fingerprint(64, 'A');
    CliOptions pinned = Parse({"query", "COM1", "--tls-fingerprint", fingerprint}).options;
    ASSERT_TRUE(TakeTlsEnvironment(pinned, bench, error)) << error;
    EXPECT_EQ(pinned.tlsCa, "");
    EXPECT_EQ(pinned.tlsCert, "/bench/client.pem");
}

// A fingerprint as openssl prints it, or its hex digits alone, in either case.
TEST(CliOptions, TakesAFingerprintWithOrWithoutColons)
{
    const std::string asPrinted =
        "A0:A1:A2:A3:A4:A5:A6:A7:A8:A9:A0:A1:A2:A3:A4:A5:A6:A7:A8:A9:A0:A1:A2:A3:A4:A5:A6:A7:A8:A9:A0:A1";
    for (const char* spelling :
         {"a0:a1:a2:a3:a4:a5:a6:a7:a8:a9:a0:a1:a2:a3:a4:a5:a6:a7:a8:a9:a0:a1:a2:a3:a4:a5:a6:a7:a8:a9:a0:a1",
          "A0A1A2A3A4A5A6A7A8A9A0A1A2A3A4A5A6A7A8A9A0A1A2A3A4A5A6A7A8A9A0A1"}) {
        const ParsedArguments parsed = Parse({"query", "COM1", "--tls-fingerprint", spelling});
        ASSERT_TRUE(parsed.ok) << spelling << ": " << parsed.error;
        EXPECT_EQ(FingerprintText(parsed.options.tlsFingerprint), asPrinted) << spelling;
    }
}

TEST(CliOptions, RefusesMalformedLinesWithAReason)
{
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"read", "COM1"},
        {"query"},
        {"query", "COM1", "COM2"},
        {"query", "COM1", "--probe"},
        {"configure"},
        {"configure", "COM1", "--auth"},
        {"configure", "COM1", "--auth", "yes"},
        {"configure", "COM1", "--auth", "on", "--auth", "off"},
        {"configure", "COM1", "--auth", "on", "--pin", ""},
        {"configure", "COM1", "--auth", "on", "--pin", "1", "--pin", "2"},
        {"configure", "COM1", "--auth", "on", "--pin", "--verify"},
        {"configure", "COM1", "--auth", "on", "--probe"},
        {"configure", "COM1", "--auth", "on", "--pin", "random:3"},
        {"configure", "COM1"},
        {"configure", "COM1", "--verify", "--record", "r.jsonl"},
        {"scan", "COM1"},
        {"scan", "--json=yes"},
        {"provision", "plan.csv", "--jobs", "0"},
        {"provision", "plan.csv", "--jobs", "1025"},
        {"provision", "plan.csv", "--resume"},
        {"provision", "plan.csv", "--check", "--record", "r.jsonl"},
        {"--version", "extra"},
        {"help", "read"},
        {"query", "COM1", "--tls-fingerprint", "AB:CD"},
        {"query", "COM1", "--tls-fingerprint", std::string(63, 'A') + "G"},
        {"query", "COM1", "--tls-fingerprint", "ABC:" + std::string(61, 'D')},
        {"query", "COM1", "--tls-fingerprint", "AB::" + std::string(62, 'C')},
        {"query", "COM1", "--tls-ca", ""},
        {"configure", "COM1", "--auth", "on\nhint: off"},
        {"query", "COM1", "--bogus\nx"},
    };
    for (const auto& args : bad) {
        ParsedArguments parsed = Parse(args);
        EXPECT_FALSE(parsed.ok) << (args.empty() ? "(nothing)" : args.back());
        EXPECT_FALSE(parsed.error.empty());
        // An argument echoed in the reason cannot start a line of its own.
        EXPECT_EQ(parsed.error.find('\n'), std::string::npos) << parsed.error;
    }
}

// What the shells offer: each row is a command line up to the word being
// completed, and the candidates, one a line.
TEST(Completion, OffersOnlyWhatTheProgramWouldTake)
{
    const std::vector<std::string> ports = {"/dev/rfcomm0"};
    const std::vector<std::pair<std::vector<std::string>, std::string>> rows = {
        {{"pro"}, "provision\n"},
        {{""}, "query\nconfigure\nscan\nprovision\nhelp\n"},
        {{"--json", "q"}, "query\n"},  // options before the command, as the parser takes them
        {{"help", "s"}, "scan\n"},
        {{"query", ""}, "/dev/rfcomm0\nsocket://\nrfc2217://\nsocket+tls://\nrfc2217+tls://\nbt://\n:files\n"},
        {{"query", "r"}, "rfc2217://\nrfc2217+tls://\n:files\n"},
        {{"configure", "x", "--pin", "r"}, "random\nrandom:\n"},
        {{"query", "COM5", ""}, ""},  // one port only
        // An option with the first sentence of its help, for zsh and fish.
        {{"query", "--j"}, "--json\tPrint the result as JSON instead of lines for people.\n"},
        {{"query", "--tr"}, "--transcript\tAppend every byte sent to and received from each port to FILE.\n"},
        {{"configure", "x", "--auth", ""}, "on\noff\n"},
        {{"configure", "x", "--pin-file", "p"}, ":files\n"},
        {{"configure", "x", "--pin", "1", "--p"}, ""},  // one PIN source
        {{"configure", "x", "--auth=on", "--a"}, ""},   // --auth once
        {{"scan", ""}, ""},                             // ports only with --probe
        {{"scan", "--probe", "/"}, "/dev/rfcomm0\n:files\n"},
        {{"provision", ""}, ":files\n"},
    };
    for (const auto& [words, candidates] : rows)
        EXPECT_EQ(CompletionCandidates(words, ports), candidates) << words.back();
}

// A transcript's header shows the command line without its PINs.
TEST(CliOptions, CommandLineWithoutPinsHidesEveryPin)
{
    EXPECT_EQ(
        CommandLineWithoutPins({"configure", "COM5", "--pin", "5678", "--pin=91", "--auth", "on", "--", "--pin", "x"}),
        "configure COM5 --pin *** --pin=*** --auth on -- --pin x");
}

}  // namespace

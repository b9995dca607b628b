#include "CliOptions.h"

#include <cstddef>

namespace {

// Decimal digits only, at most MaxVerifyWaitMs.
bool ParseMilliseconds(const std::string& text, unsigned& milliseconds)
{
    if (text.empty() || text.size() > 5)
        return false;
    unsigned value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value > MaxVerifyWaitMs)
        return false;
    milliseconds = value;
    return true;
}

// One command's line as it is read: options and their values, then the
// positional arguments once "--" or the options are done.
class ArgumentReader {
public:
    ArgumentReader(const std::vector<std::string>& args, CommandKind command) : m_args(args)
    {
        m_result.options.command = command;
    }

    ParsedArguments Read();

private:
    bool ReadOption(const std::string& arg);
    bool ReadValueOption(const std::string& name, bool hasInlineValue, const std::string& inlineValue);
    bool TakeValue(const std::string& name, bool hasInlineValue, const std::string& inlineValue, std::string& value);
    bool CheckPositionals();
    bool Fail(const std::string& error);

    const std::vector<std::string>& m_args;
    std::size_t m_next = 1;  // m_args[0] is the command
    std::vector<std::string> m_positionals;
    bool m_authGiven = false;
    bool m_verifyWaitGiven = false;
    ParsedArguments m_result;
};

bool ArgumentReader::Fail(const std::string& error)
{
    m_result.ok = false;
    m_result.error = error;
    return false;
}

ParsedArguments ArgumentReader::Read()
{
    bool optionsDone = false;
    while (m_next < m_args.size()) {
        const std::string& arg = m_args[m_next++];
        if (!optionsDone && arg == "--") {
            optionsDone = true;
        } else if (!optionsDone && arg.size() > 1 && arg[0] == '-') {
            if (!ReadOption(arg))
                return m_result;
            if (m_result.options.command == CommandKind::Help)
                break;
        } else {
            m_positionals.push_back(arg);
        }
    }
    if (m_result.options.command != CommandKind::Help && !CheckPositionals())
        return m_result;
    m_result.ok = true;
    return m_result;
}

bool ArgumentReader::TakeValue(const std::string& name, bool hasInlineValue, const std::string& inlineValue,
                               std::string& value)
{
    if (hasInlineValue) {
        value = inlineValue;
        return true;
    }
    if (m_next >= m_args.size())
        return Fail(name + " needs a value.");
    value = m_args[m_next++];
    return true;
}

bool ArgumentReader::ReadOption(const std::string& arg)
{
    CliOptions& options = m_result.options;
    const std::size_t equals = arg.find('=');
    const bool hasInlineValue = arg.compare(0, 2, "--") == 0 && equals != std::string::npos;
    const std::string name = hasInlineValue ? arg.substr(0, equals) : arg;
    const std::string inlineValue = hasInlineValue ? arg.substr(equals + 1) : std::string();
    const CommandKind command = options.command;

    if (name == "--help" || name == "-h") {
        options.command = CommandKind::Help;
        return true;
    }
    const bool writes = command == CommandKind::Configure || command == CommandKind::Provision;
    bool* flag = nullptr;
    if (name == "--json" &&
        (command == CommandKind::Query || command == CommandKind::Scan || command == CommandKind::Provision))
        flag = &options.json;
    else if (name == "--probe" && command == CommandKind::Scan)
        flag = &options.probe;
    else if (name == "--verify" && writes)
        flag = &options.verify;
    if (flag != nullptr && hasInlineValue)
        return Fail(name + " takes no value.");
    if (flag != nullptr) {
        *flag = true;
        return true;
    }
    return ReadValueOption(name, hasInlineValue, inlineValue);
}

bool ArgumentReader::ReadValueOption(const std::string& name, bool hasInlineValue, const std::string& inlineValue)
{
    CliOptions& options = m_result.options;
    const CommandKind command = options.command;
    if (name == "--transcript" && command != CommandKind::Version) {
        if (!options.transcript.empty())
            return Fail("--transcript is given more than once.");
        if (!TakeValue(name, hasInlineValue, inlineValue, options.transcript))
            return false;
        if (options.transcript.empty())
            return Fail("--transcript needs a file name.");
        return true;
    }
    if (name == "--verify-wait" && (command == CommandKind::Configure || command == CommandKind::Provision)) {
        std::string value;
        if (m_verifyWaitGiven)
            return Fail("--verify-wait is given more than once.");
        if (!TakeValue(name, hasInlineValue, inlineValue, value))
            return false;
        if (!ParseMilliseconds(value, options.verifyWaitMs))
            return Fail("--verify-wait takes milliseconds from 0 to " + std::to_string(MaxVerifyWaitMs) + ", not \"" +
                        value + "\".");
        m_verifyWaitGiven = true;
        return true;
    }
    if (name == "--auth" && command == CommandKind::Configure) {
        std::string value;
        if (m_authGiven)
            return Fail("--auth is given more than once.");
        if (!TakeValue(name, hasInlineValue, inlineValue, value))
            return false;
        if (!ParseAuthWord(value, options.auth))
            return Fail("--auth takes on or off, not \"" + value + "\".");
        m_authGiven = true;
        return true;
    }
    if (name == "--pin" && command == CommandKind::Configure) {
        if (options.hasPin)
            return Fail("--pin is given more than once.");
        if (!TakeValue(name, hasInlineValue, inlineValue, options.pin))
            return false;
        // A blank PIN field in the window means "keep the device's PIN"; here
        // that is said by leaving --pin out, so an empty one is a mistake.
        if (options.pin.empty())
            return Fail("--pin needs a PIN; leave --pin out to keep the device's PIN.");
        options.hasPin = true;
        return true;
    }
    return Fail("Unknown option " + name + " for this command.");
}

bool ArgumentReader::CheckPositionals()
{
    CliOptions& options = m_result.options;
    if (m_verifyWaitGiven && !options.verify)
        return Fail("--verify-wait needs --verify.");
    if (!options.transcript.empty() && options.command == CommandKind::Scan && !options.probe)
        return Fail("--transcript needs --probe: a scan without it sends nothing.");
    switch (options.command) {
        case CommandKind::Query:
        case CommandKind::Configure:
            if (m_positionals.size() != 1)
                return Fail(m_positionals.empty() ? "A port is needed." : "Only one port may be given.");
            options.port = m_positionals.front();
            if (options.command == CommandKind::Configure && !m_authGiven)
                return Fail("configure needs --auth on or --auth off.");
            return true;
        case CommandKind::Scan:
            if (!m_positionals.empty() && !options.probe)
                return Fail("Ports may be named to scan only with --probe.");
            options.ports = m_positionals;
            return true;
        case CommandKind::Provision:
            if (m_positionals.size() != 1)
                return Fail(m_positionals.empty() ? "A plan is needed: a CSV file, or - for standard input."
                                                  : "Only one plan may be given.");
            options.plan = m_positionals.front();
            return true;
        case CommandKind::Help:
        case CommandKind::Version:
            if (!m_positionals.empty())
                return Fail("Unexpected argument \"" + m_positionals.front() + "\".");
            return true;
    }
    return true;
}

}  // namespace

bool ParseAuthWord(const std::string& word, int& auth)
{
    if (word != "on" && word != "off")
        return false;
    auth = word == "on" ? 1 : 0;
    return true;
}

ParsedArguments ParseArguments(const std::vector<std::string>& args)
{
    ParsedArguments result;
    if (args.empty()) {
        result.error = "A command is needed: query, configure, scan or provision.";
        return result;
    }
    const std::string& first = args.front();
    CommandKind command;
    if (first == "query") {
        command = CommandKind::Query;
    } else if (first == "configure") {
        command = CommandKind::Configure;
    } else if (first == "scan") {
        command = CommandKind::Scan;
    } else if (first == "provision") {
        command = CommandKind::Provision;
    } else if (first == "help" || first == "--help" || first == "-h") {
        command = CommandKind::Help;
    } else if (first == "--version") {
        command = CommandKind::Version;
    } else {
        result.error = "Unknown command \"" + first + "\": use query, configure, scan or provision.";
        return result;
    }
    if (command == CommandKind::Help) {
        result.ok = true;
        result.options.command = command;
        return result;
    }
    return ArgumentReader(args, command).Read();
}

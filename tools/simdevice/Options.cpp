#include "Options.h"

#include <cstring>
#include <utility>

namespace {

constexpr char Usage[] =
    "Usage: tolvane-simdevice [OPTION]...\n"
    "Plays the Tolvane target device on a pseudo-terminal. Prints the path of the\n"
    "terminal's slave side on one line, then answers queries and applies configure\n"
    "commands until it gets SIGTERM or SIGINT.\n"
    "\n"
    "Device state:\n"
    "  --name TEXT         device name, may contain spaces (default \"Tolvane Demo\")\n"
    "  --firmware TEXT     firmware version (default 1.3)\n"
    "  --auth 0|1          authentication off or on, also as off|on (default 1)\n"
    "  --pin TEXT          PIN (default 1234)\n"
    "\n"
    "Files:\n"
    "  --link PATH         make PATH a symlink to the slave side (re-pointed after a hangup)\n"
    "  --transcript FILE   append every byte received to FILE\n"
    "  --state FILE        keep FILE rewritten with the state (name=, version=, auth=,\n"
    "                      pin=, queries=, configures=, releases=, hangups=)\n"
    "  --log FILE          append the program's messages to FILE, not standard error\n"
    "  --control FILE      scenario file of key=value lines, re-read before each command\n"
    "                      (keys: name version auth pin mode partial echo raw crlf\n"
    "                      delay gap baud-pacing; mode is answer|silent|partial|hangup)\n"
    "\n"
    "Many devices:\n"
    "  --count N           start N devices (1 to 1024), each in a process of its own,\n"
    "                      behind the links PATH1 ... PATHN of --link-prefix PATH;\n"
    "                      once all are ready print a plan for them (port,auth,pin,\n"
    "                      each row on,random) and run until SIGTERM or SIGINT, or\n"
    "                      until the process that started it ends; then end them\n"
    "                      all and remove the links (not with --link, --state,\n"
    "                      --transcript or --control)\n"
    "  --link-prefix PATH  the links' common start, for --count\n"
    "\n"
    "Faults:\n"
    "  --silent            never answer\n"
    "  --partial N         answer only the first N bytes of each reply, then fall silent\n"
    "  --echo TOKEN        answer with TOKEN instead of the access code\n"
    "  --raw BYTES         answer exactly BYTES (escapes \\n \\r \\t \\\\ \\xHH)\n"
    "  --crlf              end replies with \\r\\n instead of \\n\n"
    "  --delay MS          wait MS milliseconds before replying\n"
    "  --gap MS            wait MS milliseconds between reply bytes\n"
    "  --baud-pacing       send reply bytes no faster than a 115200 baud 8N1 line\n"
    "  --hangup            on the next query send the --partial bytes, then drop the\n"
    "                      line and come back on a new pseudo-terminal\n"
    "\n"
    "  --quick-query       answer the access code the moment it is in, without\n"
    "                      waiting 50 ms for a configure command (which is then\n"
    "                      not recognised): for timing query round trips\n"
    "  --exit-with-parent  end when the process that started it ends (for scripts)\n"
    "  --print-state KEY   print the value of KEY in the --state FILE of a device\n"
    "                      (running or not) and exit; status 1 when it has none\n"
    "  --help              show this text\n"
    "  --version           print the program's version and exit\n"
    "\n"
    "A configure command is the access code, a space, the flag token, a space, the PIN\n"
    "and a space; the device stores both tokens as received and does not answer.\n";

struct KnownOption {
    const char* name;
    bool takesValue;
};

constexpr int MaxDevices = 1024;

constexpr KnownOption KnownOptions[] = {
    {"name", true},
    {"firmware", true},
    {"version", false},
    {"auth", true},
    {"pin", true},
    {"link", true},
    {"transcript", true},
    {"state", true},
    {"control", true},
    {"log", true},
    {"count", true},
    {"link-prefix", true},
    {"silent", false},
    {"partial", true},
    {"echo", true},
    {"raw", true},
    {"crlf", false},
    {"delay", true},
    {"gap", true},
    {"baud-pacing", false},
    {"hangup", false},
    {"quick-query", false},
    {"exit-with-parent", false},
    {"help", false},
    {"print-state", true},
};

// A device starts with authentication off (0) or on (1). Any other token
// reaches it only through a configure command or a scenario's auth=, as a
// fault.
bool ParseAuthFlag(const std::string& value, std::string& flag)
{
    if (value == "0" || value == "off")
        flag = "0";
    else if (value == "1" || value == "on")
        flag = "1";
    else
        return false;
    return true;
}

bool ParseDeviceCount(const std::string& value, int& count)
{
    if (value.empty() || value.size() > 4 || value.find_first_not_of("0123456789") != std::string::npos)
        return false;
    count = std::stoi(value);
    return count >= 1 && count <= MaxDevices;
}

// A fleet's devices each have their own link and keep no files: one state,
// transcript or scenario file cannot be shared by many devices.
std::string CheckFleetOptions(const Options& options)
{
    if (options.count == 0)
        return options.linkPrefix.empty() ? "" : "option '--link-prefix' needs '--count N'";
    if (options.linkPrefix.empty())
        return "option '--count' needs '--link-prefix PATH'";
    const std::pair<const std::string*, const char*> single[] = {
        {&options.linkPath, "--link"},
        {&options.statePath, "--state"},
        {&options.transcriptPath, "--transcript"},
        {&options.controlPath, "--control"},
        {&options.printStateKey, "--print-state"},
    };
    for (const auto& [value, name] : single)
        if (!value->empty())
            return std::string("option '") + name + "' is for one device, not with '--count'";
    return {};
}

const KnownOption* FindKnownOption(const std::string& name)
{
    for (const KnownOption& known : KnownOptions)
        if (name == known.name)
            return &known;
    return nullptr;
}

}  // namespace

const char* UsageText()
{
    return Usage;
}

std::string ParseOptions(int argc, const char* const argv[], Options& options)
{
    // Several options choose a reply mode; the strongest wins whatever their
    // order, so "--partial 5 --hangup" hangs up after five bytes.
    bool silent = false, partial = false, hangup = false;

    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.compare(0, 2, "--") != 0 || arg.size() == 2)
            return "unexpected argument '" + arg + "'";
        std::string name = arg.substr(2);
        std::string value;
        bool hasValue = false;
        const std::size_t equals = name.find('=');
        if (equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.erase(equals);
            hasValue = true;
        }
        const KnownOption* known = FindKnownOption(name);
        if (!known)
            return "unknown option '--" + name + "'";
        if (known->takesValue && !hasValue) {
            if (i + 1 >= argc)
                return "option '--" + name + "' needs a value";
            value = argv[++i];
        } else if (!known->takesValue && hasValue) {
            return "option '--" + name + "' takes no value";
        }

        if (name == "help")
            options.help = true;
        else if (name == "version")
            options.printVersion = true;
        else if (name == "link")
            options.linkPath = value;
        else if (name == "transcript")
            options.transcriptPath = value;
        else if (name == "state")
            options.statePath = value;
        else if (name == "control")
            options.controlPath = value;
        else if (name == "silent")
            silent = true;
        else if (name == "hangup")
            hangup = true;
        else if (name == "crlf")
            options.faults.crlf = true;
        else if (name == "baud-pacing")
            options.faults.baudPacing = true;
        else if (name == "quick-query")
            options.quickQueries = true;
        else if (name == "exit-with-parent")
            options.exitWithParent = true;
        else if (name == "log")
            options.logPath = value;
        else if (name == "link-prefix")
            options.linkPrefix = value;
        else if (name == "count") {
            if (!ParseDeviceCount(value, options.count))
                return "option '--count' takes 1 to " + std::to_string(MaxDevices) + " devices, not '" + value + "'";
        } else if (name == "print-state")
            options.printStateKey = value;
        else if (name == "auth") {
            // The device's own token, never the word: a reply "off" would be
            // incorrect data to every host.
            if (!ParseAuthFlag(value, options.state.auth))
                return "option '--auth' takes 0, 1, on or off, not '" + value + "'";
        } else {
            partial = partial || name == "partial";
            const std::string error =
                ApplySetting(name == "firmware" ? "version" : name, value, options.state, options.faults);
            if (!error.empty())
                return "option '--" + name + "': " + error;
        }
    }

    if (!options.printStateKey.empty() && options.statePath.empty())
        return "option '--print-state' needs '--state FILE'";
    const std::string fleetError = CheckFleetOptions(options);
    if (!fleetError.empty())
        return fleetError;
    if (hangup)
        options.faults.mode = ReplyMode::Hangup;
    else if (silent)
        options.faults.mode = ReplyMode::Silent;
    else if (partial)
        options.faults.mode = ReplyMode::Partial;
    return {};
}

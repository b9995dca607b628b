// tolvane-driver: works the running Tolvane window from outside, as a user
// would, following a script given on the command line, and stops with a
// clear message at the first thing that is not as the script expects.
//
//   tolvane-driver [--start PROGRAM] [--caption TEXT] [--timeout MS] COMMAND...
//
// Exit status: 0 when every command held, 1 at the first mismatch or
// failure, 2 for a wrong command line.
#include "ControlNames.h"
#include "RemoteDialog.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr char Usage[] =
    "usage: tolvane-driver [--start PROGRAM] [--caption TEXT] [--timeout MS] COMMAND...\n"
    "  --start PROGRAM   start PROGRAM as its own process (otherwise: drive one already running)\n"
    "  --caption TEXT    the dialog's caption, also the message boxes' caption (default: Tolvane)\n"
    "  --timeout MS      the longest wait for each command (default: 10000)\n"
    "commands:\n"
    "  select N                   choose entry N of the port list (0 \"Select\", N COMn)\n"
    "  click CONTROL              click a button\n"
    "  type CONTROL TEXT          replace the text of an edit\n"
    "  expect-text CONTROL TEXT   the control shows exactly TEXT\n"
    "  expect-enabled CONTROL 0|1\n"
    "  expect-visible CONTROL 0|1\n"
    "  expect-selection N         the port list's selected entry\n"
    "  expect-entries N           the number of entries in the port list\n"
    "  expect-entry N TEXT        the text of entry N of the port list\n"
    "  expect-message TEXT        a message box shows TEXT; it is then closed with OK\n"
    "  expect-open-message TEXT   a message box shows TEXT, drawn; it stays open\n"
    "  expect-no-message          no message box is open\n"
    "  wait MS                    let MS milliseconds pass\n"
    "  expect-exit                the program ends\n"
    "CONTROL is a name (IDOK, IDC_PORT, IDC_NEW_PIN, ...) or a number.\n"
    "TEXT may hold the escapes \\n \\r \\t and \\\\ (a backslash).\n";

// A text in double quotes, its line breaks and tabs written as escapes.
std::string Quoted(const std::string& text)
{
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '\n')
            quoted += "\\n";
        else if (c == '\r')
            quoted += "\\r";
        else if (c == '\t')
            quoted += "\\t";
        else if (c == '\\')
            quoted += "\\\\";
        else
            quoted += c;
    }
    return quoted + "\"";
}

struct Step {
    std::string name;
    std::vector<std::string> args;
    std::string Describe() const
    {
        std::string text = name;
        for (const std::string& arg : args)
            text += " " + Quoted(arg);
        return text;
    }
};

struct Session {
    RemoteDialog& dialog;
    std::string caption;
    DWORD timeoutMs;
};

std::optional<int> ParseNumber(const std::string& text)
{
    char* end = nullptr;
    const long number = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || number < 0 || number > 0x7FFFFFFF)
        return std::nullopt;
    return static_cast<int>(number);
}

std::optional<bool> ParseFlag(const std::string& text)
{
    if (text == "0")
        return false;
    if (text == "1")
        return true;
    return std::nullopt;
}

// What a command does; returns an empty string when it held, else what was wrong.
using Action = std::string (*)(Session&, const std::vector<std::string>&);

std::string Select(Session& s, const std::vector<std::string>& a)
{
    std::string error;
    return s.dialog.SelectPortEntry(*ParseNumber(a[0]), error) ? "" : error;
}

std::string Click(Session& s, const std::vector<std::string>& a)
{
    std::string error;
    return s.dialog.Click(*ParseControlId(a[0].c_str()), error) ? "" : error;
}

std::string Type(Session& s, const std::vector<std::string>& a)
{
    std::string error;
    return s.dialog.Type(*ParseControlId(a[0].c_str()), a[1], error) ? "" : error;
}

std::string ExpectText(Session& s, const std::vector<std::string>& a)
{
    HWND control = s.dialog.Control(*ParseControlId(a[0].c_str()));
    if (!control)
        return "there is no such control";
    const std::string text = s.dialog.Text(control);
    return text == a[1] ? "" : "the control shows " + Quoted(text);
}

std::string ExpectEnabled(Session& s, const std::vector<std::string>& a)
{
    HWND control = s.dialog.Control(*ParseControlId(a[0].c_str()));
    if (!control)
        return "there is no such control";
    const bool enabled = IsWindowEnabled(control) != FALSE;
    return enabled == *ParseFlag(a[1]) ? "" : enabled ? "the control is enabled" : "the control is disabled";
}

std::string ExpectVisible(Session& s, const std::vector<std::string>& a)
{
    HWND control = s.dialog.Control(*ParseControlId(a[0].c_str()));
    if (!control)
        return "there is no such control";
    const bool visible = IsWindowVisible(control) != FALSE;
    return visible == *ParseFlag(a[1]) ? "" : visible ? "the control is visible" : "the control is hidden";
}

std::string ExpectSelection(Session& s, const std::vector<std::string>& a)
{
    const int selection = s.dialog.Selection();
    return selection == *ParseNumber(a[0]) ? "" : "the selected entry is " + std::to_string(selection);
}

std::string ExpectEntries(Session& s, const std::vector<std::string>& a)
{
    const int count = s.dialog.EntryCount();
    return count == *ParseNumber(a[0]) ? "" : "the port list has " + std::to_string(count) + " entries";
}

std::string ExpectEntry(Session& s, const std::vector<std::string>& a)
{
    const std::string entry = s.dialog.Entry(*ParseNumber(a[0]));
    return entry == a[1] ? "" : "the entry is " + Quoted(entry);
}

// Waits for a message box and checks its text and caption; `box` is the box found.
std::string FindMessage(Session& s, const std::string& expected, HWND& box)
{
    box = nullptr;
    for (ULONGLONG end = GetTickCount64() + s.timeoutMs; !box && GetTickCount64() < end; Sleep(20)) {
        box = s.dialog.FindMessageBox();
    }
    if (!box)
        return "no message box appeared within " + std::to_string(s.timeoutMs) + " ms";
    const std::string text = s.dialog.MessageText(box);
    const std::string caption = s.dialog.Text(box);
    if (text != expected)
        return "the message box says " + Quoted(text);
    if (caption != s.caption)
        return "the message box's caption is " + Quoted(caption);
    return "";
}

std::string ExpectMessage(Session& s, const std::vector<std::string>& a)
{
    HWND box = nullptr;
    const std::string wrong = FindMessage(s, a[0], box);
    if (!wrong.empty())
        return wrong;
    std::string error;
    return s.dialog.DismissMessageBox(box, error) ? "" : error;
}

// For a picture of the box: it is painted before this returns (a box
// paints itself only once its program has nothing else to do).
std::string ExpectOpenMessage(Session& s, const std::vector<std::string>& a)
{
    HWND box = nullptr;
    const std::string wrong = FindMessage(s, a[0], box);
    if (!wrong.empty())
        return wrong;
    RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    return "";
}

std::string ExpectNoMessage(Session& s, const std::vector<std::string>&)
{
    HWND box = s.dialog.FindMessageBox();
    return box ? "a message box is open: " + Quoted(s.dialog.MessageText(box)) : "";
}

std::string Wait(Session&, const std::vector<std::string>& a)
{
    Sleep(static_cast<DWORD>(*ParseNumber(a[0])));
    return "";
}

std::string ExpectExit(Session& s, const std::vector<std::string>&)
{
    return s.dialog.WaitForExit(s.timeoutMs) ? ""
                                             : "the program still runs after " + std::to_string(s.timeoutMs) + " ms";
}

enum class Arg { Number, Control, Flag, Text };

struct Command {
    const char* name;
    std::vector<Arg> args;
    Action action;
};

const std::vector<Command>& Commands()
{
    static const std::vector<Command> commands = {
        {"select", {Arg::Number}, Select},
        {"click", {Arg::Control}, Click},
        {"type", {Arg::Control, Arg::Text}, Type},
        {"expect-text", {Arg::Control, Arg::Text}, ExpectText},
        {"expect-enabled", {Arg::Control, Arg::Flag}, ExpectEnabled},
        {"expect-visible", {Arg::Control, Arg::Flag}, ExpectVisible},
        {"expect-selection", {Arg::Number}, ExpectSelection},
        {"expect-entries", {Arg::Number}, ExpectEntries},
        {"expect-entry", {Arg::Number, Arg::Text}, ExpectEntry},
        {"expect-message", {Arg::Text}, ExpectMessage},
        {"expect-open-message", {Arg::Text}, ExpectOpenMessage},
        {"expect-no-message", {}, ExpectNoMessage},
        {"wait", {Arg::Number}, Wait},
        {"expect-exit", {}, ExpectExit},
    };
    return commands;
}

const Command* FindCommand(const std::string& name)
{
    for (const Command& command : Commands()) {
        if (name == command.name)
            return &command;
    }
    return nullptr;
}

// Texts shown by the program may end in a line break; the escapes let a
// script say so.
std::optional<std::string> DecodeEscapes(const std::string& text)
{
    std::string decoded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            decoded += text[i];
            continue;
        }
        const char next = i + 1 < text.size() ? text[++i] : '\0';
        if (next == 'n')
            decoded += '\n';
        else if (next == 'r')
            decoded += '\r';
        else if (next == 't')
            decoded += '\t';
        else if (next == '\\')
            decoded += '\\';
        else
            return std::nullopt;
    }
    return decoded;
}

bool ArgumentFits(Arg kind, const std::string& text)
{
    switch (kind) {
        case Arg::Number:
            return ParseNumber(text).has_value();
        case Arg::Control:
            return ParseControlId(text.c_str()).has_value();
        case Arg::Flag:
            return ParseFlag(text).has_value();
        case Arg::Text:
            return DecodeEscapes(text).has_value();
    }
    return false;
}

struct Options {
    std::string start;
    std::string caption = "Tolvane";
    DWORD timeoutMs = 10000;
    std::vector<Step> steps;
};

// Reads the whole script before anything runs, so a typo never leaves a
// program half driven.
bool ParseCommandLine(int argc, char** argv, Options& options, std::string& error)
{
    int i = 1;
    for (; i + 1 < argc && std::string(argv[i]).rfind("--", 0) == 0; i += 2) {
        const std::string option = argv[i];
        if (option == "--start")
            options.start = argv[i + 1];
        else if (option == "--caption")
            options.caption = argv[i + 1];
        else if (option == "--timeout" && ParseNumber(argv[i + 1]))
            options.timeoutMs = *ParseNumber(argv[i + 1]);
        else {
            error = "bad option " + option + " " + argv[i + 1];
            return false;
        }
    }
    while (i < argc) {
        const Command* command = FindCommand(argv[i]);
        if (!command) {
            error = "unknown command \"" + std::string(argv[i]) + "\"";
            return false;
        }
        Step step{argv[i++], {}};
        for (Arg kind : command->args) {
            if (i >= argc || !ArgumentFits(kind, argv[i])) {
                error = "command \"" + step.name + "\": missing or bad argument";
                return false;
            }
            step.args.push_back(kind == Arg::Text ? *DecodeEscapes(argv[i]) : argv[i]);
            ++i;
        }
        options.steps.push_back(step);
    }
    if (options.steps.empty())
        error = "no commands";
    return !options.steps.empty();
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    std::string error;
    if (!ParseCommandLine(argc, argv, options, error)) {
        std::fprintf(stderr, "tolvane-driver: %s\n%s", error.c_str(), Usage);
        return 2;
    }
    RemoteDialog dialog;
    const bool found = options.start.empty() ? dialog.Attach(options.caption, options.timeoutMs, error)
                                             : dialog.Start(options.start, options.caption, options.timeoutMs, error);
    if (!found) {
        std::fprintf(stderr, "tolvane-driver: %s\n", error.c_str());
        dialog.EndStartedProgram();
        return 1;
    }
    Session session{dialog, options.caption, options.timeoutMs};
    for (std::size_t n = 0; n < options.steps.size(); ++n) {
        const Step& step = options.steps[n];
        const std::string failure = FindCommand(step.name)->action(session, step.args);
        if (!failure.empty()) {
            std::fprintf(stderr, "tolvane-driver: step %zu, %s: %s\n", n + 1, step.Describe().c_str(), failure.c_str());
            dialog.EndStartedProgram();
            return 1;
        }
        std::printf("ok %zu: %s\n", n + 1, step.Describe().c_str());
        std::fflush(stdout);
    }
    dialog.EndStartedProgram();
    return 0;
}

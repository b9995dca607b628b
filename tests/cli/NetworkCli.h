// What the network tests share: the device's query and answer as the bench
// device gives them, the line tolvane-cli sets, files of a run, and
// tolvane-cli run as a process, natively or (with the Windows tests) as
// tolvane-cli.exe under Wine.
#pragma once

#include "BenchDevice.h"
#include "ExpectedTexts.h"
#include "RunProcess.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

inline constexpr char Query[] = "kwd38m4tQZXh7";
// The line a bench device reports (its query-line) once tolvane-cli has set
// it up: 115200 baud, 8N1, no flow control.
inline constexpr char LineAsSet[] = "115200 8N1 none";

// A file of this run, in the bench's folder (with-bench removes it): the
// shared temporary folder may hold the same name from another checkout's
// run of these tests at the same time.
inline std::string TempFile(const std::string& name)
{
    return BenchDevice::BenchFolder() + "/" + name;
}

// The warning of a run whose port `address` (socket:// or rfc2217://, as
// tolvane-cli labels it) has no TLS.
inline std::string ClearTextWarning(const std::string& address)
{
    const std::size_t scheme = address.find("://");
    return "tolvane-cli: Warning: " + address +
           " carries the PIN in clear text, the device's as well as a new one; a server that speaks TLS is reached "
           "with " +
           address.substr(0, scheme) + "+tls" + address.substr(scheme) + ".\n";
}

inline ProcessResult Cli(const std::vector<std::string>& args)
{
    return RunProcess(TOLVANE_CLI_PATH, args, 20000);
}

// Whether the Windows tests run this: TOLVANE_WINDOWS_CLI names
// tolvane-cli.exe, tools/bench/wine-run (TOLVANE_WINE_RUN) starts it.
inline bool WindowsCliGiven()
{
    return std::getenv("TOLVANE_WINDOWS_CLI") != nullptr && std::getenv("TOLVANE_WINE_RUN") != nullptr;
}

// tolvane-cli.exe under Wine: wine-run gives both outputs as one, in `out`,
// and its CR LF line ends are read as LF. A `wrapper` (a program and its
// first arguments) runs wine-run when given.
inline ProcessResult WindowsCli(const std::vector<std::string>& args, const std::vector<std::string>& wrapper = {})
{
    std::vector<std::string> line = wrapper;
    line.insert(line.end(), {std::getenv("TOLVANE_WINE_RUN"), std::getenv("TOLVANE_WINDOWS_CLI")});
    line.insert(line.end(), args.begin(), args.end());
    ProcessResult run = RunProcess(line.front(), std::vector<std::string>(line.begin() + 1, line.end()), 60000);
    std::string lf;
    for (char c : run.out + run.err)
        lf += c == '\r' ? "" : std::string(1, c);
    run.out = lf;
    run.err.clear();
    return run;
}

inline std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

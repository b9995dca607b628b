// What the network tests share: the device's query and answer as the bench
// device gives them, and tolvane-cli run as a process, natively or (with the
// Windows tests) as tolvane-cli.exe under Wine.
#pragma once

#include "RunProcess.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

inline constexpr char Query[] = "kwd38m4tQZXh7";
inline constexpr char DeviceText[] = "name: Tolvane Demo\nfirmware: 1.3\nauthentication: Enable\npin: 1234\n";

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
// and its CR LF line ends are read as LF.
inline ProcessResult WindowsCli(const std::vector<std::string>& args)
{
    std::vector<std::string> wineArgs = {std::getenv("TOLVANE_WINDOWS_CLI")};
    wineArgs.insert(wineArgs.end(), args.begin(), args.end());
    ProcessResult run = RunProcess(std::getenv("TOLVANE_WINE_RUN"), wineArgs, 60000);
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

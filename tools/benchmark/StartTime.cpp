// tolvane-starttime: how long a dialog program takes from its start to its
// dialog on the screen, compared with other programs, all started in turns
// so that each sees the same machine.
//
//   tolvane-starttime RUNS NAME CAPTION PROGRAM [NAME CAPTION PROGRAM]...
//
// Each run starts the program as its own process and watches, every
// millisecond, for a visible dialog with the caption in that process; then
// closes it (WM_CLOSE, as the title bar's close button does). One untimed
// start of each comes first. NAME (lower-case letters, digits and _) names
// the program in the figures, printed as key=value lines:
//   runs;
//   NAME_median_ms, NAME_fastest_ms, NAME_slowest_ms: each program's starts;
//   NAME_ratio, for each program after the first: the first one's median
//     over this one's.
//
// Exit status: 0 when every start showed its dialog, 1 otherwise, 2 for a
// wrong command line.
#include "DialogSearch.h"
#include "serial/UniqueHandle.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr double LongestStartMs = 30000.0;
constexpr DWORD LongestCloseMs = 10000;
// Lets Wine finish with the last process before the next one starts.
constexpr DWORD PauseBetweenRunsMs = 200;
constexpr int MaximumRuns = 1000;

double MillisecondsSince(const LARGE_INTEGER& start)
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Starts `program`, waits for its dialog and closes it again. Returns the
// milliseconds from the start to the dialog, or a negative number (with a
// message printed) when it did not show.
double TimeOneStart(const std::string& program, const std::string& caption)
{
    std::string commandLine = "\"" + program + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &started)) {
        std::fprintf(stderr, "tolvane-starttime: cannot start %s (error %lu)\n", program.c_str(), GetLastError());
        return -1.0;
    }
    const UniqueHandle thread(started.hThread);
    const UniqueHandle process(started.hProcess);

    const DialogSearch search{started.dwProcessId, nullptr, caption, 0};
    HWND dialog = nullptr;
    double elapsed = -1.0;
    while (true) {
        dialog = FindShownDialog(search);
        if (dialog) {
            elapsed = MillisecondsSince(start);
            break;
        }
        if (WaitForSingleObject(process.Get(), 0) == WAIT_OBJECT_0) {
            std::fprintf(stderr, "tolvane-starttime: %s ended before its dialog \"%s\" showed\n", program.c_str(),
                         caption.c_str());
            break;
        }
        if (MillisecondsSince(start) > LongestStartMs) {
            std::fprintf(stderr, "tolvane-starttime: no dialog \"%s\" from %s in %.0f ms\n", caption.c_str(),
                         program.c_str(), LongestStartMs);
            break;
        }
        Sleep(1);
    }

    if (dialog)
        PostMessageA(dialog, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.Get(), dialog ? LongestCloseMs : 0) != WAIT_OBJECT_0) {
        TerminateProcess(process.Get(), 1);
        WaitForSingleObject(process.Get(), LongestCloseMs);
    }
    Sleep(PauseBetweenRunsMs);
    return elapsed;
}

struct Program {
    std::string name;
    std::string caption;
    std::string path;
    std::vector<double> startsMs;

    double Median() const
    {
        std::vector<double> sorted = startsMs;
        std::sort(sorted.begin(), sorted.end());
        const std::size_t middle = sorted.size() / 2;
        return sorted.size() % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2.0;
    }
    void Print() const
    {
        std::printf("%s_median_ms=%.1f\n%s_fastest_ms=%.1f\n%s_slowest_ms=%.1f\n", name.c_str(), Median(), name.c_str(),
                    *std::min_element(startsMs.begin(), startsMs.end()), name.c_str(),
                    *std::max_element(startsMs.begin(), startsMs.end()));
    }
};

bool IsName(const std::string& name)
{
    return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
    });
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc < 5 || (argc - 2) % 3 != 0) {
        std::fprintf(stderr, "usage: tolvane-starttime RUNS NAME CAPTION PROGRAM [NAME CAPTION PROGRAM]...\n");
        return 2;
    }
    const long runs = std::strtol(argv[1], nullptr, 10);
    if (runs < 1 || runs > MaximumRuns) {
        std::fprintf(stderr, "tolvane-starttime: RUNS must be 1 to %d\n", MaximumRuns);
        return 2;
    }
    std::vector<Program> programs;
    for (int i = 2; i + 2 < argc; i += 3) {
        if (!IsName(argv[i])) {
            std::fprintf(stderr, "tolvane-starttime: NAME must be lower-case letters, digits and _, not %s\n", argv[i]);
            return 2;
        }
        programs.push_back({argv[i], argv[i + 1], argv[i + 2], {}});
    }

    for (const Program& program : programs)
        if (TimeOneStart(program.path, program.caption) < 0)
            return 1;
    for (long run = 0; run < runs; ++run) {
        for (Program& program : programs) {
            const double ms = TimeOneStart(program.path, program.caption);
            if (ms < 0)
                return 1;
            program.startsMs.push_back(ms);
        }
    }

    std::printf("runs=%ld\n", runs);
    for (const Program& program : programs)
        program.Print();
    for (std::size_t i = 1; i < programs.size(); ++i)
        std::printf("%s_ratio=%.2f\n", programs[i].name.c_str(), programs[0].Median() / programs[i].Median());
    return 0;
}

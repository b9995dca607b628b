#include "Fleet.h"

#include "SimulatedDevice.h"
#include "Log.h"
#include "StopSignal.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <iostream>
#include <poll.h>
#include <string>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// A device prints its port's path once it is ready; one that has not after
// this long (a machine under load starts a hundred in well under a second)
// is taken as failed.
constexpr auto StartLimit = std::chrono::seconds(20);
// How long an ended device may take to stop before it is killed.
constexpr auto StopLimit = std::chrono::seconds(3);
constexpr int WatchIntervalMs = 200;

struct Member {
    pid_t pid = -1;
    int readyFd = -1;  // the device's standard output, until its ready line
    std::string link;
};

// In the child: becomes one device, behind its own link, its ready line on
// the pipe and nothing of the fleet's standard output.
[[noreturn]] void BecomeDevice(const Options& options, const std::string& link, int readyFd, pid_t fleet)
{
    // A fleet that ended before this line was reached sends no signal: the
    // device would run on, nobody's, behind its link.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != fleet)
        _exit(1);
    // The fleet stops reading the pipe once the device is ready: a later line
    // (a hang-up's) fails instead of ending the device.
    signal(SIGPIPE, SIG_IGN);
    if (dup2(readyFd, STDOUT_FILENO) < 0)
        _exit(1);
    close(readyFd);
    Options own = options;
    own.count = 0;
    own.linkPath = link;
    SimulatedDevice device(own);
    const int status = device.Run();
    std::cout.flush();
    _exit(status);
}

std::string Start(const Options& options, int number, Member& member)
{
    member.link = options.linkPrefix + std::to_string(number);
    int fds[2];
    if (pipe(fds) != 0)
        return std::string("pipe: ") + std::strerror(errno);
    std::cout.flush();
    const pid_t fleet = getpid();
    const pid_t pid = fork();
    if (pid < 0) {
        close(fds[0]);
        close(fds[1]);
        return std::string("fork: ") + std::strerror(errno);
    }
    if (pid == 0) {
        close(fds[0]);
        BecomeDevice(options, member.link, fds[1], fleet);
    }
    close(fds[1]);
    member.pid = pid;
    member.readyFd = fds[0];
    return {};
}

// Waits for the device's ready line (or its end, or the start limit).
bool WaitReady(const Member& member, Clock::time_point deadline)
{
    char byte = 0;
    while (byte != '\n') {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            return false;
        pollfd fd{member.readyFd, POLLIN, 0};
        const int ready = poll(&fd, 1, static_cast<int>(left));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0 || read(member.readyFd, &byte, 1) != 1)
            return false;
    }
    return true;
}

bool Ended(Member& member)
{
    if (member.pid < 0)
        return true;
    int status = 0;
    if (waitpid(member.pid, &status, WNOHANG) != member.pid)
        return false;
    member.pid = -1;
    return true;
}

void StopAll(std::vector<Member>& members)
{
    for (const Member& member : members)
        if (member.pid > 0)
            kill(member.pid, SIGTERM);
    const auto deadline = Clock::now() + StopLimit;
    for (Member& member : members) {
        while (!Ended(member) && Clock::now() < deadline)
            poll(nullptr, 0, 10);
        if (member.pid > 0) {
            kill(member.pid, SIGKILL);
            waitpid(member.pid, nullptr, 0);
            member.pid = -1;
        }
        if (member.readyFd >= 0)
            close(member.readyFd);
        // Only a link: whatever else took its name since is not ours.
        struct stat info {};
        if (lstat(member.link.c_str(), &info) == 0 && S_ISLNK(info.st_mode))
            unlink(member.link.c_str());
    }
}

std::string Plan(const std::vector<Member>& members)
{
    std::string plan = "port,auth,pin\n";
    for (const Member& member : members)
        plan += member.link + ",on,random\n";
    return plan;
}

// Until a stop signal, the parent's end (which sends one), or a device's.
bool Watch(std::vector<Member>& members)
{
    while (!StopRequested()) {
        pollfd fd{StopSignalFd(), POLLIN, 0};
        poll(&fd, 1, WatchIntervalMs);
        for (Member& member : members)
            if (!StopRequested() && Ended(member)) {
                Log("the device behind " + member.link + " ended by itself");
                return false;
            }
    }
    return true;
}

}  // namespace

int RunFleet(const Options& options)
{
    if (!InstallStopSignals()) {
        Log(std::string("cannot set up signal handling: ") + std::strerror(errno));
        return 1;
    }
    std::vector<Member> members(static_cast<std::size_t>(options.count));
    const auto deadline = Clock::now() + StartLimit;
    for (std::size_t i = 0; i < members.size(); ++i) {
        const std::string error = Start(options, static_cast<int>(i) + 1, members[i]);
        const bool ready = error.empty() && WaitReady(members[i], deadline);
        // Read no further: a device's later lines would fill the pipe unread
        // and hold the device.
        if (members[i].readyFd >= 0)
            close(members[i].readyFd);
        members[i].readyFd = -1;
        if (!ready) {
            Log("device " + std::to_string(i + 1) + " did not start" + (error.empty() ? "" : ": " + error));
            StopAll(members);
            return 1;
        }
    }
    Log(std::to_string(members.size()) + " devices ready, " + members.front().link + " to " + members.back().link);
    // Printed only now, all at once: a reader that waits for the plan finds
    // every device of it ready.
    std::cout << Plan(members) << std::flush;
    const bool stopped = Watch(members);
    StopAll(members);
    Log("stopped");
    return stopped ? 0 : 1;
}

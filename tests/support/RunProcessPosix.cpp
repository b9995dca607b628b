#include "RunProcess.h"

#include "PosixPipe.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// How long a program's process group has to end after SIGTERM.
constexpr auto StopWait = std::chrono::seconds(5);
constexpr auto PollInterval = std::chrono::milliseconds(5);

bool ReadSome(int fd, std::string& into)
{
    char buffer[4096];
    const ssize_t count = read(fd, buffer, sizeof buffer);
    if (count <= 0)
        return false;
    into.append(buffer, static_cast<std::size_t>(count));
    return true;
}

// Whether the child `pid` has ended by `deadline`. It is not reaped: its id,
// and so its process group's, stays taken until waitpid.
bool EndsBy(pid_t pid, Clock::time_point deadline)
{
    for (;;) {
        siginfo_t info = {};
        if (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0) {
            if (errno == EINTR)
                continue;
            return true;  // no such child: nothing left to wait for
        }
        if (info.si_pid == pid)
            return true;
        if (Clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(PollInterval);
    }
}

}  // namespace

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args, int timeoutMs)
{
    ProcessResult result;
    // Closed on exec: the program keeps only the copies it gets as 1 and 2,
    // so the pipes end when it (and whatever it started with them) ends.
    PosixPipe out, err;
    if (!MakePipe(out, O_CLOEXEC) || !MakePipe(err, O_CLOEXEC)) {
        result.startError = std::string("pipe: ") + std::strerror(errno);
        return result;
    }
    const int outEnd = out.write.Get(), errEnd = err.write.Get();
    const pid_t pid = StartProcess(program, args, [outEnd, errEnd] {
        setpgid(0, 0);
        const int devNull = open("/dev/null", O_RDONLY | O_CLOEXEC);
        dup2(devNull, 0);
        dup2(outEnd, 1);
        dup2(errEnd, 2);
    });
    if (pid < 0) {
        result.startError = std::string("fork: ") + std::strerror(errno);
        return result;
    }
    // Here too, so that the group exists before any signal is sent to it
    // (it fails harmlessly once the child has done it and started the
    // program).
    setpgid(pid, pid);
    out.write.Reset();
    err.write.Reset();

    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    pollfd fds[2] = {{out.read.Get(), POLLIN, 0}, {err.read.Get(), POLLIN, 0}};
    int openPipes = 2;
    while (openPipes > 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            result.timedOut = true;
            break;
        }
        if (poll(fds, 2, static_cast<int>(left.count())) <= 0)
            continue;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd >= 0 && fds[i].revents != 0 && !ReadSome(fds[i].fd, i == 0 ? result.out : result.err)) {
                fds[i].fd = -1;
                --openPipes;
            }
        }
    }
    if (result.timedOut || !EndsBy(pid, deadline)) {
        result.timedOut = true;
        kill(-pid, SIGTERM);
        EndsBy(pid, Clock::now() + StopWait);
    }
    // The program has ended, or is killed now with all it started that is
    // still in its group; its id keeps the group's until it is reaped.
    kill(-pid, SIGKILL);
    int status = 0;
    pid_t reaped = -1;
    do
        reaped = waitpid(pid, &status, 0);
    while (reaped < 0 && errno == EINTR);
    if (reaped == pid && !result.timedOut && WIFEXITED(status))
        result.exitCode = WEXITSTATUS(status);
    return result;
}

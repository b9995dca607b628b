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

namespace {

bool ReadSome(int fd, std::string& into)
{
    char buffer[4096];
    const ssize_t count = read(fd, buffer, sizeof buffer);
    if (count <= 0)
        return false;
    into.append(buffer, static_cast<std::size_t>(count));
    return true;
}

}  // namespace

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args, int timeoutMs)
{
    ProcessResult result;
    // Closed on exec: the program keeps only the copies it gets as 1 and 2,
    // so the pipes end when it ends.
    PosixPipe out, err;
    if (!MakePipe(out, O_CLOEXEC) || !MakePipe(err, O_CLOEXEC)) {
        result.startError = std::string("pipe: ") + std::strerror(errno);
        return result;
    }
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    const pid_t pid = fork();
    if (pid < 0)
        result.startError = std::string("fork: ") + std::strerror(errno);
    if (pid == 0) {
        const int devNull = open("/dev/null", O_RDONLY | O_CLOEXEC);
        dup2(devNull, 0);
        dup2(out.write.Get(), 1);
        dup2(err.write.Get(), 2);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    out.write.Reset();
    err.write.Reset();

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    pollfd fds[2] = {{out.read.Get(), POLLIN, 0}, {err.read.Get(), POLLIN, 0}};
    int openPipes = 2;
    while (openPipes > 0 && pid > 0) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            result.timedOut = true;
            kill(pid, SIGKILL);
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
    int status = 0;
    if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && !result.timedOut)
        result.exitCode = WEXITSTATUS(status);
    return result;
}

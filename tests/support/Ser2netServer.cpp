#include "Ser2netServer.h"

#include "Loopback.h"
#include "RunProcess.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <thread>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr auto StartWait = std::chrono::seconds(10);
constexpr auto PollInterval = std::chrono::milliseconds(20);
constexpr auto StopWait = std::chrono::seconds(5);
// /proc/net/tcp's state of a listening socket.
constexpr char ListenState[] = "0A";

// A socket bound to 127.0.0.1 on a port the kernel chose.
UniqueFd BoundSocket(unsigned short& port)
{
    UniqueFd fd(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    LoopbackAddress address = Loopback(0);
    if (!fd.IsValid() || bind(fd.Get(), address.Get(), address.length) != 0 ||
        getsockname(fd.Get(), address.Get(), &address.length) != 0)
        throw std::runtime_error("cannot bind a TCP socket on 127.0.0.1");
    port = address.Port();
    return fd;
}

// Whether something listens on 127.0.0.1:port, by the kernel's table, so
// that looking does not make a connection ser2net would serve.
bool Listening(unsigned short port)
{
    std::ifstream table("/proc/net/tcp");
    std::string line;
    char local[32] = {};
    std::snprintf(local, sizeof local, "0100007F:%04X", port);
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string slot, localAddress, remote, state;
        fields >> slot >> localAddress >> remote >> state;
        if (localAddress == local && state == ListenState)
            return true;
    }
    return false;
}

std::string ReadLog(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

unsigned short FreeTcpPort()
{
    unsigned short port = 0;
    BoundSocket(port).Reset();  // closed at once
    return port;
}

pid_t StartListeningServer(const std::string& program, const std::vector<std::string>& args, unsigned short port,
                           const std::string& log)
{
    const UniqueFd output(open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
    if (!output.IsValid())
        throw std::runtime_error("cannot write " + log);
    const int outputFd = output.Get();
    const pid_t pid = StartProcess(program, args, [outputFd] {
        dup2(outputFd, 1);
        dup2(outputFd, 2);
    });
    if (pid < 0)
        throw std::runtime_error("cannot start " + program);
    const auto deadline = std::chrono::steady_clock::now() + StartWait;
    while (!Listening(port)) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid)
            throw std::runtime_error(program + " ended at once: " + ReadLog(log));
        if (std::chrono::steady_clock::now() > deadline) {
            StopServer(pid);
            throw std::runtime_error(program + " does not listen: " + ReadLog(log));
        }
        std::this_thread::sleep_for(PollInterval);
    }
    return pid;
}

void StopServer(pid_t pid)
{
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + StopWait;
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(PollInterval);
    }
}

Ser2netServer::Ser2netServer(const std::string& serialPath, Accepter accepter, const std::string& banner,
                             const Ser2netTls& tls)
    : m_accepter(accepter), m_tls(!tls.key.empty()), m_port(FreeTcpPort())
{
    const std::string config = m_folder.File("ser2net.yaml");
    {
        std::ofstream out(config);
        out << "%YAML 1.1\n---\nconnection: &port\n  accepter: " << (accepter == Rfc2217 ? "telnet(rfc2217)," : "")
            << (m_tls ? "ssl(key=" + tls.key + ",cert=" + tls.certificate + ")," : "") << "tcp,127.0.0.1," << m_port
            << '\n'
            << "  connector: serialdev,"
            << (std::filesystem::exists(serialPath) ? std::filesystem::canonical(serialPath).string() : serialPath)
            << ",9600n81,local\n";
        if (!banner.empty())  // YAML's double quotes take \r and \n as escapes
            out << "  options:\n    banner: \"" << banner << "\"\n";
    }
    m_pid = StartListeningServer("ser2net", {"-n", "-u", "-c", config, "-P", m_folder.File("ser2net.pid")}, m_port,
                                 m_folder.File("ser2net.log"));
}

Ser2netServer::~Ser2netServer()
{
    StopServer(m_pid);
}

std::string Ser2netServer::Address() const
{
    return std::string(m_accepter == Rfc2217 ? "rfc2217" : "socket") + (m_tls ? "+tls" : "") +
           "://127.0.0.1:" + std::to_string(m_port);
}

SilentServer::SilentServer() : m_socket(BoundSocket(m_port))
{
    if (listen(m_socket.Get(), 4) != 0)
        throw std::runtime_error("cannot listen on 127.0.0.1");
}

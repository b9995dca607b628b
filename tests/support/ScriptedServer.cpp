#include "ScriptedServer.h"

#include "Loopback.h"

#include <chrono>
#include <stdexcept>

#include <fcntl.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int ExpectWaitMs = 10000;

}  // namespace

ServerStep Send(std::string bytes)
{
    return {ServerStep::Send, std::move(bytes), 0};
}

ServerStep Expect(std::string bytes)
{
    return {ServerStep::Expect, std::move(bytes), 0};
}

ServerStep SendAndClose(std::string bytes)
{
    return {ServerStep::SendAndClose, std::move(bytes), 0};
}

ServerStep Pause(int ms)
{
    return {ServerStep::Pause, std::string(), ms};
}

ScriptedServer::ScriptedServer(std::vector<ServerStep> script, bool ipv6) : m_script(std::move(script)), m_ipv6(ipv6)
{
    // The descriptors close with their owners, also when this throws.
    m_listener.Reset(socket(ipv6 ? AF_INET6 : AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    LoopbackAddress address = Loopback(0, ipv6);
    if (!m_listener.IsValid() || bind(m_listener.Get(), address.Get(), address.length) != 0 ||
        listen(m_listener.Get(), 8) != 0 || getsockname(m_listener.Get(), address.Get(), &address.length) != 0 ||
        !MakePipe(m_stopPipe, O_CLOEXEC))
        throw std::runtime_error("cannot listen on the loopback address");
    m_port = address.Port();
    m_thread = std::thread([this] { Serve(); });
}

ScriptedServer::~ScriptedServer()
{
    const char stop = 0;
    static_cast<void>(write(m_stopPipe.write.Get(), &stop, 1));
    m_thread.join();
}

std::string ScriptedServer::HostAndPort() const
{
    return (m_ipv6 ? "[::1]:" : "127.0.0.1:") + std::to_string(m_port);
}

std::string ScriptedServer::Received() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_received;
}

// One client at a time, until the server is stopped.
void ScriptedServer::Serve()
{
    for (;;) {
        pollfd waits[] = {{m_listener.Get(), POLLIN, 0}, {m_stopPipe.read.Get(), POLLIN, 0}};
        if (poll(waits, 2, -1) < 0 || (waits[1].revents & POLLIN))
            return;
        const int client = accept4(m_listener.Get(), nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
            continue;
        ++m_connections;
        Play(client);
        close(client);
    }
}

void ScriptedServer::Play(int client)
{
    std::string sinceExpect;
    for (const ServerStep& step : m_script) {
        if (step.kind == ServerStep::Expect) {
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ExpectWaitMs);
            std::size_t found = std::string::npos;
            while ((found = sinceExpect.find(step.bytes)) == std::string::npos) {
                const auto left =
                    std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now())
                        .count();
                pollfd waits[] = {{client, POLLIN, 0}, {m_stopPipe.read.Get(), POLLIN, 0}};
                if (left <= 0 || poll(waits, 2, static_cast<int>(left)) <= 0 || (waits[1].revents & POLLIN))
                    return;
                char buffer[512];
                const ssize_t count = recv(client, buffer, sizeof buffer, 0);
                if (count <= 0)
                    return;
                sinceExpect.append(buffer, static_cast<std::size_t>(count));
                std::lock_guard<std::mutex> lock(m_mutex);
                m_received.append(buffer, static_cast<std::size_t>(count));
            }
            // What came after the match is for the next Expect.
            sinceExpect.erase(0, found + step.bytes.size());
            continue;
        }
        if (step.kind == ServerStep::Pause) {
            pollfd stop = {m_stopPipe.read.Get(), POLLIN, 0};
            if (poll(&stop, 1, step.pauseMs) != 0)
                return;
            continue;
        }
        const int cork = 1;
        if (step.kind == ServerStep::SendAndClose)
            setsockopt(client, IPPROTO_TCP, TCP_CORK, &cork, sizeof cork);
        if (send(client, step.bytes.data(), step.bytes.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(step.bytes.size()))
            return;
        if (step.kind == ServerStep::SendAndClose) {
            shutdown(client, SHUT_WR);  // the FIN rides on the corked bytes
            break;
        }
    }
    // The script is done: the client may still speak (also to a server that
    // closed its side), and is heard until it closes or the server stops.
    for (;;) {
        pollfd waits[] = {{client, POLLIN, 0}, {m_stopPipe.read.Get(), POLLIN, 0}};
        if (poll(waits, 2, ExpectWaitMs) <= 0 || (waits[1].revents & POLLIN))
            return;
        char buffer[512];
        const ssize_t count = recv(client, buffer, sizeof buffer, 0);
        if (count <= 0)
            return;
        std::lock_guard<std::mutex> lock(m_mutex);
        m_received.append(buffer, static_cast<std::size_t>(count));
    }
}

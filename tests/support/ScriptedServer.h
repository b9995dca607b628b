// A TCP server on 127.0.0.1 (or ::1) that plays a serial server by a script,
// the same for each connection it accepts: send bytes, wait for bytes from
// the client, send and close at once. It counts the connections and keeps
// what the clients sent. It serves on a thread of its own until it goes.
//
//   ScriptedServer server({Send("banner\r\n"), Expect(Query), Send(Reply)});
//   Cli({"query", "socket://127.0.0.1:" + std::to_string(server.TcpPort())});
#pragma once

#include "PosixPipe.h"
#include "serial/UniqueFd.h"

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct ServerStep {
    enum Kind { Send, Expect, SendAndClose, Pause } kind;
    std::string bytes;
    int pauseMs;
};

// Sends `bytes`.
ServerStep Send(std::string bytes);
// Waits (at most 10 s) until the client has sent `bytes`, since what the
// last Expect waited for.
ServerStep Expect(std::string bytes);
// Sends `bytes` and the end of the connection in one segment, so that the
// client finds the close with the bytes, never a moment after them; what
// the client sends after it is still heard.
ServerStep SendAndClose(std::string bytes);

// Waits `ms` milliseconds (a slow server).
ServerStep Pause(int ms);

class ScriptedServer {
public:
    explicit ScriptedServer(std::vector<ServerStep> script, bool ipv6 = false);
    ~ScriptedServer();
    ScriptedServer(const ScriptedServer&) = delete;
    ScriptedServer& operator=(const ScriptedServer&) = delete;

    unsigned short TcpPort() const { return m_port; }
    // "127.0.0.1:PORT" or "[::1]:PORT".
    std::string HostAndPort() const;
    int Connections() const { return m_connections; }
    // Everything the clients sent, one after the other.
    std::string Received() const;

private:
    void Serve();
    void Play(int client);

    std::vector<ServerStep> m_script;
    bool m_ipv6;
    unsigned short m_port = 0;
    UniqueFd m_listener;
    PosixPipe m_stopPipe;
    std::atomic<int> m_connections{0};
    mutable std::mutex m_mutex;
    std::string m_received;
    std::thread m_thread;
};

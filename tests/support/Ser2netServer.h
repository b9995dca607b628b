// A real ser2net for a test, natively: in the foreground on 127.0.0.1, from a
// configuration the test writes (9600 baud, so that a client that sets the
// line shows it), in front of one serial port such as a simulated device's
// pseudo-terminal. Ended when the object goes.
//
//   Ser2netServer server(device.PortPath(), Ser2netServer::Rfc2217);
//   Cli({"query", server.Address()});   // rfc2217://127.0.0.1:PORT
#pragma once

#include "TempFolder.h"
#include "serial/UniqueFd.h"

#include <string>
#include <vector>
#include <sys/types.h>

// ser2net's ssl gensio: the server's key and certificate (PEM files).
struct Ser2netTls {
    std::string key;
    std::string certificate;
};

class Ser2netServer {
public:
    enum Accepter { RawTcp, Rfc2217 };

    // Starts ser2net on a free TCP port and waits until it listens. Throws
    // std::runtime_error when it does not. `banner`: the text ser2net sends
    // each client first. A `serialPath` that does not exist is the case of a
    // server whose device is missing. With `tls`, the accepter speaks TLS
    // first (ssl gensio).
    Ser2netServer(const std::string& serialPath, Accepter accepter, const std::string& banner = "",
                  const Ser2netTls& tls = {});
    ~Ser2netServer();

    Ser2netServer(const Ser2netServer&) = delete;
    Ser2netServer& operator=(const Ser2netServer&) = delete;

    // socket://127.0.0.1:PORT or rfc2217://127.0.0.1:PORT (+tls with TLS).
    std::string Address() const;
    unsigned short TcpPort() const { return m_port; }

private:
    TempFolder m_folder{"ser2net"};  // first: also removed when the constructor throws
    Accepter m_accepter;
    bool m_tls = false;
    unsigned short m_port = 0;
    pid_t m_pid = -1;
};

// Starts `program` with `args` in the background, its output in `log`, and
// waits until it listens on 127.0.0.1:port: the process's id. Throws
// std::runtime_error, with what the log holds, when it ends or does not
// listen within 10 s (and then ends it).
pid_t StartListeningServer(const std::string& program, const std::vector<std::string>& args, unsigned short port,
                           const std::string& log);

// Ends a process StartListeningServer started: SIGTERM, then SIGKILL after 5 s.
void StopServer(pid_t pid);

// A TCP port of 127.0.0.1 that nobody listened on a moment ago.
unsigned short FreeTcpPort();

// A socket that listens on 127.0.0.1 and never accepts nor speaks: the
// kernel completes the connection, and nothing more happens.
class SilentServer {
public:
    SilentServer();
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;
    unsigned short TcpPort() const { return m_port; }

private:
    unsigned short m_port = 0;  // set by the socket's binding, so declared first
    UniqueFd m_socket;
};

// A real ser2net for a test, natively: in the foreground on 127.0.0.1, from a
// configuration the test writes (9600 baud, so that a client that sets the
// line shows it), in front of one serial port such as a simulated device's
// pseudo-terminal. Ended when the object goes.
//
//   Ser2netServer server(device.PortPath(), Ser2netServer::Rfc2217);
//   Cli({"query", server.Address()});   // rfc2217://127.0.0.1:PORT
#pragma once

#include <string>
#include <sys/types.h>

class Ser2netServer {
public:
    enum Accepter { RawTcp, Rfc2217 };

    // Starts ser2net on a free TCP port and waits until it listens. Throws
    // std::runtime_error when it does not. `banner`: the text ser2net sends
    // each client first. A `serialPath` that does not exist is the case of a
    // server whose device is missing.
    Ser2netServer(const std::string& serialPath, Accepter accepter, const std::string& banner = "");
    ~Ser2netServer();

    Ser2netServer(const Ser2netServer&) = delete;
    Ser2netServer& operator=(const Ser2netServer&) = delete;

    // socket://127.0.0.1:PORT or rfc2217://127.0.0.1:PORT.
    std::string Address() const;
    unsigned short TcpPort() const { return m_port; }

private:
    Accepter m_accepter;
    unsigned short m_port = 0;
    std::string m_folder;
    pid_t m_pid = -1;
};

// A TCP port of 127.0.0.1 that nobody listened on a moment ago.
unsigned short FreeTcpPort();

// A socket that listens on 127.0.0.1 and never accepts nor speaks: the
// kernel completes the connection, and nothing more happens.
class SilentServer {
public:
    SilentServer();
    ~SilentServer();
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;
    unsigned short TcpPort() const { return m_port; }

private:
    unsigned short m_port = 0;  // set by the socket's binding, so declared first
    int m_socket = -1;
};

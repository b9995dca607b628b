// The system's socket calls for the socket code that both systems share
// (SocketPort.cpp): Winsock on Windows, BSD sockets elsewhere, and the one
// owner of a socket on each.
#pragma once

#ifdef _WIN32
#include "UniqueSocketWin32.h"

#include <winsock2.h>
#include <ws2tcpip.h>

using OwnedSocket = UniqueSocket;
#else
#include "serial/UniqueFd.h"

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

using OwnedSocket = UniqueFd;
#endif

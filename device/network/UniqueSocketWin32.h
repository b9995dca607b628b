// The owner of a Winsock socket; INVALID_SOCKET is none.
#pragma once

#include "UniqueResource.h"

#include <winsock2.h>

struct SocketTraits {
    using Value = SOCKET;
    static Value None() { return INVALID_SOCKET; }
    static bool IsValid(Value socket) { return socket != INVALID_SOCKET; }
    static void Close(Value socket) { closesocket(socket); }
};
using UniqueSocket = UniqueResource<SocketTraits>;

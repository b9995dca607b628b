// TLS on a connected socket with OpenSSL, for socket+tls:// and
// rfc2217+tls:// on POSIX: the handshake belongs to the set-up, and the
// stream it gives carries the bytes as a socket's does, so that Telnet,
// RFC 2217, the waits and the transcript above it do not know the difference.
#pragma once

#include "StreamPort.h"
#include "TlsSettings.h"
#include "UniqueFd.h"

#include <memory>
#include <string>

// Shakes hands on `socket` (connected, non-blocking) with the server
// `host` (a name or a numeric address, which its certificate must name
// unless a fingerprint is given) by `deadline`, and checks the server as
// `settings` say: Ok with `stream` set, or OpenFailed with the reason
// (TlsReasons.h). Nothing goes through before the check passed.
PortResult StartTls(UniqueFd socket, const std::string& host, const TlsSettings& settings, Deadline deadline,
                    std::unique_ptr<Stream>& stream);

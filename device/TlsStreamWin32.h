// TLS on a connected socket with Schannel, for socket+tls:// and
// rfc2217+tls:// on Windows: the handshake belongs to the set-up, and the
// stream it gives carries the bytes as the socket's stream does. Under Wine
// Schannel runs over GnuTLS.
#pragma once

#include "StreamPort.h"
#include "TlsSettings.h"

#include <memory>
#include <string>

// Shakes hands over `transport` (a connected socket's stream) with the
// server `host` by `deadline`, and checks the server as `settings` say
// (TlsCheckWin32.h): Ok with `stream` set, or OpenFailed with the reason
// (TlsReasons.h). Nothing goes through before the check passed.
PortResult StartTls(std::unique_ptr<Stream> transport, const std::string& host, const TlsSettings& settings,
                    Deadline deadline, std::unique_ptr<Stream>& stream);

// device/tls/: TLS on a connected socket, one back end per system, the server's
// check in files of its own. May include device/network/ and below.
//
// TLS on a connected socket, for socket+tls:// and rfc2217+tls://: OpenSSL
// on POSIX (TlsStreamOpenSsl.cpp), Schannel on Windows (TlsStreamWin32.cpp;
// under Wine Schannel runs over GnuTLS). The handshake belongs to the
// set-up, and the stream it gives carries the bytes as a socket's does, so
// that Telnet, RFC 2217, the waits and the transcript above it do not know
// the difference.
#pragma once

#include "TlsSettings.h"
#include "network/SocketApi.h"
#include "network/StreamPort.h"

#include <memory>
#include <string>

// Parses the certificates and key of `settings` once, for every connection
// made with them (settings.prepared): "" when they can be used, else what
// is wrong with them (TlsReasons.h).
std::string PrepareTls(TlsSettings& settings);

// Shakes hands on `socket` (connected, non-blocking) with the server `host`
// (a name or a numeric address, which its certificate must name unless a
// fingerprint is given) by `deadline`, and checks the server as `settings`
// say: Ok with `stream` set, or OpenFailed with the reason (TlsReasons.h).
// Nothing goes through before the check passed.
PortResult StartTls(OwnedSocket socket, const std::string& host, const TlsSettings& settings, Deadline deadline,
                    std::unique_ptr<Stream>& stream);

// The OpenSSL context of one TLS connection: TLS 1.2 or later, the server's
// certificate checked against the trusted certificates (or, with a
// fingerprint, left to the caller to compare), and the client certificate.
#pragma once

#include "OpenSslHandles.h"
#include "PortResult.h"
#include "TlsSettings.h"

#include <string>

// Ok with `context` set, or OpenFailed with what is wrong with the
// certificates or the key given (TlsReasons.h).
PortResult MakeTlsContext(const TlsSettings& settings, UniqueSslContext& context);

// OpenSSL's words for the last error of this thread, then none is left.
std::string TakeOpenSslError();

// The check of a TLS server's certificate on Windows, through crypt32: its
// chain to an authority the system trusts (or, with --tls-ca's
// certificates, to one of those), the host name it names, its validity; or,
// with a fingerprint, its SHA-256 alone.
#pragma once

#include "TlsSettings.h"

#include <winsock2.h>  // before windows.h, which would bring the old winsock.h
#include <windows.h>
#include <wincrypt.h>

#include <string>

// "" when `server` passes for `host` as `settings` say, else the reason
// (TlsReasons.h). `fingerprint` gets its SHA-256 (32 bytes) either way.
std::string CheckServerCertificate(PCCERT_CONTEXT server, const std::string& host, const TlsSettings& settings,
                                   std::string& fingerprint);

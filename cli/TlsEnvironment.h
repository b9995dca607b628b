// A bench's TLS files from the environment: TOLVANE_TLS_CA, TOLVANE_TLS_CERT
// and TOLVANE_TLS_KEY stand in for --tls-ca, --tls-cert and --tls-key when
// the option is not given (the option wins), so a bench does not repeat them
// on every run.
#pragma once

#include "common/CliOptions.h"

#include <functional>
#include <string>

// The variables, for the help and the manual's ENVIRONMENT.
struct TlsVariable {
    const char* variable;  // "TOLVANE_TLS_CA"
    const char* option;    // "--tls-ca"
    std::string CliOptions::*file;
};
extern const TlsVariable TlsVariables[3];

// Fills each TLS file option not given from its variable, when that is set
// and not empty; `lookup` is the environment (std::getenv). An option the
// command line makes pointless is left alone: no CA with --tls-fingerprint
// (the fingerprint alone decides), and no key on Windows, where --tls-cert's
// PKCS#12 file holds it. Returns false, with the option's own words in
// `error`, for a value the option would refuse.
bool TakeTlsEnvironment(CliOptions& options, const std::function<const char*(const char*)>& lookup, std::string& error);

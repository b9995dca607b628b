// The files of --tls-ca, --tls-cert and --tls-key, read once when a command
// starts, through the regular-file opener (RegularFile.h): a device, a FIFO
// or a terminal named as a key is refused before anything is connected.
#pragma once

#include "common/CliOptions.h"
#include "TlsSettings.h"

#include <cstddef>
#include <ostream>
#include <string>

// Far more than any certificate chain or key: a larger file is no such file.
inline constexpr std::size_t MaxTlsFileBytes = 1024 * 1024;

// Fills `settings` from the options, and parses the files once for every
// connection (PrepareTls). False with a message in `error` when a file
// cannot be read, holds no certificate (or key) that can be used, or a
// certificate comes without its key. A key that other users can read is
// used, with a warning on `err`.
bool ReadTlsFiles(const CliOptions& options, TlsSettings& settings, std::ostream& err, std::string& error);

// Whether any TLS option was given.
bool HasTlsOptions(const CliOptions& options);

// The options without the TLS files that the environment filled in: what the
// command line itself asks for.
CliOptions WithoutEnvironmentTls(CliOptions options);

// The TLS options given, as "--tls-ca and --tls-cert".
std::string TlsOptionNames(const CliOptions& options);

// Whether the port name `text` is a TLS address (socket+tls://,
// rfc2217+tls://); also a text that is no address at all, which its
// command refuses in words of its own.
bool MayBeTlsAddress(const std::string& text);

// The warning for a port that reaches a server without TLS (socket://,
// rfc2217://), where PINs cross the network in clear text, naming its +tls
// form; "" for any other port.
std::string ClearTextWarning(const std::string& port);

// Why TLS options are refused when no address of the command uses them:
// they would be ignored, and the PIN sent without TLS.
std::string TlsOptionsUnusedMessage(const CliOptions& options);

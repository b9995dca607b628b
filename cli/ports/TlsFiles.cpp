#include "TlsFiles.h"

#include "common/HelpLayout.h"
#include "output/OutputFormat.h"
#include "system/RegularFile.h"
#include "factory/SerialPortFactory.h"

#include <cctype>

namespace {

// The whole of the regular file `name` into `bytes`; whether others may
// read it in `exposed`, when given.
bool ReadWholeFile(const std::string& name, std::string& bytes, bool* exposed, std::string& reason)
{
    if (!ReadRegularFile(name, MaxTlsFileBytes, bytes, reason, exposed))
        return false;
    if (bytes.size() > MaxTlsFileBytes) {
        reason = "it is larger than any certificate or key file";
        return false;
    }
    if (bytes.empty()) {
        reason = "it is empty";
        return false;
    }
    return true;
}

bool ReadOptionFile(const char* option, const std::string& name, std::string& bytes, bool* exposed, std::string& error)
{
    std::string reason;
    if (ReadWholeFile(name, bytes, exposed, reason))
        return true;
    error = std::string("Cannot read the ") + option + " file " + EscapeForText(name) + ": " + reason + ".";
    return false;
}

}  // namespace

bool HasTlsOptions(const CliOptions& options)
{
    return !options.tlsCa.empty() || !options.tlsFingerprint.empty() || !options.tlsCert.empty() ||
           !options.tlsKey.empty();
}

CliOptions WithoutEnvironmentTls(CliOptions options)
{
    for (std::string CliOptions::*file : options.tlsFromEnvironment)
        (options.*file).clear();
    options.tlsFromEnvironment.clear();
    return options;
}

std::string TlsOptionNames(const CliOptions& options)
{
    std::vector<std::string> names;
    if (!options.tlsCa.empty())
        names.push_back("--tls-ca");
    if (!options.tlsFingerprint.empty())
        names.push_back("--tls-fingerprint");
    if (!options.tlsCert.empty())
        names.push_back("--tls-cert");
    if (!options.tlsKey.empty())
        names.push_back("--tls-key");
    return JoinWords(names, " and ");
}

bool MayBeTlsAddress(const std::string& text)
{
    PortAddress address;
    std::string error;
    return !HasAddressScheme(text) ? false : !ParseSchemeAddress(text, address, error) || address.tls;
}

std::string ClearTextWarning(const std::string& port)
{
    PortAddress address;
    std::string error;
    if (!HasAddressScheme(port) || !ParseSchemeAddress(port, address, error) || !IsNetworkAddress(address) ||
        address.tls)
        return "";
    const std::string secured =
        address.label.substr(0, address.label.find("://")) + "+tls" + address.label.substr(address.label.find("://"));
    return "Warning: " + address.label +
           " carries the PIN in clear text, the device's as well as a new one; a server "
           "that speaks TLS is reached with " +
           secured + ".";
}

std::string TlsOptionsUnusedMessage(const CliOptions& options)
{
    const std::string names = TlsOptionNames(options);
    const bool one = names.find(' ') == std::string::npos;
    return names + (one ? " applies" : " apply") +
           " to socket+tls:// and rfc2217+tls:// ports only, and no port of this command is one: without TLS " +
           (one ? "it" : "they") + " would be ignored, and the PIN would not be protected. Give a +tls address, or " +
           "leave the TLS options out.";
}

bool ReadTlsFiles(const CliOptions& options, TlsSettings& settings, std::ostream& err, std::string& error)
{
#ifdef _WIN32
    // Schannel takes a certificate with its key: one PKCS#12 file holds both.
    if (!options.tlsKey.empty()) {
        error = "--tls-key is not used on Windows: --tls-cert takes a PKCS#12 file that holds the key too.";
        return false;
    }
#else
    if (options.tlsCert.empty() != options.tlsKey.empty()) {
        error = options.tlsCert.empty() ? "--tls-key needs --tls-cert." : "--tls-cert needs --tls-key.";
        return false;
    }
#endif
    if (!options.tlsCa.empty() && !options.tlsFingerprint.empty()) {
        error = "--tls-ca and --tls-fingerprint cannot both be given: the fingerprint alone decides.";
        return false;
    }
    settings.fingerprint = options.tlsFingerprint;
    bool keyShared = false;  // a certificate is public; a key is not
    if (!options.tlsCa.empty() && !ReadOptionFile("--tls-ca", options.tlsCa, settings.trustedPem, nullptr, error))
        return false;
    if (!options.tlsCert.empty() &&
        !ReadOptionFile("--tls-cert", options.tlsCert, settings.clientCertificate, nullptr, error))
        return false;
    if (!options.tlsKey.empty() && !ReadOptionFile("--tls-key", options.tlsKey, settings.clientKey, &keyShared, error))
        return false;
    if (keyShared) {
        err << "Warning: other users of this machine can read the key file " << EscapeForText(options.tlsKey)
            << "; let only its owner read it (chmod 600).\n";
    }
    const std::string unusable = PrepareTlsSettings(settings);
    if (!unusable.empty()) {
        error = unusable + ".";
        error[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(error[0])));
        return false;
    }
    return true;
}

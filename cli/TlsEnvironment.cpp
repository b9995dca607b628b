#include "TlsEnvironment.h"

#include "OptionTable.h"

const TlsVariable TlsVariables[3] = {
    {"TOLVANE_TLS_CA", "--tls-ca", &CliOptions::tlsCa},
    {"TOLVANE_TLS_CERT", "--tls-cert", &CliOptions::tlsCert},
    {"TOLVANE_TLS_KEY", "--tls-key", &CliOptions::tlsKey},
};

namespace {

bool Pointless(const CliOptions& options, const TlsVariable& variable)
{
    if (variable.file == &CliOptions::tlsCa)
        return !options.tlsFingerprint.empty();
#ifdef _WIN32
    if (variable.file == &CliOptions::tlsKey)
        return true;
#endif
    return false;
}

}  // namespace

bool TakeTlsEnvironment(CliOptions& options, const std::function<const char*(const char*)>& lookup, std::string& error)
{
    for (const TlsVariable& variable : TlsVariables) {
        const char* value = lookup(variable.variable);
        if (value == nullptr || *value == '\0' || !(options.*variable.file).empty() || Pointless(options, variable))
            continue;
        if (!ApplyOption(*FindOption(variable.option), options, value, error)) {
            error = std::string(variable.variable) + ": " + error;
            return false;
        }
        options.tlsFromEnvironment.push_back(variable.file);
    }
    return true;
}

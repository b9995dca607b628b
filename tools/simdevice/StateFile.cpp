#include "StateFile.h"

#include <cstdio>
#include <fstream>

bool WriteStateFile(const std::string& path, const DeviceState& state)
{
    if (path.empty())
        return true;
    const std::string temporary = path + ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << "name=" << state.name << '\n'
            << "version=" << state.version << '\n'
            << "auth=" << state.auth << '\n'
            << "pin=" << state.pin << '\n'
            << "queries=" << state.queries << '\n'
            << "configures=" << state.configures << '\n'
            << "query-line=" << state.queryLine << '\n'

            << "releases=" << state.releases << '\n'
            << "hangups=" << state.hangups << '\n';
        out.flush();
        if (!out)
            return false;
    }
    return std::rename(temporary.c_str(), path.c_str()) == 0;
}

std::map<std::string, std::string> ReadStateFile(const std::string& path)
{
    std::map<std::string, std::string> state;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos)
            state[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return state;
}

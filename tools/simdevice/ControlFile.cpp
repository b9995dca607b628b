#include "ControlFile.h"

#include "Log.h"

#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace {

constexpr std::size_t MaxControlBytes = 1 << 16;

}  // namespace

bool ControlFile::Version::operator==(const Version& other) const
{
    return exists == other.exists && inode == other.inode && modified.tv_sec == other.modified.tv_sec &&
           modified.tv_nsec == other.modified.tv_nsec && size == other.size && content == other.content;
}

bool ControlFile::ReadVersion(Version& version) const
{
    struct stat info {};
    if (stat(m_path.c_str(), &info) != 0)
        return true;  // no file: a version of its own, that applies no keys
    std::ifstream in(m_path, std::ios::binary);
    if (!in)
        return false;  // there but unreadable: keep what was applied
    std::string content(MaxControlBytes, '\0');
    in.read(&content[0], static_cast<std::streamsize>(content.size()));
    content.resize(static_cast<std::size_t>(in.gcount()));
    version.exists = true;
    version.inode = info.st_ino;
    version.modified = info.st_mtim;
    version.size = info.st_size;
    version.content = std::move(content);
    return true;
}

bool ControlFile::ApplyIfChanged(const ReplyFaults& baseline, DeviceState& state, ReplyFaults& faults)
{
    if (m_path.empty())
        return false;
    Version current;
    if (!ReadVersion(current) || current == m_applied)
        return false;
    m_applied = current;
    ApplyControlText(current.content, baseline, state, faults);
    return true;
}

void ApplyControlText(const std::string& text, const ReplyFaults& baseline, DeviceState& state, ReplyFaults& faults)
{
    faults = baseline;
    bool modeGiven = false, partialGiven = false;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) {
            Log("control line without '=': " + line);
            continue;
        }
        const std::string key = line.substr(0, equals);
        const std::string value = line.substr(equals + 1);
        const std::string error = ApplySetting(key, value, state, faults);
        if (!error.empty()) {
            Log("control: " + error);
            continue;
        }
        modeGiven = modeGiven || key == "mode";
        partialGiven = partialGiven || key == "partial";
    }
    // "partial=N" alone means what "--partial N" means.
    if (partialGiven && !modeGiven)
        faults.mode = ReplyMode::Partial;
}

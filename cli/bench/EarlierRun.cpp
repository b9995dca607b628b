#include "EarlierRun.h"

#include "common/JsonLine.h"
#include "output/OutputFormat.h"
#include "system/RegularFile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// Longer lines are no entry of this program's, whose longest is a few
// kilobytes (a reason and a name).
constexpr std::size_t MaxEntryLength = 64 * 1024;

// The keys --resume needs of one entry. The entry is read by the library's
// event parser, which checks the whole line's JSON and builds nothing of
// what is not kept: a record of a large plan is read in a second or two.
struct EntryFields {
    std::string command, device, entry, run, earlierRun, authenticationAsked, pinAsked, pinSet;
    bool exitCodeZero = false;
};

class EntryReader : public nlohmann::json_sax<Json> {
public:
    explicit EntryReader(EntryFields& fields) : m_fields(fields) {}

    bool IsObject() const { return m_object; }

    bool null() override { return Value(); }
    bool boolean(bool) override { return Value(); }
    bool number_integer(number_integer_t value) override
    {
        if (Top() && m_key == "exitCode")
            m_fields.exitCodeZero = value == 0;
        return Value();
    }
    bool number_unsigned(number_unsigned_t value) override
    {
        if (Top() && m_key == "exitCode")
            m_fields.exitCodeZero = value == 0;
        return Value();
    }
    bool number_float(number_float_t, const string_t&) override { return Value(); }
    bool string(string_t& value) override
    {
        if (Top()) {
            if (std::string* kept = Kept())
                *kept = std::move(value);
        }
        return Value();
    }
    bool binary(binary_t&) override { return Value(); }
    bool start_object(std::size_t) override
    {
        m_object = m_object || m_depth == 0;
        ++m_depth;
        return true;
    }
    bool key(string_t& key) override
    {
        if (m_depth == 1)
            m_key = std::move(key);
        return true;
    }
    bool end_object() override
    {
        --m_depth;
        return true;
    }
    bool start_array(std::size_t) override
    {
        ++m_depth;
        return true;
    }
    bool end_array() override
    {
        --m_depth;
        return true;
    }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override { return false; }

private:
    // A value straight under the entry, not inside a nested one.
    bool Top() const { return m_depth == 1; }
    bool Value() { return true; }
    std::string* Kept()
    {
        const std::pair<const char*, std::string*> kept[] = {
            {"command", &m_fields.command},       {"device", &m_fields.device},
            {"entry", &m_fields.entry},           {"run", &m_fields.run},
            {"earlierRun", &m_fields.earlierRun}, {"authenticationAsked", &m_fields.authenticationAsked},
            {"pinAsked", &m_fields.pinAsked},     {"pinSet", &m_fields.pinSet},
        };
        for (const auto& field : kept) {
            if (m_key == field.first)
                return field.second;
        }
        return nullptr;
    }

    EntryFields& m_fields;
    std::string m_key;
    int m_depth = 0;
    bool m_object = false;
};

void ReadEntry(const std::string& line, EarlierRun& earlier)
{
    EntryFields fields;
    EntryReader reader(fields);
    if (!Json::sax_parse(line, &reader) || !reader.IsObject()) {
        ++earlier.unreadLines;
        return;
    }
    if (!earlier.ownRun.empty() && fields.run == earlier.ownRun)
        return;
    if (!fields.pinSet.empty())
        earlier.pinsSet.insert(fields.pinSet);
    if (fields.command != "provision" || fields.device.empty())
        return;
    earlier.found = true;
    if (fields.entry == "result" && fields.exitCodeZero) {
        earlier.doneDevices[fields.device] = {
            RequestKey(fields.authenticationAsked, fields.pinAsked),
            fields.earlierRun.empty() ? fields.run : fields.earlierRun,
        };
    } else {
        earlier.doneDevices.erase(fields.device);
    }
}

}  // namespace

std::string RequestKey(const std::string& authenticationAsked, const std::string& pinAsked)
{
    return "authentication " + authenticationAsked + ", PIN " + pinAsked;
}

bool FindEarlierRun(const std::string& path, EarlierRun& earlier, std::string& error)
{
    earlier = EarlierRun();
    return ReadRecordOn(path, earlier, error);
}

bool ReadRecordOn(const std::string& path, EarlierRun& earlier, std::string& error)
{
    std::string reason;
    bool missing = false;
    const UniqueFile file = OpenRegularFile(path, "rb", reason, &missing);
    if (!file.IsValid() && missing)
        return true;
    if (!file.IsValid()) {
        error = "Cannot read the record " + EscapeForText(path) + ": " + reason + ".";
        return false;
    }
    if (!SeekFromStart(file.Get(), earlier.readUpTo)) {
        error = "Cannot read the record " + EscapeForText(path) + ": the read failed.";
        return false;
    }
    // Read a block at a time: a record of a large plan is tens of megabytes.
    // A last line without its end is being written: it is read next time.
    std::vector<char> block(1 << 20);
    std::string line;
    bool tooLong = false;
    std::uint64_t at = earlier.readUpTo;
    for (std::size_t got; (got = std::fread(block.data(), 1, block.size(), file.Get())) > 0;) {
        for (std::size_t from = 0; from < got;) {
            const char* end = static_cast<const char*>(std::memchr(block.data() + from, '\n', got - from));
            const std::size_t upTo = end != nullptr ? static_cast<std::size_t>(end - block.data()) : got;
            const std::size_t take = std::min(upTo - from, MaxEntryLength - std::min(MaxEntryLength, line.size()));
            tooLong = tooLong || take < upTo - from;
            line.append(block.data() + from, take);
            at += (end != nullptr ? upTo + 1 : got) - from;
            from = upTo + (end != nullptr ? 1 : 0);
            if (end == nullptr)
                break;
            if (tooLong)
                ++earlier.unreadLines;
            else if (!line.empty())
                ReadEntry(line, earlier);
            line.clear();
            tooLong = false;
            earlier.readUpTo = at;
        }
    }
    if (std::ferror(file.Get())) {
        error = "Cannot read the record " + EscapeForText(path) + ": the read failed.";
        return false;
    }
    return true;
}

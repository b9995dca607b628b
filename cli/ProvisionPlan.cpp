#include "ProvisionPlan.h"

#include "AddressLookup.h"

#include "CliOptions.h"
#include "NewSettings.h"
#include "OutputFormat.h"
#include "RegularFile.h"
#include "UniqueFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>

namespace {

constexpr char ByteOrderMark[] = "\xEF\xBB\xBF";

class PlanReader {
public:
    PlanReader(const std::string& source, PortStyle style, const PortIdentifier& identify)
        : m_source(source), m_style(style), m_identify(identify)
    {}

    Plan Read(const std::string& text);

private:
    bool ReadLine(const std::string& line);
    bool ReadRow(const std::vector<std::string>& fields);
    bool Fail(const std::string& problem);

    const std::string& m_source;
    PortStyle m_style;
    const PortIdentifier& m_identify;
    int m_line = 0;
    bool m_headerSeen = false;
    std::set<std::string> m_ports;  // identities of the ports named so far
    Plan m_plan;
};

// A line's fields as CSV has them (RFC 4180), as spreadsheets write them to
// keep a PIN's leading zeros: a field in quotes may hold commas, and "" in it
// is one quote. A quote anywhere else, or one left open, makes no fields:
// false. A quoted field ends at its line, as a plan's rows do.
bool SplitCsvFields(const std::string& line, std::vector<std::string>& fields)
{
    fields.assign(1, std::string());
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == ',') {
            fields.emplace_back();
        } else if (line[i] != '"') {
            fields.back() += line[i];
        } else {
            if (!fields.back().empty())
                return false;  // a quote inside an unquoted field
            for (++i;; ++i) {
                if (i >= line.size())
                    return false;  // never closed
                if (line[i] == '"' && (i + 1 >= line.size() || line[i + 1] != '"'))
                    break;
                fields.back() += line[i];
                i += line[i] == '"' ? 1 : 0;
            }
            if (i + 1 < line.size() && line[i + 1] != ',')
                return false;  // something after the closing quote
        }
    }
    return true;
}

bool PlanReader::Fail(const std::string& problem)
{
    m_plan.error = m_source + (m_line > 0 ? ", line " + std::to_string(m_line) : std::string()) + ": " + problem;
    return false;
}

Plan PlanReader::Read(const std::string& text)
{
    std::size_t start = text.compare(0, 3, ByteOrderMark) == 0 ? 3 : 0;
    while (start < text.size()) {
        ++m_line;
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!ReadLine(line))
            return m_plan;
    }
    if (!m_headerSeen) {
        m_line = 0;
        Fail(std::string("the plan is empty: it needs the header ") + PlanHeader + " and a row per port.");
        return m_plan;
    }
    if (m_plan.rows.empty()) {
        m_line = 0;
        Fail("the plan has no rows: nothing to do.");
        return m_plan;
    }
    m_plan.ok = true;
    return m_plan;
}

bool PlanReader::ReadLine(const std::string& line)
{
    if (line.size() > MaxPlanLineLength)
        return Fail("the line is longer than " + std::to_string(MaxPlanLineLength) + " characters.");
    if (line.empty())
        return true;
    std::vector<std::string> fields;
    const bool split = SplitCsvFields(line, fields);
    if (!m_headerSeen) {
        if (!split || fields != std::vector<std::string>{"port", "auth", "pin"})
            return Fail(std::string("the first line must be the header ") + PlanHeader + ", not \"" +
                        EscapeForText(line) + "\".");
        m_headerSeen = true;
        return true;
    }
    if (!split)
        return Fail("the quotes do not pair up: a quoted field is \"...\" whole, with \"\" for one quote in it.");
    if (fields.size() != 3)
        return Fail("a row has three fields, port,auth,pin, not " + std::to_string(fields.size()) + ".");
    if (m_plan.rows.size() == MaxPlanRows)
        return Fail("a plan has at most " + std::to_string(MaxPlanRows) + " rows.");
    return ReadRow(fields);
}

bool PlanReader::ReadRow(const std::vector<std::string>& fields)
{
    PlanRow row;
    row.line = m_line;
    row.port = fields[0];
    const ResolvedPort port = ResolvePortName(row.port, m_style);
    if (!port.ok)
        return Fail(port.error);
    row.address = port.address;
    const std::string identity = PortIdentities(row.address, m_identify).front();
    if (identity.empty())
        return Fail("there is no port \"" + EscapeForText(row.port) + "\".");
    if (!m_ports.insert(identity).second)
        return Fail("the port \"" + EscapeForText(row.port) + "\" is named twice.");
    if (!ParseAuthWord(fields[1], row.auth))
        return Fail("auth takes on or off, not \"" + EscapeForText(fields[1]) + "\".");
    row.hasPin = !fields[2].empty();
    row.pin = fields[2];
    if (row.hasPin) {
        const SettingsProblem problem = CheckNewPin(row.pin);
        if (problem != SettingsProblem::None)
            return Fail(SettingsProblemMessage(problem));
    }
    m_plan.rows.push_back(row);
    return true;
}

}  // namespace

Plan ParsePlan(const std::string& text, const std::string& source, PortStyle style, const PortIdentifier& identify)
{
    return PlanReader(source, style, identify).Read(text);
}

std::vector<std::string> PortIdentities(const PortAddress& address, const PortIdentifier& identify)
{
    if (address.kind == AddressKind::Serial)
        return {identify(address.target)};
    return EndpointsOf(address);
}

bool LookUpPlanPorts(Plan& plan, const std::string& source, const PortIdentifier& identify, Deadline deadline)
{
    std::vector<PortAddress*> addresses;
    for (PlanRow& row : plan.rows)
        addresses.push_back(&row.address);
    LookUpAddresses(addresses, deadline);
    std::map<std::string, const PlanRow*> rowOf;
    for (const PlanRow& row : plan.rows) {
        for (const std::string& identity : PortIdentities(row.address, identify)) {
            const auto found = rowOf.emplace(identity, &row);
            if (found.second || found.first->second == &row)
                continue;
            const PlanRow& first = *found.first->second;
            plan.ok = false;
            plan.error = source + ", line " + std::to_string(row.line) + ": the port \"" + EscapeForText(row.port) +
                         "\" reaches the same port as \"" + EscapeForText(first.port) + "\" on line " +
                         std::to_string(first.line) + ".";
            return false;
        }
    }
    return true;
}

bool ReadPlanText(const std::string& name, std::istream& in, std::string& text, std::string& error)
{
    text.clear();
    char buffer[4096];
    if (name == "-") {
        while (text.size() <= MaxPlanBytes && in.read(buffer, sizeof buffer).gcount() > 0)
            text.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (in.bad()) {
            error = "Cannot read the plan from standard input.";
            return false;
        }
    } else {
        std::string reason;
        const UniqueFile file = OpenRegularFile(name, "rb", reason);
        if (!file.IsValid()) {
            error = "Cannot read the plan " + EscapeForText(name) + ": " + reason + ".";
            return false;
        }
        std::size_t count = 0;
        while (text.size() <= MaxPlanBytes && (count = std::fread(buffer, 1, sizeof buffer, file.Get())) > 0)
            text.append(buffer, count);
        if (std::ferror(file.Get())) {
            error = "Cannot read the plan " + EscapeForText(name) + ": " + std::strerror(errno) + ".";
            return false;
        }
    }
    if (text.size() > MaxPlanBytes) {
        error = "The plan " + (name == "-" ? std::string("on standard input") : EscapeForText(name)) +
                " is longer than " + std::to_string(MaxPlanBytes) + " bytes.";
        return false;
    }
    return true;
}

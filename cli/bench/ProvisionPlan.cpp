#include "ProvisionPlan.h"

#include "network/AddressLookup.h"

#include "common/CliOptions.h"
#include "NewSettings.h"
#include "output/OutputFormat.h"
#include "RandomPin.h"
#include "system/RegularFile.h"

#include <cstdint>
#include <map>
#include <set>

namespace {

constexpr char ByteOrderMark[] = "\xEF\xBB\xBF";

// Reads a plan's text line by line, a row at a time. Checking a plan also
// keeps the identity of every port named so far, to find one named twice,
// and counts the random PINs asked for; reading a checked plan again needs
// neither.
class PlanReader {
public:
    PlanReader(const std::string& text, const std::string& source, PortStyle style, const PortIdentifier* identify)
        : m_text(text), m_source(source), m_style(style), m_identify(identify)
    {
        m_start = m_text.compare(0, 3, ByteOrderMark) == 0 ? 3 : 0;
    }

    // The next row, or false at the end of the text or at a bad line.
    bool Next(PlanRow& row);
    // After the last row: false with the error when the plan held none.
    bool Finish();
    const std::string& Error() const { return m_error; }

private:
    enum class LineKind { Skipped, Row, Bad };
    LineKind ReadLine(const std::string& line, PlanRow& row);
    LineKind ReadRow(const std::vector<std::string>& fields, PlanRow& row);
    bool ReadPin(const std::string& field, PlanRow& row);
    LineKind Fail(const std::string& problem);

    const std::string& m_text;
    const std::string m_source;
    PortStyle m_style;
    const PortIdentifier* m_identify;  // null when the plan was checked before
    std::size_t m_start = 0;           // of the next line
    int m_line = 0;
    bool m_headerSeen = false;
    std::size_t m_rows = 0;
    std::set<std::string> m_ports;                            // identities of the ports named so far
    std::uint64_t m_randomPins[MaxRandomPinDigits + 1] = {};  // by digits
    std::string m_error;
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

PlanReader::LineKind PlanReader::Fail(const std::string& problem)
{
    m_error = m_source + (m_line > 0 ? ", line " + std::to_string(m_line) : std::string()) + ": " + problem;
    return LineKind::Bad;
}

bool PlanReader::Next(PlanRow& row)
{
    while (m_error.empty() && m_start < m_text.size()) {
        ++m_line;
        std::size_t end = m_text.find('\n', m_start);
        if (end == std::string::npos)
            end = m_text.size();
        std::string line = m_text.substr(m_start, end - m_start);
        m_start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const LineKind kind = ReadLine(line, row);
        if (kind != LineKind::Skipped)
            return kind == LineKind::Row;
    }
    return false;
}

bool PlanReader::Finish()
{
    if (!m_error.empty())
        return false;
    m_line = 0;
    if (!m_headerSeen)
        Fail(std::string("the plan is empty: it needs the header ") + PlanHeader + " and a row per port.");
    else if (m_rows == 0)
        Fail("the plan has no rows: nothing to do.");
    return m_error.empty();
}

PlanReader::LineKind PlanReader::ReadLine(const std::string& line, PlanRow& row)
{
    if (line.size() > MaxPlanLineLength)
        return Fail("the line is longer than " + std::to_string(MaxPlanLineLength) + " characters.");
    if (line.empty())
        return LineKind::Skipped;
    std::vector<std::string> fields;
    const bool split = SplitCsvFields(line, fields);
    if (!m_headerSeen) {
        if (!split || fields != std::vector<std::string>{"port", "auth", "pin"})
            return Fail(std::string("the first line must be the header ") + PlanHeader + ", not \"" +
                        EscapeForText(line) + "\".");
        m_headerSeen = true;
        return LineKind::Skipped;
    }
    if (!split)
        return Fail("the quotes do not pair up: a quoted field is \"...\" whole, with \"\" for one quote in it.");
    if (fields.size() != 3)
        return Fail("a row has three fields, port,auth,pin, not " + std::to_string(fields.size()) + ".");
    if (m_rows == MaxPlanRows)
        return Fail("a plan has at most " + std::to_string(MaxPlanRows) + " rows.");
    return ReadRow(fields, row);
}

PlanReader::LineKind PlanReader::ReadRow(const std::vector<std::string>& fields, PlanRow& row)
{
    row = PlanRow();
    row.line = m_line;
    row.port = fields[0];
    const ResolvedPort port = ResolvePortName(row.port, m_style);
    if (!port.ok)
        return Fail(port.error);
    row.address = port.address;
    if (m_identify != nullptr) {
        const std::string identity = PortIdentities(row.address, *m_identify).front();
        if (identity.empty())
            return Fail("there is no port \"" + EscapeForText(row.port) + "\".");
        if (!m_ports.insert(identity).second)
            return Fail("the port \"" + EscapeForText(row.port) + "\" is named twice.");
    }
    if (!ParseAuthWord(fields[1], row.auth))
        return Fail("auth takes on or off, not \"" + EscapeForText(fields[1]) + "\".");
    if (!ReadPin(fields[2], row))
        return LineKind::Bad;
    ++m_rows;
    return LineKind::Row;
}

bool PlanReader::ReadPin(const std::string& field, PlanRow& row)
{
    const RandomPinText random = ParseRandomPin(field, row.randomDigits);
    if (random == RandomPinText::Bad) {
        Fail(BadRandomPinMessage(field));
        return false;
    }
    if (random == RandomPinText::Random) {
        const int digits = row.randomDigits;
        if (++m_randomPins[digits] > MaxRandomPinsPerRun(digits)) {
            Fail("a plan may ask for at most " + std::to_string(MaxRandomPinsPerRun(digits)) + " random PINs of " +
                 std::to_string(digits) + " digits, so that they can all differ.");
            return false;
        }
        return true;
    }
    row.hasPin = !field.empty();
    row.pin = field;
    if (row.hasPin) {
        const SettingsProblem problem = CheckNewPin(row.pin);
        if (problem != SettingsProblem::None) {
            Fail(SettingsProblemMessage(problem));
            return false;
        }
    }
    return true;
}

}  // namespace

Plan ParsePlan(const std::string& text, const std::string& source, PortStyle style, const PortIdentifier& identify)
{
    Plan plan;
    PlanReader reader(text, source, style, &identify);
    for (PlanRow row; reader.Next(row);)
        plan.rows.push_back(row);
    plan.ok = reader.Finish();
    plan.error = reader.Error();
    if (!plan.ok)
        plan.rows.clear();
    return plan;
}

PlanCheck CheckPlan(const std::string& text, const std::string& source, PortStyle style, const PortIdentifier& identify)
{
    PlanCheck check;
    PlanReader reader(text, source, style, &identify);
    for (PlanRow row; reader.Next(row);) {
        ++check.rows;
        check.tlsRows += row.address.tls ? 1 : 0;
        if (check.firstPlainServer.empty() && IsNetworkAddress(row.address) && !row.address.tls)
            check.firstPlainServer = row.port;
    }
    check.ok = reader.Finish();
    check.error = reader.Error();
    return check;
}

class PlanCursor::Reader : public PlanReader {
public:
    using PlanReader::PlanReader;
};

PlanCursor::PlanCursor(const std::string& text, PortStyle style)
    : m_reader(std::make_unique<Reader>(text, std::string(), style, nullptr))
{}

PlanCursor::~PlanCursor() = default;

bool PlanCursor::Next(PlanRow& row)
{
    return m_reader->Next(row);
}

std::vector<std::string> PortIdentities(const PortAddress& address, const PortIdentifier& identify)
{
    if (address.kind == AddressKind::Serial)
        return {identify(address.target)};
    return EndpointsOf(address);
}

bool PlanLookups::LookUp(const std::string& text, const std::string& source, PortStyle style,
                         const PortIdentifier& identify, Deadline deadline, std::string& error)
{
    std::vector<PlanRow> rows;  // the network rows only: a plan's local ports need no lookup
    PlanCursor cursor(text, style);
    for (PlanRow row; cursor.Next(row);) {
        if (IsNetworkAddress(row.address))
            rows.push_back(row);
    }
    std::vector<PortAddress*> addresses;
    for (PlanRow& row : rows)
        addresses.push_back(&row.address);
    LookUpAddresses(addresses, deadline);
    std::map<std::string, const PlanRow*> rowOf;
    for (const PlanRow& row : rows) {
        for (const std::string& identity : PortIdentities(row.address, identify)) {
            const auto found = rowOf.emplace(identity, &row);
            if (found.second || found.first->second == &row)
                continue;
            const PlanRow& first = *found.first->second;
            error = source + ", line " + std::to_string(row.line) + ": the port \"" + EscapeForText(row.port) +
                    "\" reaches the same port as \"" + EscapeForText(first.port) + "\" on line " +
                    std::to_string(first.line) + ".";
            return false;
        }
        m_byLabel[row.address.label] = row.address;
    }
    return true;
}

void PlanLookups::Apply(PortAddress& address) const
{
    const auto found = m_byLabel.find(address.label);
    if (found != m_byLabel.end())
        address = found->second;
}

bool ReadPlanText(const std::string& name, std::istream& in, std::string& text, std::string& error)
{
    text.clear();
    if (name == "-") {
        char buffer[4096];
        while (text.size() <= MaxPlanBytes && in.read(buffer, sizeof buffer).gcount() > 0)
            text.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (in.bad()) {
            error = "Cannot read the plan from standard input.";
            return false;
        }
    } else {
        std::string reason;
        if (!ReadRegularFile(name, MaxPlanBytes, text, reason)) {
            error = "Cannot read the plan " + EscapeForText(name) + ": " + reason + ".";
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
